// Aggregate functions: where they may stand, their argument bound outside any other aggregate,
// their result type, and the crosstab column each one is filtered to.

#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"
#include "jetsql/errors.h"
#include "jetsql/signatures.h"

namespace jetsql {

Bound Binder::BindAggregate(const Expr& e, Scope& scope, const std::string& name, const char* fn) {
  CheckAggregateAllowed(scope, in_aggregate_, Span(e));
  auto node = NewNode(BoundExprKind::kAggregate, jet::ColumnType::kLong);
  node->filter = pivot_filter_;
  if (e.star) {
    node->function = "count";
    node->star = true;
  } else {
    in_aggregate_ = true;
    Bound a;
    try {
      a = AsValue(BindExpr(*e.args[0], scope));
    } catch (...) {
      in_aggregate_ = false;
      throw;
    }
    in_aggregate_ = false;
    node->args.push_back(a.expr);
    if (name == "COUNT") {
      node->function = "count";
    } else if (name == "MIN" || name == "MAX") {
      node->function = name == "MIN" ? "min" : "max";
      node->collated = true;
      node->type = a.type();
    } else {
      TypeClass c = ClassOf(a.type());
      if ((name == "SUM" || name == "AVG" || name.rfind("STDEV", 0) == 0 ||
           name.rfind("VAR", 0) == 0) &&
          (c == TypeClass::kBinary || c == TypeClass::kGuid || c == TypeClass::kOther)) {
        ThrowCriteriaMismatch();
      }
      node->function = fn;
      node->typed_argument = true;
      node->type = ResultType(*FindFunction(name), a.type());
    }
  }
  Bound r = Plain(std::move(node));
  r.aggregate = true;
  if (pivot_filter_ && name == "COUNT") {
    // A crosstab cell without rows stays empty (Null), where Count would give 0.
    auto rows = NewNode(BoundExprKind::kAggregate, jet::ColumnType::kLong);
    rows->function = "count";
    rows->star = true;
    rows->filter = pivot_filter_;
    auto any = NewNode(BoundExprKind::kCompare, jet::ColumnType::kBoolean, true);
    any->op = ">";
    any->args = {std::move(rows), IntegerConstant(0, jet::ColumnType::kInteger)};
    auto cell = NewNode(BoundExprKind::kCase, jet::ColumnType::kLong);
    cell->args = {std::move(any), r.expr};
    r.expr = std::move(cell);
  }
  return r;
}

}  // namespace jetsql
