#ifndef QUORLA_JETSQL_DATE_UTIL_H_
#define QUORLA_JETSQL_DATE_UTIL_H_

// Jet dates: a double counting days since 1899-12-30 whose fraction is the time of day. Before
// that day the whole part counts backwards but the fraction still counts forwards: -1.25 is
// 1899-12-29 06:00.

#include <cstdint>
#include <optional>
#include <string_view>

namespace jetsql {

struct CivilDateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
};

// Days since 1899-12-30 of a proleptic Gregorian date (month and day may be out of range and are
// carried: month 13 is January of the next year, day 0 is the last day of the month before).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day);
void CivilFromDays(int64_t days, int* year, int* month, int* day);

// Splits a Jet date into calendar date and time of day, rounded to the second.
CivilDateTime SplitDate(double serial);
// Joins a day number and a time of day (fraction of a day, 0 <= time < 1) into a Jet date.
double JoinDate(int64_t days, double time);
// The day number and time of day of a Jet date (the inverse of JoinDate).
int64_t DatePart(double serial);
double TimePart(double serial);

// A Jet date as a plain count of days (1899-12-29 06:00 is -0.75) and back, for arithmetic.
double DateToLinear(double serial);
double LinearToDate(double linear);

// Years 100..9999 are the range Access accepts.
bool DateInRange(double serial);

bool IsLeapYear(int64_t year);
int DaysInMonth(int64_t year, int month);
// 1 = Sunday .. 7 = Saturday.
int WeekdayOf(int64_t days);

// Reads a date, a time or both as Access reads text: three numbers in the regional date order
// (d.m.yyyy in German, m/d/yyyy in English (US); day and month swapped when the month cannot be
// one), yyyy-mm-dd, "15 March 2024", "March 15, 2024", hh:nn[:ss] with optional AM/PM; two-digit
// years 00-29 are 20xx, 30-99 are 19xx. Returns nothing if the text is not a date.
std::optional<double> ParseDateText(std::string_view text);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DATE_UTIL_H_
