// A saved query in FROM: Jet reads it as a table whose fields are the query's output columns.
// It is bound as a derived table of its SQL text, as if that text stood in parentheses where
// its name stands, under the name (or alias) it was given. Its parameters join those of the
// statement; a query that reaches itself through the queries it reads is refused.

#include <algorithm>

#include "error/errors.h"
#include "jetsql/binder/binder_impl.h"
#include "jetsql/emitter/emitter.h"
#include "jetsql/parser.h"

namespace jetsql {
namespace {

// How many saved queries may stand inside one another.
constexpr size_t kMaxSavedQueryNesting = 50;

// The binder's per-statement state while a saved query's own statement is bound, put back
// afterwards (also when binding fails).
class StatementSwitch {
 public:
  StatementSwitch(const Statement*& current, const Statement* next, bool& in_aggregate,
                  bool& in_join, std::vector<std::string>& open, std::string name)
      : current_(current),
        saved_(current),
        in_aggregate_(in_aggregate),
        saved_in_aggregate_(in_aggregate),
        in_join_(in_join),
        saved_in_join_(in_join),
        open_(open) {
    current = next;
    in_aggregate = false;
    in_join = false;
    open.push_back(std::move(name));
  }
  ~StatementSwitch() {
    current_ = saved_;
    in_aggregate_ = saved_in_aggregate_;
    in_join_ = saved_in_join_;
    open_.pop_back();
  }
  StatementSwitch(const StatementSwitch&) = delete;
  StatementSwitch& operator=(const StatementSwitch&) = delete;

 private:
  const Statement*& current_;
  const Statement* saved_;
  bool& in_aggregate_;
  bool saved_in_aggregate_;
  bool& in_join_;
  bool saved_in_join_;
  std::vector<std::string>& open_;
};

}  // namespace

std::unique_ptr<BoundTableRef> Binder::BindSavedQuery(const FromItem& item, Scope& scope) {
  std::optional<jet::SavedQuery> saved = catalog_.FindQuery(item.table);
  if (!saved) throw errors::UnknownTable(item.table);
  if (!saved->row_returning()) throw errors::NotRowReturning();
  const std::string key = FoldName(saved->name);
  if (std::find(saved_queries_.begin(), saved_queries_.end(), key) != saved_queries_.end()) {
    throw errors::CircularReference(saved->name);
  }
  if (saved_queries_.size() >= kMaxSavedQueryNesting) throw errors::QueryTooComplex();
  saved_statements_.push_back(std::make_unique<Statement>(Parse(saved->sql)));
  const Statement& statement = *saved_statements_.back();
  if (statement.kind != Statement::Kind::kQuery || !statement.query) {
    throw errors::NotRowReturning();
  }

  std::unique_ptr<BoundQuery> q;
  {
    StatementSwitch use(stmt_, &statement, in_aggregate_, in_join_, saved_queries_, key);
    const BoundExprPtr saved_filter = std::move(pivot_filter_);
    pivot_filter_.reset();
    for (const auto& p : statement.parameters) declared_.insert(FoldName(p.name));
    std::unique_ptr<BoundPivotProbe> probe;
    q = BindStatementQuery(nullptr, &probe);
    if (!q) {
      // A crosstab whose columns come from the data: find them now, then bind it with them.
      std::vector<PivotValue> columns = catalog_.ProbePivot(EmitPivotProbe(*probe), tables_);
      q = BindStatementQuery(&columns, &probe);
    }
    pivot_filter_ = saved_filter;
  }

  Source src;
  src.name = item.alias.empty() ? item.table : item.alias;
  src.id = NewSourceId();
  src.derived = true;
  src.columns = q->names;
  src.types = q->types;
  CheckDuplicateSource(scope, src.name);
  auto ref = std::make_unique<BoundTableRef>();
  ref->kind = BoundTableRef::Kind::kDerived;
  ref->source = src.id;
  ref->query = std::move(q);
  scope.sources.push_back(std::move(src));
  return ref;
}

}  // namespace jetsql
