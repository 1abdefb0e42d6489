#ifndef QUORLA_JETSQL_OPEN_FOR_CHANGES_H_
#define QUORLA_JETSQL_OPEN_FOR_CHANGES_H_

// Opening a file that statements may change.

#include <memory>
#include <string>

#include "jet/database.h"

namespace jetsql {

// Opens the file for writing where that is allowed, else read-only (changes then fail with
// 3027): a Jet 3 file, a read-only medium, or a file marked read-only, which is respected even
// for a user the system would let write it (as Access respects the read-only attribute).
// Throws jet::Error as jet::Database::Open does.
std::unique_ptr<jet::Database> OpenForChanges(const std::string& path);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_OPEN_FOR_CHANGES_H_
