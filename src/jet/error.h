#ifndef QUORLA_JET_ERROR_H_
#define QUORLA_JET_ERROR_H_

// The engine's names for the program's one error type (error/error.h) and its numbers. New code
// raises errors through the factories of error/errors.h.

#include "error/error.h"
#include "error/errors.h"

namespace jet {

using Error = ::errors::Error;

namespace err {
using namespace ::errors::code;
}  // namespace err

}  // namespace jet

#endif  // QUORLA_JET_ERROR_H_
