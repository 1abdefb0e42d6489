// Dates and times written by a Format pattern (d dd ddd dddd ddddd dddddd m mm mmm mmmm q y yy
// yyyy w ww h hh n nn s ss ttttt AM/PM am/pm A/P AMPM c, "literals" and \\c escapes, '/' and ':'
// for the regional separators), and the general date CStr writes.

#include "jetsql/date_format.h"

#include <cctype>
#include <cstdio>

#include "jetsql/date_util.h"
#include "jetsql/regional_settings.h"
#include "jetsql/text_util.h"

namespace jetsql {

namespace {

std::string Pad2(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

std::string Lower(std::string_view s) {
  return U32ToUtf8(LowerText(Utf8ToU32(s)));
}

}  // namespace

std::string FormatDate(double serial, std::string_view f) {
  const DateSettings& settings = Regional().date;
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
      std::string mark = t.hour < 12 ? "AM" : "PM";
      out += upper ? mark : Lower(mark);
      i += 5;
      continue;
    }
    if (lower.compare(i, 4, "ampm") == 0) {
      out += t.hour < 12 ? settings.am : settings.pm;
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
          out += settings.day_abbreviations[static_cast<size_t>(WeekdayOf(days) - 1)];
        else if (n == 4)
          out += settings.day_names[static_cast<size_t>(WeekdayOf(days) - 1)];
        else if (n == 5)
          out += FormatDate(serial, settings.short_date);
        else
          out += FormatDate(serial, settings.long_date);
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
          out += settings.month_abbreviations[static_cast<size_t>(t.month - 1)];
        } else {
          out += settings.month_names[static_cast<size_t>(t.month - 1)];
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
        out += GeneralDateText(serial);
        ++i;
        continue;
      case 't':
        n = run('t');
        if (n == 5) {
          out += FormatDate(serial, settings.long_time);
          i += n;
          continue;
        }
        break;
      case '/':
        out += settings.date_separator;
        ++i;
        continue;
      case ':':
        out += settings.time_separator;
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

std::string GeneralDateText(double serial) {
  const DateSettings& settings = Regional().date;
  bool has_date = DatePart(serial) != 0;
  CivilDateTime t = SplitDate(serial);
  bool has_time = t.hour != 0 || t.minute != 0 || t.second != 0;
  if (!has_time) return FormatDate(serial, settings.short_date);
  if (!has_date) return FormatDate(serial, settings.long_time);
  return FormatDate(serial, settings.short_date) + " " + FormatDate(serial, settings.long_time);
}

}  // namespace jetsql
