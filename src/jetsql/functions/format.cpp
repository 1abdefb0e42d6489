// Format(value, format): the named formats ("Currency", "Long Date", "Yes/No", ...) and custom
// formats for numbers (0 # . , % E+ E- with up to four sections positive;negative;zero;Null),
// dates and times (d dd ddd dddd m mm mmm mmmm q y yy yyyy w ww h hh n nn s ss AM/PM c), text
// (@ & < >), with "literals" and \c escapes. Output uses the German regional settings.

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "jetsql/date_util.h"
#include "jetsql/functions/function_support.h"
#include "jetsql/locale_de.h"
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
      units[static_cast<size_t>(i)] += locale_de::kThousandsSeparator;
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
    out += locale_de::kDecimalSeparator;
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

std::string FormatNumber(double x, std::string_view format, bool* is_null_section) {
  std::vector<std::string> sections = Sections(format);
  *is_null_section = false;
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

std::string Pad2(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

std::string FormatDate(double serial, std::string_view f);

std::string ShortDate(double serial) {
  return FormatDate(serial, "dd.mm.yyyy");
}
std::string LongDate(double serial) {
  return FormatDate(serial, "dddd, d. mmmm yyyy");
}
std::string LongTime(double serial) {
  return FormatDate(serial, "hh:nn:ss");
}

std::string FormatDate(double serial, std::string_view f) {
  CivilDateTime t = SplitDate(serial);
  int64_t days = DaysFromCivil(t.year, t.month, t.day);
  std::string lower = Lower(f);
  // 12-hour clock when an AM/PM marker appears.
  bool twelve = lower.find("am/pm") != std::string::npos ||
                lower.find("a/p") != std::string::npos || lower.find("ampm") != std::string::npos;
  std::string out;
  bool after_hour = false;  // "m" right after an hour means minutes
  size_t i = 0;
  auto run = [&](char c) {
    size_t n = 0;
    while (i + n < f.size() && std::tolower(static_cast<unsigned char>(f[i + n])) == c) ++n;
    return n;
  };
  auto next_is_second = [&](size_t from) {
    for (size_t k = from; k < f.size(); ++k) {
      char c = static_cast<char>(std::tolower(static_cast<unsigned char>(f[k])));
      if (c == 's') return true;
      if (std::isalpha(static_cast<unsigned char>(c))) return false;
    }
    return false;
  };
  while (i < f.size()) {
    char c = f[i];
    char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == '"') {
      size_t end = f.find('"', i + 1);
      if (end == std::string_view::npos) end = f.size();
      out += f.substr(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    if (c == '\\' && i + 1 < f.size()) {
      out += f[i + 1];
      i += 2;
      continue;
    }
    if (lower.compare(i, 5, "am/pm") == 0) {
      bool upper = f[i] == 'A';
      std::string mark = t.hour < 12 ? locale_de::kAm : locale_de::kPm;
      out += upper ? mark : Lower(mark);
      i += 5;
      continue;
    }
    if (lower.compare(i, 4, "ampm") == 0) {
      out += t.hour < 12 ? locale_de::kAm : locale_de::kPm;
      i += 4;
      continue;
    }
    if (lower.compare(i, 3, "a/p") == 0) {
      std::string mark = t.hour < 12 ? "a" : "p";
      out += f[i] == 'A' ? std::string(1, static_cast<char>(std::toupper(mark[0]))) : mark;
      i += 3;
      continue;
    }
    size_t n;
    switch (l) {
      case 'd':
        n = run('d');
        if (n == 1)
          out += std::to_string(t.day);
        else if (n == 2)
          out += Pad2(t.day);
        else if (n == 3)
          out += locale_de::kDayAbbreviations[WeekdayOf(days) - 1];
        else if (n == 4)
          out += locale_de::kDayNames[WeekdayOf(days) - 1];
        else if (n == 5)
          out += ShortDate(serial);
        else
          out += LongDate(serial);
        i += n;
        after_hour = false;
        continue;
      case 'm':
        n = run('m');
        if (n <= 2 && (after_hour || next_is_second(i + n))) {
          out += n == 1 ? std::to_string(t.minute) : Pad2(t.minute);
        } else if (n == 1) {
          out += std::to_string(t.month);
        } else if (n == 2) {
          out += Pad2(t.month);
        } else if (n == 3) {
          out += locale_de::kMonthAbbreviations[t.month - 1];
        } else {
          out += locale_de::kMonthNames[t.month - 1];
        }
        i += n;
        after_hour = false;
        continue;
      case 'y':
        n = run('y');
        if (n == 1)
          out += std::to_string(days - DaysFromCivil(t.year, 1, 1) + 1);
        else if (n <= 3)
          out += Pad2(t.year % 100);
        else
          out += std::to_string(t.year);
        i += n;
        continue;
      case 'q':
        out += std::to_string((t.month - 1) / 3 + 1);
        ++i;
        continue;
      case 'w':
        n = run('w');
        if (n == 1) {
          out += std::to_string(WeekdayOf(days));
        } else {
          int64_t jan1 = DaysFromCivil(t.year, 1, 1);
          out += std::to_string((days - jan1 + WeekdayOf(jan1) - 1) / 7 + 1);
        }
        i += n;
        continue;
      case 'h': {
        n = run('h');
        int h = twelve ? (t.hour % 12 == 0 ? 12 : t.hour % 12) : t.hour;
        out += n == 1 ? std::to_string(h) : Pad2(h);
        i += n;
        after_hour = true;
        continue;
      }
      case 'n':
        n = run('n');
        out += n == 1 ? std::to_string(t.minute) : Pad2(t.minute);
        i += n;
        after_hour = false;
        continue;
      case 's':
        n = run('s');
        out += n == 1 ? std::to_string(t.second) : Pad2(t.second);
        i += n;
        continue;
      case 'c':
        out += DateText(serial);
        ++i;
        continue;
      case 't':
        n = run('t');
        if (n == 5) {
          out += LongTime(serial);
          i += n;
          continue;
        }
        break;
      case '/':
        out += locale_de::kDateSeparator;
        ++i;
        continue;
      case ':':
        out += locale_de::kTimeSeparator;
        ++i;
        continue;
      default:
        break;
    }
    out += c;
    ++i;
    if (!std::isspace(static_cast<unsigned char>(c))) after_hour = after_hour && c == ':';
  }
  return out;
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
    {"currency", "#,##0.00 €;-#,##0.00 €"},
    {"euro", "#,##0.00 €;-#,##0.00 €"},
    {"fixed", "0.00"},
    {"standard", "#,##0.00"},
    {"percent", "0.00%"},
    {"scientific", "0.00E+00"},
};

constexpr Named kNamedDate[] = {
    {"long date", "dddd, d. mmmm yyyy"}, {"medium date", "dd. mmm. yy"},
    {"short date", "dd.mm.yyyy"},        {"long time", "hh:nn:ss"},
    {"medium time", "hh:nn AM/PM"},      {"short time", "hh:nn"},
};

jet::Value Format(const Args& args) {
  std::string format = args.is_null(1) ? std::string() : args.text(1);
  std::string name = Lower(format);
  jet::Value v = args.value(0);
  if (jet::IsNull(v)) {
    std::vector<std::string> sections = Sections(format);
    // The fourth section of a number format is what Null shows.
    if (sections.size() >= 4 && !IsDateFormat(format)) return FormatNumberSection(0, sections[3]);
    return std::monostate{};
  }
  bool is_text = IsTextValue(v);

  if (format.empty() || name == "general number" || name == "general date") {
    if (name == "general number" && !is_text) return DoubleText(ValueToDouble(v));
    if (name == "general date" && !is_text) return DateText(ValueToDate(v));
    return ValueText(v);
  }
  if (name == "yes/no" || name == "true/false" || name == "on/off") {
    if (is_text && !ParseNumberText(std::get<std::string>(v))) return std::get<std::string>(v);
    bool b = ValueToBool(v);
    if (name == "yes/no") return std::string(b ? locale_de::kYes : locale_de::kNo);
    if (name == "true/false") return std::string(b ? locale_de::kTrue : locale_de::kFalse);
    return std::string(b ? locale_de::kOn : locale_de::kOff);
  }
  for (const Named& n : kNamedDate) {
    if (name == n.name) {
      if (is_text && !ParseDateText(std::get<std::string>(v)) &&
          !ParseNumberText(std::get<std::string>(v)))
        return std::get<std::string>(v);
      return FormatDate(ValueToDate(v), n.format);
    }
  }
  for (const Named& n : kNamedNumber) {
    if (name == n.name) {
      if (is_text && !ParseNumberText(std::get<std::string>(v))) return std::get<std::string>(v);
      bool unused;
      return FormatNumber(ValueToDouble(v), n.format, &unused);
    }
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
  bool unused;
  return FormatNumber(ValueToDouble(v), format, &unused);
}

constexpr ScalarFunction kFormat[] = {{"jet_format", Format, false}};

}  // namespace

std::span<const ScalarFunction> FormatFunctions() {
  return kFormat;
}

}  // namespace jetsql::fn
