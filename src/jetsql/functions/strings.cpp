// Text functions: Len, Left, Right, Mid, InStr, InStrRev, UCase, LCase, Trim, LTrim, RTrim,
// Space, String, Replace, StrComp, StrReverse, StrConv, Asc, AscW, Chr, ChrW, Val, Str, and the
// inspections IsNumeric and IsDate. Positions and lengths count characters, starting at 1.

#include <algorithm>
#include <cstdint>

#include "jetsql/date_util.h"
#include "jetsql/functions/function_support.h"
#include "jetsql/text_util.h"
#include "jetsql/value_convert.h"

namespace jetsql::fn {

namespace {

// Longest text Space and String build; beyond it they fail with error 7 rather than exhaust memory.
constexpr int64_t kMaxBuiltText = 16 * 1024 * 1024;
constexpr int kCompareBinary = 0;
constexpr int64_t kMinCodeUnit = -32768;
constexpr int64_t kMaxCodeUnit = 65535;
constexpr int64_t kCodeUnits = 65536;
// StrConv conversions.
constexpr int64_t kUpperCase = 1;
constexpr int64_t kLowerCase = 2;
constexpr int64_t kProperCase = 3;

// Windows-1252 characters 0x80..0x9F (0 where the code is unassigned).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::u32string Chars(const Args& args, int i) {
  return Utf8ToU32(args.text(i));
}

jet::Value Text(std::u32string_view s) {
  return U32ToUtf8(s);
}

int64_t NonNegative(const Args& args, int i) {
  int64_t n = args.integer(i);
  if (n < 0) ThrowInvalidArgument();
  return n;
}

bool TextCompare(const Args& args, int i) {
  return args.is_null(i) || args.integer(i) != kCompareBinary;
}

// Position (0-based) of `needle` in `hay` at or after `from`, or npos.
size_t Find(const std::u32string& hay, const std::u32string& needle, size_t from, bool text) {
  if (!text) return hay.find(needle, from);
  return LowerText(hay).find(LowerText(needle), from);
}

jet::Value Len(const Args& args) {
  return static_cast<int32_t>(std::min<size_t>(Chars(args, 0).size(), INT32_MAX));
}

jet::Value Left(const Args& args) {
  std::u32string s = Chars(args, 0);
  int64_t n = NonNegative(args, 1);
  return Text(
      std::u32string_view(s).substr(0, static_cast<size_t>(std::min<int64_t>(n, s.size()))));
}

jet::Value Right(const Args& args) {
  std::u32string s = Chars(args, 0);
  size_t n = static_cast<size_t>(std::min<int64_t>(NonNegative(args, 1), s.size()));
  return Text(std::u32string_view(s).substr(s.size() - n));
}

jet::Value Mid(const Args& args) {
  if (args.is_null(0) || args.is_null(1)) return std::monostate{};
  std::u32string s = Chars(args, 0);
  int64_t start = args.integer(1);
  if (start < 1) ThrowInvalidArgument();
  if (static_cast<uint64_t>(start) > s.size()) return std::string();
  size_t from = static_cast<size_t>(start - 1);
  size_t len = std::u32string::npos;
  if (!args.is_null(2)) len = static_cast<size_t>(NonNegative(args, 2));
  return Text(std::u32string_view(s).substr(from, len));
}

jet::Value InStr(const Args& args) {
  if (args.is_null(1) || args.is_null(2)) return std::monostate{};
  if (args.is_null(0)) ThrowInvalidNull();
  int64_t start = args.integer(0);
  if (start < 1) ThrowInvalidArgument();
  std::u32string hay = Chars(args, 1), needle = Chars(args, 2);
  if (static_cast<uint64_t>(start) > hay.size()) return int32_t{0};
  if (needle.empty()) return static_cast<int32_t>(start);
  size_t pos = Find(hay, needle, static_cast<size_t>(start - 1), TextCompare(args, 3));
  return static_cast<int32_t>(pos == std::u32string::npos ? 0 : pos + 1);
}

jet::Value InStrRev(const Args& args) {
  if (args.is_null(0) || args.is_null(1)) return std::monostate{};
  std::u32string hay = Chars(args, 0), needle = Chars(args, 1);
  int64_t start = args.is_null(2) ? -1 : args.integer(2);
  if (start == 0 || start < -1) ThrowInvalidArgument();
  if (start == -1) start = static_cast<int64_t>(hay.size());
  if (static_cast<uint64_t>(start) > hay.size()) return int32_t{0};
  if (needle.empty()) return static_cast<int32_t>(start);
  if (needle.size() > static_cast<size_t>(start)) return int32_t{0};
  bool text = TextCompare(args, 3);
  std::u32string h = text ? LowerText(hay) : hay;
  std::u32string n = text ? LowerText(needle) : needle;
  size_t pos = h.rfind(n, static_cast<size_t>(start) - needle.size());
  return static_cast<int32_t>(pos == std::u32string::npos ? 0 : pos + 1);
}

jet::Value UCase(const Args& args) {
  return Text(UpperText(Chars(args, 0)));
}
jet::Value LCase(const Args& args) {
  return Text(LowerText(Chars(args, 0)));
}

jet::Value TrimSides(const Args& args, bool left, bool right) {
  std::string s = args.text(0);
  size_t b = 0, e = s.size();
  if (left) {
    while (b < e && s[b] == ' ') ++b;
  }
  if (right) {
    while (e > b && s[e - 1] == ' ') --e;
  }
  return s.substr(b, e - b);
}

jet::Value Trim(const Args& args) {
  return TrimSides(args, true, true);
}
jet::Value LTrim(const Args& args) {
  return TrimSides(args, true, false);
}
jet::Value RTrim(const Args& args) {
  return TrimSides(args, false, true);
}

int64_t BuiltLength(const Args& args, int i) {
  int64_t n = NonNegative(args, i);
  if (n > kMaxBuiltText) throw errors::OutOfMemory();
  return n;
}

jet::Value Space(const Args& args) {
  return std::string(static_cast<size_t>(BuiltLength(args, 0)), ' ');
}

char32_t Cp1252ToChar(int64_t code) {
  if (code < 0 || code > 255) ThrowInvalidArgument();
  if (code >= 0x80 && code <= 0x9F) {
    char16_t c = kCp1252High[code - 0x80];
    return c ? c : static_cast<char32_t>(code);
  }
  return static_cast<char32_t>(code);
}

jet::Value String(const Args& args) {
  int64_t n = BuiltLength(args, 0);
  char32_t c;
  if (IsTextValue(args.value(1))) {
    std::u32string s = Chars(args, 1);
    if (s.empty()) ThrowInvalidArgument();
    c = s[0];
  } else {
    int64_t code = args.integer(1);
    c = Cp1252ToChar(((code % 256) + 256) % 256);
  }
  return Text(std::u32string(static_cast<size_t>(n), c));
}

jet::Value Replace(const Args& args) {
  if (args.is_null(0) || args.is_null(1) || args.is_null(2)) return std::monostate{};
  std::u32string s = Chars(args, 0), find = Chars(args, 1), repl = Chars(args, 2);
  int64_t start = args.is_null(3) ? 1 : args.integer(3);
  int64_t count = args.is_null(4) ? -1 : args.integer(4);
  if (start < 1 || count < -1) ThrowInvalidArgument();
  bool text = TextCompare(args, 5);
  if (static_cast<uint64_t>(start) > s.size()) return std::string();
  // Replace returns the text from `start` on, with the replacements made.
  s = s.substr(static_cast<size_t>(start - 1));
  if (find.empty() || count == 0) return Text(s);
  std::u32string hay = text ? LowerText(s) : s;
  std::u32string needle = text ? LowerText(find) : find;
  std::u32string out;
  size_t pos = 0;
  int64_t done = 0;
  while (count == -1 || done < count) {
    size_t hit = hay.find(needle, pos);
    if (hit == std::u32string::npos) break;
    out.append(s, pos, hit - pos);
    out += repl;
    pos = hit + needle.size();
    ++done;
  }
  out.append(s, pos, std::u32string::npos);
  return Text(out);
}

jet::Value StrComp(const Args& args) {
  std::string a = args.text(0), b = args.text(1);
  int c;
  if (TextCompare(args, 2)) {
    c = CompareGeneral(a, b);
  } else {
    std::u32string x = Utf8ToU32(a), y = Utf8ToU32(b);
    c = x < y ? -1 : y < x ? 1 : 0;
  }
  return static_cast<int16_t>(c < 0 ? -1 : c > 0 ? 1 : 0);
}

jet::Value StrReverse(const Args& args) {
  std::u32string s = Chars(args, 0);
  std::reverse(s.begin(), s.end());
  return Text(s);
}

jet::Value Asc(const Args& args) {
  std::u32string s = Chars(args, 0);
  if (s.empty()) ThrowInvalidArgument();
  char32_t c = s[0];
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int16_t>(c);
  for (int i = 0; i < 32; ++i) {
    if (kCp1252High[i] == c) return static_cast<int16_t>(0x80 + i);
  }
  return int16_t{'?'};  // not in the ANSI code page
}

jet::Value Chr(const Args& args) {
  std::u32string s(1, Cp1252ToChar(args.integer(0)));
  return Text(s);
}

// AscW: the first UTF-16 code unit, as an Integer (units from 0x8000 on are negative).
jet::Value AscW(const Args& args) {
  std::u32string s = Chars(args, 0);
  if (s.empty()) ThrowInvalidArgument();
  char32_t c = s[0];
  uint32_t unit = c > 0xFFFF ? 0xD800 + ((c - 0x10000) >> 10) : c;
  return static_cast<int16_t>(static_cast<uint16_t>(unit));
}

// ChrW: the character of a UTF-16 code unit, given as -32768..65535. A lone surrogate has no
// character of its own and comes out as U+FFFD.
jet::Value ChrW(const Args& args) {
  int64_t code = args.integer(0);
  if (code < kMinCodeUnit || code > kMaxCodeUnit) ThrowInvalidArgument();
  if (code < 0) code += kCodeUnits;
  char32_t c = static_cast<char32_t>(code);
  if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
  return Text(std::u32string(1, c));
}

// Word separators of vbProperCase: Null, tab, line feed, vertical tab, form feed, carriage
// return and space.
bool SeparatesWords(char32_t c) {
  return c == 0 || (c >= 9 && c <= 13) || c == ' ';
}

jet::Value StrConv(const Args& args) {
  if (args.is_null(1)) ThrowInvalidNull();
  int64_t conversion = args.integer(1);
  if (args.is_null(0)) return std::monostate{};
  std::u32string s = Chars(args, 0);
  switch (conversion) {
    case kUpperCase:
      return Text(UpperText(s));
    case kLowerCase:
      return Text(LowerText(s));
    case kProperCase: {
      std::u32string lower = LowerText(s);
      bool start = true;
      for (char32_t& c : lower) {
        if (start && !SeparatesWords(c)) c = UpperText(std::u32string(1, c))[0];
        start = SeparatesWords(c);
      }
      return Text(lower);
    }
    default:
      // Wide/narrow and Katakana/Hiragana need an East Asian system, which refuses them
      // elsewhere as well; byte strings (vbUnicode, vbFromUnicode) have no place in a text field.
      ThrowInvalidArgument();
  }
}

jet::Value Val(const Args& args) {
  return ValNumber(args.text(0));
}

jet::Value Str(const Args& args) {
  jet::Value v = args.value(0);
  if (std::holds_alternative<jet::DateTime>(v)) return ValueText(v);
  if (std::holds_alternative<bool>(v)) return std::string(std::get<bool>(v) ? "True" : "False");
  std::string s;
  if (const auto* c = std::get_if<jet::Currency>(&v)) {
    s = CurrencyText(c->scaled, '.');
  } else if (const auto* f = std::get_if<float>(&v)) {
    s = DoubleText(*f, 7, '.');
  } else if (IsExactType(v)) {
    s = ValueText(v);
    std::replace(s.begin(), s.end(), ',', '.');
  } else {
    s = DoubleText(ValueToDouble(v), 15, '.');
  }
  if (s.empty() || s[0] != '-') s.insert(s.begin(), ' ');
  return s;
}

jet::Value IsNumeric(const Args& args) {
  jet::Value v = args.value(0);
  if (jet::IsNull(v) || std::holds_alternative<jet::DateTime>(v)) return false;
  if (IsNumericType(v)) return true;
  if (const auto* s = std::get_if<std::string>(&v)) return ParseNumberText(*s).has_value();
  return false;
}

jet::Value IsDate(const Args& args) {
  jet::Value v = args.value(0);
  if (std::holds_alternative<jet::DateTime>(v)) return true;
  if (const auto* s = std::get_if<std::string>(&v)) return ParseDateText(*s).has_value();
  return false;
}

constexpr ScalarFunction kStrings[] = {
    {"jet_len", Len},
    {"jet_left", Left},
    {"jet_right", Right},
    {"jet_mid", Mid, false},
    {"jet_instr", InStr, false},
    {"jet_instrrev", InStrRev, false},
    {"jet_ucase", UCase},
    {"jet_lcase", LCase},
    {"jet_trim", Trim},
    {"jet_ltrim", LTrim},
    {"jet_rtrim", RTrim},
    {"jet_space", Space},
    {"jet_string", String},
    {"jet_replace", Replace, false},
    {"jet_strcomp", StrComp},
    {"jet_strreverse", StrReverse},
    {"jet_asc", Asc},
    {"jet_chr", Chr},
    {"jet_ascw", AscW},
    {"jet_chrw", ChrW},
    {"jet_strconv", StrConv, false},
    {"jet_val", Val},
    {"jet_str", Str},
    {"jet_isnumeric", IsNumeric, false},
    {"jet_isdate", IsDate, false},
};

}  // namespace

std::span<const ScalarFunction> StringFunctions() {
  return kStrings;
}

}  // namespace jetsql::fn
