#ifndef QUORLA_JETSQL_DDL_AST_H_
#define QUORLA_JETSQL_DDL_AST_H_

// The parsed form of Access's data-definition statements: CREATE TABLE, DROP TABLE, CREATE INDEX,
// DROP INDEX and ALTER TABLE. Names are as written (brackets removed); nothing is resolved yet.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jet/value.h"

namespace jetsql {

// A field's type with what its type name and size imply.
struct FieldType {
  jet::ColumnType type = jet::ColumnType::kText;
  uint16_t size = 0;  // text: characters; binary: bytes; 0 for the other types
  uint8_t precision = 0;
  uint8_t scale = 0;
  bool autonumber = false;  // COUNTER / AUTOINCREMENT
  int32_t seed = 1;         // first autonumber
  int32_t increment = 1;
};

// A PRIMARY KEY, UNIQUE or FOREIGN KEY constraint, on one field (written after it) or on a list.
struct ConstraintDefinition {
  enum class Kind { kPrimaryKey, kUnique, kForeignKey, kNotNull };
  Kind kind = Kind::kPrimaryKey;
  std::string name;                  // empty when written without CONSTRAINT name
  std::vector<std::string> columns;  // the constrained fields
  // FOREIGN KEY ... REFERENCES table [(fields)]: empty fields mean the table's primary key.
  std::string referenced_table;
  std::vector<std::string> referenced_columns;
  bool cascade_update = false;
  bool cascade_delete = false;
};

struct FieldDefinition {
  std::string name;
  FieldType type;
  bool not_null = false;
  bool compressed = false;                        // WITH COMPRESSION
  std::vector<ConstraintDefinition> constraints;  // written after the field; columns = {name}
};

struct CreateTableStatement {
  std::string table;
  std::vector<FieldDefinition> fields;
  std::vector<ConstraintDefinition> constraints;  // table constraints
};

struct IndexField {
  std::string name;
  bool descending = false;
};

// CREATE [UNIQUE] INDEX name ON table (fields) [WITH PRIMARY | DISALLOW NULL | IGNORE NULL].
struct CreateIndexStatement {
  std::string name;
  std::string table;
  std::vector<IndexField> fields;
  bool unique = false;
  bool primary = false;
  bool disallow_null = false;
  bool ignore_null = false;
};

// DROP TABLE table | DROP INDEX name ON table.
struct DropStatement {
  bool index = false;
  std::string name;   // the table, or the index
  std::string table;  // DROP INDEX: its table
};

struct AlterTableStatement {
  enum class Action { kAddColumn, kDropColumn, kAlterColumn, kAddConstraint, kDropConstraint };
  Action action = Action::kAddColumn;
  std::string table;
  FieldDefinition field;            // ADD / ALTER COLUMN
  ConstraintDefinition constraint;  // ADD CONSTRAINT
  std::string name;                 // DROP COLUMN / DROP CONSTRAINT
};

struct DataDefinition {
  enum class Kind { kCreateTable, kDropTable, kCreateIndex, kDropIndex, kAlterTable };
  Kind kind = Kind::kCreateTable;
  CreateTableStatement create_table;
  CreateIndexStatement create_index;
  DropStatement drop;
  AlterTableStatement alter_table;
};

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DDL_AST_H_
