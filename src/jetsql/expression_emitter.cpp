#include "jetsql/expression_emitter.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "jetsql/errors.h"
#include "jetsql/signatures.h"

namespace jetsql {
namespace {

using CT = jet::ColumnType;

enum class Class {
  kNull,
  kBool,
  kIntegral,
  kCurrency,
  kFloat,
  kDate,
  kDecimal,
  kText,
  kBinary,
  kGuid,
  kOther
};

Class ClassOf(CT t) {
  switch (t) {
    case CT::kBoolean:
      return Class::kBool;
    case CT::kByte:
    case CT::kInteger:
    case CT::kLong:
      return Class::kIntegral;
    case CT::kCurrency:
      return Class::kCurrency;
    case CT::kSingle:
    case CT::kDouble:
      return Class::kFloat;
    case CT::kDateTime:
      return Class::kDate;
    case CT::kNumeric:
      return Class::kDecimal;
    case CT::kText:
    case CT::kMemo:
      return Class::kText;
    case CT::kBinary:
    case CT::kOle:
      return Class::kBinary;
    case CT::kGuid:
      return Class::kGuid;
    default:
      break;
  }
  return t == kNullType ? Class::kNull : Class::kOther;
}

bool IsNumericClass(Class c) {
  return c == Class::kBool || c == Class::kIntegral || c == Class::kCurrency ||
         c == Class::kFloat || c == Class::kDate || c == Class::kDecimal;
}

std::string Code(CT t) {
  return std::to_string(static_cast<int>(t));
}

std::string Real(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  std::string s = buf;
  if (s.find_first_of(".eEni") == std::string::npos) s += ".0";
  return s;
}

std::string QuoteText(const std::string& s) {
  std::string r = "'";
  for (char c : s) {
    if (c == '\'') r += '\'';
    r += c;
  }
  return r + "'";
}

std::string Upper(const std::string& s) {
  std::string r = s;
  for (auto& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

BExpr Make(std::string sql, CT type, bool pred = false) {
  BExpr b;
  b.sql = std::move(sql);
  b.type = type;
  b.pred = pred;
  return b;
}

// Merges the bookkeeping flags of operands into a result.
BExpr& Absorb(BExpr& r, const BExpr& a) {
  r.aggregate |= a.aggregate;
  if (a.naked && !r.naked) {
    r.naked = true;
    r.naked_text = a.naked_text;
  }
  return r;
}

[[noreturn]] void WrongArgumentCount(const std::string& text) {
  throw errors::WrongArgumentCount(text);
}

CT ArithmeticType(const std::string& op, CT ta, CT tb) {
  Class a = ClassOf(ta), b = ClassOf(tb);
  for (Class c : {a, b}) {
    if (c == Class::kBinary || c == Class::kGuid || c == Class::kOther)
      throw errors::CriteriaTypeMismatch();
  }
  if (a == Class::kNull && b == Class::kNull) return kNullType;
  if (op == "^") return CT::kDouble;
  if (op == "\\" || op == "MOD") return CT::kLong;
  if (op == "/") return (a == Class::kDecimal || b == Class::kDecimal) ? CT::kNumeric : CT::kDouble;
  if (a == Class::kNull) a = b, ta = tb;
  if (b == Class::kNull) b = a, tb = ta;
  if (a == Class::kText || b == Class::kText) {
    return (a == Class::kText && b == Class::kText && op == "+") ? CT::kText : CT::kDouble;
  }
  if (a == Class::kDate || b == Class::kDate) {
    if (op == "*") return CT::kDouble;
    if (op == "-") {
      if (a == Class::kDate && b == Class::kDate) return CT::kDouble;
      return a == Class::kDate ? CT::kDateTime : CT::kDouble;
    }
    return (a == Class::kDate && b == Class::kDate) ? CT::kDouble : CT::kDateTime;
  }
  if (a == Class::kFloat || b == Class::kFloat) return CT::kDouble;
  if (a == Class::kDecimal || b == Class::kDecimal) return CT::kNumeric;
  if (a == Class::kCurrency || b == Class::kCurrency) return CT::kCurrency;
  return CT::kLong;
}

}  // namespace

bool ExpressionEmitter::IsTextType(CT t) const {
  return ClassOf(t) == Class::kText;
}

std::string ExpressionEmitter::Collated(const std::string& sql, CT type) const {
  return IsTextType(type) ? sql + " COLLATE jet_general" : sql;
}

BExpr ExpressionEmitter::Value(const BExpr& b) const {
  if (!b.pred) return b;
  BExpr r = b;
  r.sql = "(-" + b.sql + ")";
  r.pred = false;
  r.type = CT::kBoolean;
  return r;
}

BExpr ExpressionEmitter::Predicate(const BExpr& b) const {
  if (b.pred) return b;
  BExpr r = b;
  r.pred = true;
  Class c = ClassOf(b.type);
  if (c == Class::kNull) {
    r.sql = "NULL";
  } else if (c == Class::kBool || c == Class::kIntegral || c == Class::kFloat ||
             c == Class::kDate || c == Class::kCurrency) {
    r.sql = "(" + b.sql + " <> 0)";
  } else {
    r.sql = "(jet_cast(" + b.sql + ", " + Code(b.type) + ", 1) <> 0)";
  }
  return r;
}

BExpr ExpressionEmitter::Coerce(const BExpr& in, CT target) const {
  BExpr b = Value(in);
  if (b.type == target || b.type == kNullType || target == kNullType) return b;
  Class from = ClassOf(b.type), to = ClassOf(target);
  bool same_representation =
      (from == to && from != Class::kOther) ||
      ((from == Class::kBool || from == Class::kIntegral) &&
       (to == Class::kBool || to == Class::kIntegral || to == Class::kFloat)) ||
      ((from == Class::kFloat || from == Class::kDate) &&
       (to == Class::kFloat || to == Class::kDate)) ||
      (from == Class::kGuid && to == Class::kText);
  if (same_representation) {
    b.type = target;
    return b;
  }
  b.sql = "jet_cast(" + b.sql + ", " + Code(b.type) + ", " + Code(target) + ")";
  b.type = target;
  return b;
}

CT ExpressionEmitter::Unify(CT a, CT b) const {
  if (a == b) return a;
  if (a == kNullType) return b;
  if (b == kNullType) return a;
  Class ca = ClassOf(a), cb = ClassOf(b);
  if (ca == Class::kText && cb == Class::kText) return CT::kMemo;
  if (IsNumericClass(ca) && IsNumericClass(cb)) {
    if (ca == Class::kFloat || cb == Class::kFloat) return CT::kDouble;
    if (ca == Class::kDate || cb == Class::kDate) return CT::kDouble;
    if (ca == Class::kDecimal || cb == Class::kDecimal) return CT::kNumeric;
    if (ca == Class::kCurrency || cb == Class::kCurrency) return CT::kCurrency;
    if (a == CT::kLong || b == CT::kLong) return CT::kLong;
    return CT::kInteger;
  }
  return CT::kText;
}

BExpr ExpressionEmitter::Compare(const std::string& op, const BExpr& a_in,
                                 const BExpr& b_in) const {
  BExpr a = Value(a_in), b = Value(b_in);
  Class ca = ClassOf(a.type), cb = ClassOf(b.type);
  BExpr r;
  r.pred = true;
  r.type = CT::kBoolean;
  Absorb(r, a);
  Absorb(r, b);
  auto native = [&](const std::string& l, const std::string& rr) {
    return "(" + l + " " + op + " " + rr + ")";
  };
  auto textual = [](Class c) { return c == Class::kText || c == Class::kGuid; };
  if (ca == Class::kNull || cb == Class::kNull) {
    r.sql = native(a.sql, b.sql);
  } else if (textual(ca) && textual(cb)) {
    r.sql = native(a.sql + " COLLATE jet_general", b.sql);
  } else if (ca == Class::kBinary && cb == Class::kBinary) {
    r.sql = native(a.sql, b.sql);
  } else if (!IsNumericClass(ca) || !IsNumericClass(cb)) {
    throw errors::CriteriaTypeMismatch();
  } else if (ca == Class::kDecimal || cb == Class::kDecimal) {
    r.sql = "(jet_op_cmp(" + a.sql + ", " + Code(a.type) + ", " + b.sql + ", " + Code(b.type) +
            ") " + op + " 0)";
  } else if (ca == Class::kCurrency && cb == Class::kCurrency) {
    r.sql = native(a.sql, b.sql);
  } else if (ca == Class::kCurrency || cb == Class::kCurrency) {
    bool a_cur = ca == Class::kCurrency;
    Class other = a_cur ? cb : ca;
    if (other == Class::kBool || other == Class::kIntegral) {
      std::string as = a_cur ? a.sql : "jet_cast(" + a.sql + ", " + Code(a.type) + ", 5)";
      std::string bs = a_cur ? "jet_cast(" + b.sql + ", " + Code(b.type) + ", 5)" : b.sql;
      r.sql = native(as, bs);
    } else {
      std::string as = a_cur ? "jet_cast(" + a.sql + ", 5, 7)" : a.sql;
      std::string bs = a_cur ? b.sql : "jet_cast(" + b.sql + ", 5, 7)";
      r.sql = native(as, bs);
    }
  } else {
    r.sql = native(a.sql, b.sql);
  }
  return r;
}

BExpr ExpressionEmitter::Logical(const std::string& op, const std::vector<BExpr>& operands) const {
  auto logical = [](const BExpr& x) {
    Class c = ClassOf(x.type);
    return x.pred || c == Class::kBool || c == Class::kNull;
  };
  bool all_logical = true;
  for (const auto& x : operands) all_logical &= logical(x);
  BExpr r;
  if (all_logical) {
    std::string sql;
    if (op == "AND" || op == "OR") {
      for (size_t i = 0; i < operands.size(); ++i) {
        sql += (i ? " " + op + " " : "") + Predicate(operands[i]).sql;
      }
      sql = "(" + sql + ")";
    } else {
      std::string pa = Predicate(operands[0]).sql, pb = Predicate(operands[1]).sql;
      if (op == "XOR") sql = "(" + pa + " <> " + pb + ")";
      if (op == "EQV") sql = "(" + pa + " = " + pb + ")";
      if (op == "IMP") sql = "((NOT " + pa + ") OR " + pb + ")";
    }
    r = Make(sql, CT::kBoolean, true);
  } else {
    std::string fn = "jet_op_" + std::string(op == "AND"   ? "and"
                                             : op == "OR"  ? "or"
                                             : op == "XOR" ? "xor"
                                             : op == "EQV" ? "eqv"
                                                           : "imp");
    BExpr acc = Value(operands[0]);
    for (size_t i = 1; i < operands.size(); ++i) {
      BExpr v = Value(operands[i]);
      for (const BExpr* x : {&acc, &v}) {
        Class c = ClassOf(x->type);
        if (!IsNumericClass(c) && c != Class::kNull) throw errors::CriteriaTypeMismatch();
      }
      acc = Make(
          fn + "(" + acc.sql + ", " + Code(acc.type) + ", " + v.sql + ", " + Code(v.type) + ")",
          CT::kLong);
    }
    r = acc;
  }
  for (const auto& x : operands) Absorb(r, x);
  return r;
}

BExpr ExpressionEmitter::Emit(const Expr& e, Scope& scope, ExpressionContext& ctx) {
  auto span = [&](const Expr& x) {
    const std::string& t = ctx.StatementText();
    if (x.end <= x.begin || x.end > t.size()) return std::string();
    return t.substr(x.begin, x.end - x.begin);
  };
  auto bind = [&](const Expr& x) { return ctx.BindExpr(x, scope); };

  switch (e.kind) {
    case ExprKind::kNull:
      return Make("NULL", kNullType);
    case ExprKind::kBoolean:
      return Make(e.bool_value ? "-1" : "0", CT::kBoolean);
    case ExprKind::kNumber: {
      if (e.integer && e.number <= std::numeric_limits<int32_t>::max()) {
        CT t = e.number <= std::numeric_limits<int16_t>::max() ? CT::kInteger : CT::kLong;
        return Make(std::to_string(static_cast<int64_t>(e.number)), t);
      }
      return Make(Real(e.number), CT::kDouble);
    }
    case ExprKind::kString:
      return Make(QuoteText(e.text), CT::kText);
    case ExprKind::kDate:
      return Make(Real(e.number), CT::kDateTime);
    case ExprKind::kColumn:
      return ctx.ResolveColumn(e, scope);
    case ExprKind::kStar:
      throw errors::MissingOperator(span(e));
    case ExprKind::kUnary: {
      if (e.op == "NOT") {
        BExpr a = bind(*e.args[0]);
        Class c = ClassOf(a.type);
        BExpr r;
        if (a.pred || c == Class::kBool || c == Class::kNull) {
          r = Make("(NOT " + Predicate(a).sql + ")", CT::kBoolean, true);
        } else {
          if (!IsNumericClass(c)) throw errors::CriteriaTypeMismatch();
          r = Make("jet_op_not(" + a.sql + ", " + Code(a.type) + ")",
                   c == Class::kIntegral && a.type != CT::kLong ? CT::kInteger : CT::kLong);
        }
        return Absorb(r, a);
      }
      if (e.op == "+") return bind(*e.args[0]);
      // Unary minus: fold literals so that key lookups stay constants.
      const Expr& arg = *e.args[0];
      if (arg.kind == ExprKind::kNumber) {
        if (arg.integer && arg.number <= 2147483648.0) {
          int64_t v = -static_cast<int64_t>(arg.number);
          CT t = v >= std::numeric_limits<int16_t>::min() ? CT::kInteger : CT::kLong;
          return Make(std::to_string(v), t);
        }
        return Make(Real(-arg.number), CT::kDouble);
      }
      BExpr a = Value(bind(arg));
      Class c = ClassOf(a.type);
      if (c == Class::kBinary || c == Class::kGuid || c == Class::kOther)
        throw errors::CriteriaTypeMismatch();
      CT t = a.type;
      if (c == Class::kText) t = CT::kDouble;
      if (a.type == CT::kBoolean || a.type == CT::kByte) t = CT::kInteger;
      BExpr r = c == Class::kNull
                    ? Make("NULL", kNullType)
                    : Make("jet_op_neg(" + a.sql + ", " + Code(a.type) + ", " + Code(t) + ")", t);
      return Absorb(r, a);
    }
    case ExprKind::kBinary: {
      const std::string& op = e.op;
      BExpr a = bind(*e.args[0]);
      BExpr b = bind(*e.args[1]);
      if (op == "=" || op == "<>" || op == "<" || op == "<=" || op == ">" || op == ">=") {
        return Compare(op, a, b);
      }
      if (op == "AND" || op == "OR" || op == "XOR" || op == "EQV" || op == "IMP") {
        std::vector<BExpr> operands;
        operands.push_back(std::move(a));
        operands.push_back(std::move(b));
        for (size_t i = 2; i < e.args.size(); ++i) operands.push_back(bind(*e.args[i]));
        return Logical(op, operands);
      }
      BExpr va = Value(a), vb = Value(b);
      BExpr r;
      if (op == "&") {
        for (const BExpr* x : {&va, &vb}) {
          Class c = ClassOf(x->type);
          if (c == Class::kBinary || c == Class::kOther) throw errors::CriteriaTypeMismatch();
        }
        r = Make("jet_op_concat(" + va.sql + ", " + Code(va.type) + ", " + vb.sql + ", " +
                     Code(vb.type) + ")",
                 CT::kText);
      } else {
        CT t = ArithmeticType(op, va.type, vb.type);
        if (ClassOf(va.type) == Class::kNull || ClassOf(vb.type) == Class::kNull) {
          r = Make("NULL", t);
        } else {
          std::string fn = op == "+"    ? "jet_op_add"
                           : op == "-"  ? "jet_op_sub"
                           : op == "*"  ? "jet_op_mul"
                           : op == "/"  ? "jet_op_div"
                           : op == "\\" ? "jet_op_intdiv"
                           : op == "^"  ? "jet_op_pow"
                                        : "jet_op_mod";
          r = Make(fn + "(" + va.sql + ", " + Code(va.type) + ", " + vb.sql + ", " + Code(vb.type) +
                       ", " + Code(t) + ")",
                   t);
        }
      }
      Absorb(r, va);
      return Absorb(r, vb);
    }
    case ExprKind::kLike: {
      BExpr a = Value(bind(*e.args[0]));
      BExpr p = Value(bind(*e.args[1]));
      for (const BExpr* x : {&a, &p}) {
        Class c = ClassOf(x->type);
        if (c == Class::kBinary || c == Class::kOther) throw errors::CriteriaTypeMismatch();
      }
      BExpr r = Make("(jet_like(" + a.sql + ", " + Code(a.type) + ", " + p.sql + ", " +
                         Code(p.type) + ") " + (e.negated ? "= 0)" : "<> 0)"),
                     CT::kBoolean, true);
      Absorb(r, a);
      return Absorb(r, p);
    }
    case ExprKind::kBetween: {
      BExpr a = bind(*e.args[0]);
      const Expr& lo_e = *e.args[1];
      const Expr& hi_e = *e.args[2];
      BExpr lo = bind(lo_e), hi = bind(hi_e);
      bool literal_bounds = (lo_e.kind == ExprKind::kNumber || lo_e.kind == ExprKind::kDate) &&
                            (hi_e.kind == ExprKind::kNumber || hi_e.kind == ExprKind::kDate);
      std::string sql;
      if (literal_bounds) {
        if (lo_e.number > hi_e.number) std::swap(lo, hi);
        sql = "(" + Compare(">=", a, lo).sql + " AND " + Compare("<=", a, hi).sql + ")";
      } else {
        sql = "((" + Compare(">=", a, lo).sql + " AND " + Compare("<=", a, hi).sql + ") OR (" +
              Compare(">=", a, hi).sql + " AND " + Compare("<=", a, lo).sql + "))";
      }
      if (e.negated) sql = "(NOT " + sql + ")";
      BExpr r = Make(sql, CT::kBoolean, true);
      Absorb(r, a);
      Absorb(r, lo);
      return Absorb(r, hi);
    }
    case ExprKind::kInList: {
      BExpr a = Value(bind(*e.args[0]));
      BExpr r = Make("", CT::kBoolean, true);
      Absorb(r, a);
      std::vector<BExpr> items;
      bool native = true;
      for (size_t i = 1; i < e.args.size(); ++i) {
        BExpr v = Value(bind(*e.args[i]));
        Absorb(r, v);
        BExpr c = Compare("=", a, v);
        if (c.sql != "(" + a.sql + " = " + v.sql + ")" &&
            c.sql != "(" + a.sql + " COLLATE jet_general = " + v.sql + ")") {
          native = false;
        }
        items.push_back(std::move(v));
      }
      std::string sql;
      if (native) {
        sql = "(" + Collated(a.sql, a.type) + " IN (";
        for (size_t i = 0; i < items.size(); ++i) sql += (i ? ", " : "") + items[i].sql;
        sql += "))";
      } else {
        sql = "(";
        for (size_t i = 0; i < items.size(); ++i) {
          sql += (i ? " OR " : "") + Compare("=", a, items[i]).sql;
        }
        sql += ")";
      }
      r.sql = e.negated ? "(NOT " + sql + ")" : sql;
      return r;
    }
    case ExprKind::kInQuery: {
      BExpr a = Value(bind(*e.args[0]));
      std::vector<CT> types;
      BExpr q = ctx.BindSubquery(*e.query, scope, &types);
      if (types.size() != 1) {
        throw errors::SubqueryFields();
      }
      BExpr probe = Make("c0", types[0]);
      Compare("=", a, probe);  // type check only
      std::string sql = "(" + Collated(a.sql, a.type) + " IN " + q.sql + ")";
      BExpr r = Make(e.negated ? "(NOT " + sql + ")" : sql, CT::kBoolean, true);
      return Absorb(r, a);
    }
    case ExprKind::kIsNull: {
      BExpr a = Value(bind(*e.args[0]));
      BExpr r = Make("(" + a.sql + (e.negated ? " IS NOT NULL)" : " IS NULL)"), CT::kBoolean, true);
      return Absorb(r, a);
    }
    case ExprKind::kExists: {
      std::vector<CT> types;
      BExpr q = ctx.BindSubquery(*e.query, scope, &types);
      return Make("(EXISTS " + q.sql + ")", CT::kBoolean, true);
    }
    case ExprKind::kQuantified: {
      BExpr a = Value(bind(*e.args[0]));
      std::vector<CT> types;
      BExpr q = ctx.BindSubquery(*e.query, scope, &types);
      if (types.size() != 1) {
        throw errors::SubqueryFields();
      }
      std::string alias = "q" + std::to_string(quantified_counter_++);
      BExpr col = Make(alias + ".c0", types[0]);
      BExpr cmp = Compare(e.op, a, col);
      std::string sql = e.quantifier == "ALL" ? "(NOT EXISTS (SELECT 1 FROM " + q.sql + " AS " +
                                                    alias + " WHERE NOT " + cmp.sql + "))"
                                              : "(EXISTS (SELECT 1 FROM " + q.sql + " AS " + alias +
                                                    " WHERE " + cmp.sql + "))";
      BExpr r = Make(sql, CT::kBoolean, true);
      return Absorb(r, a);
    }
    case ExprKind::kSubquery: {
      std::vector<CT> types;
      BExpr q = ctx.BindSubquery(*e.query, scope, &types);
      if (types.size() != 1) {
        throw errors::SubqueryFields();
      }
      return Make(q.sql, types[0]);
    }
    case ExprKind::kFunction:
      break;
  }

  // ---- functions ----
  const FunctionSignature* sig = FindFunction(e.name);
  if (!sig) {
    throw errors::UndefinedFunction(e.name);
  }
  const int n = static_cast<int>(e.args.size());
  const std::string name = sig->access_name;
  if (e.star && name != "COUNT") WrongArgumentCount(span(e));
  if (!e.star && (n < sig->min_args || n > sig->max_args)) WrongArgumentCount(span(e));

  bool aggregate =
      sig->kind == FunctionKind::kAggregate || name == "COUNT" || name == "MIN" || name == "MAX";
  if (aggregate) {
    if (const char* ban = AggregateBan(scope)) {
      if (std::string(ban) == "GROUP BY") {
        throw errors::AggregateInGroupBy(span(e));
      }
      throw errors::AggregateInClause(ban, span(e));
    }
    if (ctx.InAggregate()) {
      throw errors::NestedAggregate(span(e));
    }
    std::string filter = ctx.PivotFilter() ? " FILTER (WHERE " + *ctx.PivotFilter() + ")" : "";
    BExpr r;
    if (e.star) {
      r = Make("count(*)" + filter, CT::kLong);
    } else {
      ctx.SetInAggregate(true);
      BExpr a;
      try {
        a = Value(bind(*e.args[0]));
      } catch (...) {
        ctx.SetInAggregate(false);
        throw;
      }
      ctx.SetInAggregate(false);
      if (name == "COUNT") {
        r = Make("count(" + a.sql + ")" + filter, CT::kLong);
      } else if (name == "MIN" || name == "MAX") {
        r = Make(Upper(name) == "MIN" ? "min(" + Collated(a.sql, a.type) + ")" + filter
                                      : "max(" + Collated(a.sql, a.type) + ")" + filter,
                 a.type);
      } else {
        Class c = ClassOf(a.type);
        if ((name == "SUM" || name == "AVG" || name.rfind("STDEV", 0) == 0 ||
             name.rfind("VAR", 0) == 0) &&
            (c == Class::kBinary || c == Class::kGuid || c == Class::kOther)) {
          throw errors::CriteriaTypeMismatch();
        }
        r = Make(std::string(sig->sqlite_name) + "(" + a.sql + ", " + Code(a.type) + ")" + filter,
                 ResultType(*sig, a.type));
      }
    }
    r.aggregate = true;
    return r;
  }

  std::vector<BExpr> args;
  for (const auto& a : e.args) args.push_back(bind(*a));
  BExpr r;
  auto absorb_all = [&](BExpr& out) {
    for (const auto& a : args) Absorb(out, a);
    return out;
  };

  if (sig->kind == FunctionKind::kCast) {
    BExpr a = Value(args[0]);
    r = Make("jet_cast(" + a.sql + ", " + Code(a.type) + ", " + Code(sig->cast_target) + ")",
             sig->cast_target);
    return absorb_all(r);
  }
  if (sig->kind == FunctionKind::kSpecial) {
    if (name == "ISNULL") {
      r = Make("(" + Value(args[0]).sql + " IS NULL)", CT::kBoolean, true);
    } else if (name == "IIF") {
      CT t = Unify(Value(args[1]).type, Value(args[2]).type);
      r = Make("(CASE WHEN " + Predicate(args[0]).sql + " THEN " + Coerce(args[1], t).sql +
                   " ELSE " + Coerce(args[2], t).sql + " END)",
               t);
    } else if (name == "NZ") {
      BExpr v = Value(args[0]);
      if (n == 1) {
        std::string fallback = IsNumericClass(ClassOf(v.type)) ? "0" : "''";
        CT t = v.type == kNullType ? CT::kText : v.type;
        r = Make("coalesce(" + v.sql + ", " + fallback + ")", t);
      } else {
        CT t = Unify(v.type, Value(args[1]).type);
        r = Make("coalesce(" + Coerce(v, t).sql + ", " + Coerce(args[1], t).sql + ")", t);
      }
    } else if (name == "SWITCH") {
      if (n % 2 != 0) WrongArgumentCount(span(e));
      CT t = kNullType;
      for (int i = 1; i < n; i += 2) t = Unify(t, Value(args[i]).type);
      std::string sql = "(CASE";
      for (int i = 0; i < n; i += 2) {
        sql += " WHEN " + Predicate(args[i]).sql + " THEN " + Coerce(args[i + 1], t).sql;
      }
      r = Make(sql + " END)", t);
    } else if (name == "CHOOSE") {
      CT t = kNullType;
      for (int i = 1; i < n; ++i) t = Unify(t, Value(args[i]).type);
      BExpr index = Value(args[0]);
      std::string sql = "(CASE jet_cast(" + index.sql + ", " + Code(index.type) + ", 4)";
      for (int i = 1; i < n; ++i) {
        sql += " WHEN " + std::to_string(i) + " THEN " + Coerce(args[i], t).sql;
      }
      r = Make(sql + " END)", t);
    }
    return absorb_all(r);
  }

  // Scalar jet_ function: each argument followed by its type; defaults filled in.
  std::vector<std::pair<std::string, CT>> call;
  for (const auto& a : args) {
    BExpr v = Value(a);
    call.emplace_back(v.sql, v.type);
  }
  if (name == "INSTR") {
    if (n == 2) call.insert(call.begin(), {"1", CT::kInteger});
    if (call.size() == 3) call.emplace_back("1", CT::kInteger);
  } else {
    for (int i = n; i < sig->max_args; ++i) {
      const DefaultArg& d = sig->defaults[static_cast<size_t>(i - sig->min_args)];
      call.emplace_back(d.sql, d.type);
    }
  }
  std::string sql = std::string(sig->sqlite_name) + "(";
  for (size_t i = 0; i < call.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += call[i].first + ", " + Code(call[i].second);
  }
  sql += ")";
  CT t = ResultType(*sig, call.empty() ? kNullType : call[0].second);
  r = Make(sql, t);
  return absorb_all(r);
}

}  // namespace jetsql
