#ifndef QUORLA_JET_DATABASE_CREATOR_H_
#define QUORLA_JET_DATABASE_CREATOR_H_

// Creating a new, empty Access 2000 (Jet 4) database: the header page, the global usage map, the
// catalogue MSysObjects (its definition on page 2) with its indexes, and the system tables the
// engine keeps beside it (MSysACEs, MSysQueries, MSysRelationships). The catalogue holds the
// containers Tables, Databases and Relationships, the database object MSysDb and the four
// system tables; MSysACEs gives them the access Access gives them. Tables the Access program
// adds for itself (forms, reports, MSysAccessObjects) are left to it.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/value.h"

namespace jet {

// The bytes of a new empty database created at `created`.
std::vector<uint8_t> NewDatabaseImage(DateTime created);

// Writes a new empty database to `path`, created now. Throws Error 3204 when `path` exists,
// 3044 when its folder does not, 3027 when the folder is read-only, 3043/3026 on a failed write.
void CreateDatabase(const std::string& path);

}  // namespace jet

#endif  // QUORLA_JET_DATABASE_CREATOR_H_
