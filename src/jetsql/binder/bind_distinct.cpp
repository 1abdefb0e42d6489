// DISTINCTROW: each record of the tables whose fields are selected once, however many records of
// the other tables of the join it meets. It matters only when the fields come from some but not
// all tables; otherwise the query returns its rows as with ALL, as Access does.

#include <set>

#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"

namespace jetsql {
namespace {

// The FROM sources of this level that `e` reads fields of (subqueries aside).
void CollectSources(const BoundExpr& e, const std::set<int>& level, std::set<int>* used) {
  if (e.kind == BoundExprKind::kColumn && level.count(e.source)) used->insert(e.source);
  for (const auto& a : e.args) CollectSources(*a, level, used);
  if (e.filter) CollectSources(*e.filter, level, used);
}

BoundTableRef* FindTableRef(BoundTableRef& ref, int source) {
  if (ref.kind == BoundTableRef::Kind::kJoin) {
    if (BoundTableRef* r = FindTableRef(*ref.left, source)) return r;
    return FindTableRef(*ref.right, source);
  }
  return ref.source == source ? &ref : nullptr;
}

}  // namespace

void Binder::BindDistinctRow(const Scope& scope, const SelectList& list, BoundSelect* out) {
  std::set<int> level;
  for (const auto& src : scope.sources) level.insert(src.id);
  std::set<int> used;
  for (const auto& item : list.items) CollectSources(*item.expr, level, &used);
  if (used.empty() || used.size() == level.size()) return;
  std::vector<BoundExprPtr> records;
  for (const auto& src : scope.sources) {
    if (!used.count(src.id)) continue;
    if (src.derived) return;  // a derived table's rows have no identity of their own
    auto id = NewNode(BoundExprKind::kRowId, jet::ColumnType::kLong);
    id->source = src.id;
    id->read_once = src.read_once;
    records.push_back(std::move(id));
    if (src.read_once) {
      for (auto& ref : out->from) {
        if (BoundTableRef* r = FindTableRef(*ref, src.id)) r->keeps_row_id = true;
      }
    }
  }
  // One row per combination of the selected tables' records: the fields of those records are
  // the same throughout each group.
  out->group_by = std::move(records);
}

}  // namespace jetsql
