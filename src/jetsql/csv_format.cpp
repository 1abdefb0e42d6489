#include "jetsql/csv_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "jet/decimal_text.h"
#include "jet/guid_text.h"

namespace jetsql {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int64_t kSecondsPerDay = 86400;
constexpr int kCurrencyDecimals = 4;
// Jet counts days from 1899-12-30, which is this many days before 1970-01-01.
constexpr int64_t kJetEpochFromUnixEpochDays = -25569;
// Beyond this many days from 1899-12-30 a number is no calendar date (Jet's own range ends at
// 9999-12-31, day 2958465); such values are printed as numbers so that nothing overflows.
constexpr double kMaxCalendarDays = 1e8;
// Enough for any double, float or 128-bit integer in decimal.
constexpr int kNumberBufferSize = 64;

template <typename T>
void AppendNumber(T number, std::string& out) {
  char buffer[kNumberBufferSize];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  out.append(buffer, result.ptr);
}

void AppendTwoDigits(int n, std::string& out) {
  out.push_back(static_cast<char>('0' + n / 10));
  out.push_back(static_cast<char>('0' + n % 10));
}

// Decimal digits of an unsigned 128-bit number, with at least `min_digits` digits.
std::string Digits(unsigned __int128 n, size_t min_digits) {
  std::string digits;
  do {
    digits.push_back(static_cast<char>('0' + static_cast<int>(n % 10)));
    n /= 10;
  } while (n != 0);
  while (digits.size() < min_digits) digits.push_back('0');
  return {digits.rbegin(), digits.rend()};
}

// Proleptic Gregorian date of a day count from 1970-01-01 (H. Hinnant's civil_from_days).
struct CivilDate {
  int64_t year;
  int month;
  int day;
};
CivilDate CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

void AppendYear(int64_t year, std::string& out) {
  if (year < 0) {
    out.push_back('-');
    year = -year;
  }
  std::string digits = Digits(static_cast<unsigned __int128>(year), 4);
  out.append(digits);
}

void AppendHex(const jet::Bytes& bytes, std::string& out) {
  if (bytes.empty()) {
    out.append("\"\"");
    return;
  }
  size_t start = out.size();
  out.resize(start + 2 * bytes.size());
  char* p = out.data() + start;
  for (uint8_t b : bytes) {
    *p++ = kHexDigits[b >> 4];
    *p++ = kHexDigits[b & 0x0F];
  }
}

}  // namespace

void AppendCsvText(std::string_view text, std::string& out) {
  // One pass over the text: find_first_of would search the four characters for every byte.
  bool needs_quotes = text.empty();
  for (char c : text) needs_quotes |= c == ',' || c == '"' || c == '\r' || c == '\n';
  if (!needs_quotes) {
    out.append(text);
    return;
  }
  out.push_back('"');
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

void AppendJetDateTime(double days, std::string& out) {
  if (!std::isfinite(days) || std::fabs(days) > kMaxCalendarDays) {
    AppendNumber(days, out);
    return;
  }
  // The integer part names the day, the fraction (of either sign) the time of day after midnight.
  double whole = std::trunc(days);
  int64_t day = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(std::fabs(days - whole) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {  // 23:59:59.5 and later round up to the next midnight
    seconds -= kSecondsPerDay;
    ++day;
  }
  CivilDate date = CivilFromDays(day + kJetEpochFromUnixEpochDays);
  AppendYear(date.year, out);
  out.push_back('-');
  AppendTwoDigits(date.month, out);
  out.push_back('-');
  AppendTwoDigits(date.day, out);
  out.push_back(' ');
  AppendTwoDigits(static_cast<int>(seconds / 3600), out);
  out.push_back(':');
  AppendTwoDigits(static_cast<int>(seconds / 60 % 60), out);
  out.push_back(':');
  AppendTwoDigits(static_cast<int>(seconds % 60), out);
}

void AppendCurrency(jet::Currency value, std::string& out) {
  bool negative = value.scaled < 0;
  // Negating in unsigned arithmetic keeps INT64_MIN exact.
  uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(value.scaled) : static_cast<uint64_t>(value.scaled);
  jet::AppendScaledText(negative, magnitude, kCurrencyDecimals, out);
}

void AppendCsvField(const jet::Value& value, std::string& out) {
  std::visit(
      [&out](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          // Null: nothing.
        } else if constexpr (std::is_same_v<T, bool>) {
          out.append(v ? "True" : "False");
        } else if constexpr (std::is_same_v<T, uint8_t> || std::is_same_v<T, int16_t> ||
                             std::is_same_v<T, int32_t>) {
          AppendNumber(static_cast<int32_t>(v), out);
        } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
          AppendNumber(v, out);
        } else if constexpr (std::is_same_v<T, jet::Currency>) {
          AppendCurrency(v, out);
        } else if constexpr (std::is_same_v<T, jet::DateTime>) {
          AppendJetDateTime(v.days, out);
        } else if constexpr (std::is_same_v<T, jet::Bytes>) {
          AppendHex(v, out);
        } else if constexpr (std::is_same_v<T, std::string>) {
          AppendCsvText(v, out);
        } else if constexpr (std::is_same_v<T, jet::Guid>) {
          jet::AppendGuidText(v, out);
        } else if constexpr (std::is_same_v<T, jet::Decimal>) {
          jet::AppendDecimalText(v, out);
        } else {
          static_assert(sizeof(T) == 0, "every alternative of jet::Value needs a CSV form");
        }
      },
      value);
}

}  // namespace jetsql
