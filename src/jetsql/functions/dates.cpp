// Date functions: Date, Time, Now, Date$, Time$, Timer, Year .. Second, Weekday, DateAdd,
// DateDiff, DatePart, DateSerial, TimeSerial, DateValue, TimeValue, MonthName, WeekdayName.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <string>

#include "jetsql/date_util.h"
#include "jetsql/functions/function_support.h"
#include "jetsql/regional_settings.h"
#include "jetsql/text_util.h"
#include "jetsql/value_convert.h"

namespace jetsql::fn {

namespace {

constexpr int kSecondsPerDay = 86400;
constexpr int kFirstWeekJan1 = 1;
constexpr int kFirstWeekFourDays = 2;
constexpr int kFirstWeekFull = 3;

double DateArg(const Args& args, int i) {
  return ValueToDate(args.value(i));
}

jet::Value CheckedDate(double serial) {
  if (!DateInRange(serial)) ThrowInvalidArgument();
  return jet::DateTime{serial};
}

struct LocalNow {
  double date = 0;
  double time = 0;
};

LocalNow Now() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  LocalNow n;
  n.date =
      static_cast<double>(DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday));
  n.time = (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) / kSecondsPerDay;
  return n;
}

jet::Value DateNow(const Args&) {
  return jet::DateTime{Now().date};
}
jet::Value TimeNow(const Args&) {
  return jet::DateTime{Now().time};
}
jet::Value NowNow(const Args&) {
  LocalNow n = Now();
  return jet::DateTime{n.date + n.time};
}

// Date$ and Time$ write today and now in fixed forms, whatever the regional settings.
jet::Value DateString(const Args&) {
  CivilDateTime t = SplitDate(Now().date);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", t.month, t.day, t.year);
  return std::string(buf);
}
jet::Value TimeString(const Args&) {
  CivilDateTime t = SplitDate(Now().time);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return std::string(buf);
}

// Timer: seconds since midnight, local time, to the hundredth.
jet::Value Timer(const Args&) {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  auto centis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000 /
      10;
  double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + centis / 100.0;
  return static_cast<float>(seconds);
}

jet::Value Year(const Args& a) {
  return static_cast<int16_t>(SplitDate(DateArg(a, 0)).year);
}
jet::Value Month(const Args& a) {
  return static_cast<int16_t>(SplitDate(DateArg(a, 0)).month);
}
jet::Value Day(const Args& a) {
  return static_cast<int16_t>(SplitDate(DateArg(a, 0)).day);
}
jet::Value Hour(const Args& a) {
  return static_cast<int16_t>(SplitDate(DateArg(a, 0)).hour);
}
jet::Value Minute(const Args& a) {
  return static_cast<int16_t>(SplitDate(DateArg(a, 0)).minute);
}
jet::Value Second(const Args& a) {
  return static_cast<int16_t>(SplitDate(DateArg(a, 0)).second);
}

int FirstDay(const Args& args, int i) {
  int64_t d = args.is_null(i) ? 1 : args.integer(i);
  if (d < 0 || d > 7) ThrowInvalidArgument();
  return d == 0 ? Regional().date.first_day_of_week : static_cast<int>(d);
}

int FirstWeek(const Args& args, int i) {
  int64_t w = args.is_null(i) ? 1 : args.integer(i);
  if (w < 0 || w > 3) ThrowInvalidArgument();
  return w == 0 ? Regional().date.first_week_of_year : static_cast<int>(w);
}

// Day number of a date as midnight-based whole days (also for dates before 1899-12-30).
int64_t DayNumber(double serial) {
  CivilDateTime t = SplitDate(serial);
  return DaysFromCivil(t.year, t.month, t.day);
}

int WeekdayFrom(int64_t days, int first_day) {
  return (WeekdayOf(days) - first_day + 7) % 7 + 1;
}

jet::Value Weekday(const Args& args) {
  return static_cast<int16_t>(WeekdayFrom(DayNumber(DateArg(args, 0)), FirstDay(args, 1)));
}

std::string Interval(const Args& args, int i) {
  std::string s = U32ToUtf8(LowerText(Utf8ToU32(args.text(i))));
  static const char* const kIntervals[] = {"yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s"};
  for (const char* k : kIntervals) {
    if (s == k) return s;
  }
  ThrowInvalidArgument();
}

// Start (day number) of week one of `year`.
int64_t WeekOneStart(int year, int first_day, int first_week) {
  int64_t jan1 = DaysFromCivil(year, 1, 1);
  int64_t week_start = jan1 - (WeekdayFrom(jan1, first_day) - 1);
  switch (first_week) {
    case kFirstWeekFourDays:
      if (jan1 - week_start >= 4) week_start += 7;
      break;
    case kFirstWeekFull:
      if (week_start != jan1) week_start += 7;
      break;
    case kFirstWeekJan1:  // the week that holds January 1
    default:
      break;
  }
  return week_start;
}

int WeekOfYear(int64_t days, int first_day, int first_week) {
  int year, month, day;
  CivilFromDays(days, &year, &month, &day);
  int64_t start = WeekOneStart(year, first_day, first_week);
  if (days < start) {
    // Belongs to the last week of the year before (Access counts it as that week's number).
    start = WeekOneStart(year - 1, first_day, first_week);
  }
  return static_cast<int>((days - start) / 7 + 1);
}

int64_t Seconds(double serial) {
  CivilDateTime t = SplitDate(serial);
  return DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 +
         t.second;
}

jet::Value DateAdd(const Args& args) {
  std::string interval = Interval(args, 0);
  double n_raw = args.number(1);
  double serial = DateArg(args, 2);
  double n = BankersRound(n_raw);
  if (std::fabs(n) > 1e7 * 366) ThrowInvalidArgument();
  int64_t count = static_cast<int64_t>(n);
  CivilDateTime t = SplitDate(serial);
  double time = TimePart(serial);
  if (interval == "yyyy" || interval == "q" || interval == "m") {
    int64_t months = interval == "yyyy" ? count * 12 : interval == "q" ? count * 3 : count;
    int64_t total = t.year * 12LL + (t.month - 1) + months;
    int64_t year = total / 12;
    int month = static_cast<int>(total % 12) + 1;
    if (year < 100 || year > 9999) ThrowInvalidArgument();
    int day = std::min(t.day, DaysInMonth(year, month));
    return CheckedDate(JoinDate(DaysFromCivil(year, month, day), time));
  }
  if (interval == "y" || interval == "d" || interval == "w" || interval == "ww") {
    int64_t days = interval == "ww" ? count * 7 : count;
    return CheckedDate(JoinDate(DaysFromCivil(t.year, t.month, t.day) + days, time));
  }
  int64_t unit = interval == "h" ? 3600 : interval == "n" ? 60 : 1;
  int64_t secs = Seconds(serial) + count * unit;
  int64_t day =
      secs >= 0 ? secs / kSecondsPerDay : -((-secs + kSecondsPerDay - 1) / kSecondsPerDay);
  double tod = static_cast<double>(secs - day * kSecondsPerDay) / kSecondsPerDay;
  return CheckedDate(JoinDate(day, tod));
}

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

jet::Value DateDiff(const Args& args) {
  std::string interval = Interval(args, 0);
  double a = DateArg(args, 1), b = DateArg(args, 2);
  int first_day = FirstDay(args, 3);
  CivilDateTime x = SplitDate(a), y = SplitDate(b);
  int64_t dx = DaysFromCivil(x.year, x.month, x.day), dy = DaysFromCivil(y.year, y.month, y.day);
  int64_t r = 0;
  if (interval == "yyyy") {
    r = y.year - x.year;
  } else if (interval == "q") {
    r = (y.year * 4LL + (y.month - 1) / 3) - (x.year * 4LL + (x.month - 1) / 3);
  } else if (interval == "m") {
    r = (y.year * 12LL + y.month) - (x.year * 12LL + x.month);
  } else if (interval == "y" || interval == "d") {
    r = dy - dx;
  } else if (interval == "w") {
    r = (dy - dx) / 7;
  } else if (interval == "ww") {
    // Counts the first days of the week crossed.
    int64_t offset = WeekdayOf(0) - first_day;  // aligns week starts
    r = FloorDiv(dy + offset, 7) - FloorDiv(dx + offset, 7);
  } else {
    int64_t unit = interval == "h" ? 3600 : interval == "n" ? 60 : 1;
    r = FloorDiv(Seconds(b), unit) - FloorDiv(Seconds(a), unit);
  }
  if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
    ThrowOverflow();
  return static_cast<int32_t>(r);
}

jet::Value DatePartFn(const Args& args) {
  std::string interval = Interval(args, 0);
  double serial = DateArg(args, 1);
  int first_day = FirstDay(args, 2);
  int first_week = FirstWeek(args, 3);
  CivilDateTime t = SplitDate(serial);
  int64_t days = DaysFromCivil(t.year, t.month, t.day);
  int r = 0;
  if (interval == "yyyy") {
    r = t.year;
  } else if (interval == "q") {
    r = (t.month - 1) / 3 + 1;
  } else if (interval == "m") {
    r = t.month;
  } else if (interval == "y") {
    r = static_cast<int>(days - DaysFromCivil(t.year, 1, 1) + 1);
  } else if (interval == "d") {
    r = t.day;
  } else if (interval == "w") {
    r = WeekdayFrom(days, first_day);
  } else if (interval == "ww") {
    r = WeekOfYear(days, first_day, first_week);
  } else if (interval == "h") {
    r = t.hour;
  } else if (interval == "n") {
    r = t.minute;
  } else {
    r = t.second;
  }
  return static_cast<int16_t>(r);
}

jet::Value DateSerial(const Args& args) {
  int64_t year = args.integer(0), month = args.integer(1), day = args.integer(2);
  if (year >= 0 && year < 30) {
    year += 2000;
  } else if (year >= 30 && year < 100) {
    year += 1900;
  }
  if (std::llabs(year) > 100000 || std::llabs(month) > 1200000 || std::llabs(day) > 4000000)
    ThrowInvalidArgument();
  return CheckedDate(static_cast<double>(DaysFromCivil(year, month, day)));
}

jet::Value TimeSerial(const Args& args) {
  int64_t h = args.integer(0), m = args.integer(1), s = args.integer(2);
  if (std::llabs(h) > 1e7 || std::llabs(m) > 1e9 || std::llabs(s) > 1e11) ThrowInvalidArgument();
  double secs = static_cast<double>(h * 3600 + m * 60 + s);
  return CheckedDate(LinearToDate(secs / kSecondsPerDay));
}

jet::Value DateValue(const Args& args) {
  return jet::DateTime{static_cast<double>(DatePart(DateArg(args, 0)))};
}

jet::Value TimeValue(const Args& args) {
  double serial = DateArg(args, 0);
  return jet::DateTime{TimePart(serial)};
}

jet::Value MonthName(const Args& args) {
  int64_t m = args.integer(0);
  if (m < 1 || m > 12) ThrowInvalidArgument();
  bool abbreviate = !args.is_null(1) && ValueToBool(args.value(1));
  const DateSettings& d = Regional().date;
  return abbreviate ? d.month_abbreviations[static_cast<size_t>(m - 1)]
                    : d.month_names[static_cast<size_t>(m - 1)];
}

jet::Value WeekdayName(const Args& args) {
  int64_t d = args.integer(0);
  if (d < 1 || d > 7) ThrowInvalidArgument();
  bool abbreviate = !args.is_null(1) && ValueToBool(args.value(1));
  int first = FirstDay(args, 2);
  int index = static_cast<int>((d - 1 + first - 1) % 7);
  const DateSettings& names = Regional().date;
  return abbreviate ? names.day_abbreviations[static_cast<size_t>(index)]
                    : names.day_names[static_cast<size_t>(index)];
}

constexpr ScalarFunction kDates[] = {
    {"jet_date", DateNow},
    {"jet_time", TimeNow},
    {"jet_now", NowNow},
    {"jet_date_text", DateString},
    {"jet_time_text", TimeString},
    {"jet_timer", Timer},
    {"jet_year", Year},
    {"jet_month", Month},
    {"jet_day", Day},
    {"jet_hour", Hour},
    {"jet_minute", Minute},
    {"jet_second", Second},
    {"jet_weekday", Weekday},
    {"jet_dateadd", DateAdd},
    {"jet_datediff", DateDiff},
    {"jet_datepart", DatePartFn},
    {"jet_dateserial", DateSerial},
    {"jet_timeserial", TimeSerial},
    {"jet_datevalue", DateValue},
    {"jet_timevalue", TimeValue},
    {"jet_monthname", MonthName},
    {"jet_weekdayname", WeekdayName},
};

}  // namespace

std::span<const ScalarFunction> DateFunctions() {
  return kDates;
}

}  // namespace jetsql::fn
