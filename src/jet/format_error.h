#ifndef QUORLA_JET_FORMAT_ERROR_H_
#define QUORLA_JET_FORMAT_ERROR_H_

// How the engine's inner parts report a damaged or unrecognised file. They do not know the file's
// path; Database puts it into the description before the error leaves the engine.

#include <string>

#include "jet/error.h"

namespace jet {

// Throws Error 3343 without a path; `what` names the damage for debugging only.
[[noreturn]] void ThrowCorrupt(const char* what);

// True for an error thrown by ThrowCorrupt (3343 still lacking its path).
bool IsCorruptWithoutPath(const Error& e);

}  // namespace jet

#endif  // QUORLA_JET_FORMAT_ERROR_H_
