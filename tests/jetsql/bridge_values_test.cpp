// jet::Value across the bridge: every Jet type written by ResultJetValue and read back by
// ReadJetValue, and the conversions ReadJetValue makes when a value arrives in another class.

#include <sqlite3.h>

#include "jet/error.h"
#include "jetsql/sqlite_bridge.h"
#include "jetsql/value_convert.h"
#include "sql_fixture.h"
#include "support/error_of.h"

namespace jetsql::testing {
namespace {

using jet::ColumnType;

// A one-column statement whose parameter is the value under test, read back as `type`.
class BridgeValuesTest : public SqlFixture {
 protected:
  jet::Value RoundTrip(const jet::Value& v, ColumnType type) {
    return ReadBack("SELECT ?", type, &v);
  }
  jet::Value Read(const std::string& literal, ColumnType type) {
    return ReadBack("SELECT " + literal, type, nullptr);
  }
  // Runs `sql` (with `param` bound to its one parameter) and reads the first value as `type`.
  jet::Value ReadBack(const std::string& sql, ColumnType type, const jet::Value* param) {
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK);
    if (param) BindJetValue(stmt, 1, *param);
    EXPECT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    jet::Value out;
    try {
      out = ReadJetValue(sqlite3_column_value(stmt, 0), type);
    } catch (...) {
      sqlite3_finalize(stmt);
      throw;
    }
    sqlite3_finalize(stmt);
    return out;
  }
  int ErrorOf(const std::string& literal, ColumnType type) {
    return testsupport::ErrorOf([&] { Read(literal, type); });
  }
};

TEST_F(BridgeValuesTest, ValuesAndConversions) {
  // Every type survives the round trip.
  jet::Guid g{};
  for (int i = 0; i < 16; ++i) g[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 17);
  jet::Decimal d = *ParseDecimalText("-12.3400");
  const std::vector<std::pair<jet::Value, ColumnType>> cases = {
      {jet::Value{}, ColumnType::kLong},
      {true, ColumnType::kBoolean},
      {false, ColumnType::kBoolean},
      {uint8_t{255}, ColumnType::kByte},
      {int16_t{-32768}, ColumnType::kInteger},
      {int32_t{2147483647}, ColumnType::kLong},
      {jet::Currency{-922337203685477580}, ColumnType::kCurrency},
      {1.5f, ColumnType::kSingle},
      {-0.1, ColumnType::kDouble},
      {jet::DateTime{-1.25}, ColumnType::kDateTime},
      {jet::Bytes{0, 1, 2}, ColumnType::kBinary},
      {jet::Bytes{}, ColumnType::kOle},
      {std::string("Grüße"), ColumnType::kText},
      {g, ColumnType::kGuid},
      {d, ColumnType::kNumeric},
  };
  for (const auto& [value, type] : cases) {
    EXPECT_EQ(RoundTrip(value, type), value) << static_cast<int>(type);
  }
  // The convention's storage classes.
  EXPECT_EQ(Eval("typeof(?)"), "null");
  jet::Guid one{};
  one[0] = 1;
  EXPECT_EQ(GuidText(one), "{00000001-0000-0000-0000-000000000000}");
  EXPECT_EQ(ParseGuidText("{00000001-0000-0000-0000-000000000000}"), one);
  EXPECT_FALSE(ParseGuidText("{0000001-0000-0000-0000-000000000000}"));
  EXPECT_EQ(DecimalText(*ParseDecimalText("-0.5")), "-0.5");
  EXPECT_EQ(DecimalText(*ParseDecimalText("007")), "7");
  // Conversions on the way in.
  EXPECT_EQ(Read("2.5", ColumnType::kLong), jet::Value{int32_t{2}});  // half to even
  EXPECT_EQ(Read("'3,5'", ColumnType::kLong), jet::Value{int32_t{4}});
  EXPECT_EQ(Read("'1,25'", ColumnType::kCurrency), jet::Value{jet::Currency{12500}});
  EXPECT_EQ(Read("'15.03.2023'", ColumnType::kDateTime), jet::Value{jet::DateTime{45000}});
  EXPECT_EQ(Read("12", ColumnType::kText), jet::Value{std::string("12")});
  EXPECT_EQ(Read("'Ja'", ColumnType::kBoolean), jet::Value{true});
  EXPECT_EQ(Read("1.5", ColumnType::kNumeric), jet::Value{*ParseDecimalText("1.5")});
  EXPECT_EQ(ErrorOf("256", ColumnType::kByte), jet::err::kOverflow);
  EXPECT_EQ(ErrorOf("2147483648", ColumnType::kLong), jet::err::kOverflow);
  EXPECT_EQ(ErrorOf("1e300", ColumnType::kSingle), jet::err::kOverflow);
  EXPECT_EQ(ErrorOf("'zwölf'", ColumnType::kDouble), 13);
  EXPECT_EQ(ErrorOf("'kein guid'", ColumnType::kGuid), 13);
}

TEST(NumberTextTest, AccessReadsNumbersInGermanAndSqlNotation) {
  EXPECT_EQ(ParseNumberText("1,5"), 1.5);
  EXPECT_EQ(ParseNumberText(" -1.234,5 "), -1234.5);
  EXPECT_EQ(ParseNumberText("1.234.567"), 1234567);
  EXPECT_EQ(ParseNumberText("&HFFFF"), -1);  // four hex digits are an Integer
  EXPECT_EQ(ParseNumberText("&H10000"), 65536);
  EXPECT_EQ(ParseNumberText("1e3"), 1000);
  EXPECT_FALSE(ParseNumberText(""));
  EXPECT_FALSE(ParseNumberText("1e"));
  EXPECT_FALSE(ParseNumberText("1,2,3"));
  EXPECT_EQ(DoubleText(1e15), "1E+15");
  EXPECT_EQ(DoubleText(123456789012345.0), "123456789012345");
  EXPECT_EQ(DoubleText(0.00001), "0,00001");
  EXPECT_EQ(DoubleText(1.5e-7), "1,5E-07");
  EXPECT_EQ(DoubleText(0.1f, 7), "0,1");
}

}  // namespace
}  // namespace jetsql::testing
