// TOP n [PERCENT]: keeps the first n rows (or n percent of them) in the sort order, with ties.
// The plan is chosen here: ranking every row is general; a plain first-n or a bounded sort of
// n + 1 rows with the n-th row's ties lets SQLite keep only the rows it needs while it sorts.

#include <cmath>

#include "jetsql/binder/binder_impl.h"

namespace jetsql {

void Binder::BindTop(const SelectQuery& s, bool nested, BoundSelect* out) {
  out->top = s.top;
  out->top_percent = s.top_percent;
  if (!s.top) return;
  using Plan = BoundSelect::TopPlan;
  const double n = *s.top;
  const bool whole = n >= 1 && n <= 2147483647.0 && std::floor(n) == n;
  if (s.top_percent || !whole) {
    out->top_plan = Plan::kRank;
    return;
  }
  if (out->order_by.empty()) {
    out->top_plan = Plan::kLimit;
    return;
  }
  bool by_output = true;
  for (const auto& o : out->order_by) by_output &= o.output_column >= 0;
  // The cut-off reads its rows once into a temporary table (a WITH clause), which a subquery
  // that refers to an outer query cannot have; DISTINCT rows must be sorted by what they show.
  out->top_plan = nested || (out->distinct && !by_output) ? Plan::kRank : Plan::kCutoff;
}

}  // namespace jetsql
