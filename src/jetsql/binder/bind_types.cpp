#include "jetsql/binder/bind_types.h"

#include "jetsql/errors.h"
#include "jetsql/signatures.h"

namespace jetsql {

using CT = jet::ColumnType;

TypeClass ClassOf(CT t) {
  switch (t) {
    case CT::kBoolean:
      return TypeClass::kBool;
    case CT::kByte:
    case CT::kInteger:
    case CT::kLong:
      return TypeClass::kIntegral;
    case CT::kCurrency:
      return TypeClass::kCurrency;
    case CT::kSingle:
    case CT::kDouble:
      return TypeClass::kFloat;
    case CT::kDateTime:
      return TypeClass::kDate;
    case CT::kNumeric:
      return TypeClass::kDecimal;
    case CT::kText:
    case CT::kMemo:
      return TypeClass::kText;
    case CT::kBinary:
    case CT::kOle:
      return TypeClass::kBinary;
    case CT::kGuid:
      return TypeClass::kGuid;
    default:
      break;
  }
  return t == kNullType ? TypeClass::kNull : TypeClass::kOther;
}

bool IsNumericClass(TypeClass c) {
  return c == TypeClass::kBool || c == TypeClass::kIntegral || c == TypeClass::kCurrency ||
         c == TypeClass::kFloat || c == TypeClass::kDate || c == TypeClass::kDecimal;
}

CT ArithmeticType(const std::string& op, CT ta, CT tb) {
  TypeClass a = ClassOf(ta), b = ClassOf(tb);
  for (TypeClass c : {a, b}) {
    if (c == TypeClass::kBinary || c == TypeClass::kGuid || c == TypeClass::kOther) {
      ThrowCriteriaMismatch();
    }
  }
  if (a == TypeClass::kNull && b == TypeClass::kNull) return kNullType;
  if (op == "^") return CT::kDouble;
  if (op == "\\" || op == "MOD") return CT::kLong;
  if (op == "/") {
    return (a == TypeClass::kDecimal || b == TypeClass::kDecimal) ? CT::kNumeric : CT::kDouble;
  }
  if (a == TypeClass::kNull) a = b, ta = tb;
  if (b == TypeClass::kNull) b = a, tb = ta;
  if (a == TypeClass::kText || b == TypeClass::kText) {
    return (a == TypeClass::kText && b == TypeClass::kText && op == "+") ? CT::kText : CT::kDouble;
  }
  if (a == TypeClass::kDate || b == TypeClass::kDate) {
    if (op == "*") return CT::kDouble;
    if (op == "-") {
      if (a == TypeClass::kDate && b == TypeClass::kDate) return CT::kDouble;
      return a == TypeClass::kDate ? CT::kDateTime : CT::kDouble;
    }
    return (a == TypeClass::kDate && b == TypeClass::kDate) ? CT::kDouble : CT::kDateTime;
  }
  if (a == TypeClass::kFloat || b == TypeClass::kFloat) return CT::kDouble;
  if (a == TypeClass::kDecimal || b == TypeClass::kDecimal) return CT::kNumeric;
  if (a == TypeClass::kCurrency || b == TypeClass::kCurrency) return CT::kCurrency;
  return CT::kLong;
}

CT Unify(CT a, CT b) {
  if (a == b) return a;
  if (a == kNullType) return b;
  if (b == kNullType) return a;
  TypeClass ca = ClassOf(a), cb = ClassOf(b);
  if (ca == TypeClass::kText && cb == TypeClass::kText) return CT::kMemo;
  if (IsNumericClass(ca) && IsNumericClass(cb)) {
    if (ca == TypeClass::kFloat || cb == TypeClass::kFloat) return CT::kDouble;
    if (ca == TypeClass::kDate || cb == TypeClass::kDate) return CT::kDouble;
    if (ca == TypeClass::kDecimal || cb == TypeClass::kDecimal) return CT::kNumeric;
    if (ca == TypeClass::kCurrency || cb == TypeClass::kCurrency) return CT::kCurrency;
    if (a == CT::kLong || b == CT::kLong) return CT::kLong;
    return CT::kInteger;
  }
  return CT::kText;
}

std::shared_ptr<BoundExpr> NewNode(BoundExprKind kind, CT type, bool condition) {
  auto n = std::make_shared<BoundExpr>();
  n->kind = kind;
  n->type = type;
  n->condition = condition;
  return n;
}

Bound Plain(BoundExprPtr node) {
  Bound b;
  b.expr = std::move(node);
  return b;
}

BoundExprPtr NullConstant(CT type) {
  return NewNode(BoundExprKind::kConstant, type);
}

BoundExprPtr IntegerConstant(int64_t v, CT type) {
  auto n = NewNode(BoundExprKind::kConstant, type);
  n->constant.kind = BoundConstant::Kind::kInteger;
  n->constant.integer = v;
  return n;
}

BoundExprPtr OutputColumn(int index, CT type, const std::string& qualifier) {
  auto n = NewNode(BoundExprKind::kOutputColumn, type);
  n->column = index;
  n->qualifier = qualifier;
  return n;
}

Bound& Absorb(Bound& r, const Bound& a) {
  r.aggregate |= a.aggregate;
  if (a.naked && !r.naked) {
    r.naked = true;
    r.naked_text = a.naked_text;
  }
  return r;
}

namespace {

// `b` with its node replaced.
Bound Rebuilt(const Bound& b, BoundExprPtr node) {
  Bound r = b;
  r.expr = std::move(node);
  return r;
}

BoundExprPtr Cast(BoundExprPtr value, CT target) {
  auto n = NewNode(BoundExprKind::kCast, target);
  n->args.push_back(std::move(value));
  return n;
}

}  // namespace

Bound AsValue(const Bound& b) {
  if (!b.condition()) return b;
  auto n = NewNode(BoundExprKind::kToValue, CT::kBoolean);
  n->args.push_back(b.expr);
  return Rebuilt(b, std::move(n));
}

Bound AsCondition(const Bound& b) {
  if (b.condition()) return b;
  TypeClass c = ClassOf(b.type());
  if (c == TypeClass::kNull) {
    return Rebuilt(b, NewNode(BoundExprKind::kConstant, CT::kBoolean, true));
  }
  auto n = NewNode(BoundExprKind::kToCondition, CT::kBoolean, true);
  bool number = c == TypeClass::kBool || c == TypeClass::kIntegral || c == TypeClass::kFloat ||
                c == TypeClass::kDate || c == TypeClass::kCurrency;
  n->args.push_back(number ? b.expr : Cast(b.expr, CT::kBoolean));
  return Rebuilt(b, std::move(n));
}

Bound Coerce(const Bound& in, CT target) {
  Bound b = AsValue(in);
  if (b.type() == target || b.type() == kNullType || target == kNullType) return b;
  TypeClass from = ClassOf(b.type()), to = ClassOf(target);
  bool same_representation =
      (from == to && from != TypeClass::kOther) ||
      ((from == TypeClass::kBool || from == TypeClass::kIntegral) &&
       (to == TypeClass::kBool || to == TypeClass::kIntegral || to == TypeClass::kFloat)) ||
      ((from == TypeClass::kFloat || from == TypeClass::kDate) &&
       (to == TypeClass::kFloat || to == TypeClass::kDate)) ||
      (from == TypeClass::kGuid && to == TypeClass::kText);
  if (same_representation) {
    auto retyped = std::make_shared<BoundExpr>(*b.expr);
    retyped->type = target;
    return Rebuilt(b, std::move(retyped));
  }
  return Rebuilt(b, Cast(b.expr, target));
}

Bound Compare(const std::string& op, const Bound& a_in, const Bound& b_in) {
  Bound a = AsValue(a_in), b = AsValue(b_in);
  TypeClass ca = ClassOf(a.type()), cb = ClassOf(b.type());
  auto n = NewNode(BoundExprKind::kCompare, CT::kBoolean, true);
  n->op = op;
  BoundExprPtr left = a.expr, right = b.expr;
  auto textual = [](TypeClass c) { return c == TypeClass::kText || c == TypeClass::kGuid; };
  if (ca == TypeClass::kNull || cb == TypeClass::kNull) {
    n->compare = CompareMode::kNative;
  } else if (textual(ca) && textual(cb)) {
    n->compare = CompareMode::kCollated;
  } else if (ca == TypeClass::kBinary && cb == TypeClass::kBinary) {
    n->compare = CompareMode::kNative;
  } else if (!IsNumericClass(ca) || !IsNumericClass(cb)) {
    ThrowCriteriaMismatch();
  } else if (ca == TypeClass::kDecimal || cb == TypeClass::kDecimal) {
    n->compare = CompareMode::kRuntime;
  } else if ((ca == TypeClass::kCurrency) != (cb == TypeClass::kCurrency)) {
    // Currency against an integral type compares as Currency, against anything else as Double.
    bool a_cur = ca == TypeClass::kCurrency;
    TypeClass other = a_cur ? cb : ca;
    if (other == TypeClass::kBool || other == TypeClass::kIntegral) {
      (a_cur ? right : left) = Cast(a_cur ? right : left, CT::kCurrency);
    } else {
      (a_cur ? left : right) = Cast(a_cur ? left : right, CT::kDouble);
    }
  }
  n->args = {std::move(left), std::move(right)};
  Bound r = Plain(std::move(n));
  Absorb(r, a);
  return Absorb(r, b);
}

Bound Logical(const std::string& op, const std::vector<Bound>& operands) {
  auto logical = [](const Bound& x) {
    TypeClass c = ClassOf(x.type());
    return x.condition() || c == TypeClass::kBool || c == TypeClass::kNull;
  };
  bool all_logical = true;
  for (const auto& x : operands) all_logical &= logical(x);
  Bound r;
  if (all_logical) {
    auto n = NewNode(BoundExprKind::kLogical, CT::kBoolean, true);
    n->op = op;
    for (const auto& x : operands) n->args.push_back(AsCondition(x).expr);
    r = Plain(std::move(n));
  } else {
    std::string fn = "jet_op_" + std::string(op == "AND"   ? "and"
                                             : op == "OR"  ? "or"
                                             : op == "XOR" ? "xor"
                                             : op == "EQV" ? "eqv"
                                                           : "imp");
    BoundExprPtr acc = AsValue(operands[0]).expr;
    for (size_t i = 1; i < operands.size(); ++i) {
      BoundExprPtr v = AsValue(operands[i]).expr;
      for (const BoundExprPtr* x : {&acc, &v}) {
        TypeClass c = ClassOf((*x)->type);
        if (!IsNumericClass(c) && c != TypeClass::kNull) ThrowCriteriaMismatch();
      }
      auto call = NewNode(BoundExprKind::kCall, CT::kLong);
      call->function = fn;
      call->args = {std::move(acc), std::move(v)};
      acc = std::move(call);
    }
    r.expr = std::move(acc);
  }
  for (const auto& x : operands) Absorb(r, x);
  return r;
}

}  // namespace jetsql
