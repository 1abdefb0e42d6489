#ifndef QUORLA_JET_COLUMN_ADDER_H_
#define QUORLA_JET_COLUMN_ADDER_H_

// Adding a column to a Jet 4 table inside an open statement. Rows are left as they are: a row
// records how many columns it has, and a column numbered beyond them reads as Null (No for
// Yes/No), as for rows Access wrote before a column was added.

#include <string>

#include "jet/database.h"
#include "jet/pager.h"

namespace jet {

// `column` as for NewTable. Throws before anything changes: 3371 no such table, 3191 the name is
// taken, 3190 too many columns, 3027 a system table, 3251 an autonumber for a table with rows.
void AddColumnInFile(Pager& pager, Database& db, const std::string& table, ColumnDef column);

}  // namespace jet

#endif  // QUORLA_JET_COLUMN_ADDER_H_
