#include "jetsql/bound_tree.h"

namespace jetsql {
namespace {

bool SameConstant(const BoundConstant& a, const BoundConstant& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case BoundConstant::Kind::kNull:
      return true;
    case BoundConstant::Kind::kInteger:
      return a.integer == b.integer;
    case BoundConstant::Kind::kReal:
      return a.real == b.real;
    case BoundConstant::Kind::kText:
    case BoundConstant::Kind::kLiteral:
      return a.text == b.text;
  }
  return false;
}

}  // namespace

bool SameBoundExpr(const BoundExpr& a, const BoundExpr& b) {
  if (&a == &b) return true;
  if (a.kind != b.kind || a.type != b.type || a.condition != b.condition ||
      a.args.size() != b.args.size()) {
    return false;
  }
  switch (a.kind) {
    case BoundExprKind::kConstant:
      if (!SameConstant(a.constant, b.constant)) return false;
      break;
    case BoundExprKind::kColumn:
      if (a.source != b.source || a.column != b.column || a.derived_column != b.derived_column) {
        return false;
      }
      break;
    case BoundExprKind::kOutputColumn:
      if (a.column != b.column || a.qualifier != b.qualifier) return false;
      break;
    case BoundExprKind::kParameter:
      if (a.name != b.name) return false;
      break;
    case BoundExprKind::kCompare:
      if (a.op != b.op || a.compare != b.compare) return false;
      break;
    case BoundExprKind::kLogical:
      if (a.op != b.op) return false;
      break;
    case BoundExprKind::kCall:
      if (a.function != b.function || a.call_style != b.call_style ||
          a.result_code != b.result_code) {
        return false;
      }
      break;
    case BoundExprKind::kLike:
    case BoundExprKind::kIsNull:
      if (a.negated != b.negated) return false;
      break;
    case BoundExprKind::kCase:
      if (a.has_operand != b.has_operand || a.has_else != b.has_else) return false;
      break;
    case BoundExprKind::kAggregate:
      if (a.function != b.function || a.star != b.star || a.collated != b.collated ||
          a.typed_argument != b.typed_argument || !a.filter != !b.filter ||
          (a.filter && !SameBoundExpr(*a.filter, *b.filter))) {
        return false;
      }
      break;
    case BoundExprKind::kInQuery:
    case BoundExprKind::kExists:
    case BoundExprKind::kSubquery:
    case BoundExprKind::kQuantified:
      // Subqueries are the same only as the same bound query.
      if (a.query != b.query || a.op != b.op || a.negated != b.negated) return false;
      break;
    case BoundExprKind::kToValue:
    case BoundExprKind::kToCondition:
    case BoundExprKind::kCast:
    case BoundExprKind::kNot:
    case BoundExprKind::kInList:
      break;
  }
  for (size_t i = 0; i < a.args.size(); ++i) {
    if (!SameBoundExpr(*a.args[i], *b.args[i])) return false;
  }
  return true;
}

}  // namespace jetsql
