// Date functions. Day 45000 is Wednesday 15 March 2023; 45351 is 29 February 2024.

#include "sql_fixture.h"

namespace jetsql::testing {
namespace {

class DatesTest : public SqlFixture {};

constexpr const char* kInvalidArgument =
    "error: jet:5:Ungültiger Prozeduraufruf oder ungültiges Argument";

TEST_F(DatesTest, DateFunctions) {
  // Parts of a date.
  EXPECT_EQ(Eval("jet_year(45000.75, 8) || '-' || jet_month(45000.75, 8) || '-' || "
                 "jet_day(45000.75, 8) || ' ' || jet_hour(45000.75, 8)"),
            "2023-3-15 18");
  EXPECT_EQ(Eval("jet_minute('14:35:50', 10) || ':' || jet_second('14:35:50', 10)"), "35:50");
  EXPECT_EQ(Eval("jet_year('1.1.2000', 10)"), "2000");
  EXPECT_EQ(Eval("jet_weekday(45000.0, 8, 1, 4)"), "4");
  EXPECT_EQ(Eval("jet_weekday(45000.0, 8, 2, 4)"), "3");
  EXPECT_EQ(Eval("jet_year('kein Datum', 10)"), "error: jet:13:Typen unverträglich");
  // Before 1899-12-30 the fraction still counts forwards: -1.25 is 29.12.1899 06:00.
  EXPECT_EQ(Eval("jet_day(-1.25, 8) || ' ' || jet_hour(-1.25, 8)"), "29 6");
  // DateAdd keeps month ends.
  EXPECT_EQ(Eval("jet_dateadd('m', 10, 1, 4, '2024-01-31', 10)"), "45351");
  EXPECT_EQ(Eval("jet_dateadd('yyyy', 10, 1, 4, 45351.0, 8)"), "45716");
  EXPECT_EQ(Eval("jet_dateadd('q', 10, -4, 4, 45351.0, 8)"), "44985");  // 28.02.2023
  EXPECT_EQ(Eval("jet_dateadd('ww', 10, 2, 4, 45000.5, 8)"), "45014.5");
  EXPECT_EQ(Eval("jet_dateadd('h', 10, -1, 4, 0.0, 8)"), "-1.95833333333333");
  EXPECT_EQ(Eval("jet_dateadd('x', 10, 1, 4, 45000.0, 8)"), kInvalidArgument);
  EXPECT_EQ(Eval("jet_dateadd('yyyy', 10, 9000, 4, 45000.0, 8)"), kInvalidArgument);
  // DateDiff counts boundaries crossed.
  const char* a = "'31.12.2023 23:59', 10";
  const char* b = "'1.1.2024 00:01', 10";
  auto diff = [&](const char* interval) {
    return Eval(std::string("jet_datediff('") + interval + "', 10, " + a + ", " + b +
                ", 1, 4, 1, 4)");
  };
  EXPECT_EQ(diff("yyyy"), "1");
  EXPECT_EQ(diff("m"), "1");
  EXPECT_EQ(diff("d"), "1");
  EXPECT_EQ(diff("n"), "2");
  EXPECT_EQ(diff("s"), "120");
  EXPECT_EQ(Eval("jet_datediff('d', 10, 45001.0, 8, 45000.0, 8, 1, 4, 1, 4)"), "-1");
  // w counts whole weeks; ww counts week starts (Sundays here) crossed.
  EXPECT_EQ(Eval("jet_datediff('w', 10, 45000.0, 8, 45013.0, 8, 1, 4, 1, 4)"), "1");
  EXPECT_EQ(Eval("jet_datediff('ww', 10, 45290.0, 8, 45291.0, 8, 1, 4, 1, 4)"), "1");  // Sa->So
  EXPECT_EQ(Eval("jet_datediff('ww', 10, 45291.0, 8, 45297.0, 8, 1, 4, 1, 4)"), "0");  // So->Sa
  EXPECT_EQ(Eval("jet_datediff('ww', 10, 45291.0, 8, 45297.0, 8, 7, 4, 1, 4)"), "1");
  // DatePart's weeks follow the first-week rule.
  EXPECT_EQ(Eval("jet_datepart('ww', 10, 45000.0, 8, 1, 4, 1, 4)"), "11");
  // 1 January 2021 was a Friday: week 1 by Jan-1 rule, week 53 (of 2020) by the ISO rule.
  EXPECT_EQ(Eval("jet_datepart('ww', 10, '1.1.2021', 10, 2, 4, 1, 4)"), "1");
  EXPECT_EQ(Eval("jet_datepart('ww', 10, '1.1.2021', 10, 2, 4, 2, 4)"), "53");
  EXPECT_EQ(Eval("jet_datepart('ww', 10, '4.1.2021', 10, 2, 4, 2, 4)"), "1");
  EXPECT_EQ(Eval("jet_datepart('q', 10, '15.8.2024', 10, 1, 4, 1, 4)"), "3");
  EXPECT_EQ(Eval("jet_datepart('w', 10, 45000.0, 8, 2, 4, 1, 4)"), "3");
  // Serials and values.
  EXPECT_EQ(Eval("jet_dateserial(2024, 4, 14, 4, 1, 4)"), "45689");  // 1.2.2025
  EXPECT_EQ(Eval("jet_dateserial(2024, 4, 3, 4, 0, 4)"), "45351");   // day 0 of March
  EXPECT_EQ(Eval("jet_dateserial(24, 4, 1, 4, 1, 4)"), "45292");     // two-digit year
  EXPECT_EQ(Eval("jet_timeserial(25, 4, 0, 4, 0, 4)"), "1.04166666666667");
  EXPECT_EQ(Eval("jet_timeserial(-1, 4, 0, 4, 0, 4)"), "-1.95833333333333");
  EXPECT_EQ(Eval("jet_datevalue('15.03.2023 18:00', 10)"), "45000");
  EXPECT_EQ(Eval("jet_timevalue('15.03.2023 18:00', 10)"), "0.75");
  // Names in German.
  EXPECT_EQ(Eval("jet_monthname(3, 4, 0, 1)"), "März");
  EXPECT_EQ(Eval("jet_monthname(3, 4, -1, 1)"), "Mrz");
  EXPECT_EQ(Eval("jet_monthname(13, 4, 0, 1)"), kInvalidArgument);
  EXPECT_EQ(Eval("jet_weekdayname(1, 4, 0, 1, 1, 4)"), "Sonntag");
  EXPECT_EQ(Eval("jet_weekdayname(1, 4, -1, 1, 2, 4)"), "Mo");
  // Now is a date with a time.
  EXPECT_EQ(Eval("jet_date() = cast(jet_date() AS INTEGER)"), "1");
  EXPECT_EQ(Eval("jet_time() < 1 AND jet_now() >= jet_date()"), "1");
}

}  // namespace
}  // namespace jetsql::testing
