// ORDER BY: by position, by field, by alias or by expression; for a union only by position or
// by the name of an output column.

#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"
#include "jetsql/errors.h"

namespace jetsql {

void Binder::BindOrderBy(const std::vector<OrderItem>& order, bool grouped, Scope& scope,
                         SelectList& list, BoundSelect* out) {
  for (const auto& o : order) {
    Bound b;
    if (o.expr->kind == ExprKind::kNumber && o.expr->integer && o.expr->number >= 1 &&
        o.expr->number <= static_cast<double>(list.items.size())) {
      b = list.items[static_cast<size_t>(o.expr->number) - 1];
    } else {
      scope.aliases = &list.aliases;
      b = BindExpr(*o.expr, scope);
      scope.aliases = nullptr;
    }
    if (grouped && b.naked) ThrowNotInAggregate(b.naked_text);
    BoundOrderTerm term;
    term.value = AsValue(b).expr;
    term.descending = o.descending;
    // The same term over the output columns, for TOP after DISTINCT.
    for (size_t i = 0; i < list.items.size(); ++i) {
      if (SameBoundExpr(*AsValue(list.items[i]).expr, *term.value)) {
        term.output_column = static_cast<int>(i);
        break;
      }
    }
    out->order_by.push_back(std::move(term));
  }
}

void Binder::BindUnionOrderBy(const std::vector<OrderItem>& order, BoundQuery* out) {
  for (const auto& o : order) {
    int index = -1;
    if (o.expr->kind == ExprKind::kNumber && o.expr->integer && o.expr->number >= 1 &&
        o.expr->number <= static_cast<double>(out->names.size())) {
      index = static_cast<int>(o.expr->number) - 1;
    } else if (o.expr->kind == ExprKind::kColumn) {
      for (size_t i = 0; i < out->names.size(); ++i) {
        if (SameName(out->names[i], o.expr->name)) {
          index = static_cast<int>(i);
          break;
        }
      }
    }
    if (index < 0) ThrowSyntax(sqlerr::kSyntaxInOrderBy, "Syntaxfehler in ORDER BY-Klausel.");
    out->union_order.push_back({index, o.descending});
  }
}

}  // namespace jetsql
