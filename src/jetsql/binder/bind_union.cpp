// A query expression: one SELECT, or a UNION whose arms agree in field count and whose columns
// take the type the arms share.

#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"
#include "jetsql/errors.h"

namespace jetsql {

std::unique_ptr<BoundQuery> Binder::BindQueryExpr(const QueryExpr& q, Scope* outer) {
  if (q.arms.size() == 1) return BindSelect(*q.arms[0], outer, nullptr, &q.order_by);
  std::vector<std::unique_ptr<BoundQuery>> arms;
  for (const auto& arm : q.arms) {
    auto b = BindSelect(*arm, outer, nullptr);
    if (!arms.empty() && b->names.size() != arms[0]->names.size()) {
      ThrowSyntax(sqlerr::kUnionColumns,
                  "Die Anzahl der Spalten in den beiden ausgewählten Tabellen oder Abfragen "
                  "einer Union-Abfrage stimmt nicht überein.");
    }
    arms.push_back(std::move(b));
  }
  auto out = std::make_unique<BoundQuery>();
  out->names = arms[0]->names;
  out->types = arms[0]->types;
  for (size_t a = 1; a < arms.size(); ++a) {
    for (size_t i = 0; i < out->types.size(); ++i) {
      out->types[i] = Unify(out->types[i], arms[a]->types[i]);
    }
  }
  for (size_t a = 0; a < arms.size(); ++a) {
    BoundQuery::Arm arm;
    arm.wrapped = q.arms[a]->top.has_value();
    bool converts = false;
    std::vector<BoundExprPtr> converted;
    for (size_t i = 0; i < out->types.size(); ++i) {
      Bound c = Plain(OutputColumn(static_cast<int>(i), arms[a]->types[i]));
      Bound v = Coerce(c, out->types[i]);
      if (v.expr->kind != BoundExprKind::kOutputColumn) converts = true;
      converted.push_back(v.expr);
    }
    if (converts) arm.converted = std::move(converted);
    arm.select = std::move(arms[a]->select);
    out->arms.push_back(std::move(arm));
  }
  out->union_all = q.union_all;
  BindUnionOrderBy(q.order_by, out.get());
  return out;
}

}  // namespace jetsql
