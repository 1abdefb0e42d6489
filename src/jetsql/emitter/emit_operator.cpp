// Comparisons, logical operators, Not, Like, In (list) and Is Null.

#include "jet/error.h"
#include "jetsql/emitter/emitter.h"
#include "jetsql/like.h"
#include "jetsql/text_bounds.h"

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

bool IsTableTextColumn(const BoundExpr& a) {
  return a.kind == BoundExprKind::kColumn && !a.derived_column && IsTextType(a.type);
}

bool IsTextConstant(const BoundExpr& p) {
  return p.kind == BoundExprKind::kConstant && p.constant.kind == BoundConstant::Kind::kText;
}

// A text column Like a pattern that starts with letters or digits ('abc*'): the range of texts
// that start with them, which SQLite hands to the table's index (text_bounds.h). Every text the
// pattern matches lies in the range, so the condition does not change.
std::string PrefixRange(const BoundExpr& a, const BoundExpr& p) {
  if (!IsTableTextColumn(a) || !IsTextConstant(p)) return "";
  std::string prefix = AlnumPrefix(p.constant.text);
  if (prefix.empty()) return "";
  // A pattern Like refuses must fail on every row, not only on the rows in the range.
  try {
    LikePattern check(p.constant.text);
  } catch (const jet::Error&) {
    return "";
  }
  std::string column = EmitExpression(a);
  std::string range = " AND " + column + " >= '" + prefix + "'";
  if (auto upper = AlnumSuccessor(prefix)) range += " AND " + column + " < '" + *upper + "'";
  return range;
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
      std::string like = "jet_like(" + EmitExpression(a) + ", " + TypeCode(a.type) + ", " +
                         EmitExpression(p) + ", " + TypeCode(p.type) + ")";
      if (e.negated) return "(" + like + " = 0)";
      if (IsTableTextColumn(a) && IsTextConstant(p)) {
        // The form the table can evaluate while it reads (like.h).
        like = std::string(kLikeColumnFunction) + "(" + EmitExpression(a) + ", " +
               EmitExpression(p) + ")";
        return "(" + like + PrefixRange(a, p) + ")";
      }
      return "(" + like + " <> 0" + PrefixRange(a, p) + ")";
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
