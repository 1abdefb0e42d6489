#include "jetsql/lexer.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "jetsql/errors.h"

namespace jetsql {
namespace {

constexpr int kTwoDigitYearPivot = 30;  // 00-29 -> 20xx, 30-99 -> 19xx
constexpr double kSecondsPerDay = 86400.0;
constexpr int kMaxYear = 9999;
constexpr int kMinYear = 100;

bool IsWordStart(unsigned char c) {
  return std::isalpha(c) || c == '_' || c >= 0x80;
}
bool IsWordChar(unsigned char c) {
  return std::isalnum(c) || c == '_' || c >= 0x80;
}

std::string Excerpt(const std::string& sql, size_t from) {
  constexpr size_t kExcerptLength = 60;
  return sql.substr(from, kExcerptLength);
}

// Reads an unsigned decimal integer at `p`; returns digits read (0 if none).
int ReadInt(const std::string& s, size_t* p, int* out) {
  int n = 0;
  long v = 0;
  while (*p < s.size() && std::isdigit(static_cast<unsigned char>(s[*p]))) {
    if (v < 100000) v = v * 10 + (s[*p] - '0');
    ++*p;
    ++n;
  }
  *out = static_cast<int>(v);
  return n;
}

void SkipSpaces(const std::string& s, size_t* p) {
  while (*p < s.size() && std::isspace(static_cast<unsigned char>(s[*p]))) ++*p;
}

bool ValidDate(int y, int m, int d) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < kMinYear || y > kMaxYear || m < 1 || m > 12 || d < 1) return false;
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  int max = kDays[m - 1] + (m == 2 && leap ? 1 : 0);
  return d <= max;
}

// Parses "h:mm[:ss] [AM|PM]" at `p`; returns the fraction of a day.
bool ParseTime(const std::string& s, size_t* p, double* fraction) {
  int h = 0, mi = 0, sec = 0;
  if (ReadInt(s, p, &h) == 0) return false;
  if (*p >= s.size() || s[*p] != ':') return false;
  ++*p;
  if (ReadInt(s, p, &mi) == 0) return false;
  if (*p < s.size() && s[*p] == ':') {
    ++*p;
    if (ReadInt(s, p, &sec) == 0) return false;
  }
  SkipSpaces(s, p);
  if (*p + 1 < s.size() + 0 && *p + 2 <= s.size()) {
    std::string ampm = s.substr(*p, 2);
    for (auto& c : ampm) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (ampm == "AM" || ampm == "PM") {
      if (h < 1 || h > 12) return false;
      if (ampm == "AM" && h == 12) h = 0;
      if (ampm == "PM" && h != 12) h += 12;
      *p += 2;
    }
  }
  if (h > 23 || mi > 59 || sec > 59) return false;
  *fraction = (h * 3600 + mi * 60 + sec) / kSecondsPerDay;
  return true;
}

// Reads a VBA hexadecimal (&H1F) or octal (&O17) literal at `i`, which holds '&'. Returns the
// length read, 0 when the letters after '&' are not such a literal (then '&' joins texts). The
// value takes VBA's type and sign: up to 16 bits it is an Integer (&HFFFF is -1), up to 32 bits a
// Long (&HFFFFFFFF is -1); wider literals overflow.
size_t ReadRadixLiteral(const std::string& sql, size_t i, double* value) {
  const size_t n = sql.size();
  if (i + 2 >= n) return 0;
  const char radix_letter = static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i + 1])));
  if (radix_letter != 'H' && radix_letter != 'O') return 0;
  const unsigned radix = radix_letter == 'H' ? 16 : 8;
  size_t j = i + 2;
  while (j < n && IsWordChar(static_cast<unsigned char>(sql[j]))) ++j;
  if (j == i + 2) return 0;
  uint64_t v = 0;
  for (size_t k = i + 2; k < j; ++k) {
    unsigned char c = static_cast<unsigned char>(sql[k]);
    unsigned digit = std::isdigit(c)    ? static_cast<unsigned>(c - '0')
                     : std::isxdigit(c) ? static_cast<unsigned>(std::toupper(c) - 'A' + 10)
                                        : radix;
    if (digit >= radix) return 0;
    v = v * radix + digit;
    if (v > 0xFFFFFFFFull) throw errors::MissingOperator(sql.substr(i, j - i));
  }
  if (v <= 0xFFFF) {
    *value = static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(v)));
  } else {
    *value = static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(v)));
  }
  return j - i;
}

}  // namespace

double DaysFromCivil(int y, int m, int d) {
  // Howard Hinnant's days_from_civil, shifted from 1970-01-01 to 1899-12-30.
  constexpr long kEpochShift = 25569;  // days from 1899-12-30 to 1970-01-01
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<double>(era * 146097 + doe - 719468 + kEpochShift);
}

bool ParseDateLiteral(const std::string& text, double* days) {
  size_t p = 0;
  SkipSpaces(text, &p);
  size_t start = p;
  int a = 0, b = 0, c = 0;
  bool have_date = false;
  double day_number = 0;
  int na = ReadInt(text, &p, &a);
  if (na > 0 && p < text.size() && (text[p] == '/' || text[p] == '-')) {
    char sep = text[p++];
    int nb = ReadInt(text, &p, &b);
    if (nb == 0) return false;
    int y, m, d;
    if (p < text.size() && text[p] == sep) {
      ++p;
      int nc = ReadInt(text, &p, &c);
      if (nc == 0) return false;
      if (na >= 3) {  // yyyy-mm-dd or yyyy/mm/dd
        y = a, m = b, d = c;
      } else {  // m/d/yyyy or m/d/yy
        m = a, d = b, y = c;
        if (nc <= 2) y += y < kTwoDigitYearPivot ? 2000 : 1900;
      }
    } else {
      return false;
    }
    if (!ValidDate(y, m, d)) return false;
    day_number = DaysFromCivil(y, m, d);
    have_date = true;
  } else {
    p = start;
  }
  SkipSpaces(text, &p);
  double fraction = 0;
  bool have_time = false;
  if (p < text.size()) {
    if (!ParseTime(text, &p, &fraction)) return false;
    have_time = true;
    SkipSpaces(text, &p);
  }
  if (p != text.size() || (!have_date && !have_time)) return false;
  *days = day_number < 0 ? day_number - fraction : day_number + fraction;
  return true;
}

std::vector<Token> Tokenize(const std::string& sql) {
  if (sql.size() > kMaxStatementLength) {
    throw errors::QueryTooComplex();
  }
  std::vector<Token> tokens;
  size_t i = 0;
  const size_t n = sql.size();
  while (true) {
    while (i < n && (std::isspace(static_cast<unsigned char>(sql[i])) || sql[i] == '\0')) ++i;
    if (tokens.size() > kMaxTokens) throw errors::QueryTooComplex();
    Token t;
    t.pos = i;
    if (i >= n) {
      t.kind = TokenKind::kEnd;
      t.end = n;
      tokens.push_back(t);
      return tokens;
    }
    unsigned char c = static_cast<unsigned char>(sql[i]);
    size_t radix_length = 0;
    if (IsWordStart(c)) {
      size_t j = i;
      while (j < n && IsWordChar(static_cast<unsigned char>(sql[j]))) ++j;
      if (j < n && sql[j] == '$') ++j;  // the String form of a function: Left$, Format$
      t.kind = TokenKind::kWord;
      t.text = sql.substr(i, j - i);
      i = j;
    } else if (std::isdigit(c) ||
               (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
      size_t j = i;
      bool integer = true;
      while (j < n && std::isdigit(static_cast<unsigned char>(sql[j]))) ++j;
      if (j < n && sql[j] == '.') {
        integer = false;
        ++j;
        while (j < n && std::isdigit(static_cast<unsigned char>(sql[j]))) ++j;
      }
      if (j < n && (sql[j] == 'e' || sql[j] == 'E')) {
        size_t k = j + 1;
        if (k < n && (sql[k] == '+' || sql[k] == '-')) ++k;
        if (k < n && std::isdigit(static_cast<unsigned char>(sql[k]))) {
          integer = false;
          while (k < n && std::isdigit(static_cast<unsigned char>(sql[k]))) ++k;
          j = k;
        }
      }
      if (j < n && IsWordStart(static_cast<unsigned char>(sql[j]))) {
        throw errors::MissingOperator(Excerpt(sql, i));
      }
      t.kind = TokenKind::kNumber;
      t.text = sql.substr(i, j - i);
      t.integer = integer;
      t.number = std::strtod(t.text.c_str(), nullptr);
      if (!std::isfinite(t.number)) throw errors::MissingOperator(t.text);
      i = j;
    } else if (double radix_value = 0;
               c == '&' && (radix_length = ReadRadixLiteral(sql, i, &radix_value)) > 0) {
      t.kind = TokenKind::kNumber;
      t.text = sql.substr(i, radix_length);
      t.integer = true;
      t.number = radix_value;
      i += radix_length;
    } else if (c == '\'' || c == '"') {
      char quote = static_cast<char>(c);
      size_t j = i + 1;
      std::string value;
      bool closed = false;
      while (j < n) {
        if (sql[j] == quote) {
          if (j + 1 < n && sql[j + 1] == quote) {
            value += quote;
            j += 2;
            continue;
          }
          closed = true;
          ++j;
          break;
        }
        value += sql[j++];
      }
      if (!closed) {
        throw errors::BadStringLiteral(Excerpt(sql, i));
      }
      t.kind = TokenKind::kString;
      t.text = std::move(value);
      i = j;
    } else if (c == '[') {
      size_t j = sql.find(']', i + 1);
      if (j == std::string::npos) {
        throw errors::BadBrackets(Excerpt(sql, i + 1));
      }
      t.kind = TokenKind::kName;
      t.text = sql.substr(i + 1, j - i - 1);
      if (t.text.empty() || t.text.find('[') != std::string::npos) {
        throw errors::BadBrackets(t.text);
      }
      i = j + 1;
    } else if (c == '#') {
      size_t j = sql.find('#', i + 1);
      std::string inner = j == std::string::npos ? sql.substr(i + 1) : sql.substr(i + 1, j - i - 1);
      double days = 0;
      if (j == std::string::npos || !ParseDateLiteral(inner, &days)) {
        throw errors::BadDateLiteral("#" + Excerpt(inner, 0));
      }
      t.kind = TokenKind::kDate;
      t.text = inner;
      t.number = days;
      i = j + 1;
    } else {
      static const char* kTwoChar[] = {"<>", "<=", ">=", "=<", "=>", "><"};
      t.kind = TokenKind::kSymbol;
      bool two = false;
      for (const char* s : kTwoChar) {
        if (i + 1 < n && sql[i] == s[0] && sql[i + 1] == s[1]) {
          t.text = s;
          two = true;
        }
      }
      if (two) {
        if (t.text == "=<") t.text = "<=";
        if (t.text == "=>") t.text = ">=";
        if (t.text == "><") t.text = "<>";
        i += 2;
      } else {
        static const std::string kSingle = "&+-*/\\^=<>(),.;!";
        if (kSingle.find(static_cast<char>(c)) == std::string::npos) {
          throw errors::MissingOperator(Excerpt(sql, i));
        }
        t.text = std::string(1, static_cast<char>(c));
        ++i;
      }
    }
    t.end = i;
    tokens.push_back(std::move(t));
  }
}

}  // namespace jetsql
