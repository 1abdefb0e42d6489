// Operators with Access semantics: arithmetic computed in the result type the binder chose, with
// overflow and division by zero raised as errors; & and + on text; the bitwise logical operators
// with Access's Null rules; comparison across types; Like; conversions.

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "jetsql/date_util.h"
#include "jetsql/functions/function_support.h"
#include "jetsql/like.h"
#include "jetsql/text_util.h"
#include "jetsql/value_convert.h"

namespace jetsql::fn {

namespace {

using jet::ColumnType;

enum class Op { kAdd, kSub, kMul };

bool IsIntegralType(ColumnType t) {
  return t == ColumnType::kBoolean || t == ColumnType::kByte || t == ColumnType::kInteger ||
         t == ColumnType::kLong;
}

bool IsTextType(ColumnType t) {
  return t == ColumnType::kText || t == ColumnType::kMemo;
}

ColumnType ResultType(const Args& args, int index) {
  return static_cast<ColumnType>(sqlite3_value_int(args.sqlite_arg(index)));
}

int64_t ToInteger(const jet::Value& v) {
  if (IsExactType(v) && !std::holds_alternative<jet::Currency>(v) &&
      !std::holds_alternative<jet::Decimal>(v)) {
    return static_cast<int64_t>(ToExact(v).mantissa);
  }
  double d = BankersRound(ValueToDouble(v));
  if (!(std::fabs(d) < 9.2e18)) ThrowOverflow();
  return static_cast<int64_t>(d);
}

// Dates take part in arithmetic as plain day counts.
double ToArithmeticNumber(const jet::Value& v) {
  if (const auto* d = std::get_if<jet::DateTime>(&v)) return DateToLinear(d->days);
  return ValueToDouble(v);
}

template <typename Int>
jet::Value CheckedIntegral(__int128 r) {
  if (r < std::numeric_limits<Int>::min() || r > std::numeric_limits<Int>::max()) ThrowOverflow();
  return static_cast<Int>(r);
}

jet::Value FromInt(__int128 r, ColumnType type) {
  switch (type) {
    case ColumnType::kByte:
      return CheckedIntegral<uint8_t>(r);
    case ColumnType::kInteger:
      return CheckedIntegral<int16_t>(r);
    case ColumnType::kBoolean:
      return r != 0;
    default:
      return CheckedIntegral<int32_t>(r);
  }
}

jet::Value FromDouble(double r, ColumnType type) {
  if (!std::isfinite(r)) ThrowOverflow();
  if (type == ColumnType::kSingle) {
    if (std::fabs(r) > std::numeric_limits<float>::max()) ThrowOverflow();
    return static_cast<float>(r);
  }
  if (type == ColumnType::kDateTime) {
    double d = LinearToDate(r);
    if (!DateInRange(d)) ThrowOverflow();
    return jet::DateTime{d};
  }
  if (IsIntegralType(type)) {
    double rounded = BankersRound(r);
    if (!(std::fabs(rounded) < 1e18)) ThrowOverflow();
    return FromInt(static_cast<__int128>(rounded), type);
  }
  if (type == ColumnType::kCurrency) {
    double scaled = BankersRound(r * kCurrencyScale);
    if (!(std::fabs(scaled) < 9.2e18)) ThrowOverflow();
    return jet::Currency{static_cast<int64_t>(scaled)};
  }
  return r;
}

__int128 Align(ExactNumber n, int scale) {
  __int128 m = n.mantissa;
  if (!ScaleUp(&m, scale - n.scale)) ThrowOverflow();
  return m;
}

jet::Value Arithmetic(Op op, const Args& args) {
  jet::Value a = args.value(0), b = args.value(1);
  ColumnType result = ResultType(args, 4);
  if (jet::IsNull(a) || jet::IsNull(b)) return std::monostate{};
  if (op == Op::kAdd && IsTextValue(a) && IsTextValue(b) && IsTextType(result)) {
    return std::get<std::string>(a) + std::get<std::string>(b);
  }
  if (IsIntegralType(result)) {
    __int128 x = ToInteger(a), y = ToInteger(b);
    __int128 r = op == Op::kAdd ? x + y : op == Op::kSub ? x - y : x * y;
    return FromInt(r, result);
  }
  if (result == ColumnType::kCurrency) {
    __int128 x = ValueToCurrency(a), y = ValueToCurrency(b);
    __int128 r;
    if (op == Op::kMul) {
      __int128 p = x * y;
      __int128 q = p / kCurrencyScale, rem = p % kCurrencyScale;
      if (rem < 0) rem = -rem;
      if (rem * 2 > kCurrencyScale || (rem * 2 == kCurrencyScale && (q & 1))) q += p < 0 ? -1 : 1;
      r = q;
    } else {
      r = op == Op::kAdd ? x + y : x - y;
    }
    if (r < std::numeric_limits<int64_t>::min() || r > std::numeric_limits<int64_t>::max())
      ThrowOverflow();
    return jet::Currency{static_cast<int64_t>(r)};
  }
  if (result == ColumnType::kNumeric && (IsExactType(a) || IsTextValue(a)) &&
      (IsExactType(b) || IsTextValue(b))) {
    ExactNumber x = ToExact(ValueToDecimal(a)), y = ToExact(ValueToDecimal(b));
    constexpr __int128 kLimit = static_cast<__int128>(1) << 100;
    if (op == Op::kMul) {
      // Keep within 128 bits: shed decimals of the larger-scaled operand first.
      while ((x.mantissa > kLimit / 2 || x.mantissa < -kLimit / 2) && x.scale > 0) {
        x.mantissa /= 10;
        --x.scale;
      }
      __int128 ax = x.mantissa < 0 ? -x.mantissa : x.mantissa;
      __int128 ay = y.mantissa < 0 ? -y.mantissa : y.mantissa;
      if (ax != 0 && ay > std::numeric_limits<__int128>::max() / ax) ThrowOverflow();
      return ExactToDecimal({x.mantissa * y.mantissa, x.scale + y.scale});
    }
    int scale = std::max(x.scale, y.scale);
    __int128 mx = Align(x, scale), my = Align(y, scale);
    return ExactToDecimal({op == Op::kAdd ? mx + my : mx - my, scale});
  }
  double x = ToArithmeticNumber(a), y = ToArithmeticNumber(b);
  double r = op == Op::kAdd ? x + y : op == Op::kSub ? x - y : x * y;
  return FromDouble(r, result);
}

jet::Value Add(const Args& a) {
  return Arithmetic(Op::kAdd, a);
}
jet::Value Sub(const Args& a) {
  return Arithmetic(Op::kSub, a);
}
jet::Value Mul(const Args& a) {
  return Arithmetic(Op::kMul, a);
}

jet::Value Div(const Args& args) {
  jet::Value a = args.value(0), b = args.value(1);
  ColumnType result = ResultType(args, 4);
  double y = ToArithmeticNumber(b);
  double x = ToArithmeticNumber(a);
  if (y == 0) {
    if (x == 0) ThrowOverflow();
    ThrowDivisionByZero();
  }
  if (result == ColumnType::kNumeric) {
    double r = x / y;
    if (!std::isfinite(r)) ThrowOverflow();
    return ValueToDecimal(r);
  }
  return FromDouble(x / y, result == ColumnType::kSingle ? result : ColumnType::kDouble);
}

jet::Value IntDiv(const Args& args) {
  __int128 x = ToInteger(args.value(0)), y = ToInteger(args.value(1));
  if (y == 0) ThrowDivisionByZero();
  return FromInt(x / y, ResultType(args, 4));
}

jet::Value Mod(const Args& args) {
  __int128 x = ToInteger(args.value(0)), y = ToInteger(args.value(1));
  if (y == 0) ThrowDivisionByZero();
  return FromInt(x % y, ResultType(args, 4));
}

jet::Value Pow(const Args& args) {
  double x = args.number(0), y = args.number(1);
  if (x == 0 && y < 0) ThrowDivisionByZero();
  double r = std::pow(x, y);
  if (std::isnan(r)) ThrowInvalidArgument();
  return FromDouble(r, ColumnType::kDouble);
}

jet::Value Neg(const Args& args) {
  jet::Value a = args.value(0);
  ColumnType result = ResultType(args, 2);
  if (IsTextValue(a)) return FromDouble(-ValueToDouble(a), ColumnType::kDouble);
  if (result == ColumnType::kBoolean || result == ColumnType::kByte) result = ColumnType::kInteger;
  if (IsIntegralType(result)) return FromInt(-static_cast<__int128>(ToInteger(a)), result);
  if (result == ColumnType::kCurrency) {
    int64_t c = ValueToCurrency(a);
    if (c == std::numeric_limits<int64_t>::min()) ThrowOverflow();
    return jet::Currency{-c};
  }
  if (result == ColumnType::kNumeric) {
    jet::Decimal d = ValueToDecimal(a);
    d.negative = !d.negative && d.mantissa != 0;
    return d;
  }
  if (result == ColumnType::kDateTime) return FromDouble(-DateToLinear(ValueToDate(a)), result);
  return FromDouble(-ValueToDouble(a), result);
}

jet::Value Concat(const Args& args) {
  bool null_a = args.is_null(0), null_b = args.is_null(1);
  if (null_a && null_b) return std::monostate{};
  std::string out;
  if (!null_a) out = args.text(0);
  if (!null_b) out += args.text(1);
  return out;
}

// Operands of the bitwise operators: Long values, Booleans as -1/0.
int64_t LogicalOperand(const jet::Value& v) {
  int64_t x = ToInteger(v);
  if (x < std::numeric_limits<int32_t>::min() || x > std::numeric_limits<int32_t>::max())
    ThrowOverflow();
  return x;
}

jet::Value LogicalResult(int64_t r, const Args& args) {
  bool boolean = args.type(0) == ColumnType::kBoolean &&
                 (args.count() < 2 || args.type(1) == ColumnType::kBoolean);
  if (boolean) return r != 0;
  return static_cast<int32_t>(r);
}

jet::Value Not(const Args& args) {
  if (args.is_null(0)) return std::monostate{};
  return LogicalResult(~LogicalOperand(args.value(0)), args);
}

enum class Logic { kAnd, kOr, kXor, kEqv, kImp };

jet::Value Logical(Logic op, const Args& args) {
  bool null_a = args.is_null(0), null_b = args.is_null(1);
  if (null_a || null_b) {
    if (null_a && null_b) return std::monostate{};
    int64_t other = LogicalOperand(args.value(null_a ? 1 : 0));
    switch (op) {
      case Logic::kAnd:
        if (other == 0) return LogicalResult(0, args);
        break;
      case Logic::kOr:
        if (other == -1) return LogicalResult(-1, args);
        break;
      case Logic::kImp:
        // Null Imp True is True; False Imp Null is True.
        if ((null_a && other == -1) || (null_b && other == 0)) return LogicalResult(-1, args);
        break;
      default:
        break;
    }
    return std::monostate{};
  }
  int64_t x = LogicalOperand(args.value(0)), y = LogicalOperand(args.value(1));
  int64_t r = 0;
  switch (op) {
    case Logic::kAnd:
      r = x & y;
      break;
    case Logic::kOr:
      r = x | y;
      break;
    case Logic::kXor:
      r = x ^ y;
      break;
    case Logic::kEqv:
      r = ~(x ^ y);
      break;
    case Logic::kImp:
      r = ~x | y;
      break;
  }
  return LogicalResult(static_cast<int32_t>(r), args);
}

jet::Value And(const Args& a) {
  return Logical(Logic::kAnd, a);
}
jet::Value Or(const Args& a) {
  return Logical(Logic::kOr, a);
}
jet::Value Xor(const Args& a) {
  return Logical(Logic::kXor, a);
}
jet::Value Eqv(const Args& a) {
  return Logical(Logic::kEqv, a);
}
jet::Value Imp(const Args& a) {
  return Logical(Logic::kImp, a);
}

[[noreturn]] void ThrowCriteriaMismatch() {
  throw errors::CriteriaTypeMismatch();
}

int Sign(__int128 d) {
  return d < 0 ? -1 : d > 0 ? 1 : 0;
}
int Sign(double d) {
  return d < 0 ? -1 : d > 0 ? 1 : 0;
}

jet::Value Compare(const Args& args) {
  jet::Value a = args.value(0), b = args.value(1);
  bool text_a = IsTextValue(a), text_b = IsTextValue(b);
  if (text_a && text_b) {
    int c = CompareGeneral(std::get<std::string>(a), std::get<std::string>(b));
    return static_cast<int32_t>(c < 0 ? -1 : c > 0 ? 1 : 0);
  }
  if (std::holds_alternative<jet::Guid>(a) || std::holds_alternative<jet::Guid>(b)) {
    jet::Value ga = ConvertValue(a, ColumnType::kGuid), gb = ConvertValue(b, ColumnType::kGuid);
    int c = std::memcmp(std::get<jet::Guid>(ga).data(), std::get<jet::Guid>(gb).data(), 16);
    return static_cast<int32_t>(c < 0 ? -1 : c > 0 ? 1 : 0);
  }
  if (std::holds_alternative<jet::Bytes>(a) || std::holds_alternative<jet::Bytes>(b)) {
    if (!std::holds_alternative<jet::Bytes>(a) || !std::holds_alternative<jet::Bytes>(b))
      ThrowCriteriaMismatch();
    const auto& x = std::get<jet::Bytes>(a);
    const auto& y = std::get<jet::Bytes>(b);
    return static_cast<int32_t>(x < y ? -1 : y < x ? 1 : 0);
  }
  if (text_a || text_b) {
    // Text meets a number: only a date may be compared with text that reads as a date.
    const jet::Value& other = text_a ? b : a;
    if (!std::holds_alternative<jet::DateTime>(other)) ThrowCriteriaMismatch();
    auto parsed = ParseDateText(std::get<std::string>(text_a ? a : b));
    if (!parsed) ThrowCriteriaMismatch();
    double x = text_a ? *parsed : std::get<jet::DateTime>(a).days;
    double y = text_a ? std::get<jet::DateTime>(b).days : *parsed;
    return static_cast<int32_t>(Sign(DateToLinear(x) - DateToLinear(y)));
  }
  if (IsExactType(a) && IsExactType(b)) {
    ExactNumber x = ToExact(a), y = ToExact(b);
    int scale = std::max(x.scale, y.scale);
    __int128 mx = x.mantissa, my = y.mantissa;
    if (ScaleUp(&mx, scale - x.scale) && ScaleUp(&my, scale - y.scale)) {
      return static_cast<int32_t>(Sign(mx - my));
    }
  }
  return static_cast<int32_t>(Sign(ToArithmeticNumber(a) - ToArithmeticNumber(b)));
}

void DeletePattern(void* p) {
  delete static_cast<LikePattern*>(p);
}

jet::Value Cast(const Args& args) {
  jet::Value v = args.value(0);
  auto target = static_cast<ColumnType>(sqlite3_value_int(args.sqlite_arg(2)));
  return ConvertValue(v, target);
}

constexpr ScalarFunction kOperators[] = {
    {"jet_op_add", Add},     {"jet_op_sub", Sub},        {"jet_op_mul", Mul},
    {"jet_op_div", Div},     {"jet_op_intdiv", IntDiv},  {"jet_op_mod", Mod},
    {"jet_op_pow", Pow},     {"jet_op_neg", Neg},        {"jet_op_concat", Concat, false},
    {"jet_op_not", Not},     {"jet_op_and", And, false}, {"jet_op_or", Or, false},
    {"jet_op_xor", Xor},     {"jet_op_eqv", Eqv},        {"jet_op_imp", Imp, false},
    {"jet_op_cmp", Compare}, {"jet_cast", Cast},
};

}  // namespace

// Like needs the call's context to keep the compiled pattern between rows.
void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  try {
    Args args(argc, argv);
    if (args.is_null(0) || args.is_null(1)) {
      sqlite3_result_null(ctx);
      return;
    }
    // Text reaches the matcher without copies; other values are converted as CStr does.
    std::string converted;
    std::string_view text;
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
      // The bytes as they are: asking for text would make SQLite add a terminating zero to a
      // column's value, which takes a new allocation for every row.
      const int bytes = sqlite3_value_bytes(argv[0]);
      const void* data = sqlite3_value_blob(argv[0]);
      text = data ? std::string_view(static_cast<const char*>(data), static_cast<size_t>(bytes))
                  : std::string_view();
    } else {
      converted = args.text(0);
      text = converted;
    }
    auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 2));
    if (!pattern) {
      auto compiled = std::make_unique<LikePattern>(args.text(1));
      pattern = compiled.get();
      sqlite3_set_auxdata(ctx, 2, compiled.release(), DeletePattern);
      // SQLite may drop the auxiliary data at once; read it back to know it is still there.
      if (sqlite3_get_auxdata(ctx, 2) != pattern) {
        LikePattern again(args.text(1));
        sqlite3_result_int(ctx, again.Matches(text) ? -1 : 0);
        return;
      }
    }
    sqlite3_result_int(ctx, pattern->Matches(text) ? -1 : 0);
  } catch (...) {
    FailCallWithCurrentException(ctx);
  }
}

std::span<const ScalarFunction> OperatorFunctions() {
  return kOperators;
}

}  // namespace jetsql::fn
