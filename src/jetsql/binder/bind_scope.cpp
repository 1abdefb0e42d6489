#include "jetsql/binder/bind_scope.h"

#include "jetsql/errors.h"

namespace jetsql {

void CheckAggregateAllowed(const Scope& scope, bool inside_aggregate, const std::string& text) {
  switch (scope.ban) {
    case AggregateBan::kNone:
      break;
    case AggregateBan::kGroupBy:
      throw jet::Error(
          sqlerr::kAggregateInGroupBy,
          "Aggregatfunktionen können in GROUP BY-Klauseln nicht verwendet werden (" + text + ").");
    case AggregateBan::kWhere:
    case AggregateBan::kJoin:
      throw jet::Error(sqlerr::kAggregateInWhere,
                       std::string("Sie können keine Aggregatfunktion in der ") +
                           (scope.ban == AggregateBan::kWhere ? "WHERE" : "JOIN") +
                           "-Klausel verwenden (" + text + ").");
  }
  if (inside_aggregate) {
    throw jet::Error(
        sqlerr::kNestedAggregate,
        "Eine Aggregatfunktion kann nicht in einer anderen verwendet werden (" + text + ").");
  }
}

bool IsGroupTerm(const Scope& scope, const BoundExpr& value) {
  for (const auto& g : scope.groups) {
    if (SameBoundExpr(*g, value)) return true;
  }
  return false;
}

void ThrowNotInAggregate(const std::string& text) {
  throw jet::Error(sqlerr::kNotPartOfAggregate,
                   "Sie wollten eine Abfrage ausführen, die den angegebenen Ausdruck '" + text +
                       "' nicht als Teil der Aggregatfunktion einschließt.");
}

}  // namespace jetsql
