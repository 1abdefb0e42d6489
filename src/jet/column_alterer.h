#ifndef QUORLA_JET_COLUMN_ALTERER_H_
#define QUORLA_JET_COLUMN_ALTERER_H_

// Changing the type, size or Required rule of a column of a Jet 4 table inside an open statement.
// The column keeps its name, number and position; it keeps its place in the row when the new type
// fits there (a variable column stays variable, a fixed one is no larger), else it gets a new
// place after the others, as an added column would. Every row is stored again with its value
// converted, and indexes on the column are filled anew with keys of the new type.

#include <string>

#include "jet/database.h"
#include "jet/pager.h"

namespace jet {

// `changed` as for Database::AlterColumn. Throws before anything changes: 3371 no such table,
// 3027 a system table, 3265 no such column, 3303 a relationship uses it, 3251 an autonumber for a
// table with rows or a Memo/OLE column in an index, and whatever `convert` throws; afterwards (the
// statement then to be rolled back) 3314 Null in a now required column, 3022 keys a unique index
// now finds twice, 3163 a converted value too long.
void AlterColumnInFile(Pager& pager, Database& db, const std::string& table,
                       const std::string& column, ColumnDef changed,
                       const ColumnValueConverter& convert);

}  // namespace jet

#endif  // QUORLA_JET_COLUMN_ALTERER_H_
