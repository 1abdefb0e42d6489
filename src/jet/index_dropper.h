#ifndef QUORLA_JET_INDEX_DROPPER_H_
#define QUORLA_JET_INDEX_DROPPER_H_

// Dropping an index of a Jet 4 table inside an open statement: its logical index leaves the
// definition, and its physical index too when no other logical index shares it (the index's pages
// and usage-map row are given back).

#include <string>

#include "jet/database.h"
#include "jet/pager.h"

namespace jet {

// Throws before anything changes: 3371 no such table or index, 3303 the table takes part in a
// relationship (its indexes are numbered in the other table's definition), 3027 a system table.
void DropIndexFromFile(Pager& pager, Database& db, const std::string& table,
                       const std::string& index);

}  // namespace jet

#endif  // QUORLA_JET_INDEX_DROPPER_H_
