#include "jetsql/date_util.h"

#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "jetsql/regional_settings.h"
#include "jetsql/text_util.h"

namespace jetsql {

namespace {

// 1899-12-30 counted from 1970-01-01.
constexpr int64_t kJetEpochFromUnix = -25569;
constexpr int kSecondsPerDay = 86400;
constexpr int kMinYear = 100;
constexpr int kMaxYear = 9999;
constexpr int kTwoDigitYearPivot = 30;

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Days since 1970-01-01 of a valid civil date.
int64_t UnixDays(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = FloorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  int64_t m0 = month - 1;
  year += FloorDiv(m0, 12);
  m0 -= FloorDiv(m0, 12) * 12;
  return UnixDays(year, m0 + 1, 1) + (day - 1) - kJetEpochFromUnix;
}

void CivilFromDays(int64_t days, int* year, int* month, int* day) {
  int64_t z = days + kJetEpochFromUnix + 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  *year = static_cast<int>(yoe + era * 400 + (m <= 2));
  *month = static_cast<int>(m);
  *day = static_cast<int>(d);
}

int64_t DatePart(double serial) {
  return static_cast<int64_t>(std::trunc(serial));
}

double TimePart(double serial) {
  return std::fabs(serial - std::trunc(serial));
}

double JoinDate(int64_t days, double time) {
  return days < 0 ? static_cast<double>(days) - time : static_cast<double>(days) + time;
}

CivilDateTime SplitDate(double serial) {
  int64_t days = DatePart(serial);
  int64_t secs = std::llround(TimePart(serial) * kSecondsPerDay);
  if (secs >= kSecondsPerDay) {
    secs -= kSecondsPerDay;
    days += serial < 0 ? -1 : 1;
  }
  CivilDateTime out;
  CivilFromDays(days, &out.year, &out.month, &out.day);
  out.hour = static_cast<int>(secs / 3600);
  out.minute = static_cast<int>(secs / 60 % 60);
  out.second = static_cast<int>(secs % 60);
  return out;
}

double DateToLinear(double serial) {
  if (serial >= 0) return serial;
  return static_cast<double>(DatePart(serial)) + TimePart(serial);
}

double LinearToDate(double linear) {
  if (linear >= 0) return linear;
  double day = std::floor(linear);
  return JoinDate(static_cast<int64_t>(day), linear - day);
}

bool DateInRange(double serial) {
  return std::isfinite(serial) && serial >= static_cast<double>(DaysFromCivil(kMinYear, 1, 1)) &&
         serial < static_cast<double>(DaysFromCivil(kMaxYear + 1, 1, 1));
}

bool IsLeapYear(int64_t y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int64_t year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[(month - 1) % 12];
}

int WeekdayOf(int64_t days) {
  // 1899-12-30 was a Saturday (7).
  int64_t w = (days + 6) % 7;
  if (w < 0) w += 7;
  return static_cast<int>(w) + 1;
}

namespace {

bool IsRegionalMonth(const std::string& word, const std::string& name) {
  return !name.empty() && word == U32ToUtf8(LowerText(Utf8ToU32(name)));
}

// Month names Access understands in dates typed as text: the regional ones, English and German.
int MonthFromName(const std::string& word) {
  const DateSettings& regional = Regional().date;
  for (int m = 0; m < 12; ++m) {
    if (IsRegionalMonth(word, regional.month_names[static_cast<size_t>(m)]) ||
        IsRegionalMonth(word, regional.month_abbreviations[static_cast<size_t>(m)]))
      return m + 1;
  }
  static const char* const kNames[][12] = {
      {"january", "february", "march", "april", "may", "june", "july", "august", "september",
       "october", "november", "december"},
      {"januar", "februar", "märz", "april", "mai", "juni", "juli", "august", "september",
       "oktober", "november", "dezember"}};
  if (word.size() < 3) return 0;
  for (const auto& names : kNames) {
    for (int m = 0; m < 12; ++m) {
      std::string name = names[m];
      if (word == name || (word.size() >= 3 && name.compare(0, word.size(), word) == 0 &&
                           (word.size() == 3 || word.size() == name.size())))
        return m + 1;
    }
  }
  if (word == "mrz" || word == "maerz") return 3;
  if (word == "okt") return 10;
  if (word == "dez") return 12;
  return 0;
}

struct Token {
  enum Kind { kNumber, kWord, kSep } kind;
  std::string text;
  int digits = 0;
  long value = 0;
};

}  // namespace

std::optional<double> ParseDateText(std::string_view input) {
  std::string text = U32ToUtf8(LowerText(Utf8ToU32(input)));
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isspace(c) || c == ',') {
      ++i;
      continue;
    }
    if (std::isdigit(c)) {
      Token t{Token::kNumber, ""};
      while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        t.text.push_back(text[i++]);
        if (t.text.size() > 9) return std::nullopt;
      }
      t.digits = static_cast<int>(t.text.size());
      t.value = std::stol(t.text);
      tokens.push_back(t);
    } else if (std::isalpha(c) || c >= 0x80) {
      Token t{Token::kWord, ""};
      while (i < text.size() && (std::isalpha(static_cast<unsigned char>(text[i])) ||
                                 static_cast<unsigned char>(text[i]) >= 0x80)) {
        t.text.push_back(text[i++]);
      }
      if (i < text.size() && text[i] == '.') ++i;  // "Mar." and "Okt."
      tokens.push_back(t);
    } else if (c == '/' || c == '-' || c == '.' || c == ':') {
      tokens.push_back({Token::kSep, std::string(1, static_cast<char>(c))});
      ++i;
    } else {
      return std::nullopt;
    }
  }
  if (tokens.empty()) return std::nullopt;

  // Split off the time: hh:nn[:ss] [am|pm], or hh am|pm.
  int hour = -1, minute = 0, second = 0;
  std::vector<Token> date_tokens;
  for (size_t k = 0; k < tokens.size(); ++k) {
    const Token& t = tokens[k];
    bool is_time = t.kind == Token::kNumber && k + 1 < tokens.size() &&
                   tokens[k + 1].kind == Token::kSep && tokens[k + 1].text == ":";
    bool is_ampm_hour = t.kind == Token::kNumber && k + 1 < tokens.size() &&
                        tokens[k + 1].kind == Token::kWord &&
                        (tokens[k + 1].text == "am" || tokens[k + 1].text == "pm");
    if ((is_time || is_ampm_hour) && hour < 0) {
      hour = static_cast<int>(t.value);
      size_t j = k + 1;
      if (is_time) {
        if (j + 1 >= tokens.size() || tokens[j + 1].kind != Token::kNumber) return std::nullopt;
        minute = static_cast<int>(tokens[j + 1].value);
        j += 2;
        if (j + 1 < tokens.size() && tokens[j].kind == Token::kSep && tokens[j].text == ":" &&
            tokens[j + 1].kind == Token::kNumber) {
          second = static_cast<int>(tokens[j + 1].value);
          j += 2;
        }
      }
      if (j < tokens.size() && tokens[j].kind == Token::kWord &&
          (tokens[j].text == "am" || tokens[j].text == "pm")) {
        if (hour < 1 || hour > 12) return std::nullopt;
        if (tokens[j].text == "am" && hour == 12) hour = 0;
        if (tokens[j].text == "pm" && hour != 12) hour += 12;
        ++j;
      }
      k = j - 1;
      continue;
    }
    date_tokens.push_back(t);
  }
  if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
  double time = hour < 0 ? 0.0 : (hour * 3600.0 + minute * 60.0 + second) / kSecondsPerDay;

  // What is left is the date: numbers and a month name, with separators between.
  std::vector<Token> parts;
  std::string sep;
  for (const Token& t : date_tokens) {
    if (t.kind == Token::kSep) {
      if (sep.empty()) sep = t.text;
      if (t.text != sep) return std::nullopt;
      continue;
    }
    parts.push_back(t);
  }
  if (parts.empty()) {
    if (hour < 0) return std::nullopt;
    return time;
  }
  if (sep == ":") return std::nullopt;

  auto full_year = [](const Token& t) -> long {
    if (t.digits <= 2) return t.value < kTwoDigitYearPivot ? 2000 + t.value : 1900 + t.value;
    return t.value;
  };

  long year = 0, month = 0, day = 0;
  int month_word = -1;
  for (size_t k = 0; k < parts.size(); ++k) {
    if (parts[k].kind == Token::kWord) {
      if (month_word >= 0) return std::nullopt;
      int m = MonthFromName(parts[k].text);
      if (m == 0) return std::nullopt;
      month_word = static_cast<int>(k);
      month = m;
    }
  }
  std::vector<Token> numbers;
  for (const Token& t : parts) {
    if (t.kind == Token::kNumber) numbers.push_back(t);
  }
  if (month_word >= 0) {
    // "15 March 2024", "March 15, 2024", "March 2024".
    if (numbers.size() == 2) {
      if (numbers[0].digits >= 3) {
        year = numbers[0].value;
        day = numbers[1].value;
      } else if (month_word == 0 || numbers[1].digits >= 3 || month_word == 1) {
        day = numbers[0].value;
        year = full_year(numbers[1]);
      } else {
        return std::nullopt;
      }
    } else if (numbers.size() == 1) {
      if (numbers[0].digits >= 3) {
        year = numbers[0].value;
        day = 1;
      } else {
        return std::nullopt;  // a day without a year: Access takes the current year
      }
    } else {
      return std::nullopt;
    }
  } else if (numbers.size() == 3) {
    if (numbers[0].digits >= 3) {  // yyyy-mm-dd, yyyy/mm/dd
      year = numbers[0].value;
      month = numbers[1].value;
      day = numbers[2].value;
    } else if (Regional().date.order == DateOrder::kMonthDayYear) {
      // m/d/yyyy; if the month cannot be one, d/m/yyyy
      month = numbers[0].value;
      day = numbers[1].value;
      year = full_year(numbers[2]);
      if (month > 12 && day <= 12) std::swap(month, day);
    } else if (Regional().date.order == DateOrder::kYearMonthDay) {  // yy/mm/dd
      year = full_year(numbers[0]);
      month = numbers[1].value;
      day = numbers[2].value;
    } else {  // d.m.yyyy, d/m/yyyy; if the month cannot be one, m/d/yyyy
      day = numbers[0].value;
      month = numbers[1].value;
      year = full_year(numbers[2]);
      if (month > 12 && day <= 12) std::swap(month, day);
    }
  } else if (numbers.size() == 2 && numbers[1].digits >= 3) {  // m/yyyy
    month = numbers[0].value;
    day = 1;
    year = numbers[1].value;
  } else {
    return std::nullopt;
  }
  if (year < kMinYear || year > kMaxYear || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, static_cast<int>(month)))
    return std::nullopt;
  return JoinDate(DaysFromCivil(year, month, day), time);
}

}  // namespace jetsql
