#ifndef QUORLA_JETSQL_DML_APPLY_DATA_CHANGE_H_
#define QUORLA_JETSQL_DML_APPLY_DATA_CHANGE_H_

// Writes what a bound INSERT, UPDATE or DELETE decided, once all of its rows have been read.

#include <cstdint>
#include <vector>

#include "jet/database.h"
#include "jetsql/dml/bind_data_change.h"

namespace jetsql {

// `rows` are the rows of change.rows, read in full. Returns the number of records added,
// changed or deleted, keeping the file's relationships (dml/referential_checks.h). Throws the
// engine's errors; the caller rolls the statement back.
int64_t ApplyDataChange(const BoundDataChange& change,
                        const std::vector<std::vector<jet::Value>>& rows, jet::Database& database);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DML_APPLY_DATA_CHANGE_H_
