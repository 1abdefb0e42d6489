// The VBA functions queries call, with the answers Microsoft's VBA reference documents (German
// regional settings unless a test chooses others): first each function on its own, then the
// reference's examples as Jet SQL on a sample file.

#include <regex>

#include "jet/error.h"
#include "jetsql/regional_settings.h"
#include "jetsql/session.h"
#include "jetsql/value_convert.h"
#include "sql_fixture.h"
#include "support/jet_samples.h"

namespace jetsql::testing {
namespace {

constexpr const char* kInvalidArgument =
    "error: jet:5:Ungültiger Prozeduraufruf oder ungültiges Argument";
constexpr const char* kOverflow = "error: jet:6:Überlauf";
constexpr const char* kInvalidNull = "error: jet:94:Unzulässige Verwendung von Null";
// 2017-07-04 15:04:05, a Tuesday.
constexpr const char* kJuly4 = "42920.627835648148, 8";

class VbaFunctionsTest : public SqlFixture {
 protected:
  void SetUp() override {
    SetRegional(RegionalSettings::German());
    SqlFixture::SetUp();
  }
  void TearDown() override {
    SqlFixture::TearDown();
    SetRegional(RegionalSettings::German());
  }
};

TEST_F(VbaFunctionsTest, VbaFunctions) {
  // Hex and Oct write the bits of the argument's type.
  EXPECT_EQ(Eval("jet_hex(10, 3)"), "A");
  EXPECT_EQ(Eval("jet_hex(459, 3)"), "1CB");
  EXPECT_EQ(Eval("jet_oct(459, 3)"), "713");
  // Negative Integers in 16 bits, Longs and everything else in 32.
  EXPECT_EQ(Eval("jet_hex(-1, 3)"), "FFFF");
  EXPECT_EQ(Eval("jet_hex(-1, 4)"), "FFFFFFFF");
  EXPECT_EQ(Eval("jet_hex(-1.0, 7)"), "FFFFFFFF");
  EXPECT_EQ(Eval("jet_oct(-1, 3)"), "177777");
  EXPECT_EQ(Eval("jet_oct(-1, 4)"), "37777777777");
  EXPECT_EQ(Eval("jet_hex(-1, 1)"), "FFFF");  // True
  EXPECT_EQ(Eval("jet_hex(255, 2)"), "FF");
  // Fractions round half to even; text is read as a number.
  EXPECT_EQ(Eval("jet_hex(2.5, 7)"), "2");
  EXPECT_EQ(Eval("jet_hex(3.5, 7)"), "4");
  EXPECT_EQ(Eval("jet_hex('255', 10)"), "FF");
  EXPECT_EQ(Eval("jet_hex('zwei', 10)"), "error: jet:13:Typen unverträglich");
  EXPECT_EQ(Eval("jet_hex(3000000000.0, 7)"), kOverflow);
  EXPECT_EQ(Eval("jet_hex(NULL, 0)"), "NULL");
  EXPECT_EQ(Eval("jet_hex_text(NULL, 0)"), kInvalidNull);
  EXPECT_EQ(Eval("jet_hex_text(255, 3)"), "FF");
  // Wide character codes.
  EXPECT_EQ(Eval("jet_chrw(8364, 4)"), "€");
  EXPECT_EQ(Eval("jet_chrw(-8172, 3)"), "\uE014");  // -8172 + 65536
  EXPECT_EQ(Eval("jet_chrw(65536, 4)"), kInvalidArgument);
  EXPECT_EQ(Eval("jet_chrw(-32769, 4)"), kInvalidArgument);
  EXPECT_EQ(Eval("jet_ascw('€uro', 10)"), "8364");
  EXPECT_EQ(Eval("jet_ascw('\uF8FF', 10)"), "-1793");       // units from 0x8000 on are negative
  EXPECT_EQ(Eval("jet_ascw('\U0001F600', 10)"), "-10179");  // the high surrogate
  EXPECT_EQ(Eval("jet_ascw('', 10)"), kInvalidArgument);
  EXPECT_EQ(Eval("jet_chrw_text(NULL, 0)"), kInvalidNull);
  // StrConv changes case and refuses the rest.
  EXPECT_EQ(Eval("jet_strconv('Grüße aus Köln', 10, 1, 3, 0, 3)"), "GRÜßE AUS KÖLN");
  EXPECT_EQ(Eval("jet_strconv('ÄRGER', 10, 2, 3, 0, 3)"), "ärger");
  EXPECT_EQ(Eval("jet_strconv('hELLO wORLD', 10, 3, 3, 0, 3)"), "Hello World");
  // Only Null, tab, line feed, vertical tab, form feed, carriage return and space end a word.
  EXPECT_EQ(Eval("jet_strconv('jean-luc o''neil' || char(9) || 'äpfel', 10, 3, 3, 0, 3)"),
            "Jean-luc O'neil\tÄpfel");
  for (const char* refused : {"0", "4", "8", "16", "32", "64", "128", "65"}) {
    EXPECT_EQ(Eval(std::string("jet_strconv('abc', 10, ") + refused + ", 3, 0, 3)"),
              kInvalidArgument)
        << refused;
  }
  EXPECT_EQ(Eval("jet_strconv(NULL, 0, 1, 3, 0, 3)"), "NULL");
  // Partition names the range as the reference shows.
  auto partition = [&](int number, int start, int stop, int interval) {
    return Eval("jet_partition(" + std::to_string(number) + ", 4, " + std::to_string(start) +
                ", 4, " + std::to_string(stop) + ", 4, " + std::to_string(interval) + ", 4)");
  };
  EXPECT_EQ(partition(-1, 0, 99, 5), "   : -1");
  EXPECT_EQ(partition(0, 0, 99, 5), "  0:  4");
  EXPECT_EQ(partition(97, 0, 99, 5), " 95: 99");
  EXPECT_EQ(partition(100, 0, 99, 5), "100:   ");
  EXPECT_EQ(partition(195, 20, 199, 10), "190:199");
  EXPECT_EQ(partition(200, 20, 199, 10), "200:   ");
  EXPECT_EQ(partition(99, 100, 1010, 20), "    :  99");
  EXPECT_EQ(partition(1005, 100, 1010, 20), "1000:1010");  // the last range ends at stop
  EXPECT_EQ(partition(1011, 100, 1010, 20), "1011:    ");
  EXPECT_EQ(partition(42, 0, 99, 1), " 42: 42");
  EXPECT_EQ(partition(5, 10, 10, 1), kInvalidArgument);
  EXPECT_EQ(partition(5, -1, 10, 1), kInvalidArgument);
  EXPECT_EQ(partition(5, 0, 10, 0), kInvalidArgument);
  EXPECT_EQ(Eval("jet_partition(NULL, 0, 0, 4, 99, 4, 5, 4)"), "NULL");
  // What a Variant holds.
  EXPECT_EQ(Eval("jet_isempty(NULL, 0)"), "0");
  EXPECT_EQ(Eval("jet_isempty('', 10)"), "0");
  EXPECT_EQ(Eval("jet_iserror(5, 4)"), "0");
  EXPECT_EQ(Eval("jet_cvar(12.5, 7)"), "12.5");
  EXPECT_EQ(Eval("jet_cvar(NULL, 0)"), "NULL");
  const std::pair<const char*, const char*> kinds[] = {
      {"NULL, 0", "1 Null"},      {"NULL, 4", "1 Null"},      {"5, 3", "2 Integer"},
      {"5, 4", "3 Long"},         {"1.5, 6", "4 Single"},     {"1.5, 7", "5 Double"},
      {"15000, 5", "6 Currency"}, {kJuly4, "7 Date"},         {"'a', 10", "8 String"},
      {"'a', 12", "8 String"},    {"-1, 1", "11 Boolean"},    {"'1.5', 16", "14 Decimal"},
      {"7, 2", "17 Byte"},        {"x'00', 9", "8209 Byte()"}};
  for (const auto& [value, expected] : kinds) {
    EXPECT_EQ(Eval(std::string("jet_vartype(") + value + ") || ' ' || jet_typename(" + value + ")"),
              expected)
        << value;
  }
  // Colours and timer.
  EXPECT_EQ(Eval("jet_rgb(0, 4, 0, 4, 255, 4)"), "16711680");
  EXPECT_EQ(Eval("jet_rgb(300, 4, 128, 4, 1, 4)"), std::to_string(255 + 128 * 256 + 65536));
  EXPECT_EQ(Eval("jet_rgb(-1, 4, 0, 4, 0, 4)"), kInvalidArgument);
  EXPECT_EQ(Eval("jet_qbcolor(12, 4)"), "255");  // light red
  EXPECT_EQ(Eval("jet_qbcolor(16, 4)"), kInvalidArgument);
  double timer = std::stod(Eval("jet_timer()"));
  EXPECT_GE(timer, 0);
  EXPECT_LT(timer, 86400);
  EXPECT_TRUE(std::regex_match(Eval("jet_date_text()"), std::regex(R"(\d\d-\d\d-\d{4})")));
  EXPECT_TRUE(std::regex_match(Eval("jet_time_text()"), std::regex(R"(\d\d:\d\d:\d\d)")));
  // String forms fail on Null.
  EXPECT_EQ(Eval("jet_left_text('Hallo', 10, 2, 4)"), "Ha");
  EXPECT_EQ(Eval("jet_left_text(NULL, 0, 2, 4)"), kInvalidNull);
  EXPECT_EQ(Eval("jet_mid_text(NULL, 0, 2, 4, NULL, 0)"), kInvalidNull);
  EXPECT_EQ(Eval("jet_format_text(NULL, 0, '', 10)"), kInvalidNull);
  EXPECT_EQ(Eval("jet_format_text(1.5, 7, '0.00', 10)"), "1,50");
  EXPECT_EQ(Eval("jet_trim_text('  a  ', 10)"), "a");
  // Named number formats with their options.
  auto number = [&](const std::string& fn, const std::string& args) {
    return Eval("jet_" + fn + "(" + args + ")");
  };
  const std::string defaults = ", -1, 4, -2, 4, -2, 4, -2, 4";
  EXPECT_EQ(number("formatnumber", "1234.5, 7" + defaults), "1.234,50");
  EXPECT_EQ(number("formatnumber", "-1234.567, 7, 1, 4, -2, 4, -2, 4, -2, 4"), "-1.234,6");
  EXPECT_EQ(number("formatnumber", "-1234.5, 7, 0, 4, -2, 4, -1, 4, -2, 4"), "(1.235)");
  EXPECT_EQ(number("formatnumber", "1234.5, 7, 2, 4, -2, 4, -2, 4, 0, 4"), "1234,50");
  EXPECT_EQ(number("formatnumber", "0.5, 7, 1, 4, 0, 4, -2, 4, -2, 4"), ",5");
  EXPECT_EQ(number("formatnumber", "'1,5', 10" + defaults), "1,50");
  EXPECT_EQ(number("formatnumber", "'eins', 10" + defaults), "error: jet:13:Typen unverträglich");
  EXPECT_EQ(number("formatnumber", "1, 7, -3, 4, -2, 4, -2, 4, -2, 4"), kInvalidArgument);
  EXPECT_EQ(number("formatnumber", "NULL, 0" + defaults), "NULL");
  EXPECT_EQ(number("formatpercent", "0.1234, 7" + defaults), "12,34%");
  EXPECT_EQ(number("formatpercent", "-0.5, 7, 0, 4, -2, 4, -1, 4, -2, 4"), "(50%)");
  EXPECT_EQ(number("formatcurrency", "1234.5, 7" + defaults), "1.234,50 €");
  EXPECT_EQ(number("formatcurrency", "-1234.5, 7" + defaults), "-1.234,50 €");
  EXPECT_EQ(number("formatcurrency", "12345000, 5, 0, 4, -2, 4, -2, 4, -2, 4"), "1.235 €");
  // FormatDateTime uses the regional formats.
  auto date = [&](int named) {
    return Eval(std::string("jet_formatdatetime(") + kJuly4 + ", " + std::to_string(named) +
                ", 4)");
  };
  EXPECT_EQ(date(0), "04.07.2017 15:04:05");
  EXPECT_EQ(date(1), "Dienstag, 4. Juli 2017");
  EXPECT_EQ(date(2), "04.07.2017");
  EXPECT_EQ(date(4), "15:04");
  EXPECT_EQ(date(5), kInvalidArgument);
  EXPECT_EQ(Eval("jet_formatdatetime(42920, 8, 0, 4)"), "04.07.2017");
  EXPECT_EQ(Eval("jet_formatdatetime(0.5, 8, 0, 4)"), "12:00:00");
  EXPECT_EQ(Eval("jet_formatdatetime('4.7.2017', 10, 1, 4)"), "Dienstag, 4. Juli 2017");
  // English (US) settings change every conversion.
  SetRegional(RegionalSettings::EnglishUs());
  EXPECT_EQ(Eval(std::string("jet_formatdatetime(") + kJuly4 + ", 0, 4)"), "7/4/2017 3:04:05 PM");
  EXPECT_EQ(Eval(std::string("jet_formatdatetime(") + kJuly4 + ", 1, 4)"), "Tuesday, July 4, 2017");
  EXPECT_EQ(Eval("jet_formatcurrency(-1234.5, 7, -1, 4, -2, 4, -2, 4, -2, 4)"), "($1,234.50)");
  EXPECT_EQ(Eval("jet_formatnumber(1234.5, 7, -1, 4, -2, 4, -2, 4, -2, 4)"), "1,234.50");
  EXPECT_EQ(Eval("jet_format(1234.5, 7, 'Currency', 10)"), "$1,234.50");
  EXPECT_EQ(Eval("jet_cast(-1, 1, 10)"), "True");
  EXPECT_EQ(Eval("jet_op_concat('x', 10, 2.25, 7)"), "x2.25");
  EXPECT_EQ(Eval("jet_cast('1,234.5', 10, 7)"), "1234.5");
  EXPECT_EQ(Eval("jet_cast('7/4/2017', 10, 8)"), "42920");   // month first
  EXPECT_EQ(Eval("jet_cast('13/4/2017', 10, 8)"), "42838");  // no month 13: 13 April
  EXPECT_EQ(Eval("jet_monthname(3, 4, 0, 1)"), "March");
  EXPECT_EQ(Eval("jet_weekday(42920, 8, 0, 4)"), "3");  // system week starts on Sunday
  EXPECT_EQ(Eval("jet_str(1.5, 7)"), " 1.5");
  EXPECT_EQ(Eval("jet_val('1,5', 10)"), "1");
  // English (UK) and German read the day first.
  SetRegional(RegionalSettings::EnglishUk());
  EXPECT_EQ(Eval("jet_cast('4/7/2017', 10, 8)"), "42920");
  EXPECT_EQ(Eval("jet_format(-1234.5, 7, 'Currency', 10)"), "-£1,234.50");
  EXPECT_EQ(Eval(std::string("jet_formatdatetime(") + kJuly4 + ", 0, 4)"), "04/07/2017 15:04:05");
  SetRegional(RegionalSettings::German());
  EXPECT_EQ(Eval("jet_cast('4/7/2017', 10, 8)"), "42920");
  EXPECT_EQ(Eval("jet_cast('2017-07-04', 10, 8)"), "42920");
  EXPECT_EQ(Eval("jet_cast('4. Juli 2017', 10, 8)"), "42920");
  EXPECT_EQ(Eval("jet_weekday(42920, 8, 0, 4)"), "2");  // system week starts on Monday
}

// Article 1 of orders-100k.mdb is "Schraube M4", 202,68, 1735 in stock, created 2017-07-04.
const std::string kOrders = testsupport::SamplePath("bench/orders-100k.mdb");

class VbaReferenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_SAMPLES();
    SetRegional(RegionalSettings::German());
    session_ = std::make_unique<Session>(kOrders);
  }
  void TearDown() override { SetRegional(RegionalSettings::German()); }

  // Each {expression, expected} on article 1, as CStr writes it ("Null" for Null, "error <n>").
  void ExpectEach(const std::vector<std::pair<std::string, std::string>>& cases) {
    for (const auto& [expr, expected] : cases) {
      std::string got;
      try {
        RecordSet rs = session_->Query("SELECT " + expr + " FROM artikel WHERE ArtikelNr = 1");
        got = rs.rows.size() != 1          ? "no row"
              : jet::IsNull(rs.rows[0][0]) ? "Null"
                                           : ValueText(rs.rows[0][0]);
      } catch (const jet::Error& e) {
        got = "error " + std::to_string(e.number());
      }
      EXPECT_EQ(got, expected) << expr;
    }
  }

  std::unique_ptr<Session> session_;
};

TEST_F(VbaReferenceTest, ReferenceExamples) {
  // Number and conversion functions.
  ExpectEach({
      {"Round(1.2345, 2)", "1,23"},
      {"Round(Exp(1), 10)", "2,7182818285"},
      {"Round(Log(10), 10)", "2,302585093"},
      {"Round(4 * Atn(1), 10)", "3,1415926536"},
      {"Round(1 / Cos(1.3), 10)", "3,7383341271"},
      {"Round(Sin(1.3) / Cos(1.3) - Tan(1.3), 10)", "0"},
      {"Val('    1615 198th Street N.E.')", "1615198"},
      {"Val('&HFFFF')", "-1"},
      {"Val('&O17')", "15"},
      {"CBool(5 = 5)", "Wahr"},
      {"CByte(125.5678)", "126"},
      {"CCur(543.214588 * 2)", "1086,4292"},
      {"CDbl(234.456784 * 8.2 * 0.01)", "19,225456288"},
      {"CInt(0.5)", "0"},
      {"CInt(40000)", "error 6"},
      {"CLng(25427.55)", "25428"},
      {"CSng(75.3421115)", "75,34211"},
      {"CStr(437.324)", "437,324"},
      {"CDate('12. Februar 1969') = #2/12/1969#", "Wahr"},
      {"CDate('4:35:47 PM')", "16:35:47"},
      {"CDec(1.5) * 2", "3"},
      {"IsNumeric('459.95')", "Wahr"},
      {"IsNumeric('45 Help')", "Falsch"},
      {"IsDate('12. Februar 1969')", "Wahr"},
      {"IsNull(Null)", "Wahr"},
      // Text functions.
      {"Left('Hello World', 7)", "Hello W"},
      {"Right('Hello World', 20)", "Hello World"},
      {"Mid('Mid Function Demo', 5, 8)", "Function"},
      {"Mid('Mid Function Demo', 14)", "Demo"},
      {"InStr(4, 'XXpXXpXXPXXP', 'P', 1)", "6"},
      {"InStr(1, 'XXpXXpXXPXXP', 'P', 0)", "9"},
      {"InStr('XXpXXpXXPXXP', 'P')", "3"},
      {"InStrRev('XXpXXpXXPXXP', 'P', 10, 0)", "9"},
      {"'<' & LTrim('  <-Trim->  ') & '>'", "<<-Trim->  >"},
      {"String(10, 'ABC')", "AAAAAAAAAA"},
      {"Replace('alphabet', 'a', 'e', 3)", "phebet"},
      {"Replace('alphabet', 'a', 'e', 1, 1)", "elphabet"},
      {"StrComp('ABCD', 'abcd', 0)", "-1"},
      {"StrComp('abcd', 'ABCD')", "0"},
      {"Chr(65) & Chr(97) & Chr(62) & Chr(37)", "Aa>%"},
      {"Str(459) & '|' & Str(-459.65) & '|' & Str(459.001)", " 459|-459.65| 459.001"},
      {"Format(5459.4, '##,##0.00')", "5.459,40"},
      {"Format(5, '0.00%')", "500,00%"},
      {"Format('This is it', '>')", "THIS IS IT"},
      // Date functions.
      {"DateAdd('m', 1, #1/31/1995#)", "28.02.1995"},
      {"DateAdd('h', 36, #1/31/1995#)", "01.02.1995 12:00:00"},
      {"DateDiff('d', #2/12/1969#, #3/1/1969#)", "17"},
      {"DateDiff('yyyy', #12/31/1999#, #1/1/2000#)", "1"},
      {"DatePart('y', #2/12/1969#)", "43"},
      {"DatePart('ww', #1/1/2017#, 2, 2)", "52"},  // ISO: still 2016's week 52
      {"DateSerial(1990 - 10, 8 - 2, 1 - 1)", "31.05.1980"},
      {"TimeSerial(12 - 6, -15, 0)", "05:45:00"},
      {"DateValue('12. Februar 1969')", "12.02.1969"},
      {"TimeValue('4:35:17 PM')", "16:35:17"},
      {"Day(#2/12/1969#) & Month(#2/12/1969#) & Year(#2/12/1969#)", "1221969"},
      {"Hour(#4:35:17 PM#) & Minute(#4:35:17 PM#) & Second(#4:35:17 PM#)", "163517"},
      {"Weekday(#2/12/1969#)", "4"},  // a Wednesday
      {"MonthName(12) & ' ' & MonthName(3, True)", "Dezember Mrz"},
      {"WeekdayName(1) & ' ' & WeekdayName(1, True, 1)", "Sonntag So"},
      {"WeekdayName(1, False, 2)", "Montag"},
      // Choosing functions.
      {"IIf(Preis > 1000, 'Groß', 'Klein')", "Klein"},
      {"Nz(Null, 'leer')", "leer"},
      {"Nz(Preis, 0)", "202,68"},
      {"Switch(ArtikelNr = 2, 'zwei', ArtikelNr = 1, 'eins')", "eins"},
      {"Switch(ArtikelNr = 2, 'zwei')", "Null"},
      {"Choose(2, 'Speedy', 'United', 'Federal')", "United"},
      {"Choose(4, 'Speedy', 'United', 'Federal')", "Null"},
  });
}

// The added functions in real statements: String forms ("Left$"), conversions and named formats
// on stored values, and the regional settings in CStr and &.
TEST_F(VbaReferenceTest, AddedFunctionsOnStoredValues) {
  ExpectEach({
      {"Hex$(ArtikelNr + 254) & Left$(Bezeichnung, 8) & StrConv(Bezeichnung, 1)",
       "FFSchraubeSCHRAUBE M4"},
      {"Partition(Bestand, 0, 2000, 100) & ChrW(8364) & Oct(8) & AscW(Bezeichnung)",
       "1700:1799€1083"},
      {"FormatCurrency(Preis) & '|' & FormatNumber(Preis * 10, 1) & '|' & FormatPercent(0.5, 0)",
       "202,68 €|2.026,8|50%"},
      {"FormatDateTime(Angelegt, 1) & '|' & Format$(Angelegt, 'Short Date')",
       "Dienstag, 4. Juli 2017|04.07.2017"},
      {"VarType(Preis) & TypeName(Aktiv) & TypeName(Angelegt) & VarType(Bezeichnung)",
       "6BooleanDate8"},
      {"CVar(ArtikelNr) & IsEmpty(Beschreibung) & TypeName(Null)", "1FalschNull"},
      {"Left$(Null, 1)", "error 94"},
      {"StrConv(Bezeichnung, 16)", "error 5"},
      {"CStr(Angelegt) & '|' & Preis & '|' & CStr(Aktiv)", "04.07.2017|202,68|Falsch"},
      {"CDate('4.7.2017') = Angelegt", "Wahr"},
      {"Angelegt = #7/4/2017#", "Wahr"},
  });
  SetRegional(RegionalSettings::EnglishUs());
  ExpectEach({
      {"CStr(Angelegt) & '|' & Preis & '|' & CStr(Aktiv)", "7/4/2017|202.68|False"},
      {"FormatCurrency(Preis)", "$202.68"},
      {"CDate('7/4/2017') = Angelegt", "True"},
      {"Angelegt = #7/4/2017#", "True"},  // date literals read month first in every setting
  });
}

}  // namespace
}  // namespace jetsql::testing
