// GROUP BY and HAVING, and the rule that a grouped query names fields only inside aggregates or
// as GROUP BY terms.

#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"

namespace jetsql {

void Binder::BindGroupBy(const SelectQuery& s, Scope& scope, BoundSelect* out) {
  if (s.group_by.empty()) return;
  std::vector<BoundExprPtr> groups;
  {
    BanAggregates ban(scope, AggregateBan::kGroupBy);
    for (const auto& g : s.group_by) groups.push_back(AsValue(BindExpr(*g, scope)).expr);
  }
  out->group_by = groups;
  scope.groups = std::move(groups);
}

BoundExprPtr Binder::BindHaving(const SelectQuery& s, Scope& scope, SelectList& list) {
  if (!s.having) return nullptr;
  Bound h = BindExpr(*s.having, scope);
  list.any_aggregate |= h.aggregate;
  if (h.naked) ThrowNotInAggregate(h.naked_text);
  return AsCondition(h).expr;
}

void Binder::CheckGrouping(const SelectQuery& s, const SelectList& list) {
  if (s.group_by.empty() && !list.any_aggregate) return;
  for (const auto& item : list.items) {
    if (item.naked) ThrowNotInAggregate(item.naked_text);
  }
}

}  // namespace jetsql
