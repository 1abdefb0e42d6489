#ifndef QUORLA_JETSQL_DDL_FOREIGN_KEYS_H_
#define QUORLA_JETSQL_DDL_FOREIGN_KEYS_H_

// FOREIGN KEY constraints of data definition: each becomes an enforced relationship between the
// constrained table (the referring side) and the table it references. A constraint without a
// name gets the referenced table's name followed by the table's, as Access names relationships.

#include <string>

#include "jet/database.h"
#include "jetsql/ddl_ast.h"

namespace jetsql {

// Records the relationship that `constraint` (a FOREIGN KEY) on `table` asks for
// (jet/relationship_writer.h lists the errors).
void AddForeignKey(const ConstraintDefinition& constraint, const std::string& table,
                   jet::Database& db);

// The relationships a new table's FOREIGN KEY constraints (of fields and of the table) ask for.
void AddForeignKeys(const CreateTableStatement& statement, jet::Database& db);

// Removes the relationship `name` in which `table` refers; false when there is none (the
// constraint is an index).
bool DropForeignKey(const std::string& table, const std::string& name, jet::Database& db);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DDL_FOREIGN_KEYS_H_
