#ifndef QUORLA_JETSQL_ERRORS_H_
#define QUORLA_JETSQL_ERRORS_H_

// The errors the Jet SQL front end raises, with Jet's numbers and German texts. Every syntax or
// meaning error of a statement is one of these.

#include <cstdint>
#include <string>

#include "jet/error.h"

namespace jetsql {

namespace sqlerr {
inline constexpr int32_t kReserved = 3000;            // "Reservierter Fehler (…)"
inline constexpr int32_t kUndefinedFunction = 3085;   // "Undefinierte Funktion '…' in Ausdruck."
inline constexpr int32_t kNotPartOfAggregate = 3122;  // field not in GROUP BY / aggregate
inline constexpr int32_t kAmbiguousField = 3079;      // field could refer to several tables
inline constexpr int32_t kAggregateInWhere = 3096;    // aggregate in WHERE
inline constexpr int32_t kSubqueryFields = 3306;      // subquery returns more than one field
inline constexpr int32_t kUnionColumns = 3307;        // UNION arms differ in field count
inline constexpr int32_t kCharactersAfterEnd = 3142;  // text after the end of the statement
inline constexpr int32_t kSyntaxInOrderBy = 3138;     // "Syntaxfehler in ORDER BY-Klausel."
inline constexpr int32_t kSyntaxInJoin = 3135;        // "Syntaxfehler in JOIN-Operation."
inline constexpr int32_t kQueryTooComplex = 3360;     // "Abfrage ist zu komplex."
inline constexpr int32_t kSyntaxInUnion = 3319;       // "Syntaxfehler in Union-Abfrage."
inline constexpr int32_t kSyntaxInTransform = 3130;   // crosstab statement malformed
inline constexpr int32_t kSyntaxInParameters = 3125;  // PARAMETERS clause malformed
inline constexpr int32_t kAggregateInGroupBy = 3092;  // aggregate in GROUP BY
inline constexpr int32_t kNestedAggregate = 3095;     // aggregate inside an aggregate
inline constexpr int32_t kTooManyFields = 3190;       // "Zu viele Felder definiert."
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

[[noreturn]] void ThrowBadExpression(const std::string& expression);  // 3075, missing operator
[[noreturn]] void ThrowSyntax(int32_t number, const std::string& description);
[[noreturn]] void ThrowTooComplex();                             // 3071
[[noreturn]] void ThrowTableNotFound(const std::string& table);  // 3078
[[noreturn]] void ThrowTooFewParameters(int count);              // 3061
[[noreturn]] void ThrowCriteriaMismatch();                       // 3464
[[noreturn]] void ThrowReservedWord();                           // 3141
[[noreturn]] void ThrowFromSyntax();                             // 3131

}  // namespace jetsql

#endif  // QUORLA_JETSQL_ERRORS_H_
