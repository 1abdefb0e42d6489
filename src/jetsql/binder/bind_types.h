#ifndef QUORLA_JETSQL_BINDER_BIND_TYPES_H_
#define QUORLA_JETSQL_BINDER_BIND_TYPES_H_

// Jet's typing rules as the binder applies them: the type classes, the result types of
// operators, and the nodes that convert between representations (conditions and Booleans,
// implicit conversions, comparisons of unlike types).

#include <memory>
#include <string>
#include <vector>

#include "jetsql/binder/bind_scope.h"
#include "jetsql/bound_tree.h"

namespace jetsql {

enum class TypeClass {
  kNull,
  kBool,
  kIntegral,
  kCurrency,
  kFloat,
  kDate,
  kDecimal,
  kText,
  kBinary,
  kGuid,
  kOther
};

TypeClass ClassOf(jet::ColumnType t);
bool IsNumericClass(TypeClass c);

// The result type of + - * / \ ^ Mod; 3464 for operands that are not numbers, dates or text.
jet::ColumnType ArithmeticType(const std::string& op, jet::ColumnType a, jet::ColumnType b);
// The type two alternatives share (IIf, UNION, ...).
jet::ColumnType Unify(jet::ColumnType a, jet::ColumnType b);

// A new node of `kind`, to be filled in before it is shared.
std::shared_ptr<BoundExpr> NewNode(BoundExprKind kind, jet::ColumnType type,
                                   bool condition = false);
// A node with the flags of none of its operands.
Bound Plain(BoundExprPtr node);
BoundExprPtr NullConstant(jet::ColumnType type = static_cast<jet::ColumnType>(0));
BoundExprPtr IntegerConstant(int64_t v, jet::ColumnType type);
// A column c<index> of a query read as `qualifier` (none: the query being wrapped).
BoundExprPtr OutputColumn(int index, jet::ColumnType type, const std::string& qualifier = "");

// Merges the aggregate and naked flags of an operand into a result.
Bound& Absorb(Bound& r, const Bound& a);

// The expression as a Jet value (conditions become Booleans -1/0).
Bound AsValue(const Bound& b);
// The expression as a condition (values are true when not zero).
Bound AsCondition(const Bound& b);
// The value converted to `target`'s representation where it differs.
Bound Coerce(const Bound& b, jet::ColumnType target);
// A comparison with Access's typing; op is = <> < <= > >=.
Bound Compare(const std::string& op, const Bound& a, const Bound& b);
// And, Or (any number of operands), Xor, Eqv, Imp (two): logical on conditions and Booleans,
// bitwise on numbers.
Bound Logical(const std::string& op, const std::vector<Bound>& operands);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_BINDER_BIND_TYPES_H_
