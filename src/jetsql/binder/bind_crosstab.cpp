// TRANSFORM ... PIVOT: one output column per pivot value, each the TRANSFORM aggregate over the
// rows whose pivot expression has that value. Without an IN list the values come from the data:
// the binder first returns a probe that lists them, and is called again with its answer.

#include "error/errors.h"
#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"
#include "jetsql/errors.h"

namespace jetsql {

std::vector<PivotColumn> Binder::BindPivotInList() {
  std::vector<PivotColumn> columns;
  for (const auto& v : stmt_->pivot_values) {
    Scope empty;
    PivotColumn c;
    c.value = AsValue(BindExpr(*v, empty)).expr;
    c.is_null = c.value->kind == BoundExprKind::kConstant &&
                c.value->constant.kind == BoundConstant::Kind::kNull;
    c.name = v->kind == ExprKind::kNull                                       ? "<>"
             : (v->kind == ExprKind::kString || v->kind == ExprKind::kNumber) ? v->text
                                                                              : Span(*v);
    columns.push_back(std::move(c));
  }
  return columns;
}

bool Binder::BindPivot(PivotSpec& pivot, Scope& scope, SelectList& list, BoundSelect& out) {
  list.any_aggregate = true;
  scope.aliases = nullptr;
  Bound pv = AsValue(BindExpr(*pivot.pivot, scope));
  if (pivot.probe) {
    pivot.probe_out = std::make_unique<BoundPivotProbe>();
    auto source = std::make_unique<BoundSelect>();
    source->from = std::move(out.from);
    source->from_cross = out.from_cross;
    source->where = out.where;
    pivot.probe_out->source = std::move(source);
    pivot.probe_out->pivot = pv.expr;
    return true;
  }
  for (const auto& column : pivot.columns) {
    if (column.is_null) {
      auto is_null = NewNode(BoundExprKind::kIsNull, jet::ColumnType::kBoolean, true);
      is_null->args.push_back(pv.expr);
      pivot_filter_ = std::move(is_null);
    } else {
      auto equal = NewNode(BoundExprKind::kCompare, jet::ColumnType::kBoolean, true);
      equal->op = "=";
      equal->compare = IsTextType(pv.type()) ? CompareMode::kCollated : CompareMode::kNative;
      equal->args = {pv.expr, column.value};
      pivot_filter_ = std::move(equal);
    }
    Bound agg = BindExpr(*pivot.transform, scope);
    pivot_filter_.reset();
    if (!agg.aggregate) {
      throw errors::SyntaxInTransform();
    }
    list.items.push_back(std::move(agg));
    list.names.push_back(column.name);
  }
  return false;
}

}  // namespace jetsql
