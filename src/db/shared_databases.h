#ifndef QUORLA_DB_SHARED_DATABASES_H_
#define QUORLA_DB_SHARED_DATABASES_H_

// Every part of the program that opens a file (the window's database, the data control, the
// statements it executes) shares one open jet::Database per file: one page cache and one lock, so
// the program never locks itself out and what one part writes, the others read.

#include <memory>
#include <string>

#include "jet/database.h"

namespace db {

// The open database of `path`, opened for writing where the engine can and read-only where it
// cannot (a Jet 3 file, a read-only file or medium: writes then fail with 3027). It stays open
// while anyone holds it. Throws jet::Error as jet::Database::Open does.
std::shared_ptr<jet::Database> SharedDatabase(const std::string& path);

}  // namespace db

#endif  // QUORLA_DB_SHARED_DATABASES_H_
