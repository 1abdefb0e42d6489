// Comparisons, logical operators, Not, Like, In (list) and Is Null.

#include "jetsql/emitter/emitter.h"

namespace jetsql {
namespace {

std::string Compare(const BoundExpr& e) {
  const BoundExpr& a = *e.args[0];
  const BoundExpr& b = *e.args[1];
  switch (e.compare) {
    case CompareMode::kNative:
      return "(" + EmitExpression(a) + " " + e.op + " " + EmitExpression(b) + ")";
    case CompareMode::kCollated:
      return "(" + EmitExpression(a) + " COLLATE jet_general " + e.op + " " + EmitExpression(b) +
             ")";
    case CompareMode::kRuntime:
      return "(jet_op_cmp(" + EmitExpression(a) + ", " + TypeCode(a.type) + ", " +
             EmitExpression(b) + ", " + TypeCode(b.type) + ") " + e.op + " 0)";
  }
  return "NULL";
}

std::string Logical(const BoundExpr& e) {
  if (e.op == "AND" || e.op == "OR") {
    std::string sql;
    for (size_t i = 0; i < e.args.size(); ++i) {
      sql += (i ? " " + e.op + " " : "") + EmitExpression(*e.args[i]);
    }
    return "(" + sql + ")";
  }
  std::string a = EmitExpression(*e.args[0]), b = EmitExpression(*e.args[1]);
  if (e.op == "XOR") return "(" + a + " <> " + b + ")";
  if (e.op == "EQV") return "(" + a + " = " + b + ")";
  return "((NOT " + a + ") OR " + b + ")";  // IMP
}

}  // namespace

std::string EmitOperator(const BoundExpr& e) {
  switch (e.kind) {
    case BoundExprKind::kCompare:
      return Compare(e);
    case BoundExprKind::kLogical:
      return Logical(e);
    case BoundExprKind::kNot:
      return "(NOT " + EmitExpression(*e.args[0]) + ")";
    case BoundExprKind::kLike: {
      const BoundExpr& a = *e.args[0];
      const BoundExpr& p = *e.args[1];
      return "(jet_like(" + EmitExpression(a) + ", " + TypeCode(a.type) + ", " + EmitExpression(p) +
             ", " + TypeCode(p.type) + ") " + (e.negated ? "= 0)" : "<> 0)");
    }
    case BoundExprKind::kInList: {
      std::string sql = "(" + Collated(EmitExpression(*e.args[0]), e.args[0]->type) + " IN (";
      for (size_t i = 1; i < e.args.size(); ++i) {
        sql += (i > 1 ? ", " : "") + EmitExpression(*e.args[i]);
      }
      return sql + "))";
    }
    case BoundExprKind::kIsNull:
      return "(" + EmitExpression(*e.args[0]) + (e.negated ? " IS NOT NULL)" : " IS NULL)");
    default:
      break;
  }
  return "NULL";
}

}  // namespace jetsql
