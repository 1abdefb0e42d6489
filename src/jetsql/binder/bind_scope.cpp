#include "jetsql/binder/bind_scope.h"
#include "error/errors.h"

#include "jetsql/errors.h"

namespace jetsql {

void CheckAggregateAllowed(const Scope& scope, bool inside_aggregate, const std::string& text) {
  switch (scope.ban) {
    case AggregateBan::kNone:
      break;
    case AggregateBan::kGroupBy:
      throw errors::AggregateInGroupBy(text);
    case AggregateBan::kWhere:
    case AggregateBan::kJoin:
      throw errors::AggregateInClause(scope.ban == AggregateBan::kWhere ? "WHERE" : "JOIN", text);
  }
  if (inside_aggregate) {
    throw errors::NestedAggregate(text);
  }
}

bool IsGroupTerm(const Scope& scope, const BoundExpr& value) {
  for (const auto& g : scope.groups) {
    if (SameBoundExpr(*g, value)) return true;
  }
  return false;
}

void ThrowNotInAggregate(const std::string& text) {
  throw errors::NotPartOfAggregate(text);
}

}  // namespace jetsql
