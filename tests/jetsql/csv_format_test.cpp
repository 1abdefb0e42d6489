#include "jetsql/csv_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace jetsql {
namespace {

std::string Field(const jet::Value& v) {
  std::string out;
  AppendCsvField(v, out);
  return out;
}

std::string Date(double days) {
  return Field(jet::DateTime{days});
}

jet::Decimal Dec(bool negative, unsigned __int128 mantissa, uint8_t scale) {
  jet::Decimal d;
  d.negative = negative;
  d.mantissa = mantissa;
  d.scale = scale;
  return d;
}

TEST(CsvFormatTest, FieldsOfEveryType) {
  // Null is empty and empty text quoted; text is quoted only where RFC 4180 needs it.
  EXPECT_EQ(Field(jet::Value{}), "");
  EXPECT_EQ(Field(std::string()), "\"\"");
  EXPECT_EQ(Field(jet::Bytes{}), "\"\"");
  EXPECT_EQ(Field(std::string("Jürgen Köhler")), "Jürgen Köhler");
  EXPECT_EQ(Field(std::string("a,b")), "\"a,b\"");
  EXPECT_EQ(Field(std::string("sagt \"hallo\"")), "\"sagt \"\"hallo\"\"\"");
  EXPECT_EQ(Field(std::string("Zeile1\r\nZeile2")), "\"Zeile1\r\nZeile2\"");
  EXPECT_EQ(Field(std::string(" Rand ")), " Rand ");
  EXPECT_EQ(Field(std::string("NULL")), "NULL");
  EXPECT_EQ(Field(true), "True");
  EXPECT_EQ(Field(false), "False");
  EXPECT_EQ(Field(uint8_t{255}), "255");
  EXPECT_EQ(Field(int16_t{-32768}), "-32768");
  EXPECT_EQ(Field(int32_t{1234567}), "1234567");  // no grouping
  EXPECT_EQ(Field(jet::Bytes{0x00, 0x0A, 0xFF, 0x7B}), "000AFF7B");
  jet::Guid g = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  EXPECT_EQ(Field(g), "{00112233-4455-6677-8899-AABBCCDDEEFF}");
  // Floating values in their shortest form, Currency and Decimal exact with their scale.
  EXPECT_EQ(Field(0.1), "0.1");
  EXPECT_EQ(Field(731.7455006518883), "731.7455006518883");
  EXPECT_EQ(Field(-2.5), "-2.5");
  EXPECT_EQ(Field(0.1f), "0.1");  // a Single prints as float, not as the widened double
  EXPECT_EQ(Field(3.4028235e38f), "3.4028235e+38");
  for (double d : {1.0 / 3, 1e300, 5e-324, 123456.789}) {
    EXPECT_EQ(std::strtod(Field(d).c_str(), nullptr), d) << Field(d);
  }
  EXPECT_EQ(Field(jet::Currency{114500}), "11.4500");
  EXPECT_EQ(Field(jet::Currency{-1}), "-0.0001");
  EXPECT_EQ(Field(jet::Currency{std::numeric_limits<int64_t>::max()}), "922337203685477.5807");
  EXPECT_EQ(Field(jet::Currency{std::numeric_limits<int64_t>::min()}), "-922337203685477.5808");
  EXPECT_EQ(Field(Dec(false, 12345, 2)), "123.45");
  EXPECT_EQ(Field(Dec(true, 5, 3)), "-0.005");
  EXPECT_EQ(Field(Dec(true, 0, 2)), "0.00");  // no negative zero
  unsigned __int128 max96 = (static_cast<unsigned __int128>(1) << 96) - 1;
  EXPECT_EQ(Field(Dec(false, max96, 0)), "79228162514264337593543950335");
  EXPECT_EQ(Field(Dec(true, max96, 28)), "-7.9228162514264337593543950335");
  // Negative dates keep a positive time of day; rounding to the second may cross midnight;
  // impossible dates print as numbers.
  EXPECT_EQ(Date(0), "1899-12-30 00:00:00");
  EXPECT_EQ(Date(60), "1900-02-28 00:00:00");
  EXPECT_EQ(Date(61), "1900-03-01 00:00:00");  // 1900 was no leap year
  EXPECT_EQ(Date(36526.5), "2000-01-01 12:00:00");
  EXPECT_EQ(Date(36585), "2000-02-29 00:00:00");
  EXPECT_EQ(Date(-657434), "0100-01-01 00:00:00");
  EXPECT_EQ(Date(2958465.99998843), "9999-12-31 23:59:59");
  EXPECT_EQ(Date(-1.25), "1899-12-29 06:00:00");
  EXPECT_EQ(Date(-0.5), "1899-12-30 12:00:00");
  EXPECT_EQ(Date(-36522.75), "1800-01-01 18:00:00");
  constexpr double kHalfSecond = 0.5 / 86400;
  EXPECT_EQ(Date(1 + 1.4 / 86400), "1899-12-31 00:00:01");
  EXPECT_EQ(Date(1 + 1.6 / 86400), "1899-12-31 00:00:02");
  EXPECT_EQ(Date(1 - kHalfSecond / 2), "1899-12-31 00:00:00");         // 23:59:59.75 of day 0
  EXPECT_EQ(Date(-1 - (1 - kHalfSecond / 2)), "1899-12-30 00:00:00");  // 12-29 23:59:59.75
  EXPECT_EQ(Date(1e300), "1e+300");
  EXPECT_EQ(Date(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(Date(std::nan("")).substr(0, 3), "nan");
}

}  // namespace
}  // namespace jetsql
