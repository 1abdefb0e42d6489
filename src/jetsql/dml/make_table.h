#ifndef QUORLA_JETSQL_DML_MAKE_TABLE_H_
#define QUORLA_JETSQL_DML_MAKE_TABLE_H_

// The table a make-table query (SELECT ... INTO table FROM ...) creates, as Access derives it from
// the query's fields: a field that is a column of a source table keeps that column's type and size
// (an autonumber becomes a plain Long), any other field gets the column type of its SQL type, text
// as Text(255). The new table has no indexes.

#include <string>
#include <vector>

#include "jet/database.h"
#include "jetsql/ast.h"
#include "jetsql/binder.h"

namespace jetsql {

// The make-table target of `stmt`, or "" when it is no make-table query.
std::string MakeTableTarget(const Statement& stmt);

// The definition of `table` for the fields `names`/`types` that `query` (the statement's single
// SELECT, INTO removed) gives.
jet::NewTable PlanMakeTable(const std::string& table, const SelectQuery& query,
                            const std::vector<std::string>& names,
                            const std::vector<jet::ColumnType>& types, Catalog& catalog);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DML_MAKE_TABLE_H_
