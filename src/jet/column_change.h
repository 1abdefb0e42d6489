#ifndef QUORLA_JET_COLUMN_CHANGE_H_
#define QUORLA_JET_COLUMN_CHANGE_H_

// What dropping and altering a column share: finding the column and refusing one a relationship
// uses, and deleting the usage maps of a Memo or OLE column's long values.

#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/pager.h"
#include "jet/tdef_page.h"

namespace jet {

// The position of `column` in `def`: 3265 when there is none, 3303 when a relationship names it.
size_t ColumnToChange(Database& db, const TableDef& def, const std::string& column);

// Deletes the usage-map rows a column's long-value map entry named (tdef_column_edit.h).
void DeleteLongValueMaps(Pager& pager, const TableLayout& layout,
                         const std::vector<RowPointer>& maps);

}  // namespace jet

#endif  // QUORLA_JET_COLUMN_CHANGE_H_
