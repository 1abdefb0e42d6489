// One SELECT, clause by clause in the order Jet resolves names: FROM, WHERE, GROUP BY, the
// select list, HAVING, the crosstab columns, ORDER BY and TOP.

#include "error/errors.h"
#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"
#include "jetsql/errors.h"

namespace jetsql {

std::unique_ptr<BoundQuery> Binder::BindSelect(const SelectQuery& s, Scope* outer, PivotSpec* pivot,
                                               const std::vector<OrderItem>* extra_order) {
  Scope scope;
  scope.outer = outer;
  auto select = std::make_unique<BoundSelect>();
  BindFrom(s, scope, select.get());
  select->where = BindWhere(s, scope);
  BindGroupBy(s, scope, select.get());
  SelectList list;
  BindSelectList(s, scope, list);
  select->having = BindHaving(s, scope, list);
  if (pivot && BindPivot(*pivot, scope, list, *select)) return nullptr;
  CheckGrouping(s, list);
  const bool grouped = !s.group_by.empty() || list.any_aggregate;
  BindOrderBy(s.order_by.empty() && extra_order ? *extra_order : s.order_by, grouped, scope, list,
              select.get());

  auto out = std::make_unique<BoundQuery>();
  for (const auto& item : list.items) {
    Bound v = AsValue(item);
    out->types.push_back(v.type());
    select->columns.push_back(v.expr);
  }
  if (list.items.empty()) throw errors::ReservedWordMisspelled();
  if (list.items.size() > kMaxFields) {
    throw errors::TooManyFields();
  }
  select->distinct = s.quantifier == SelectQuery::Quantifier::kDistinct;
  if (s.quantifier == SelectQuery::Quantifier::kDistinctRow && !grouped) {
    BindDistinctRow(scope, list, select.get());
  }
  BindTop(s, outer != nullptr, select.get());
  out->names = std::move(list.names);
  out->select = std::move(select);
  return out;
}

}  // namespace jetsql
