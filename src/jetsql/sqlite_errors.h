#ifndef QUORLA_JETSQL_SQLITE_ERRORS_H_
#define QUORLA_JETSQL_SQLITE_ERRORS_H_

// Turns the message of an SQLite failure that none of our callbacks raised (those come back
// through PendingError, callback_error.h) into the jet::Error the user sees: SQLite's own limits
// become Jet's "too complex" errors; anything else is a reserved error quoting SQLite.

#include <string>

#include "jet/error.h"

namespace jetsql {

jet::Error SqliteError(const std::string& message);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_SQLITE_ERRORS_H_
