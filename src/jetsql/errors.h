#ifndef QUORLA_JETSQL_ERRORS_H_
#define QUORLA_JETSQL_ERRORS_H_

// The SQL front end's errors and the limits that raise some of them. Errors are raised through
// the factories of error/errors.h (e.g. `throw errors::SyntaxInUnion();`); sqlerr names their
// numbers for code that compares them.

#include <cstddef>
#include <cstdint>
#include <string>

#include "jet/error.h"

namespace jetsql {

namespace sqlerr {
using namespace ::errors::code;
inline constexpr int32_t kSyntaxInInsert = 3134;  // "Syntaxfehler in der INSERT INTO-Anweisung."
inline constexpr int32_t kSyntaxInUpdate = 3144;  // "Syntaxfehler in der UPDATE-Anweisung."
}  // namespace sqlerr

// Limits that keep hostile statements from exhausting the stack or memory.
inline constexpr int kMaxExpressionDepth = 300;  // height of one expression tree
inline constexpr int kMaxNesting = 200;  // parentheses, subqueries and unary operators in a row
inline constexpr size_t kMaxChainLength = 4096;  // operands of one And/Or chain
inline constexpr size_t kMaxStatementLength = 1 << 20;
inline constexpr size_t kMaxFields = 255;  // fields of one result, as in Access
inline constexpr size_t kMaxTokens = 1 << 17;

// Shorthands of the statement readers and binders.
[[noreturn]] void ThrowSyntax(int32_t number, const std::string& description);
[[noreturn]] void ThrowTableNotFound(const std::string& table);  // 3078
[[noreturn]] void ThrowFromSyntax();                             // 3131

}  // namespace jetsql

#endif  // QUORLA_JETSQL_ERRORS_H_
