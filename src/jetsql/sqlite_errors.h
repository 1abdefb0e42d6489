#ifndef QUORLA_JETSQL_SQLITE_ERRORS_H_
#define QUORLA_JETSQL_SQLITE_ERRORS_H_

// Turns the message of a failed SQLite call into the jet::Error the user sees: errors our own
// functions raise ("jet:<number>:<text>") keep their number; SQLite's own limits become Jet's
// "too complex" errors; anything else is a reserved error quoting SQLite.

#include <string>

#include "jet/error.h"

namespace jetsql {

jet::Error SqliteError(const std::string& message);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_SQLITE_ERRORS_H_
