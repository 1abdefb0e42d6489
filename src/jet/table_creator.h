#ifndef QUORLA_JET_TABLE_CREATOR_H_
#define QUORLA_JET_TABLE_CREATOR_H_

// Creating a table in a Jet 4 file inside an open statement: its definition pages, the page of
// its usage maps (owned pages, pages with free space, one per physical index), an empty root
// page per physical index, and its row in the catalogue. Everything is checked before the first
// change.

#include "jet/database.h"
#include "jet/pager.h"

namespace jet {

// Checks `table` (names, counts, one primary key, index columns) and the catalogue (name free)
// and throws before anything changes: 3010 name taken, 3191 a field twice, 3190 too many fields,
// 3375 an index name twice, 3283 two primary keys, 3265 an index on an unknown field.
void CreateTableInFile(Pager& pager, Database& db, const NewTable& table);

}  // namespace jet

#endif  // QUORLA_JET_TABLE_CREATOR_H_
