// The select list: expressions with their field names, * expanded over the sources, aliases
// made visible to the items after them.

#include "error/errors.h"
#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"
#include "jetsql/errors.h"

namespace jetsql {

void Binder::BindSelectList(const SelectQuery& s, Scope& scope, SelectList& list) {
  for (const auto& item : s.items) {
    if (item.expr->kind == ExprKind::kStar) {
      ExpandStar(*item.expr, scope, list);
      continue;
    }
    scope.aliases = &list.aliases;
    Bound b = BindExpr(*item.expr, scope);
    scope.aliases = nullptr;
    list.any_aggregate |= b.aggregate;
    std::string name = item.alias;
    if (name.empty()) {
      name = item.expr->kind == ExprKind::kColumn && !b.column_name.empty()
                 ? b.column_name
                 : "Expr" + std::to_string(expr_counter_++);
    }
    if (!item.alias.empty()) list.aliases.emplace_back(item.alias, b);
    list.names.push_back(name);
    list.items.push_back(std::move(b));
  }
  DisambiguateStarNames(list);
}

void Binder::ExpandStar(const Expr& e, Scope& scope, SelectList& list) {
  bool any = false;
  for (const auto& src : scope.sources) {
    if (!e.qualifier.empty() && !SameName(src.name, e.qualifier)) continue;
    any = true;
    for (size_t i = 0; i < src.columns.size(); ++i) {
      auto n = NewNode(BoundExprKind::kColumn, src.types[i]);
      n->source = src.id;
      n->column = static_cast<int>(i);
      n->derived_column = src.derived;
      n->name = src.columns[i];
      Bound b = Plain(std::move(n));
      b.naked = true;
      b.naked_text = src.name + "." + src.columns[i];
      b.column_name = src.columns[i];
      list.items.push_back(std::move(b));
      list.names.push_back(src.columns[i]);
      list.star_qualified.push_back(src.name + "." + src.columns[i]);
      list.star_index.push_back(list.names.size() - 1);
    }
  }
  if (!any) {
    if (scope.sources.empty()) {
      throw errors::NoInputTables();
    }
    throw errors::UnknownTable(e.qualifier);
  }
}

// Fields from * that share a name with another field are named "table.field", as Access does.
void Binder::DisambiguateStarNames(SelectList& list) {
  const std::vector<std::string> original = list.names;
  for (size_t k = 0; k < list.star_index.size(); ++k) {
    size_t i = list.star_index[k];
    for (size_t j = 0; j < original.size(); ++j) {
      if (j != i && SameName(original[j], original[i])) {
        list.names[i] = list.star_qualified[k];
        break;
      }
    }
  }
  list.star_index.clear();
  list.star_qualified.clear();
}

}  // namespace jetsql
