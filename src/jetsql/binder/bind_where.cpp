// WHERE: a condition over the FROM sources, without aggregates.

#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"

namespace jetsql {

BoundExprPtr Binder::BindWhere(const SelectQuery& s, Scope& scope) {
  if (!s.where) return nullptr;
  BanAggregates ban(scope, AggregateBan::kWhere);
  return AsCondition(BindExpr(*s.where, scope)).expr;
}

}  // namespace jetsql
