// SELECT statements, unions and the probe of a crosstab's columns.

#include "jetsql/emitter/emitter.h"

namespace jetsql {
namespace {

std::string Columns(const std::vector<BoundExprPtr>& columns) {
  std::string cols;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) cols += ", ";
    cols += Collated(EmitExpression(*columns[i]), columns[i]->type) + " AS c" + std::to_string(i);
  }
  return cols;
}

// FROM ... WHERE ...
std::string Source(const BoundSelect& s) {
  std::string tail;
  std::string from = EmitFrom(s);
  if (!from.empty()) tail += " FROM " + from;
  if (s.where) tail += " WHERE " + EmitExpression(*s.where);
  return tail;
}

}  // namespace

std::string EmitSelect(const BoundSelect& s) {
  std::string cols = Columns(s.columns);
  std::string tail = Source(s);
  if (!s.group_by.empty()) {
    tail += " GROUP BY ";
    for (size_t i = 0; i < s.group_by.size(); ++i) {
      tail += (i ? ", " : "") + Collated(EmitExpression(*s.group_by[i]), s.group_by[i]->type);
    }
  }
  if (s.having) tail += " HAVING " + EmitExpression(*s.having);
  std::string order;
  for (size_t i = 0; i < s.order_by.size(); ++i) {
    const BoundOrderTerm& o = s.order_by[i];
    order += (i ? ", " : "") + Collated(EmitExpression(*o.value), o.value->type) +
             (o.descending ? " DESC" : "");
  }
  if (s.top) return EmitTop(s, cols, tail, order);
  std::string sql = "SELECT " + std::string(s.distinct ? "DISTINCT " : "") + cols + tail;
  if (!order.empty()) sql += " ORDER BY " + order;
  return sql;
}

std::string EmitQuery(const BoundQuery& q) {
  if (q.select) return EmitSelect(*q.select);
  std::string sql;
  for (size_t a = 0; a < q.arms.size(); ++a) {
    const BoundQuery::Arm& arm = q.arms[a];
    if (a > 0) sql += q.union_all[a - 1] ? " UNION ALL " : " UNION ";
    std::string arm_sql = EmitSelect(*arm.select);
    if (arm.wrapped) arm_sql = "SELECT * FROM (" + arm_sql + ")";
    if (!arm.converted.empty())
      arm_sql = "SELECT " + Columns(arm.converted) + " FROM (" + arm_sql + ")";
    sql += arm_sql;
  }
  if (!q.union_order.empty()) {
    sql += " ORDER BY ";
    for (size_t i = 0; i < q.union_order.size(); ++i) {
      const auto& o = q.union_order[i];
      sql += (i ? ", " : "") + Collated("c" + std::to_string(o.column), q.types[o.column]) +
             (o.descending ? " DESC" : "");
    }
  }
  return sql;
}

std::string EmitPivotProbe(const BoundPivotProbe& probe) {
  const BoundExpr& pv = *probe.pivot;
  return "SELECT v, jet_cast(v, " + TypeCode(pv.type) + ", 10) FROM (SELECT DISTINCT " +
         EmitExpression(pv) + " AS v" + Source(*probe.source) + ") ORDER BY " +
         Collated("v", pv.type);
}

}  // namespace jetsql
