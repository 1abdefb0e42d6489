#ifndef QUORLA_JET_TABLE_DROPPER_H_
#define QUORLA_JET_TABLE_DROPPER_H_

// Dropping a table of a Jet 4 file inside an open statement: its catalogue row goes, and the pages
// that are the table's alone go back to the global usage map (definition chain, data pages, index
// pages, bitmap pages of its maps); its usage-map rows are deleted from the page that holds them,
// which is freed when nothing else is left on it. Long-value pages stay as they are.

#include <string>

#include "jet/database.h"
#include "jet/pager.h"

namespace jet {

// Throws before anything changes: 3376 no such table, 3303 a relationship names it, 3027 a
// system table.
void DropTableFromFile(Pager& pager, Database& db, const std::string& name);

}  // namespace jet

#endif  // QUORLA_JET_TABLE_DROPPER_H_
