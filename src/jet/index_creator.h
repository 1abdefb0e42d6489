#ifndef QUORLA_JET_INDEX_CREATOR_H_
#define QUORLA_JET_INDEX_CREATOR_H_

// Adding an index to an existing table of a Jet 4 file inside an open statement: an empty root
// page and its usage map, a physical and a logical index in the definition, and one entry per row
// already in the table, written as a whole tree at once. The rows are checked before the first
// change.

#include <string>

#include "jet/database.h"
#include "jet/pager.h"

namespace jet {

// Errors as Database::CreateIndex.
void CreateIndexInFile(Pager& pager, Database& db, const std::string& table, const IndexDef& index);

}  // namespace jet

#endif  // QUORLA_JET_INDEX_CREATOR_H_
