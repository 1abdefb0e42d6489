// Subqueries in expressions: In (query), Exists, comparisons with ANY/ALL and single values.
// A subquery sees the sources of the queries around it.

#include "error/errors.h"
#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"
#include "jetsql/errors.h"

namespace jetsql {
namespace {

void RequireOneField(const BoundQuery& q) {
  if (q.types.size() == 1) return;
  throw errors::SubqueryFields();
}

}  // namespace

std::shared_ptr<const BoundQuery> Binder::BindSubquery(const QueryExpr& q, Scope& scope) {
  return BindQueryExpr(q, &scope);
}

Bound Binder::BindSubqueryExpr(const Expr& e, Scope& scope) {
  using CT = jet::ColumnType;
  switch (e.kind) {
    case ExprKind::kInQuery: {
      Bound a = AsValue(BindExpr(*e.args[0], scope));
      auto q = BindSubquery(*e.query, scope);
      RequireOneField(*q);
      Compare("=", a, Plain(OutputColumn(0, q->types[0])));  // type check only
      auto n = NewNode(BoundExprKind::kInQuery, CT::kBoolean, true);
      n->args.push_back(a.expr);
      n->query = std::move(q);
      Bound r = Plain(std::move(n));
      if (e.negated) {
        auto negated = NewNode(BoundExprKind::kNot, CT::kBoolean, true);
        negated->args.push_back(r.expr);
        r.expr = std::move(negated);
      }
      return Absorb(r, a);
    }
    case ExprKind::kExists: {
      auto n = NewNode(BoundExprKind::kExists, CT::kBoolean, true);
      n->query = BindSubquery(*e.query, scope);
      return Plain(std::move(n));
    }
    case ExprKind::kQuantified: {
      Bound a = AsValue(BindExpr(*e.args[0], scope));
      auto q = BindSubquery(*e.query, scope);
      RequireOneField(*q);
      auto n = NewNode(BoundExprKind::kQuantified, CT::kBoolean, true);
      n->ordinal = quantified_counter_++;
      Bound column = Plain(OutputColumn(0, q->types[0], "q" + std::to_string(n->ordinal)));
      n->args.push_back(Compare(e.op, a, column).expr);
      n->op = e.op;
      n->negated = e.quantifier == "ALL";
      n->query = std::move(q);
      Bound r = Plain(std::move(n));
      return Absorb(r, a);
    }
    case ExprKind::kSubquery: {
      auto q = BindSubquery(*e.query, scope);
      RequireOneField(*q);
      auto n = NewNode(BoundExprKind::kSubquery, q->types[0]);
      n->query = std::move(q);
      return Plain(std::move(n));
    }
    default:
      break;
  }
  throw errors::MissingOperator(Span(e));
}

}  // namespace jetsql
