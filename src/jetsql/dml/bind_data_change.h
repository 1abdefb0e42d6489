#ifndef QUORLA_JETSQL_DML_BIND_DATA_CHANGE_H_
#define QUORLA_JETSQL_DML_BIND_DATA_CHANGE_H_

// Binding of INSERT, UPDATE and DELETE. Each becomes a SELECT that the ordinary binder binds and
// SQLite runs: for INSERT the rows to add, for UPDATE and DELETE the addresses of the rows to
// change (and their new values). All of its rows are read before the first write, so a statement
// never sees its own changes (INSERT INTO t SELECT ... FROM t adds each row once).

#include <memory>
#include <utility>
#include <vector>

#include "jetsql/ast.h"
#include "jetsql/binder.h"

namespace jetsql {

// A table whose rows an UPDATE or DELETE changes.
struct WriteTarget {
  std::shared_ptr<const jet::TableDef> def;
  int address_column = -1;  // the result column holding the row's address
  // UPDATE: (field position in def->columns, result column holding its new value)
  std::vector<std::pair<int, int>> assignments;
};

struct BoundDataChange {
  enum class Kind { kInsert, kUpdate, kDelete } kind = Kind::kInsert;
  BoundStatement rows;  // the SELECT to read
  // INSERT: the table and, for each result column, the field it fills
  std::shared_ptr<const jet::TableDef> table;
  std::vector<int> fields;
  std::vector<WriteTarget> targets;  // UPDATE, DELETE
};

// Binds `stmt`, which has insert, update or delete set; consumes its syntax tree. Throws
// jet::Error for every meaning error: 3078 unknown table, 3127 unknown field of an INSERT,
// 3346 value count, 3061 missing parameters, and the binder's errors for the expressions.
BoundDataChange BindDataChange(Statement stmt, Catalog& catalog);

// The parts, one per statement (bind_insert.cpp, bind_update.cpp, bind_delete.cpp).
BoundDataChange BindInsert(Statement stmt, Catalog& catalog);
BoundDataChange BindUpdate(Statement stmt, Catalog& catalog);
BoundDataChange BindDelete(Statement stmt, Catalog& catalog);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DML_BIND_DATA_CHANGE_H_
