#ifndef QUORLA_JET_RELATIONSHIP_WRITER_H_
#define QUORLA_JET_RELATIONSHIP_WRITER_H_

// Recording and removing enforced relationships in a Jet 4 file inside an open statement, as
// Access does: one MSysRelationships row per pair of columns and an index entry of type 2 on each
// table. The referenced table's entry (named ".rB", ".rC", ...) shares the physical index of the
// unique index over the referenced columns; the referring table's entry carries the
// relationship's name and shares a physical index over the same columns when the table has one,
// else gets its own. Each entry names the other's table and index, with the cascades.

#include <string>

#include "jet/pager.h"
#include "jet/relationships.h"

namespace jet {

// Checks before anything changes: 3371 a table that is not there, 3027 a system table, 3265 an
// unknown column, 3368 column counts or types that differ, 3609 no unique index over exactly the
// referenced columns, 3378 the name taken by a relationship, 3375 by an index of the referring
// table, 3379 a referring row (no key column Null) without its referenced row. Empty referenced
// columns stand for the referenced table's primary key (3373 when it has none).
void CreateRelationshipInFile(Pager& pager, Database& db, Relationship relationship);

// Removes the relationship `name` in which `table` is the referring table: 3371 when there is none.
void DropRelationshipFromFile(Pager& pager, Database& db, const std::string& table,
                              const std::string& name);

// Whether `table` refers to another through the relationship `name`.
bool HasRelationship(Database& db, const std::string& table, const std::string& name);

}  // namespace jet

#endif  // QUORLA_JET_RELATIONSHIP_WRITER_H_
