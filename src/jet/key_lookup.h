#ifndef QUORLA_JET_KEY_LOOKUP_H_
#define QUORLA_JET_KEY_LOOKUP_H_

// Finding rows by the values of some of their columns, compared as Jet compares index keys (text
// in the General order, so without regard to case): what a relationship asks of its tables.

#include <cstddef>
#include <limits>
#include <vector>

#include "jet/database.h"

namespace jet {

// The ids of the live rows of `def`'s table whose `columns` (positions in def.columns) hold `key`
// (one value per column, none Null), at most `limit` of them. Walks an index whose first columns
// are these where the table has one, else scans the table.
std::vector<RowId> FindRowsByKey(Database& db, const TableDef& def, const std::vector<int>& columns,
                                 const std::vector<Value>& key,
                                 size_t limit = std::numeric_limits<size_t>::max());

// Whether `a` and `b`, values of `column`, make the same index key (two Nulls do).
bool SameKeyValue(const ColumnDef& column, const Value& a, const Value& b, JetVersion version);

}  // namespace jet

#endif  // QUORLA_JET_KEY_LOOKUP_H_
