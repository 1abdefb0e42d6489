// Format with German regional settings: named and custom formats for numbers, dates and text.

#include "sql_fixture.h"

namespace jetsql::testing {
namespace {

class FormatTest : public SqlFixture {
 protected:
  std::string Fmt(const std::string& value, const std::string& format) {
    return Eval("jet_format(" + value + ", '" + format + "', 10)");
  }
};

TEST_F(FormatTest, NumberDateAndTextFormats) {
  // Named number formats.
  EXPECT_EQ(Fmt("1234.5, 7", "Currency"), "1.234,50 €");
  EXPECT_EQ(Fmt("-1234.5, 7", "Currency"), "-1.234,50 €");
  EXPECT_EQ(Fmt("12345000, 5", "Currency"), "1.234,50 €");  // a Currency value
  EXPECT_EQ(Fmt("1234.5, 7", "Fixed"), "1234,50");
  EXPECT_EQ(Fmt("1234.5, 7", "Standard"), "1.234,50");
  EXPECT_EQ(Fmt("0.1234, 7", "Percent"), "12,34%");
  EXPECT_EQ(Fmt("12345, 4", "Scientific"), "1,23E+04");
  EXPECT_EQ(Fmt("0.00012345, 7", "Scientific"), "1,23E-04");
  EXPECT_EQ(Fmt("1234.5, 7", "General Number"), "1234,5");
  EXPECT_EQ(Fmt("0, 4", "Yes/No"), "Nein");
  EXPECT_EQ(Fmt("-1, 1", "True/False"), "Wahr");
  EXPECT_EQ(Fmt("5, 4", "On/Off"), "Ein");
  // Custom number formats.
  EXPECT_EQ(Fmt("1234.5, 7", "#,##0.00"), "1.234,50");
  EXPECT_EQ(Fmt("1234567, 4", "#,##0,"), "1.235");  // trailing comma divides by 1000
  EXPECT_EQ(Fmt("5, 4", "00000"), "00005");
  EXPECT_EQ(Fmt("0.5, 7", "#.##"), ",5");
  EXPECT_EQ(Fmt("0.5, 7", "0%"), "50%");
  EXPECT_EQ(Fmt("2.5, 7", "0"), "3");  // Format rounds half away from zero
  EXPECT_EQ(Fmt("-2.5, 7", "0"), "-3");
  EXPECT_EQ(Fmt("1.005, 7", "0.00"), "1,01");
  EXPECT_EQ(Fmt("9.996, 7", "0.00"), "10,00");
  EXPECT_EQ(Fmt("123456, 4", "0"), "123456");  // extra digits go to the first placeholder
  EXPECT_EQ(Fmt("42, 4", "\"Nr. \"000"), "Nr. 042");
  EXPECT_EQ(Fmt("1.5, 7", ""), "1,5");
  // Sections for negative, zero and Null.
  EXPECT_EQ(Fmt("-3, 4", "0;(0)"), "(3)");
  EXPECT_EQ(Fmt("3, 4", "0;(0)"), "3");
  EXPECT_EQ(Fmt("0, 4", "0;-0;\"null\""), "null");
  EXPECT_EQ(Eval("jet_format(NULL, 0, '0;-0;0;\"leer\"', 10)"), "leer");
  EXPECT_EQ(Eval("jet_format(NULL, 0, '0', 10)"), "NULL");
  // Named date formats.
  EXPECT_EQ(Fmt("45000.75, 8", "General Date"), "15.03.2023 18:00:00");
  EXPECT_EQ(Fmt("45000.75, 8", "Long Date"), "Mittwoch, 15. März 2023");
  EXPECT_EQ(Fmt("45000.75, 8", "Medium Date"), "15. Mrz. 23");
  EXPECT_EQ(Fmt("45000.75, 8", "Short Date"), "15.03.2023");
  EXPECT_EQ(Fmt("45000.75, 8", "Long Time"), "18:00:00");
  EXPECT_EQ(Fmt("45000.75, 8", "Medium Time"), "06:00 PM");
  EXPECT_EQ(Fmt("45000.75, 8", "Short Time"), "18:00");
  EXPECT_EQ(Fmt("45000.75, 8", ""), "15.03.2023 18:00:00");
  // Custom date formats.
  EXPECT_EQ(Fmt("45000.7505787, 8", "yyyy-mm-dd hh:nn:ss"), "2023-03-15 18:00:50");
  EXPECT_EQ(Fmt("45000.75, 8", "d/m/yy"), "15.3.23");
  EXPECT_EQ(Fmt("45000.75, 8", "dddd d mmmm"), "Mittwoch 15 März");
  EXPECT_EQ(Fmt("45000.75, 8", "h:mm AM/PM"), "6:00 PM");
  EXPECT_EQ(Fmt("45000.25, 8", "hh:mm am/pm"), "06:00 am");
  EXPECT_EQ(Fmt("45000.75, 8", "\"Q\"q yyyy"), "Q1 2023");
  EXPECT_EQ(Fmt("45000.75, 8", "ww"), "11");
  EXPECT_EQ(Fmt("45000.75, 8", "y"), "74");
  EXPECT_EQ(Fmt("45000, 4", "yyyy"), "2023");  // a number read as a date
  EXPECT_EQ(Fmt("'2023-03-15', 10", "dd.mm.yyyy"), "15.03.2023");
  // Text formats.
  EXPECT_EQ(Fmt("'abc', 10", ">"), "ABC");
  EXPECT_EQ(Fmt("'ABC', 10", "<"), "abc");
  EXPECT_EQ(Fmt("'12345', 10", "@@-@@@"), "12-345");
  EXPECT_EQ(Fmt("'12', 10", "@@@@"), "  12");
  EXPECT_EQ(Fmt("'Hallo', 10", "Long Date"), "Hallo");
}

}  // namespace
}  // namespace jetsql::testing
