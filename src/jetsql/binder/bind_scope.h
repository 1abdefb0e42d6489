#ifndef QUORLA_JETSQL_BINDER_BIND_SCOPE_H_
#define QUORLA_JETSQL_BINDER_BIND_SCOPE_H_

// What names mean while a SELECT is bound: the FROM sources of each nesting level, the select
// aliases visible so far, the GROUP BY terms, and Jet's rules for where aggregates may stand.

#include <string>
#include <utility>
#include <vector>

#include "jetsql/bound_tree.h"

namespace jetsql {

// A bound expression as the clause checks see it: the node, plus whether it contains an
// aggregate and whether it names a field outside any aggregate and outside GROUP BY.
struct Bound {
  BoundExprPtr expr;
  bool aggregate = false;
  bool naked = false;
  std::string naked_text;   // the naked field as written, for the error message
  std::string column_name;  // set when the expression is a plain field

  jet::ColumnType type() const { return expr->type; }
  bool condition() const { return expr->condition; }
};

// A FROM source as expressions see it.
struct Source {
  std::string name;  // what qualifies its columns: alias or table name
  int id = 0;        // the slot its columns are read from
  bool derived = false;
  std::vector<std::string> columns;
  std::vector<jet::ColumnType> types;
};

// The clauses whose expressions must not contain aggregates.
enum class AggregateBan { kNone, kWhere, kJoin, kGroupBy };

struct Scope {
  Scope* outer = nullptr;
  std::vector<Source> sources;
  const std::vector<std::pair<std::string, Bound>>* aliases = nullptr;
  std::vector<BoundExprPtr> groups;  // GROUP BY terms as values
  AggregateBan ban = AggregateBan::kNone;
};

// Sets a scope's aggregate ban for the lifetime of this object.
class BanAggregates {
 public:
  BanAggregates(Scope& scope, AggregateBan ban) : scope_(scope), saved_(scope.ban) {
    scope.ban = ban;
  }
  ~BanAggregates() { scope_.ban = saved_; }
  BanAggregates(const BanAggregates&) = delete;
  BanAggregates& operator=(const BanAggregates&) = delete;

 private:
  Scope& scope_;
  AggregateBan saved_;
};

// Throws Jet's error for an aggregate `text` where the scope bans it (3096, 3092) or inside
// another aggregate (3095).
void CheckAggregateAllowed(const Scope& scope, bool inside_aggregate, const std::string& text);

// True when `value` is one of the scope's GROUP BY terms.
bool IsGroupTerm(const Scope& scope, const BoundExpr& value);

// 3122: a field neither grouped nor aggregated.
[[noreturn]] void ThrowNotInAggregate(const std::string& text);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_BINDER_BIND_SCOPE_H_
