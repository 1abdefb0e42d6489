#include "jetsql/value_convert.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "jetsql/date_format.h"
#include "jetsql/date_util.h"
#include "jetsql/regional_settings.h"
#include "jetsql/text_util.h"

namespace jetsql {

namespace {

constexpr int kGuidBytes = 16;
constexpr int kMaxDecimalDigits = 28;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

}  // namespace

void ThrowTypeMismatch() {
  throw errors::IncompatibleTypes();
}
void ThrowOverflow() {
  throw errors::Overflow();
}
void ThrowDivisionByZero() {
  throw errors::DivisionByZero();
}
void ThrowInvalidArgument() {
  throw errors::InvalidArgument();
}
void ThrowInvalidNull() {
  throw errors::InvalidNullUse();
}

std::optional<double> ParseNumberText(std::string_view text) {
  std::string_view s = Trim(text);
  if (s.empty()) return std::nullopt;
  bool negative = false;
  if (s.front() == '+' || s.front() == '-') {
    negative = s.front() == '-';
    s.remove_prefix(1);
    s = Trim(s);
  }
  if (s.size() >= 2 && s[0] == '&' && (s[1] == 'h' || s[1] == 'H' || s[1] == 'o' || s[1] == 'O')) {
    int base = (s[1] == 'h' || s[1] == 'H') ? 16 : 8;
    s.remove_prefix(2);
    if (s.empty() || s.size() > 16) return std::nullopt;
    uint64_t v = 0;
    for (char c : s) {
      int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
              : std::isxdigit(static_cast<unsigned char>(c))
                  ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                  : 99;
      if (d >= base) return std::nullopt;
      v = v * base + d;
    }
    // &H values of up to 4 digits are Integers, up to 8 Longs (two's complement).
    double r;
    if (s.size() <= 4 && base == 16) {
      r = static_cast<int16_t>(static_cast<uint16_t>(v));
    } else if (v <= 0xFFFFFFFFull) {
      r = static_cast<int32_t>(static_cast<uint32_t>(v));
    } else {
      r = static_cast<double>(v);
    }
    return negative ? -r : r;
  }
  // The regional separators; where the decimal one is not '.', a text with a single '.' and no
  // decimal separator ("1.5") still reads the '.' as a decimal point, since SQL is written so.
  const NumberSettings& regional = Regional().number;
  char decimal = regional.decimal;
  std::string grouping = regional.thousands;
  if (decimal != '.' && s.find(decimal) == std::string_view::npos &&
      std::count(s.begin(), s.end(), '.') == 1) {
    decimal = '.';
    grouping = ",";
  }
  std::string digits;
  bool seen_digit = false, seen_point = false, seen_exp = false;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      digits.push_back(c);
      seen_digit = true;
    } else if (c == decimal && !seen_point && !seen_exp) {
      digits.push_back('.');
      seen_point = true;
    } else if (!grouping.empty() && s.substr(i, grouping.size()) == grouping && seen_digit &&
               !seen_point && !seen_exp) {
      i += grouping.size() - 1;
      continue;
    } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && seen_digit && !seen_exp) {
      digits.push_back('e');
      seen_exp = true;
      if (i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) digits.push_back(s[++i]);
      if (i + 1 >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i + 1])))
        return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (!seen_digit) return std::nullopt;
  double v = std::strtod(digits.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  return negative ? -v : v;
}

double ValNumber(std::string_view text) {
  // Val ignores spaces, tabs and line feeds anywhere in the number.
  std::string compact;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') compact.push_back(c);
  }
  if (compact.size() >= 2 && compact[0] == '&') {
    size_t end = 2;
    while (end < compact.size() && std::isxdigit(static_cast<unsigned char>(compact[end]))) ++end;
    if (auto v = ParseNumberText(compact.substr(0, end))) return *v;
    return 0;
  }
  size_t i = 0;
  if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) ++i;
  size_t start_digits = i;
  while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) ++i;
  if (i < compact.size() && compact[i] == '.') {
    ++i;
    while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) ++i;
  }
  if (i == start_digits || (i == start_digits + 1 && compact[start_digits] == '.')) return 0;
  if (i < compact.size() &&
      (compact[i] == 'e' || compact[i] == 'E' || compact[i] == 'd' || compact[i] == 'D')) {
    size_t j = i + 1;
    if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) ++j;
    if (j < compact.size() && std::isdigit(static_cast<unsigned char>(compact[j]))) {
      while (j < compact.size() && std::isdigit(static_cast<unsigned char>(compact[j]))) ++j;
      compact[i] = 'e';
      i = j;
    }
  }
  double v = std::strtod(compact.substr(0, i).c_str(), nullptr);
  if (!std::isfinite(v)) ThrowOverflow();
  return v;
}

std::optional<jet::Guid> ParseGuidText(std::string_view text) {
  std::string_view s = Trim(text);
  if (s.size() == 38 && s.front() == '{' && s.back() == '}') s = s.substr(1, 36);
  if (s.size() != 36) return std::nullopt;
  std::string hex;
  for (size_t i = 0; i < s.size(); ++i) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (s[i] != '-') return std::nullopt;
      continue;
    }
    if (!std::isxdigit(static_cast<unsigned char>(s[i]))) return std::nullopt;
    hex.push_back(s[i]);
  }
  uint8_t bytes[kGuidBytes];
  for (int i = 0; i < kGuidBytes; ++i) {
    bytes[i] = static_cast<uint8_t>(std::stoi(hex.substr(i * 2, 2), nullptr, 16));
  }
  // The first three groups are stored little-endian.
  static constexpr int kOrder[kGuidBytes] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  jet::Guid g{};
  for (int i = 0; i < kGuidBytes; ++i) g[kOrder[i]] = bytes[i];
  return g;
}

std::optional<jet::Decimal> ParseDecimalText(std::string_view text) {
  std::string_view s = Trim(text);
  jet::Decimal d;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    d.negative = s.front() == '-';
    s.remove_prefix(1);
  }
  bool point = false, any = false;
  int digits = 0;
  for (char c : s) {
    if (c == '.' && !point) {
      point = true;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      any = true;
      if (digits == 0 && c == '0' && !point) continue;
      if (++digits > kMaxDecimalDigits) return std::nullopt;
      d.mantissa = d.mantissa * 10 + static_cast<unsigned>(c - '0');
      if (point) ++d.scale;
    } else {
      return std::nullopt;
    }
  }
  if (!any) return std::nullopt;
  d.precision = static_cast<uint8_t>(std::max(digits, static_cast<int>(d.scale)));
  if (d.precision == 0) d.precision = 1;
  return d;
}

double DecimalToDouble(const jet::Decimal& d) {
  double v = static_cast<double>(d.mantissa) / std::pow(10.0, d.scale);
  return d.negative ? -v : v;
}

double BankersRound(double x) {
  if (!std::isfinite(x)) return x;
  double r = std::nearbyint(x);  // default rounding mode: to nearest, ties to even
  return r;
}

double RoundToDigits(double x, int digits) {
  if (digits <= 0) return BankersRound(x);
  // Work on the decimal text so 2.675 rounds by its written digits, as Access shows them.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", x);
  double shown = std::strtod(buf, nullptr);
  double scale = std::pow(10.0, digits);
  double scaled = shown * scale;
  if (!std::isfinite(scaled) || std::fabs(scaled) > 1e17) return x;
  char buf2[64];
  std::snprintf(buf2, sizeof buf2, "%.15g", scaled);
  double exact = std::strtod(buf2, nullptr);
  return BankersRound(exact) / scale;
}

std::string DoubleText(double x, int digits, char decimal) {
  if (x == 0) return "0";
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x < 0 ? "-1.#INF" : "1.#INF";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, x);
  // buf: [-]d.dddde[+-]xx
  std::string s = buf;
  size_t e = s.find('e');
  int exponent = std::atoi(s.c_str() + e + 1);
  std::string mantissa = s.substr(0, e);
  bool negative = mantissa[0] == '-';
  if (negative) mantissa.erase(0, 1);
  std::string sig;
  for (char c : mantissa) {
    if (c != '.') sig.push_back(c);
  }
  while (sig.size() > 1 && sig.back() == '0') sig.pop_back();
  std::string out;
  if (exponent >= digits || exponent < -5) {
    out = sig.substr(0, 1);
    if (sig.size() > 1) out += decimal + sig.substr(1);
    char ebuf[16];
    std::snprintf(ebuf, sizeof ebuf, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    out += ebuf;
  } else if (exponent < 0) {
    out =
        "0" + std::string(1, decimal) + std::string(static_cast<size_t>(-exponent - 1), '0') + sig;
  } else {
    if (sig.size() <= static_cast<size_t>(exponent) + 1) {
      out = sig + std::string(static_cast<size_t>(exponent) + 1 - sig.size(), '0');
    } else {
      out = sig.substr(0, static_cast<size_t>(exponent) + 1) + decimal +
            sig.substr(static_cast<size_t>(exponent) + 1);
    }
  }
  return negative ? "-" + out : out;
}

std::string CurrencyText(int64_t scaled, char decimal) {
  bool negative = scaled < 0;
  uint64_t a = negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  std::string out = std::to_string(a / kCurrencyScale);
  uint64_t frac = a % kCurrencyScale;
  if (frac != 0) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04u", static_cast<unsigned>(frac));
    std::string f = buf;
    while (f.back() == '0') f.pop_back();
    out += decimal + f;
  }
  return negative ? "-" + out : out;
}

std::string DateText(double serial) {
  return GeneralDateText(serial);
}

bool IsNumericType(const jet::Value& v) {
  return std::holds_alternative<bool>(v) || std::holds_alternative<uint8_t>(v) ||
         std::holds_alternative<int16_t>(v) || std::holds_alternative<int32_t>(v) ||
         std::holds_alternative<jet::Currency>(v) || std::holds_alternative<float>(v) ||
         std::holds_alternative<double>(v) || std::holds_alternative<jet::Decimal>(v);
}

bool IsTextValue(const jet::Value& v) {
  return std::holds_alternative<std::string>(v);
}

std::string ValueText(const jet::Value& v) {
  struct Visitor {
    std::string operator()(std::monostate) const { ThrowInvalidNull(); }
    std::string operator()(bool b) const {
      return b ? Regional().words.true_word : Regional().words.false_word;
    }
    std::string operator()(uint8_t x) const { return std::to_string(x); }
    std::string operator()(int16_t x) const { return std::to_string(x); }
    std::string operator()(int32_t x) const { return std::to_string(x); }
    std::string operator()(jet::Currency c) const {
      return CurrencyText(c.scaled, Regional().number.decimal);
    }
    std::string operator()(float f) const { return DoubleText(f, 7, Regional().number.decimal); }
    std::string operator()(double d) const { return DoubleText(d, 15, Regional().number.decimal); }
    std::string operator()(jet::DateTime d) const { return DateText(d.days); }
    std::string operator()(const jet::Bytes& b) const { return std::string(b.begin(), b.end()); }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(const jet::Guid& g) const { return GuidText(g); }
    std::string operator()(const jet::Decimal& d) const {
      std::string s = DecimalText(d);
      size_t point = s.find('.');
      if (point != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
        if (point < s.size()) s[point] = Regional().number.decimal;
      }
      return s;
    }
  };
  return std::visit(Visitor{}, v);
}

double ValueToDouble(const jet::Value& v) {
  struct Visitor {
    double operator()(std::monostate) const { ThrowInvalidNull(); }
    double operator()(bool b) const { return b ? -1 : 0; }
    double operator()(uint8_t x) const { return x; }
    double operator()(int16_t x) const { return x; }
    double operator()(int32_t x) const { return x; }
    double operator()(jet::Currency c) const {
      return static_cast<double>(c.scaled) / kCurrencyScale;
    }
    double operator()(float f) const { return f; }
    double operator()(double d) const { return d; }
    double operator()(jet::DateTime d) const { return d.days; }
    double operator()(const jet::Bytes&) const { ThrowTypeMismatch(); }
    double operator()(const std::string& s) const {
      if (auto n = ParseNumberText(s)) return *n;
      if (auto d = ParseDateText(s)) return *d;
      ThrowTypeMismatch();
    }
    double operator()(const jet::Guid&) const { ThrowTypeMismatch(); }
    double operator()(const jet::Decimal& d) const { return DecimalToDouble(d); }
  };
  return std::visit(Visitor{}, v);
}

double ValueToDate(const jet::Value& v) {
  if (const auto* s = std::get_if<std::string>(&v)) {
    if (auto d = ParseDateText(*s)) return *d;
    if (auto n = ParseNumberText(*s)) {
      if (DateInRange(*n)) return *n;
    }
    ThrowTypeMismatch();
  }
  double d = ValueToDouble(v);
  if (!DateInRange(d)) ThrowOverflow();
  return d;
}

int64_t ValueToCurrency(const jet::Value& v) {
  if (const auto* c = std::get_if<jet::Currency>(&v)) return c->scaled;
  if (const auto* i = std::get_if<int32_t>(&v)) return int64_t{*i} * kCurrencyScale;
  if (const auto* d = std::get_if<jet::Decimal>(&v)) {
    // Exact: shift the mantissa to four decimals, rounding half to even.
    unsigned __int128 m = d->mantissa;
    int scale = d->scale;
    if (scale <= 4) {
      for (int i = scale; i < 4; ++i) m *= 10;
    } else {
      unsigned __int128 div = 1;
      for (int i = 4; i < scale; ++i) div *= 10;
      unsigned __int128 q = m / div, r = m % div;
      if (r * 2 > div || (r * 2 == div && (q & 1))) ++q;
      m = q;
    }
    if (m > static_cast<unsigned __int128>(std::numeric_limits<int64_t>::max())) ThrowOverflow();
    int64_t s = static_cast<int64_t>(m);
    return d->negative ? -s : s;
  }
  double x = ValueToDouble(v);
  double scaled = BankersRound(x * kCurrencyScale);
  if (!(std::fabs(scaled) < 9.2233720368547758e18)) ThrowOverflow();
  return static_cast<int64_t>(scaled);
}

bool ValueToBool(const jet::Value& v) {
  if (const auto* s = std::get_if<std::string>(&v)) {
    std::string l = Lower(Trim(*s));
    const WordSettings& w = Regional().words;
    if (l == "true" || l == "yes" || l == "on" || l == Lower(w.true_word) || l == Lower(w.yes) ||
        l == Lower(w.on))
      return true;
    if (l == "false" || l == "no" || l == "off" || l == Lower(w.false_word) || l == Lower(w.no) ||
        l == Lower(w.off))
      return false;
    if (auto n = ParseNumberText(*s)) return *n != 0;
    ThrowTypeMismatch();
  }
  if (const auto* b = std::get_if<bool>(&v)) return *b;
  if (const auto* c = std::get_if<jet::Currency>(&v)) return c->scaled != 0;
  return ValueToDouble(v) != 0;
}

bool IsExactType(const jet::Value& v) {
  return std::holds_alternative<bool>(v) || std::holds_alternative<uint8_t>(v) ||
         std::holds_alternative<int16_t>(v) || std::holds_alternative<int32_t>(v) ||
         std::holds_alternative<jet::Currency>(v) || std::holds_alternative<jet::Decimal>(v);
}

bool ScaleUp(__int128* m, int times) {
  for (int i = 0; i < times; ++i) {
    if (__builtin_mul_overflow(*m, 10, m)) return false;
  }
  return true;
}

ExactNumber ToExact(const jet::Value& v) {
  if (const auto* c = std::get_if<jet::Currency>(&v)) return {c->scaled, 4};
  if (const auto* d = std::get_if<jet::Decimal>(&v)) {
    __int128 m = static_cast<__int128>(d->mantissa);
    return {d->negative ? -m : m, d->scale};
  }
  if (const auto* b = std::get_if<bool>(&v)) return {*b ? -1 : 0, 0};
  if (const auto* x = std::get_if<uint8_t>(&v)) return {*x, 0};
  if (const auto* x = std::get_if<int16_t>(&v)) return {*x, 0};
  if (const auto* x = std::get_if<int32_t>(&v)) return {*x, 0};
  ThrowTypeMismatch();
}

jet::Decimal ExactToDecimal(ExactNumber n) {
  constexpr unsigned __int128 kMax96 = (static_cast<unsigned __int128>(1) << 96) - 1;
  bool negative = n.mantissa < 0;
  unsigned __int128 m = negative ? static_cast<unsigned __int128>(-n.mantissa)
                                 : static_cast<unsigned __int128>(n.mantissa);
  int scale = n.scale;
  while (scale > 0 && (m > kMax96 || scale > kMaxDecimalDigits)) {
    unsigned __int128 q = m / 10, r = m % 10;
    if (r > 5 || (r == 5 && (q & 1))) ++q;
    m = q;
    --scale;
  }
  if (m > kMax96) ThrowOverflow();
  jet::Decimal d;
  d.negative = negative && m != 0;
  d.mantissa = m;
  d.scale = static_cast<uint8_t>(scale);
  d.precision = kMaxDecimalDigits;
  return d;
}

jet::Decimal ValueToDecimal(const jet::Value& v) {
  if (IsExactType(v)) return ExactToDecimal(ToExact(v));
  if (const auto* s = std::get_if<std::string>(&v)) {
    // Normalise the separators, then read the digits exactly.
    double check = ValueToDouble(v);
    std::string t;
    const NumberSettings& regional = Regional().number;
    char decimal = regional.decimal;
    if (decimal != '.' && s->find(decimal) == std::string::npos &&
        std::count(s->begin(), s->end(), '.') == 1) {
      decimal = '.';
    }
    for (char c : *s) {
      if (c == decimal) {
        t.push_back('.');
      } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+') {
        t.push_back(c);
      } else if (regional.thousands.find(c) == std::string::npos && c != ',' && c != '.' &&
                 c != ' ') {
        t.clear();
        break;
      }
    }
    if (auto d = ParseDecimalText(t)) return *d;
    return ValueToDecimal(check);
  }
  double x = ValueToDouble(v);
  if (!std::isfinite(x)) ThrowOverflow();
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", x);
  std::string t = buf;
  if (t.find('e') != std::string::npos) {
    std::snprintf(buf, sizeof buf, "%.*f", std::fabs(x) < 1 ? 28 : 0, x);
    t = buf;
  }
  if (auto d = ParseDecimalText(t)) return ExactToDecimal(ToExact(*d));
  ThrowOverflow();
}

namespace {

template <typename Int>
Int RoundToIntegral(const jet::Value& v) {
  double d;
  if (const auto* c = std::get_if<jet::Currency>(&v)) {
    // Exact half-to-even on ten-thousandths.
    int64_t q = c->scaled / kCurrencyScale, r = c->scaled % kCurrencyScale;
    if (r * 2 > kCurrencyScale || (r * 2 == kCurrencyScale && (q & 1))) ++q;
    if (r * 2 < -kCurrencyScale || (r * 2 == -kCurrencyScale && (q & 1))) --q;
    d = static_cast<double>(q);
  } else {
    d = BankersRound(ValueToDouble(v));
  }
  if (!(d >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        d <= static_cast<double>(std::numeric_limits<Int>::max())))
    ThrowOverflow();
  return static_cast<Int>(d);
}

}  // namespace

jet::Value ConvertValue(const jet::Value& v, jet::ColumnType target) {
  if (std::holds_alternative<std::monostate>(v)) return v;
  switch (target) {
    case jet::ColumnType::kBoolean:
      return ValueToBool(v);
    case jet::ColumnType::kByte:
      return RoundToIntegral<uint8_t>(v);
    case jet::ColumnType::kInteger:
      return RoundToIntegral<int16_t>(v);
    case jet::ColumnType::kLong:
      return RoundToIntegral<int32_t>(v);
    case jet::ColumnType::kCurrency:
      return jet::Currency{ValueToCurrency(v)};
    case jet::ColumnType::kSingle: {
      double d = ValueToDouble(v);
      if (std::fabs(d) > std::numeric_limits<float>::max()) ThrowOverflow();
      return static_cast<float>(d);
    }
    case jet::ColumnType::kDouble:
      return ValueToDouble(v);
    case jet::ColumnType::kDateTime:
      return jet::DateTime{ValueToDate(v)};
    case jet::ColumnType::kText:
    case jet::ColumnType::kMemo:
      return ValueText(v);
    case jet::ColumnType::kNumeric:
      return ValueToDecimal(v);
    case jet::ColumnType::kGuid:
      if (const auto* g = std::get_if<jet::Guid>(&v)) return *g;
      if (const auto* s = std::get_if<std::string>(&v)) {
        if (auto g = ParseGuidText(*s)) return *g;
      }
      ThrowTypeMismatch();
    case jet::ColumnType::kBinary:
    case jet::ColumnType::kOle:
    case jet::ColumnType::kComplex:
      if (const auto* b = std::get_if<jet::Bytes>(&v)) return *b;
      {
        std::string s = ValueText(v);
        return jet::Bytes(s.begin(), s.end());
      }
  }
  return v;
}

jet::ColumnType TypeOf(const jet::Value& v) {
  static constexpr jet::ColumnType kTypes[] = {
      jet::ColumnType::kText,    jet::ColumnType::kBoolean, jet::ColumnType::kByte,
      jet::ColumnType::kInteger, jet::ColumnType::kLong,    jet::ColumnType::kCurrency,
      jet::ColumnType::kSingle,  jet::ColumnType::kDouble,  jet::ColumnType::kDateTime,
      jet::ColumnType::kBinary,  jet::ColumnType::kText,    jet::ColumnType::kGuid,
      jet::ColumnType::kNumeric};
  static_assert(std::size(kTypes) == std::variant_size_v<jet::Value>);
  return kTypes[v.index()];
}

}  // namespace jetsql
