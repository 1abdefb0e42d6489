// Text functions, with answers as Access gives them (positions count characters from 1).

#include "sql_fixture.h"

namespace jetsql::testing {
namespace {

class StringsTest : public SqlFixture {};

constexpr const char* kInvalidArgument =
    "error: jet:5:Ungültiger Prozeduraufruf oder ungültiges Argument";

TEST_F(StringsTest, StringFunctions) {
  // Lengths and slices count characters, not bytes.
  EXPECT_EQ(Eval("jet_len('Grüße', 10)"), "5");
  EXPECT_EQ(Eval("jet_len(12.5, 7)"), "4");  // as text: "12,5"
  EXPECT_EQ(Eval("jet_len(NULL, 0)"), "NULL");
  EXPECT_EQ(Eval("jet_left('Grüße', 10, 3, 4)"), "Grü");
  EXPECT_EQ(Eval("jet_left('Hallo', 10, -1, 4)"), kInvalidArgument);
  EXPECT_EQ(Eval("jet_right('Hallo', 10, 10, 4)"), "Hallo");
  EXPECT_EQ(Eval("jet_mid('Hallo Welt', 10, 7, 4, NULL, 0)"), "Welt");
  EXPECT_EQ(Eval("jet_mid('Hallo Welt', 10, 2, 4, 3, 4)"), "all");
  EXPECT_EQ(Eval("jet_mid('abc', 10, 5, 4, 1, 4)"), "");
  EXPECT_EQ(Eval("jet_mid('abc', 10, 0, 4, 1, 4)"), kInvalidArgument);
  // Searching with text and binary compare.
  EXPECT_EQ(Eval("jet_instr(1, 4, 'Hallo Welt', 10, 'WELT', 10, 1, 4)"), "7");
  EXPECT_EQ(Eval("jet_instr(1, 4, 'Hallo Welt', 10, 'WELT', 10, 0, 4)"), "0");
  EXPECT_EQ(Eval("jet_instr(8, 4, 'Hallo Welt', 10, 'l', 10, 1, 4)"), "9");
  EXPECT_EQ(Eval("jet_instr(11, 4, 'Hallo Welt', 10, 'l', 10, 1, 4)"), "0");
  EXPECT_EQ(Eval("jet_instr(3, 4, 'abc', 10, '', 10, 1, 4)"), "3");
  EXPECT_EQ(Eval("jet_instr(1, 4, NULL, 0, 'a', 10, 1, 4)"), "NULL");
  EXPECT_EQ(Eval("jet_instrrev('abcabc', 10, 'bc', 10, -1, 4, 1, 4)"), "5");
  // The match must end at or before `start`.
  EXPECT_EQ(Eval("jet_instrrev('abcabc', 10, 'bc', 10, 5, 4, 1, 4)"), "2");
  EXPECT_EQ(Eval("jet_instrrev('abc', 10, 'x', 10, -1, 4, 1, 4)"), "0");
  // Replace returns the text from start.
  EXPECT_EQ(Eval("jet_replace('aXbxc', 10, 'x', 10, '-', 10, 1, 4, -1, 4, 1, 4)"), "a-b-c");
  EXPECT_EQ(Eval("jet_replace('aXbxc', 10, 'x', 10, '-', 10, 1, 4, -1, 4, 0, 4)"), "aXb-c");
  EXPECT_EQ(Eval("jet_replace('aXbxc', 10, 'x', 10, '-', 10, 3, 4, -1, 4, 1, 4)"), "b-c");
  EXPECT_EQ(Eval("jet_replace('aXbxc', 10, 'x', 10, '-', 10, 1, 4, 1, 4, 1, 4)"), "a-bxc");
  EXPECT_EQ(Eval("jet_replace('abc', 10, '', 10, '-', 10, 1, 4, -1, 4, 1, 4)"), "abc");
  // Case, trim and builders.
  EXPECT_EQ(Eval("jet_ucase('straße äö', 10)"), "STRAßE ÄÖ");
  EXPECT_EQ(Eval("jet_lcase('ÄRGER Über', 10)"), "ärger über");
  EXPECT_EQ(Eval("'[' || jet_trim('  a b  ', 10) || ']'"), "[a b]");
  EXPECT_EQ(Eval("'[' || jet_ltrim('  a  ', 10) || ']'"), "[a  ]");
  EXPECT_EQ(Eval("'[' || jet_rtrim('  a  ', 10) || ']'"), "[  a]");
  EXPECT_EQ(Eval("'[' || jet_space(3, 4) || ']'"), "[   ]");
  EXPECT_EQ(Eval("jet_space(-1, 4)"), kInvalidArgument);
  EXPECT_EQ(Eval("jet_space(1000000000, 4)"), "error: jet:7:Nicht genügend Speicher");
  EXPECT_EQ(Eval("jet_string(3, 4, 'xyz', 10)"), "xxx");
  EXPECT_EQ(Eval("jet_string(2, 4, 65, 4)"), "AA");
  EXPECT_EQ(Eval("jet_strreverse('Grüße', 10)"), "eßürG");
  // Comparing and character codes.
  EXPECT_EQ(Eval("jet_strcomp('abc', 10, 'ABC', 10, 1, 4)"), "0");
  EXPECT_EQ(Eval("jet_strcomp('abc', 10, 'ABC', 10, 0, 4)"), "1");
  EXPECT_EQ(Eval("jet_strcomp(NULL, 0, 'b', 10, 1, 4)"), "NULL");
  EXPECT_EQ(Eval("jet_asc('A', 10)"), "65");
  EXPECT_EQ(Eval("jet_asc('€', 10)"), "128");  // Windows-1252
  EXPECT_EQ(Eval("jet_asc('', 10)"), kInvalidArgument);
  EXPECT_EQ(Eval("jet_chr(128, 4)"), "€");
  EXPECT_EQ(Eval("jet_chr(256, 4)"), kInvalidArgument);
  // Val and Str ignore the locale.
  EXPECT_EQ(Eval("jet_val('  12 34abc', 10)"), "1234");
  EXPECT_EQ(Eval("jet_val('1.5e2x', 10)"), "150");
  EXPECT_EQ(Eval("jet_val('&HFF', 10)"), "255");
  EXPECT_EQ(Eval("jet_val('1,5', 10)"), "1");
  EXPECT_EQ(Eval("jet_str(1.5, 7)"), " 1.5");
  EXPECT_EQ(Eval("jet_str(-3, 4)"), "-3");
  EXPECT_EQ(Eval("jet_str(15000, 5)"), " 1.5");
  // IsNumeric, IsDate and the like.
  EXPECT_EQ(Eval("jet_isnumeric('1,5', 10)"), "-1");
  EXPECT_EQ(Eval("jet_isnumeric(' -1.234,5 ', 10)"), "-1");
  EXPECT_EQ(Eval("jet_isnumeric('abc', 10)"), "0");
  EXPECT_EQ(Eval("jet_isnumeric(NULL, 0)"), "0");
  EXPECT_EQ(Eval("jet_isnumeric(45000.0, 8)"), "0");
  EXPECT_EQ(Eval("jet_isdate('29.02.2024', 10)"), "-1");
  EXPECT_EQ(Eval("jet_isdate('30.02.2024', 10)"), "0");
  EXPECT_EQ(Eval("jet_isdate('March 15, 2023', 10)"), "-1");
  EXPECT_EQ(Eval("jet_isdate(45000.0, 8)"), "-1");
  EXPECT_EQ(Eval("jet_isdate(45000.0, 7)"), "0");
}

}  // namespace
}  // namespace jetsql::testing
