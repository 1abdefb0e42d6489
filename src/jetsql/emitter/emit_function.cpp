// Calls of runtime functions (each argument followed by its type code) and CASE for the
// functions the binder writes itself.

#include "jetsql/emitter/emitter.h"

namespace jetsql {

std::string EmitFunction(const BoundExpr& e) {
  if (e.kind == BoundExprKind::kCase) {
    std::string sql = "(CASE";
    size_t i = 0;
    if (e.has_operand) sql += " " + EmitExpression(*e.args[i++]);
    const size_t pairs_end = e.has_else ? e.args.size() - 1 : e.args.size();
    for (; i < pairs_end; i += 2) {
      sql += " WHEN " + EmitExpression(*e.args[i]) + " THEN " + EmitExpression(*e.args[i + 1]);
    }
    if (e.has_else) sql += " ELSE " + EmitExpression(*e.args.back());
    return sql + " END)";
  }
  std::string sql = e.function + "(";
  for (size_t i = 0; i < e.args.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += EmitExpression(*e.args[i]);
    if (e.call_style == CallStyle::kTyped) sql += ", " + TypeCode(e.args[i]->type);
  }
  if (e.result_code) sql += ", " + TypeCode(*e.result_code);
  return sql + ")";
}

}  // namespace jetsql
