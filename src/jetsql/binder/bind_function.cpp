// Function calls: the signature Access knows for the name, argument counts, defaults of
// optional arguments, and the functions the binder writes itself (IIf, Nz, Switch, ...).

#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"
#include "jetsql/errors.h"
#include "jetsql/signatures.h"

namespace jetsql {
namespace {

using CT = jet::ColumnType;

BoundExprPtr DefaultValue(const DefaultArg& d) {
  if (d.sql == "NULL") return NullConstant(d.type);
  if (d.sql == "''") {
    auto n = NewNode(BoundExprKind::kConstant, d.type);
    n->constant.kind = BoundConstant::Kind::kText;
    return n;
  }
  return IntegerConstant(std::stoll(d.sql), d.type);
}

BoundExprPtr TextConstant(const std::string& text) {
  auto n = NewNode(BoundExprKind::kConstant, CT::kText);
  n->constant.kind = BoundConstant::Kind::kText;
  n->constant.text = text;
  return n;
}

// CASE WHEN c1 THEN v1 ... [ELSE e] END, or CASE operand WHEN ... when `operand` is set.
Bound Case(CT type, BoundExprPtr operand, std::vector<BoundExprPtr> pairs, BoundExprPtr otherwise) {
  auto n = NewNode(BoundExprKind::kCase, type);
  if (operand) {
    n->has_operand = true;
    n->args.push_back(std::move(operand));
  }
  for (auto& p : pairs) n->args.push_back(std::move(p));
  if (otherwise) {
    n->has_else = true;
    n->args.push_back(std::move(otherwise));
  }
  return Plain(std::move(n));
}

// The functions the binder writes itself.
Bound BindSpecial(const std::string& name, const std::vector<Bound>& args,
                  const std::string& text) {
  const int n = static_cast<int>(args.size());
  if (name == "ISNULL") {
    auto node = NewNode(BoundExprKind::kIsNull, CT::kBoolean, true);
    node->args.push_back(AsValue(args[0]).expr);
    return Plain(std::move(node));
  }
  if (name == "IIF") {
    CT t = Unify(AsValue(args[1]).type(), AsValue(args[2]).type());
    return Case(t, nullptr, {AsCondition(args[0]).expr, Coerce(args[1], t).expr},
                Coerce(args[2], t).expr);
  }
  if (name == "NZ") {
    Bound v = AsValue(args[0]);
    auto node = NewNode(BoundExprKind::kCall, kNullType);
    node->function = "coalesce";
    node->call_style = CallStyle::kPlain;
    if (n == 1) {
      BoundExprPtr fallback =
          IsNumericClass(ClassOf(v.type())) ? IntegerConstant(0, CT::kInteger) : TextConstant("");
      node->type = v.type() == kNullType ? CT::kText : v.type();
      node->args = {v.expr, std::move(fallback)};
    } else {
      CT t = Unify(v.type(), AsValue(args[1]).type());
      node->type = t;
      node->args = {Coerce(v, t).expr, Coerce(args[1], t).expr};
    }
    return Plain(std::move(node));
  }
  if (name == "SWITCH") {
    if (n % 2 != 0) throw errors::WrongArgumentCount(text);
    CT t = kNullType;
    for (int i = 1; i < n; i += 2) t = Unify(t, AsValue(args[i]).type());
    std::vector<BoundExprPtr> pairs;
    for (int i = 0; i < n; i += 2) {
      pairs.push_back(AsCondition(args[i]).expr);
      pairs.push_back(Coerce(args[i + 1], t).expr);
    }
    return Case(t, nullptr, std::move(pairs), nullptr);
  }
  // CHOOSE
  CT t = kNullType;
  for (int i = 1; i < n; ++i) t = Unify(t, AsValue(args[i]).type());
  auto index = NewNode(BoundExprKind::kCast, CT::kLong);
  index->args.push_back(AsValue(args[0]).expr);
  std::vector<BoundExprPtr> pairs;
  for (int i = 1; i < n; ++i) {
    pairs.push_back(IntegerConstant(i, CT::kInteger));
    pairs.push_back(Coerce(args[i], t).expr);
  }
  return Case(t, std::move(index), std::move(pairs), nullptr);
}

}  // namespace

Bound Binder::BindFunction(const Expr& e, Scope& scope) {
  const FunctionSignature* sig = FindFunction(e.name);
  if (!sig) {
    throw errors::UndefinedFunction(e.name);
  }
  const int n = static_cast<int>(e.args.size());
  const std::string name = sig->access_name;
  if (e.star && name != "COUNT") throw errors::WrongArgumentCount(Span(e));
  if (!e.star && (n < sig->min_args || n > sig->max_args))
    throw errors::WrongArgumentCount(Span(e));
  if (sig->kind == FunctionKind::kAggregate || name == "COUNT" || name == "MIN" || name == "MAX") {
    return BindAggregate(e, scope, name, sig->sqlite_name);
  }

  std::vector<Bound> args;
  for (const auto& a : e.args) args.push_back(BindExpr(*a, scope));
  Bound r;
  if (sig->kind == FunctionKind::kCast) {
    auto node = NewNode(BoundExprKind::kCast, sig->cast_target);
    node->args.push_back(AsValue(args[0]).expr);
    r = Plain(std::move(node));
  } else if (sig->kind == FunctionKind::kSpecial) {
    r = BindSpecial(name, args, Span(e));
  } else {
    // A runtime function: each argument followed by its type, optional ones filled in.
    auto node = NewNode(BoundExprKind::kCall, kNullType);
    node->function = sig->sqlite_name;
    for (const auto& a : args) node->args.push_back(AsValue(a).expr);
    if (name == "INSTR") {
      if (n == 2) node->args.insert(node->args.begin(), IntegerConstant(1, CT::kInteger));
      if (node->args.size() == 3) node->args.push_back(IntegerConstant(1, CT::kInteger));
    } else {
      for (int i = n; i < sig->max_args; ++i) {
        node->args.push_back(DefaultValue(sig->defaults[static_cast<size_t>(i - sig->min_args)]));
      }
    }
    node->type = ResultType(*sig, node->args.empty() ? kNullType : node->args[0]->type);
    r = Plain(std::move(node));
  }
  for (const auto& a : args) Absorb(r, a);
  return r;
}

}  // namespace jetsql
