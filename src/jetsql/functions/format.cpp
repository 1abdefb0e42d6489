// Format(value, format): the named formats ("Currency", "Long Date", "Yes/No", ...) and custom
// formats for numbers (0 # . , % E+ E- with up to four sections positive;negative;zero;Null),
// dates and times (d dd ddd dddd m mm mmm mmmm q y yy yyyy w ww h hh n nn s ss AM/PM c), text
// (@ & < >), with "literals" and \c escapes. Output follows the regional settings.

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "jetsql/date_format.h"
#include "jetsql/date_util.h"
#include "jetsql/functions/format.h"
#include "jetsql/functions/function_support.h"
#include "jetsql/regional_settings.h"
#include "jetsql/text_util.h"
#include "jetsql/value_convert.h"

namespace jetsql::fn {

namespace {

constexpr int kMaxSections = 4;
constexpr int kSignificantDigits = 15;

std::string Lower(std::string_view s) {
  return U32ToUtf8(LowerText(Utf8ToU32(s)));
}

// Splits a format at the ';' that are not quoted or escaped.
std::vector<std::string> Sections(std::string_view format) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (c == '\\' && !quoted && i + 1 < format.size()) {
      out.back() += c;
      c = format[++i];
    } else if (c == ';' && !quoted && out.size() < kMaxSections) {
      out.emplace_back();
      continue;
    }
    out.back() += c;
  }
  return out;
}

// ---- numbers ----

// A non-negative number as decimal digits: value = 0.digits x 10^exponent.
struct Digits {
  std::string digits;  // no leading zeros; empty for zero
  int exponent = 0;
};

Digits ToDigits(double x) {
  Digits d;
  x = std::fabs(x);
  if (x == 0 || !std::isfinite(x)) return d;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", kSignificantDigits - 1, x);
  std::string s = buf;
  size_t e = s.find('e');
  for (size_t i = 0; i < e; ++i) {
    if (s[i] != '.') d.digits += s[i];
  }
  d.exponent = std::atoi(s.c_str() + e + 1) + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Rounds half away from zero to `decimals` places; returns integer and fraction digit strings.
void RoundDigits(Digits d, int decimals, std::string* int_part, std::string* frac_part) {
  int keep = d.exponent + decimals;  // digits kept
  if (keep < 0) {
    d.digits.clear();
  } else if (static_cast<int>(d.digits.size()) > keep) {
    bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
      int i = keep - 1;
      while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9')
        d.digits[static_cast<size_t>(i--)] = '0';
      if (i < 0) {
        d.digits.insert(d.digits.begin(), '1');
        ++d.exponent;
      } else {
        ++d.digits[static_cast<size_t>(i)];
      }
    }
  }
  std::string all = d.digits;
  int int_len = d.exponent;
  if (int_len <= 0) {
    all.insert(0, static_cast<size_t>(-int_len), '0');
    int_len = 0;
  }
  all.resize(std::max(all.size(), static_cast<size_t>(int_len + decimals)), '0');
  *int_part = all.substr(0, static_cast<size_t>(int_len));
  *frac_part = all.substr(static_cast<size_t>(int_len), static_cast<size_t>(decimals));
  size_t nz = int_part->find_first_not_of('0');
  *int_part = nz == std::string::npos ? "" : int_part->substr(nz);
}

struct Piece {
  enum Kind { kLiteral, kDigitZero, kDigitHash, kPoint, kExponent } kind;
  std::string text;  // literal text, or the exponent's sign mode ("+" / "-")
  int exp_digits = 0;
};

struct NumberFormat {
  std::vector<Piece> int_pieces, frac_pieces, exp_pieces;
  bool grouping = false;
  int scale_thousands = 0;
  int percent = 0;
  bool has_point = false;
  bool has_exponent = false;
  std::string exp_sign;
  int exp_min_digits = 0;
};

NumberFormat ParseNumberFormat(std::string_view f) {
  NumberFormat nf;
  std::vector<Piece>* target = &nf.int_pieces;
  bool seen_digit = false;
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    if (c == '"') {
      size_t end = f.find('"', i + 1);
      if (end == std::string_view::npos) end = f.size();
      target->push_back({Piece::kLiteral, std::string(f.substr(i + 1, end - i - 1))});
      i = end;
    } else if (c == '\\' && i + 1 < f.size()) {
      target->push_back({Piece::kLiteral, std::string(1, f[++i])});
    } else if (c == '0' || c == '#') {
      target->push_back({c == '0' ? Piece::kDigitZero : Piece::kDigitHash, ""});
      seen_digit = true;
    } else if (c == '.' && !nf.has_point && !nf.has_exponent) {
      nf.has_point = true;
      target = &nf.frac_pieces;
    } else if (c == ',' && target == &nf.int_pieces) {
      // Commas right before the point (or the end) scale by 1000; others group thousands.
      size_t j = i;
      while (j < f.size() && f[j] == ',') ++j;
      bool scaling = seen_digit && (j == f.size() || f[j] == '.' || f[j] == ';');
      if (scaling) {
        nf.scale_thousands += static_cast<int>(j - i);
      } else if (seen_digit) {
        nf.grouping = true;
      }
      i = j - 1;
    } else if ((c == 'E' || c == 'e') && i + 1 < f.size() && (f[i + 1] == '+' || f[i + 1] == '-') &&
               seen_digit && !nf.has_exponent) {
      nf.has_exponent = true;
      nf.exp_sign = std::string(1, f[i + 1]);
      size_t j = i + 2;
      while (j < f.size() && (f[j] == '0' || f[j] == '#')) {
        if (f[j] == '0') ++nf.exp_min_digits;
        ++j;
      }
      target->push_back({Piece::kExponent, std::string(1, c)});
      target = &nf.exp_pieces;
      i = j - 1;
    } else {
      if (c == '%') ++nf.percent;
      std::string text(1, c);
      // Keep multi-byte characters (€) whole.
      while (i + 1 < f.size() && (static_cast<unsigned char>(f[i + 1]) & 0xC0) == 0x80)
        text += f[++i];
      target->push_back({Piece::kLiteral, text});
    }
  }
  return nf;
}

int CountDigits(const std::vector<Piece>& pieces, bool zeros_only) {
  int n = 0;
  for (const Piece& p : pieces) {
    if (p.kind == Piece::kDigitZero || (!zeros_only && p.kind == Piece::kDigitHash)) ++n;
  }
  return n;
}

// Fills the integer placeholders right to left; extra digits go to the first placeholder.
std::string FillInteger(const NumberFormat& nf, const std::string& digits) {
  const auto& pieces = nf.int_pieces;
  int slots = CountDigits(pieces, false);
  // Which placeholder is the leftmost that must show a zero.
  int first_zero = -1, k = 0;
  for (const Piece& p : pieces) {
    if (p.kind == Piece::kDigitZero && first_zero < 0) first_zero = k;
    if (p.kind == Piece::kDigitZero || p.kind == Piece::kDigitHash) ++k;
  }
  std::string shown = digits;
  int min_len = first_zero < 0 ? 0 : slots - first_zero;
  if (static_cast<int>(shown.size()) < min_len) shown.insert(0, min_len - shown.size(), '0');
  // Group the digits first, then hand them out.
  std::vector<std::string> units;
  for (char c : shown) units.emplace_back(1, c);
  if (nf.grouping) {
    for (int i = static_cast<int>(units.size()) - 4; i >= 0; i -= 3) {
      units[static_cast<size_t>(i)] += Regional().number.thousands;
    }
  }
  std::string out;
  int remaining = static_cast<int>(units.size());
  int slot = 0;
  for (const Piece& p : pieces) {
    if (p.kind == Piece::kLiteral) {
      out += p.text;
      continue;
    }
    if (p.kind != Piece::kDigitZero && p.kind != Piece::kDigitHash) continue;
    int slots_left = slots - slot;  // including this one
    ++slot;
    if (slots_left == slots && remaining > slots_left) {
      // First placeholder takes the surplus.
      while (remaining > slots_left - 1) {
        out += units[units.size() - static_cast<size_t>(remaining)];
        --remaining;
      }
      continue;
    }
    if (remaining >= slots_left) {
      out += units[units.size() - static_cast<size_t>(remaining)];
      --remaining;
    }
  }
  return out;
}

std::string FillFraction(const NumberFormat& nf, std::string frac) {
  int zeros = CountDigits(nf.frac_pieces, true);
  // Trailing zeros beyond the 0 placeholders are dropped.
  while (static_cast<int>(frac.size()) > zeros && frac.back() == '0') frac.pop_back();
  std::string out;
  size_t next = 0;
  for (const Piece& p : nf.frac_pieces) {
    if (p.kind == Piece::kLiteral) {
      out += p.text;
    } else if (p.kind == Piece::kDigitZero || p.kind == Piece::kDigitHash) {
      if (next < frac.size()) out += frac[next++];
    } else if (p.kind == Piece::kExponent) {
      break;
    }
  }
  return out;
}

std::string FormatNumberSection(double x, std::string_view section) {
  NumberFormat nf = ParseNumberFormat(section);
  for (int i = 0; i < nf.percent; ++i) x *= 100;
  for (int i = 0; i < nf.scale_thousands; ++i) x /= 1000;
  int decimals = CountDigits(nf.frac_pieces, false);
  int exponent = 0;
  if (nf.has_exponent && x != 0) {
    int int_slots = std::max(1, CountDigits(nf.int_pieces, false));
    exponent = static_cast<int>(std::floor(std::log10(std::fabs(x)))) - (int_slots - 1);
    double m = std::fabs(x) / std::pow(10.0, exponent);
    std::string ip, fp;
    RoundDigits(ToDigits(m), decimals, &ip, &fp);
    if (static_cast<int>(ip.size()) > int_slots) ++exponent;  // 9.996 -> 10.00: renormalise
    x = std::fabs(x) / std::pow(10.0, exponent);
  }
  std::string int_digits, frac_digits;
  RoundDigits(ToDigits(x), decimals, &int_digits, &frac_digits);
  std::string out = FillInteger(nf, int_digits);
  if (nf.has_point) {
    std::string frac = FillFraction(nf, frac_digits);
    out += Regional().number.decimal;
    out += frac;
  }
  // Whatever literals follow the digits when there is no point sit in int_pieces already.
  if (nf.has_exponent) {
    std::string digits = std::to_string(std::abs(exponent));
    if (static_cast<int>(digits.size()) < nf.exp_min_digits)
      digits.insert(0, nf.exp_min_digits - digits.size(), '0');
    std::string sign = exponent < 0 ? "-" : (nf.exp_sign == "+" ? "+" : "");
    // The letter itself was recorded as the exponent piece.
    for (const auto& pieces : {nf.int_pieces, nf.frac_pieces}) {
      for (const Piece& p : pieces) {
        if (p.kind == Piece::kExponent) out += p.text;
      }
    }
    out += sign + digits;
    for (const Piece& p : nf.exp_pieces) {
      if (p.kind == Piece::kLiteral) out += p.text;
    }
  }
  return out;
}

}  // namespace

std::string FormatNumberWith(double x, std::string_view format) {
  std::vector<std::string> sections = Sections(format);
  if (x < 0 && sections.size() >= 2 && !sections[1].empty()) {
    return FormatNumberSection(-x, sections[1]);
  }
  if (x == 0 && sections.size() >= 3 && !sections[2].empty()) {
    return FormatNumberSection(0, sections[2]);
  }
  std::string body = FormatNumberSection(std::fabs(x), sections[0]);
  // A negative number that rounds to nothing shown still carries its sign, as Access does.
  return x < 0 ? "-" + body : body;
}

std::string NumberPattern(const NumberStyle& style) {
  std::string digits =
      style.group ? (style.leading_digit ? "#,##0" : "#,###") : (style.leading_digit ? "0" : "#");
  if (style.decimals > 0) digits += "." + std::string(static_cast<size_t>(style.decimals), '0');
  return digits;
}

std::string SignedPattern(const std::string& positive, bool parens) {
  return positive + ";" + (parens ? "(" + positive + ")" : "-" + positive);
}

std::string CurrencyPattern(const NumberStyle& style, const std::string& symbol) {
  const CurrencySettings& c = Regional().currency;
  std::string quoted = "\"" + symbol + "\"";
  std::string amount = NumberPattern(style);
  std::string positive = c.symbol_first ? quoted + (c.space ? " " : "") + amount
                                        : amount + (c.space ? " " : "") + quoted;
  return SignedPattern(positive, style.parens);
}

namespace {

// ---- dates ----

bool IsDateFormat(std::string_view format) {
  bool quoted = false;
  bool date_token = false;
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (quoted) continue;
    if (c == '\\') {
      ++i;
      continue;
    }
    if (c == '0' || c == '#') return false;
    char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (l == 'd' || l == 'm' || l == 'y' || l == 'h' || l == 'n' || l == 's' || l == 'w' ||
        l == 'q' || l == 'c' || l == 't')
      date_token = true;
  }
  return date_token;
}

// ---- text ----

bool IsTextFormat(std::string_view f) {
  return f.find_first_of("@&<>!") != std::string_view::npos;
}

std::string FormatText(const std::string& text, std::string_view f) {
  std::u32string chars = Utf8ToU32(text);
  std::u32string fmt = Utf8ToU32(f);
  int slots = 0;
  bool upper = false, lower = false, left = false;
  for (char32_t c : fmt) {
    if (c == '@' || c == '&') ++slots;
    if (c == '>') upper = true;
    if (c == '<') lower = true;
    if (c == '!') left = true;
  }
  if (upper) chars = UpperText(chars);
  if (lower) chars = LowerText(chars);
  if (slots == 0) return U32ToUtf8(chars);
  // Placeholders fill from the right unless '!' asks for left to right.
  std::u32string out;
  int len = static_cast<int>(chars.size());
  int surplus = std::max(0, len - slots);
  int next = left ? 0 : len - slots;  // index into chars for the first placeholder
  bool first = true;
  for (size_t i = 0; i < fmt.size(); ++i) {
    char32_t c = fmt[i];
    if (c == '>' || c == '<' || c == '!') continue;
    if (c == '\\' && i + 1 < fmt.size()) {
      out += fmt[++i];
      continue;
    }
    if (c == '"') {
      size_t end = fmt.find('"', i + 1);
      if (end == std::u32string::npos) end = fmt.size();
      out += fmt.substr(i + 1, end - i - 1);
      i = end;
      continue;
    }
    if (c == '@' || c == '&') {
      if (first && !left && surplus > 0) out += chars.substr(0, static_cast<size_t>(surplus));
      first = false;
      if (next >= 0 && next < len) {
        out += chars[static_cast<size_t>(next)];
      } else if (c == '@') {
        out += U' ';
      }
      ++next;
      continue;
    }
    out += c;
  }
  if (left && surplus > 0) out += chars.substr(static_cast<size_t>(slots));
  return U32ToUtf8(out);
}

// ---- named formats ----

struct Named {
  const char* name;
  const char* format;
};

constexpr Named kNamedNumber[] = {
    {"fixed", "0.00"},
    {"standard", "#,##0.00"},
    {"percent", "0.00%"},
    {"scientific", "0.00E+00"},
};

const std::string* NamedDatePattern(const std::string& name) {
  const DateSettings& d = Regional().date;
  if (name == "long date") return &d.long_date;
  if (name == "medium date") return &d.medium_date;
  if (name == "short date") return &d.short_date;
  if (name == "long time") return &d.long_time;
  if (name == "medium time") return &d.medium_time;
  if (name == "short time") return &d.short_time;
  return nullptr;
}

// The pattern of a named number format in the regional settings; empty for other names.
std::string NamedNumberPattern(const std::string& name) {
  const CurrencySettings& c = Regional().currency;
  NumberStyle money{c.digits, true, c.negative_parens, true};
  if (name == "currency") return CurrencyPattern(money, c.symbol);
  if (name == "euro") return CurrencyPattern(money, "€");
  for (const Named& n : kNamedNumber) {
    if (name == n.name) return n.format;
  }
  return std::string();
}

}  // namespace

jet::Value FormatValue(jet::Value v, const std::string& format) {
  std::string name = Lower(format);
  if (jet::IsNull(v)) {
    std::vector<std::string> sections = Sections(format);
    // The fourth section of a number format is what Null shows.
    if (sections.size() >= 4 && !IsDateFormat(format)) return FormatNumberSection(0, sections[3]);
    return std::monostate{};
  }
  bool is_text = IsTextValue(v);

  if (format.empty() || name == "general number" || name == "general date") {
    if (name == "general number" && !is_text) return DoubleText(ValueToDouble(v));
    if (name == "general date" && !is_text) return GeneralDateText(ValueToDate(v));
    return ValueText(v);
  }
  if (name == "yes/no" || name == "true/false" || name == "on/off") {
    if (is_text && !ParseNumberText(std::get<std::string>(v))) return std::get<std::string>(v);
    bool b = ValueToBool(v);
    const WordSettings& w = Regional().words;
    if (name == "yes/no") return b ? w.yes : w.no;
    if (name == "true/false") return b ? w.true_word : w.false_word;
    return b ? w.on : w.off;
  }
  if (const std::string* pattern = NamedDatePattern(name)) {
    if (is_text && !ParseDateText(std::get<std::string>(v)) &&
        !ParseNumberText(std::get<std::string>(v)))
      return std::get<std::string>(v);
    return FormatDate(ValueToDate(v), *pattern);
  }
  if (std::string pattern = NamedNumberPattern(name); !pattern.empty()) {
    if (is_text && !ParseNumberText(std::get<std::string>(v))) return std::get<std::string>(v);
    return FormatNumberWith(ValueToDouble(v), pattern);
  }
  if (IsDateFormat(format)) {
    if (is_text) {
      auto d = ParseDateText(std::get<std::string>(v));
      if (!d) {
        auto n = ParseNumberText(std::get<std::string>(v));
        if (!n || !DateInRange(*n)) return std::get<std::string>(v);
        d = n;
      }
      return FormatDate(*d, format);
    }
    double serial = ValueToDouble(v);
    if (!DateInRange(serial)) ThrowOverflow();
    return FormatDate(serial, format);
  }
  if (IsTextFormat(format) && (is_text || format.find_first_of("0#") == std::string::npos)) {
    return FormatText(ValueText(v), format);
  }
  if (is_text) {
    auto n = ParseNumberText(std::get<std::string>(v));
    if (!n) return FormatText(std::get<std::string>(v), format);
    v = *n;
  }
  return FormatNumberWith(ValueToDouble(v), format);
}

namespace {

jet::Value Format(const Args& args) {
  return FormatValue(args.value(0), args.is_null(1) ? std::string() : args.text(1));
}

constexpr ScalarFunction kFormat[] = {{"jet_format", Format, false}};

}  // namespace

std::span<const ScalarFunction> FormatFunctions() {
  return kFormat;
}

}  // namespace jetsql::fn
