#ifndef QUORLA_JETSQL_ERRORS_H_
#define QUORLA_JETSQL_ERRORS_H_

// The SQL front end's errors and the limits that raise some of them. Errors are raised through
// the factories of error/errors.h (e.g. `throw errors::SyntaxInUnion();`); sqlerr names their
// numbers for code that compares them.

#include <cstddef>
#include <cstdint>

#include "jet/error.h"

namespace jetsql {

namespace sqlerr {
using namespace ::errors::code;
}  // namespace sqlerr

// Limits that keep hostile statements from exhausting the stack or memory.
inline constexpr int kMaxExpressionDepth = 300;  // height of one expression tree
inline constexpr int kMaxNesting = 200;  // parentheses, subqueries and unary operators in a row
inline constexpr size_t kMaxChainLength = 4096;  // operands of one And/Or chain
inline constexpr size_t kMaxStatementLength = 1 << 20;
inline constexpr size_t kMaxFields = 255;  // fields of one result, as in Access
inline constexpr size_t kMaxTokens = 1 << 17;

}  // namespace jetsql

#endif  // QUORLA_JETSQL_ERRORS_H_
