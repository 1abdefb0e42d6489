#ifndef QUORLA_JET_COLUMN_CHANGE_H_
#define QUORLA_JET_COLUMN_CHANGE_H_

// What adding, dropping and altering a column share: finding the column and refusing one a
// relationship uses, the room the rows already use, and deleting the usage maps of a Memo or OLE
// column's long values.

#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/pager.h"
#include "jet/tdef_page.h"

namespace jet {

// The position of `column` in `def`: 3265 when there is none, 3303 when a relationship names it.
size_t ColumnToChange(Database& db, const TableDef& def, const std::string& column);

// The row space a table's columns already use: the end of the fixed part (past every fixed
// column's bytes) and the number of variable slots.
struct RowSpaceInUse {
  size_t fixed_end = 0;
  size_t var_slots = 0;
};
RowSpaceInUse RowSpaceOf(const TableLayout& layout);

// Deletes the usage-map rows a column's long-value map entry named (tdef_column_edit.h).
void DeleteLongValueMaps(Pager& pager, const TableLayout& layout,
                         const std::vector<RowPointer>& maps);

}  // namespace jet

#endif  // QUORLA_JET_COLUMN_CHANGE_H_
