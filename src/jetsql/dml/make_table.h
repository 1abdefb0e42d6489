#ifndef QUORLA_JETSQL_DML_MAKE_TABLE_H_
#define QUORLA_JETSQL_DML_MAKE_TABLE_H_

// The table a make-table query (SELECT ... INTO table FROM ...) creates, as Access derives it from
// the query's fields: a field that is a column of a source table keeps that column's type and size
// (an autonumber becomes a plain Long), any other field gets the column type of its SQL type, text
// as Text(255). The new table has no indexes.

#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jetsql/ast.h"
#include "jetsql/binder.h"

namespace jetsql {

// The make-table target of `stmt`, or "" when it is no make-table query.
std::string MakeTableTarget(const Statement& stmt);

// The file a make-table query makes its table in: `db` itself when `file` is "" or names db's own
// file, else the other Jet file `file` names (relative to db's folder, as FROM t IN 'file'
// reads), opened for changes (its statements then fail with 3027 when it is a Jet 3 or
// read-only file). Throws Error 3044 or 3024 as OtherDatabase does when the file is missing.
std::shared_ptr<jet::Database> MakeTableDatabase(const std::shared_ptr<jet::Database>& db,
                                                 const std::string& file);

// The definition of `table` for the fields `names`/`types` that `query` (the statement's single
// SELECT, INTO removed) gives.
jet::NewTable PlanMakeTable(const std::string& table, const SelectQuery& query,
                            const std::vector<std::string>& names,
                            const std::vector<jet::ColumnType>& types, Catalog& catalog);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DML_MAKE_TABLE_H_
