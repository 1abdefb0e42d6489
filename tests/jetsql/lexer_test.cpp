#include "jetsql/lexer.h"

#include <gtest/gtest.h>

#include "jet/error.h"

namespace jetsql {
namespace {

int ErrorNumber(const std::string& sql) {
  try {
    Tokenize(sql);
  } catch (const jet::Error& e) {
    return e.number();
  }
  return 0;
}

TEST(LexerTest, SplitsWordsNamesNumbersStringsAndSymbols) {
  auto t = Tokenize(
      "SELECT [Order Details].[Product Name], 'it''s', \"say \"\"hi\"\"\", 1.5E2, .5, 42 <= x<>y");
  ASSERT_EQ(t[0].kind, TokenKind::kWord);
  EXPECT_EQ(t[1].kind, TokenKind::kName);
  EXPECT_EQ(t[1].text, "Order Details");
  EXPECT_EQ(t[2].text, ".");
  EXPECT_EQ(t[3].text, "Product Name");
  EXPECT_EQ(t[5].kind, TokenKind::kString);
  EXPECT_EQ(t[5].text, "it's");
  EXPECT_EQ(t[7].text, "say \"hi\"");
  EXPECT_EQ(t[9].kind, TokenKind::kNumber);
  EXPECT_DOUBLE_EQ(t[9].number, 150);
  EXPECT_FALSE(t[9].integer);
  EXPECT_DOUBLE_EQ(t[11].number, 0.5);
  EXPECT_TRUE(t[13].integer);
  EXPECT_EQ(t[14].text, "<=");
  EXPECT_EQ(t[16].text, "<>");
  EXPECT_EQ(t.back().kind, TokenKind::kEnd);
}

TEST(LexerTest, UmlautsBelongToWords) {
  auto t = Tokenize("Größe+1");
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0].text, "Größe");
}

TEST(LexerTest, DateLiteralsInUsAndIsoOrderWithTimes) {
  double d = 0;
  ASSERT_TRUE(ParseDateLiteral("1/2/2003", &d));
  EXPECT_DOUBLE_EQ(d, 37623);  // 2003-01-02
  ASSERT_TRUE(ParseDateLiteral("2003-01-02", &d));
  EXPECT_DOUBLE_EQ(d, 37623);
  ASSERT_TRUE(ParseDateLiteral("12/30/1899", &d));
  EXPECT_DOUBLE_EQ(d, 0);
  ASSERT_TRUE(ParseDateLiteral("1/1/2000 18:00", &d));
  EXPECT_DOUBLE_EQ(d, 36526.75);
  ASSERT_TRUE(ParseDateLiteral("1/1/2000 6:00 PM", &d));
  EXPECT_DOUBLE_EQ(d, 36526.75);
  ASSERT_TRUE(ParseDateLiteral("12:00:00", &d));
  EXPECT_DOUBLE_EQ(d, 0.5);
  ASSERT_TRUE(ParseDateLiteral("12/29/1899 06:00", &d));
  EXPECT_DOUBLE_EQ(d, -1.25);  // negative dates keep a positive time of day
  ASSERT_TRUE(ParseDateLiteral("3/1/99", &d));
  EXPECT_DOUBLE_EQ(d, DaysFromCivil(1999, 3, 1));
  ASSERT_TRUE(ParseDateLiteral("2/29/2000", &d));
  EXPECT_FALSE(ParseDateLiteral("2/29/2001", &d));
  EXPECT_FALSE(ParseDateLiteral("13/1/2000", &d));
  EXPECT_FALSE(ParseDateLiteral("1/1/2000 25:00", &d));
  EXPECT_FALSE(ParseDateLiteral("hello", &d));
  EXPECT_FALSE(ParseDateLiteral("", &d));
}

TEST(LexerTest, UnterminatedAndMalformedTokensAre3075) {
  EXPECT_EQ(ErrorNumber("SELECT 'abc"), 3075);
  EXPECT_EQ(ErrorNumber("SELECT \"abc"), 3075);
  EXPECT_EQ(ErrorNumber("SELECT [abc"), 3075);
  EXPECT_EQ(ErrorNumber("SELECT []"), 3075);
  EXPECT_EQ(ErrorNumber("SELECT #1/1/2000"), 3075);
  EXPECT_EQ(ErrorNumber("SELECT #1/41/2000#"), 3075);
  EXPECT_EQ(ErrorNumber("SELECT 12abc"), 3075);
  EXPECT_EQ(ErrorNumber("SELECT 1e999"), 3075);
  EXPECT_EQ(ErrorNumber("SELECT a ~ b"), 3075);
  EXPECT_EQ(ErrorNumber(std::string((1 << 20) + 1, 'a')), 3360);
}

}  // namespace
}  // namespace jetsql
