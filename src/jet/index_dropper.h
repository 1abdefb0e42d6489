#ifndef QUORLA_JET_INDEX_DROPPER_H_
#define QUORLA_JET_INDEX_DROPPER_H_

// Dropping an index of a Jet 4 table inside an open statement: its logical index leaves the
// definition, and its physical index too when no other logical index shares it (the index's pages
// and usage-map row are given back).

#include <string>

#include "jet/database.h"
#include "jet/pager.h"
#include "jet/tdef_page.h"

namespace jet {

// Throws before anything changes: 3371 no such table or index, 3303 the table takes part in a
// relationship (its indexes are numbered in the other table's definition), 3027 a system table.
void DropIndexFromFile(Pager& pager, Database& db, const std::string& table,
                       const std::string& index);

// Removes logical index `logical` of the table `layout` describes, without DropIndexFromFile's
// checks. Relationship entries of other indexes that number this table's indexes are the
// caller's to renumber.
void RemoveIndexFromFile(Pager& pager, const TableLayout& layout, size_t logical);

}  // namespace jet

#endif  // QUORLA_JET_INDEX_DROPPER_H_
