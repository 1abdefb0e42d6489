// Operators: Not, negation, arithmetic, &, comparisons, logical operators, Like, Between, In
// (list) and Is Null, each typed by Jet's rules.

#include <limits>

#include "error/errors.h"
#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"
#include "jetsql/errors.h"
#include "jetsql/signatures.h"
#include "jetsql/text_util.h"

namespace jetsql {
namespace {

using CT = jet::ColumnType;

bool IsComparison(const std::string& op) {
  return op == "=" || op == "<>" || op == "<" || op == "<=" || op == ">" || op == ">=";
}

bool IsLogical(const std::string& op) {
  return op == "AND" || op == "OR" || op == "XOR" || op == "EQV" || op == "IMP";
}

const char* ArithmeticFunction(const std::string& op) {
  return op == "+"    ? "jet_op_add"
         : op == "-"  ? "jet_op_sub"
         : op == "*"  ? "jet_op_mul"
         : op == "/"  ? "jet_op_div"
         : op == "\\" ? "jet_op_intdiv"
         : op == "^"  ? "jet_op_pow"
                      : "jet_op_mod";
}

Bound Call(const char* fn, CT type, std::vector<BoundExprPtr> args,
           std::optional<CT> result_code = std::nullopt) {
  auto n = NewNode(BoundExprKind::kCall, type);
  n->function = fn;
  n->args = std::move(args);
  n->result_code = result_code;
  return Plain(std::move(n));
}

Bound Negate(const Bound& b) {
  auto n = NewNode(BoundExprKind::kNot, CT::kBoolean, true);
  n->args.push_back(b.expr);
  Bound r = Plain(std::move(n));
  return Absorb(r, b);
}

Bound LogicalNode(const std::string& op, std::vector<BoundExprPtr> conditions) {
  auto n = NewNode(BoundExprKind::kLogical, CT::kBoolean, true);
  n->op = op;
  n->args = std::move(conditions);
  return Plain(std::move(n));
}

// True when `cmp` is a plain SQLite equality of `a` and `v`, so a list can use SQLite's IN.
bool IsPlainEquality(const Bound& cmp, const Bound& a, const Bound& v) {
  const BoundExpr& c = *cmp.expr;
  return c.kind == BoundExprKind::kCompare && c.compare != CompareMode::kRuntime &&
         c.args[0] == a.expr && c.args[1] == v.expr;
}

}  // namespace

Bound Binder::BindOperator(const Expr& e, Scope& scope) {
  if (e.kind == ExprKind::kUnary) {
    if (e.op == "NOT") {
      Bound a = BindExpr(*e.args[0], scope);
      TypeClass c = ClassOf(a.type());
      Bound r;
      if (a.condition() || c == TypeClass::kBool || c == TypeClass::kNull) {
        r = Negate(AsCondition(a));
      } else {
        if (!IsNumericClass(c)) throw errors::CriteriaTypeMismatch();
        r = Call("jet_op_not",
                 c == TypeClass::kIntegral && a.type() != CT::kLong ? CT::kInteger : CT::kLong,
                 {a.expr});
      }
      return Absorb(r, a);
    }
    if (e.op == "+") return BindExpr(*e.args[0], scope);
    // Unary minus: fold literals so that key lookups stay constants.
    const Expr& arg = *e.args[0];
    if (arg.kind == ExprKind::kNumber) {
      if (arg.integer && arg.number <= 2147483648.0) {
        int64_t v = -static_cast<int64_t>(arg.number);
        CT t = v >= std::numeric_limits<int16_t>::min() ? CT::kInteger : CT::kLong;
        return Plain(IntegerConstant(v, t));
      }
      auto n = NewNode(BoundExprKind::kConstant, CT::kDouble);
      n->constant.kind = BoundConstant::Kind::kReal;
      n->constant.real = -arg.number;
      return Plain(std::move(n));
    }
    Bound a = AsValue(BindExpr(arg, scope));
    TypeClass c = ClassOf(a.type());
    if (c == TypeClass::kBinary || c == TypeClass::kGuid || c == TypeClass::kOther) {
      throw errors::CriteriaTypeMismatch();
    }
    CT t = a.type();
    if (c == TypeClass::kText) t = CT::kDouble;
    if (a.type() == CT::kBoolean || a.type() == CT::kByte) t = CT::kInteger;
    Bound r = c == TypeClass::kNull ? Plain(NullConstant()) : Call("jet_op_neg", t, {a.expr}, t);
    return Absorb(r, a);
  }

  const std::string& op = e.op;
  Bound a = BindExpr(*e.args[0], scope);
  Bound b = BindExpr(*e.args[1], scope);
  if (IsComparison(op)) return Compare(op, a, b);
  if (IsLogical(op)) {
    std::vector<Bound> operands;
    operands.push_back(std::move(a));
    operands.push_back(std::move(b));
    for (size_t i = 2; i < e.args.size(); ++i) operands.push_back(BindExpr(*e.args[i], scope));
    return Logical(op, operands);
  }
  Bound va = AsValue(a), vb = AsValue(b);
  Bound r;
  if (op == "&") {
    for (const Bound* x : {&va, &vb}) {
      TypeClass c = ClassOf(x->type());
      if (c == TypeClass::kBinary || c == TypeClass::kOther) throw errors::CriteriaTypeMismatch();
    }
    r = Call("jet_op_concat", CT::kText, {va.expr, vb.expr});
  } else {
    CT t = ArithmeticType(op, va.type(), vb.type());
    if (ClassOf(va.type()) == TypeClass::kNull || ClassOf(vb.type()) == TypeClass::kNull) {
      r = Plain(NullConstant(t));
    } else {
      r = Call(ArithmeticFunction(op), t, {va.expr, vb.expr}, t);
    }
  }
  Absorb(r, va);
  return Absorb(r, vb);
}

Bound Binder::BindPredicate(const Expr& e, Scope& scope) {
  switch (e.kind) {
    case ExprKind::kLike: {
      Bound a = AsValue(BindExpr(*e.args[0], scope));
      Bound p = AsValue(BindExpr(*e.args[1], scope));
      for (const Bound* x : {&a, &p}) {
        TypeClass c = ClassOf(x->type());
        if (c == TypeClass::kBinary || c == TypeClass::kOther) throw errors::CriteriaTypeMismatch();
      }
      auto n = NewNode(BoundExprKind::kLike, CT::kBoolean, true);
      n->negated = e.negated;
      n->args = {a.expr, p.expr};
      Bound r = Plain(std::move(n));
      Absorb(r, a);
      return Absorb(r, p);
    }
    case ExprKind::kBetween: {
      Bound a = BindExpr(*e.args[0], scope);
      const Expr& lo_e = *e.args[1];
      const Expr& hi_e = *e.args[2];
      Bound lo = BindExpr(lo_e, scope), hi = BindExpr(hi_e, scope);
      bool literal_bounds = (lo_e.kind == ExprKind::kNumber || lo_e.kind == ExprKind::kDate) &&
                            (hi_e.kind == ExprKind::kNumber || hi_e.kind == ExprKind::kDate);
      // Text between two texts compares in General order, as the bounds do with each other.
      bool text_bounds = lo_e.kind == ExprKind::kString && hi_e.kind == ExprKind::kString &&
                         IsTextType(a.expr->type);
      Bound r;
      if (literal_bounds || text_bounds) {
        // Constant bounds in the wrong order are swapped once here, so that the two
        // comparisons can be a range an index answers.
        if (literal_bounds ? lo_e.number > hi_e.number : CompareGeneral(lo_e.text, hi_e.text) > 0) {
          std::swap(lo, hi);
        }
        r = LogicalNode("AND", {Compare(">=", a, lo).expr, Compare("<=", a, hi).expr});
      } else {
        Bound up = LogicalNode("AND", {Compare(">=", a, lo).expr, Compare("<=", a, hi).expr});
        Bound down = LogicalNode("AND", {Compare(">=", a, hi).expr, Compare("<=", a, lo).expr});
        r = LogicalNode("OR", {up.expr, down.expr});
      }
      if (e.negated) r = Negate(r);
      Absorb(r, AsValue(a));
      Absorb(r, AsValue(lo));
      return Absorb(r, AsValue(hi));
    }
    case ExprKind::kInList: {
      Bound a = AsValue(BindExpr(*e.args[0], scope));
      Bound r;
      Absorb(r, a);
      std::vector<Bound> items;
      std::vector<BoundExprPtr> equalities;
      bool native = true;
      for (size_t i = 1; i < e.args.size(); ++i) {
        Bound v = AsValue(BindExpr(*e.args[i], scope));
        Absorb(r, v);
        Bound c = Compare("=", a, v);
        if (!IsPlainEquality(c, a, v)) native = false;
        equalities.push_back(c.expr);
        items.push_back(std::move(v));
      }
      if (native) {
        auto n = NewNode(BoundExprKind::kInList, CT::kBoolean, true);
        n->args.push_back(a.expr);
        for (const auto& v : items) n->args.push_back(v.expr);
        r.expr = std::move(n);
      } else {
        r.expr = LogicalNode("OR", std::move(equalities)).expr;
      }
      return e.negated ? Negate(r) : r;
    }
    case ExprKind::kIsNull: {
      Bound a = AsValue(BindExpr(*e.args[0], scope));
      auto n = NewNode(BoundExprKind::kIsNull, CT::kBoolean, true);
      n->negated = e.negated;
      n->args.push_back(a.expr);
      Bound r = Plain(std::move(n));
      return Absorb(r, a);
    }
    default:
      break;
  }
  throw errors::MissingOperator(Span(e));
}

}  // namespace jetsql
