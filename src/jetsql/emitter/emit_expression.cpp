// Expressions by kind: names and conversions here, the rest in emit_operator, emit_function,
// emit_aggregate and emit_subquery.

#include "jetsql/binder.h"
#include "jetsql/emitter/emitter.h"

namespace jetsql {

std::string EmitExpression(const BoundExpr& e) {
  switch (e.kind) {
    case BoundExprKind::kConstant:
      return EmitConstant(e.constant);
    case BoundExprKind::kColumn:
      return "s" + std::to_string(e.source) + "." +
             (e.derived_column ? "c" + std::to_string(e.column) : QuoteIdentifier(e.name));
    case BoundExprKind::kOutputColumn:
      return (e.qualifier.empty() ? "c" : e.qualifier + ".c") + std::to_string(e.column);
    case BoundExprKind::kParameter:
      return "NULL";
    case BoundExprKind::kToValue:
      return "(-" + EmitExpression(*e.args[0]) + ")";
    case BoundExprKind::kToCondition:
      return "(" + EmitExpression(*e.args[0]) + " <> 0)";
    case BoundExprKind::kCast:
      return "jet_cast(" + EmitExpression(*e.args[0]) + ", " + TypeCode(e.args[0]->type) + ", " +
             TypeCode(e.type) + ")";
    case BoundExprKind::kCompare:
    case BoundExprKind::kLogical:
    case BoundExprKind::kNot:
    case BoundExprKind::kLike:
    case BoundExprKind::kInList:
    case BoundExprKind::kIsNull:
      return EmitOperator(e);
    case BoundExprKind::kCall:
    case BoundExprKind::kCase:
      return EmitFunction(e);
    case BoundExprKind::kAggregate:
      return EmitAggregate(e);
    case BoundExprKind::kInQuery:
    case BoundExprKind::kExists:
    case BoundExprKind::kQuantified:
    case BoundExprKind::kSubquery:
      return EmitSubquery(e);
  }
  return "NULL";
}

}  // namespace jetsql
