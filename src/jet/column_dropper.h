#ifndef QUORLA_JET_COLUMN_DROPPER_H_
#define QUORLA_JET_COLUMN_DROPPER_H_

// Dropping a column of a Jet 4 table inside an open statement. As Access does, the other columns
// keep their numbers and places in the row (the dropped number is not given out again: the
// definition's highest column count stays); every row is stored again without the column's
// value, and the long values of a dropped Memo or OLE column are freed.

#include <string>

#include "jet/database.h"
#include "jet/pager.h"

namespace jet {

// Throws before anything changes: 3371 no such table, 3027 a system table, 3265 no such column,
// 3280 the column is part of an index or the table's only column, 3303 a relationship uses it.
void DropColumnFromFile(Pager& pager, Database& db, const std::string& table,
                        const std::string& column);

}  // namespace jet

#endif  // QUORLA_JET_COLUMN_DROPPER_H_
