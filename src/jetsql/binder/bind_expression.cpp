// Expressions: dispatch by kind, literals, and names resolved to fields of the FROM sources
// (this level's first, then the enclosing queries'), to select aliases, or else to parameters.

#include <cmath>
#include <cstdio>
#include <limits>

#include "error/errors.h"
#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"
#include "jetsql/errors.h"
#include "jetsql/signatures.h"

namespace jetsql {
namespace {

using CT = jet::ColumnType;

Bound Real(double v, CT type) {
  auto n = NewNode(BoundExprKind::kConstant, type);
  n->constant.kind = BoundConstant::Kind::kReal;
  n->constant.real = v;
  return Plain(std::move(n));
}

Bound Literal(const Expr& e) {
  switch (e.kind) {
    case ExprKind::kBoolean:
      return Plain(IntegerConstant(e.bool_value ? -1 : 0, CT::kBoolean));
    case ExprKind::kNumber:
      if (e.integer && e.number <= std::numeric_limits<int32_t>::max()) {
        // Hexadecimal and octal literals may be negative (&HFFFF is the Integer -1).
        CT t = e.number >= std::numeric_limits<int16_t>::min() &&
                       e.number <= std::numeric_limits<int16_t>::max()
                   ? CT::kInteger
                   : CT::kLong;
        return Plain(IntegerConstant(static_cast<int64_t>(e.number), t));
      }
      return Real(e.number, CT::kDouble);
    case ExprKind::kString: {
      auto n = NewNode(BoundExprKind::kConstant, CT::kText);
      n->constant.kind = BoundConstant::Kind::kText;
      n->constant.text = e.text;
      return Plain(std::move(n));
    }
    case ExprKind::kDate:
      return Real(e.number, CT::kDateTime);
    default:
      return Plain(NullConstant());
  }
}

}  // namespace

Bound Binder::BindExpr(const Expr& e, Scope& scope) {
  Bound b;
  switch (e.kind) {
    case ExprKind::kNull:
    case ExprKind::kBoolean:
    case ExprKind::kNumber:
    case ExprKind::kString:
    case ExprKind::kDate:
      return Literal(e);
    case ExprKind::kColumn:
      b = BindColumn(e, scope);
      break;
    case ExprKind::kStar:
      throw errors::MissingOperator(Span(e));
    case ExprKind::kUnary:
    case ExprKind::kBinary:
      b = BindOperator(e, scope);
      break;
    case ExprKind::kLike:
    case ExprKind::kBetween:
    case ExprKind::kInList:
    case ExprKind::kIsNull:
      b = BindPredicate(e, scope);
      break;
    case ExprKind::kInQuery:
    case ExprKind::kExists:
    case ExprKind::kQuantified:
    case ExprKind::kSubquery:
      b = BindSubqueryExpr(e, scope);
      break;
    case ExprKind::kFunction:
      b = BindFunction(e, scope);
      break;
  }
  // A GROUP BY term may be used outside aggregates, however it is built.
  if (b.naked && !scope.groups.empty() && IsGroupTerm(scope, *AsValue(b).expr)) b.naked = false;
  return b;
}

Bound Binder::BindColumn(const Expr& e, Scope& scope) {
  for (Scope* s = &scope; s; s = s->outer) {
    const Source* found_src = nullptr;
    int found_col = -1;
    int matches = 0;
    bool qualifier_known = false;
    for (const auto& src : s->sources) {
      if (!e.qualifier.empty() && !SameName(src.name, e.qualifier)) continue;
      qualifier_known = true;
      for (size_t i = 0; i < src.columns.size(); ++i) {
        if (SameName(src.columns[i], e.name)) {
          if (!found_src || found_src != &src) ++matches;
          found_src = &src;
          found_col = static_cast<int>(i);
          break;
        }
      }
    }
    if (matches > 1) {
      throw errors::AmbiguousField(e.name);
    }
    if (found_src) {
      auto n = NewNode(BoundExprKind::kColumn, found_src->types[found_col]);
      n->source = found_src->id;
      n->column = found_col;
      n->derived_column = found_src->derived;
      n->name = found_src->columns[found_col];
      Bound b = Plain(std::move(n));
      b.naked = s == &scope;
      b.naked_text = Span(e);
      b.column_name = found_src->columns[found_col];
      return b;
    }
    if (e.qualifier.empty() && s->aliases) {
      for (const auto& [alias, bound] : *s->aliases) {
        if (SameName(alias, e.name)) return bound;
      }
    }
    if (qualifier_known) break;  // t.unknown: a parameter, not an outer column
  }
  std::string name = e.qualifier.empty() ? e.name : e.qualifier + "." + e.name;
  unknown_.insert(FoldName(name));
  auto n = NewNode(BoundExprKind::kParameter, kNullType);
  n->name = FoldName(name);
  return Plain(std::move(n));
}

}  // namespace jetsql
