// The examples of Microsoft's VBA reference for the functions queries could already call, run
// as Jet SQL on a sample file (German regional settings).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "jet/error.h"
#include "jetsql/regional_settings.h"
#include "jetsql/session.h"
#include "jetsql/value_convert.h"

namespace jetsql {
namespace {

const std::string kOrders = std::string(QUORLA_SAMPLES_DIR) + "/bench/orders-100k.mdb";

class VbaReferenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kOrders)) GTEST_SKIP() << "sample folder missing: " << kOrders;
    SetRegional(RegionalSettings::German());
    session_ = std::make_unique<Session>(kOrders);
  }

  // One expression on one row, as CStr writes it ("Null" for Null).
  std::string Eval(const std::string& expr) {
    try {
      RecordSet rs = session_->Query("SELECT " + expr + " FROM artikel WHERE ArtikelNr = 1");
      if (rs.rows.size() != 1) return "no row";
      const jet::Value& v = rs.rows[0][0];
      return jet::IsNull(v) ? "Null" : ValueText(v);
    } catch (const jet::Error& e) {
      return "error " + std::to_string(e.number());
    }
  }

  std::unique_ptr<Session> session_;
};

TEST_F(VbaReferenceTest, NumberFunctions) {
  EXPECT_EQ(Eval("Round(1.2345, 2)"), "1,23");
  EXPECT_EQ(Eval("Int(-99.8)"), "-100");
  EXPECT_EQ(Eval("Fix(-99.8)"), "-99");
  EXPECT_EQ(Eval("Sgn(12) & Sgn(-2.4) & Sgn(0)"), "1-10");
  EXPECT_EQ(Eval("Abs(-50.3)"), "50,3");
  EXPECT_EQ(Eval("Sqr(-4)"), "error 5");
  EXPECT_EQ(Eval("Round(Exp(1), 10)"), "2,7182818285");
  EXPECT_EQ(Eval("Round(Log(10), 10)"), "2,302585093");
  EXPECT_EQ(Eval("Round(4 * Atn(1), 10)"), "3,1415926536");
  EXPECT_EQ(Eval("Round(1 / Cos(1.3), 10)"), "3,7383341271");
  EXPECT_EQ(Eval("Round(Sin(1.3) / Cos(1.3) - Tan(1.3), 10)"), "0");
  EXPECT_EQ(Eval("Val('    1615 198th Street N.E.')"), "1615198");
  EXPECT_EQ(Eval("Val('&HFFFF')"), "-1");
  EXPECT_EQ(Eval("Val('&O17')"), "15");
  EXPECT_EQ(Eval("Val('24 and 57')"), "24");
}

TEST_F(VbaReferenceTest, ConversionFunctions) {
  EXPECT_EQ(Eval("CBool(5 = 5)"), "Wahr");
  EXPECT_EQ(Eval("CBool(0)"), "Falsch");
  EXPECT_EQ(Eval("CByte(125.5678)"), "126");
  EXPECT_EQ(Eval("CCur(543.214588 * 2)"), "1086,4292");
  EXPECT_EQ(Eval("CDbl(234.456784 * 8.2 * 0.01)"), "19,225456288");
  EXPECT_EQ(Eval("CInt(2345.5678)"), "2346");
  EXPECT_EQ(Eval("CInt(0.5)"), "0");
  EXPECT_EQ(Eval("CInt(1.5)"), "2");
  EXPECT_EQ(Eval("CInt(40000)"), "error 6");
  EXPECT_EQ(Eval("CLng(25427.45)"), "25427");
  EXPECT_EQ(Eval("CLng(25427.55)"), "25428");
  EXPECT_EQ(Eval("CSng(75.3421115)"), "75,34211");
  EXPECT_EQ(Eval("CSng(75.3421555)"), "75,34216");
  EXPECT_EQ(Eval("CStr(437.324)"), "437,324");
  EXPECT_EQ(Eval("CDate('12. Februar 1969') = #2/12/1969#"), "Wahr");
  EXPECT_EQ(Eval("CDate('4:35:47 PM')"), "16:35:47");
  EXPECT_EQ(Eval("CDec(1.5) * 2"), "3");
  EXPECT_EQ(Eval("IsNumeric('45')"), "Wahr");
  EXPECT_EQ(Eval("IsNumeric('459.95')"), "Wahr");
  EXPECT_EQ(Eval("IsNumeric('45 Help')"), "Falsch");
  EXPECT_EQ(Eval("IsDate('12. Februar 1969')"), "Wahr");
  EXPECT_EQ(Eval("IsDate('Hallo')"), "Falsch");
  EXPECT_EQ(Eval("IsNull(Null)"), "Wahr");
}

TEST_F(VbaReferenceTest, TextFunctions) {
  EXPECT_EQ(Eval("Left('Hello World', 7)"), "Hello W");
  EXPECT_EQ(Eval("Right('Hello World', 20)"), "Hello World");
  EXPECT_EQ(Eval("Mid('Mid Function Demo', 5, 8)"), "Function");
  EXPECT_EQ(Eval("Mid('Mid Function Demo', 14)"), "Demo");
  EXPECT_EQ(Eval("InStr(4, 'XXpXXpXXPXXP', 'P', 1)"), "6");
  EXPECT_EQ(Eval("InStr(1, 'XXpXXpXXPXXP', 'P', 0)"), "9");
  EXPECT_EQ(Eval("InStr('XXpXXpXXPXXP', 'P')"), "3");
  EXPECT_EQ(Eval("InStrRev('XXpXXpXXPXXP', 'P')"), "12");
  EXPECT_EQ(Eval("InStrRev('XXpXXpXXPXXP', 'P', 10, 0)"), "9");
  EXPECT_EQ(Eval("Len('Hello World')"), "11");
  EXPECT_EQ(Eval("'<' & LTrim('  <-Trim->  ') & '>'"), "<<-Trim->  >");
  EXPECT_EQ(Eval("'<' & RTrim('  <-Trim->  ') & '>'"), "<  <-Trim->>");
  EXPECT_EQ(Eval("'<' & Trim('  <-Trim->  ') & '>'"), "<<-Trim->>");
  EXPECT_EQ(Eval("'Hello' & Space(10) & 'World'"), "Hello          World");
  EXPECT_EQ(Eval("String(5, '*')"), "*****");
  EXPECT_EQ(Eval("String(10, 'ABC')"), "AAAAAAAAAA");
  EXPECT_EQ(Eval("Replace('alphabet', 'a', 'e')"), "elphebet");
  EXPECT_EQ(Eval("Replace('alphabet', 'a', 'e', 3)"), "phebet");
  EXPECT_EQ(Eval("Replace('alphabet', 'a', 'e', 1, 1)"), "elphabet");
  EXPECT_EQ(Eval("StrComp('ABCD', 'abcd', 1)"), "0");
  EXPECT_EQ(Eval("StrComp('ABCD', 'abcd', 0)"), "-1");
  EXPECT_EQ(Eval("StrComp('abcd', 'ABCD')"), "0");
  EXPECT_EQ(Eval("Asc('Apple')"), "65");
  EXPECT_EQ(Eval("Chr(65) & Chr(97) & Chr(62) & Chr(37)"), "Aa>%");
  EXPECT_EQ(Eval("UCase('Hello World 1234')"), "HELLO WORLD 1234");
  EXPECT_EQ(Eval("Str(459) & '|' & Str(-459.65) & '|' & Str(459.001)"), " 459|-459.65| 459.001");
  EXPECT_EQ(Eval("Format(5459.4, '##,##0.00')"), "5.459,40");
  EXPECT_EQ(Eval("Format(334.9, '###0.00')"), "334,90");
  EXPECT_EQ(Eval("Format(5, '0.00%')"), "500,00%");
  EXPECT_EQ(Eval("Format('HELLO', '<')"), "hello");
  EXPECT_EQ(Eval("Format('This is it', '>')"), "THIS IS IT");
}

TEST_F(VbaReferenceTest, DateFunctions) {
  EXPECT_EQ(Eval("DateAdd('m', 1, #1/31/1995#)"), "28.02.1995");
  EXPECT_EQ(Eval("DateAdd('d', 10, #1/31/1995#)"), "10.02.1995");
  EXPECT_EQ(Eval("DateAdd('h', 36, #1/31/1995#)"), "01.02.1995 12:00:00");
  EXPECT_EQ(Eval("DateDiff('d', #2/12/1969#, #3/1/1969#)"), "17");
  EXPECT_EQ(Eval("DateDiff('yyyy', #12/31/1999#, #1/1/2000#)"), "1");
  EXPECT_EQ(Eval("DateDiff('m', #1/31/1995#, #2/1/1995#)"), "1");
  EXPECT_EQ(Eval("DatePart('q', #2/12/1969#)"), "1");
  EXPECT_EQ(Eval("DatePart('y', #2/12/1969#)"), "43");
  EXPECT_EQ(Eval("DatePart('ww', #1/1/2017#, 2, 2)"), "52");  // ISO: still 2016's week 52
  EXPECT_EQ(Eval("DateSerial(1990 - 10, 8 - 2, 1 - 1)"), "31.05.1980");
  EXPECT_EQ(Eval("TimeSerial(16, 35, 17)"), "16:35:17");
  EXPECT_EQ(Eval("TimeSerial(12 - 6, -15, 0)"), "05:45:00");
  EXPECT_EQ(Eval("DateValue('12. Februar 1969')"), "12.02.1969");
  EXPECT_EQ(Eval("TimeValue('4:35:17 PM')"), "16:35:17");
  EXPECT_EQ(Eval("Day(#2/12/1969#) & Month(#2/12/1969#) & Year(#2/12/1969#)"), "1221969");
  EXPECT_EQ(Eval("Hour(#4:35:17 PM#) & Minute(#4:35:17 PM#) & Second(#4:35:17 PM#)"), "163517");
  EXPECT_EQ(Eval("Weekday(#2/12/1969#)"), "4");  // a Wednesday
  EXPECT_EQ(Eval("MonthName(12) & ' ' & MonthName(3, True)"), "Dezember Mrz");
  EXPECT_EQ(Eval("WeekdayName(1) & ' ' & WeekdayName(1, True, 1)"), "Sonntag So");
  EXPECT_EQ(Eval("WeekdayName(1, False, 2)"), "Montag");
}

TEST_F(VbaReferenceTest, ChoosingFunctions) {
  EXPECT_EQ(Eval("IIf(Preis > 1000, 'Groß', 'Klein')"), "Klein");
  EXPECT_EQ(Eval("Nz(Null, 'leer')"), "leer");
  EXPECT_EQ(Eval("Nz(Preis, 0)"), "202,68");
  EXPECT_EQ(Eval("Switch(ArtikelNr = 2, 'zwei', ArtikelNr = 1, 'eins')"), "eins");
  EXPECT_EQ(Eval("Switch(ArtikelNr = 2, 'zwei')"), "Null");
  EXPECT_EQ(Eval("Choose(2, 'Speedy', 'United', 'Federal')"), "United");
  EXPECT_EQ(Eval("Choose(4, 'Speedy', 'United', 'Federal')"), "Null");
}

}  // namespace
}  // namespace jetsql
