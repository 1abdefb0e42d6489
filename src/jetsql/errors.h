#ifndef QUORLA_JETSQL_ERRORS_H_
#define QUORLA_JETSQL_ERRORS_H_

// The limits that keep hostile statements within bounds. Errors are raised through the factories
// of error/errors.h (e.g. `throw errors::SyntaxInUnion();`).

#include <cstddef>
#include <cstdint>
#include <string>

#include "jet/error.h"

namespace jetsql {

// Limits that keep hostile statements from exhausting the stack or memory.
inline constexpr int kMaxExpressionDepth = 300;  // height of one expression tree
inline constexpr int kMaxNesting = 200;  // parentheses, subqueries and unary operators in a row
inline constexpr size_t kMaxChainLength = 4096;  // operands of one And/Or chain
inline constexpr size_t kMaxStatementLength = 1 << 20;
inline constexpr size_t kMaxFields = 255;  // fields of one result, as in Access
inline constexpr size_t kMaxTokens = 1 << 17;

}  // namespace jetsql

#endif  // QUORLA_JETSQL_ERRORS_H_
