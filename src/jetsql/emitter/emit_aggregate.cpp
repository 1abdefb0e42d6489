// Aggregates, with the FILTER that restricts each crosstab column to its pivot value.

#include "jetsql/emitter/emitter.h"

namespace jetsql {

std::string EmitAggregate(const BoundExpr& e) {
  std::string sql;
  if (e.star) {
    sql = e.function + "(*)";
  } else {
    const BoundExpr& a = *e.args[0];
    std::string arg = EmitExpression(a);
    if (e.collated) arg = Collated(arg, a.type);
    if (e.typed_argument) arg += ", " + TypeCode(a.type);
    sql = e.function + "(" + arg + ")";
  }
  if (e.filter) sql += " FILTER (WHERE " + EmitExpression(*e.filter) + ")";
  return sql;
}

}  // namespace jetsql
