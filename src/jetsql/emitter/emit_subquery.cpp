// Subqueries in expressions.

#include "jetsql/emitter/emitter.h"

namespace jetsql {

std::string EmitSubquery(const BoundExpr& e) {
  std::string query = "(" + EmitQuery(*e.query) + ")";
  switch (e.kind) {
    case BoundExprKind::kInQuery:
      return "(" + Collated(EmitExpression(*e.args[0]), e.args[0]->type) + " IN " + query + ")";
    case BoundExprKind::kExists:
      return "(EXISTS " + query + ")";
    case BoundExprKind::kQuantified: {
      std::string from = "SELECT 1 FROM " + query + " AS q" + std::to_string(e.ordinal);
      std::string row = EmitExpression(*e.args[0]);
      // ALL: no row fails the comparison; ANY: some row passes it.
      return e.negated ? "(NOT EXISTS (" + from + " WHERE NOT " + row + "))"
                       : "(EXISTS (" + from + " WHERE " + row + "))";
    }
    default:
      return query;
  }
}

}  // namespace jetsql
