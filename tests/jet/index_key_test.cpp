// Index keys of single values: byte order equals value order, descending columns reverse it,
// Null sorts first (ascending) or last (descending).

#include "jet/index_key.h"
#include "support/error_of.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using jet::ColumnType;
using jet::Value;

std::string Key(ColumnType type, const Value& v, bool ascending = true, uint8_t scale = 0) {
  return jet::EncodeIndexKey({{type, ascending, scale}}, {v});
}

// Keys of `values` (in increasing order) must increase strictly, and decrease strictly in a
// descending column; Null goes before all of them ascending and after them descending.
void ExpectOrdered(ColumnType type, const std::vector<Value>& values, uint8_t scale = 0) {
  for (size_t i = 0; i + 1 < values.size(); ++i) {
    EXPECT_LT(Key(type, values[i], true, scale), Key(type, values[i + 1], true, scale)) << i;
    EXPECT_GT(Key(type, values[i], false, scale), Key(type, values[i + 1], false, scale)) << i;
  }
  if (type == ColumnType::kBoolean) return;
  EXPECT_LT(Key(type, Value()), Key(type, values.front()));
  EXPECT_GT(Key(type, Value(), false), Key(type, values.back(), false));
}

// The stored bytes of every type Access indexes in the samples are compared with keys encoded
// from the rows' values in sample_tables_test.cpp; here the order over each type's whole range.
TEST(IndexKey, NumbersKeepTheirOrderOverTheirWholeRange) {
  ExpectOrdered(ColumnType::kInteger,
                {int16_t{-32768}, int16_t{-1}, int16_t{0}, int16_t{1}, int16_t{32767}});
  ExpectOrdered(ColumnType::kLong,
                {std::numeric_limits<int32_t>::min(), int32_t{-70000}, int32_t{0}, int32_t{255},
                 int32_t{256}, std::numeric_limits<int32_t>::max()});
  ExpectOrdered(ColumnType::kByte, {uint8_t{0}, uint8_t{1}, uint8_t{128}, uint8_t{255}});
  ExpectOrdered(ColumnType::kCurrency,
                {jet::Currency{-100000}, jet::Currency{-1}, jet::Currency{0}, jet::Currency{1},
                 jet::Currency{std::numeric_limits<int64_t>::max()}});
  ExpectOrdered(ColumnType::kDouble,
                {-std::numeric_limits<double>::infinity(), -1e300, -2.5, -1e-300, 0.0, 1e-300, 0.5,
                 2.5, 1e300, std::numeric_limits<double>::infinity()});
  ExpectOrdered(ColumnType::kSingle, {-3.5f, -1.0f, 0.0f, 1.0f, 3.5f});
  ExpectOrdered(ColumnType::kDateTime, {jet::DateTime{-700.25}, jet::DateTime{-1.5},
                                        jet::DateTime{0}, jet::DateTime{36526.5}});
  ExpectOrdered(ColumnType::kBinary,
                {jet::Bytes{0}, jet::Bytes{0, 0}, jet::Bytes{1}, jet::Bytes(9, 1), jet::Bytes{2}});
}

TEST(IndexKey, DecimalKeysAndAccessDescendingQuirk) {
  auto dec = [](bool neg, int m, uint8_t scale) {
    return jet::Decimal{neg, unsigned(m), 18, scale};
  };
  // Ascending: ordered; values are brought to the column's scale first.
  EXPECT_LT(Key(ColumnType::kNumeric, dec(true, 150, 2), true, 2),
            Key(ColumnType::kNumeric, dec(true, 1, 0), true, 2));
  EXPECT_LT(Key(ColumnType::kNumeric, dec(true, 1, 0), true, 2),
            Key(ColumnType::kNumeric, dec(false, 0, 0), true, 2));
  EXPECT_LT(Key(ColumnType::kNumeric, dec(false, 0, 0), true, 2),
            Key(ColumnType::kNumeric, dec(false, 15, 1), true, 2));
  EXPECT_EQ(Key(ColumnType::kNumeric, dec(false, 15, 1), true, 2),
            Key(ColumnType::kNumeric, dec(false, 150, 2), true, 2));
  EXPECT_EQ(Key(ColumnType::kNumeric, int32_t{3}, true, 1),
            Key(ColumnType::kNumeric, dec(false, 30, 1), true, 1));
  // Descending: positive values reversed, but negatives still before positives.
  EXPECT_GT(Key(ColumnType::kNumeric, dec(false, 1, 0), false),
            Key(ColumnType::kNumeric, dec(false, 2, 0), false));
  EXPECT_LT(Key(ColumnType::kNumeric, dec(true, 1, 0), false),
            Key(ColumnType::kNumeric, dec(false, 1, 0), false));
}

TEST(IndexKey, TextIsCutAndTrimmedAndDescendingReverses) {
  EXPECT_EQ(Key(ColumnType::kText, std::string("abc  ")),
            Key(ColumnType::kText, std::string("ABC")));
  EXPECT_EQ(Key(ColumnType::kText, std::string(300, 'x')),
            Key(ColumnType::kText, std::string(255, 'x') + "yz"));
  ExpectOrdered(ColumnType::kText, {std::string(""), std::string("A"), std::string("ab"),
                                    std::string("Äb"), std::string("b"), std::string("Zürich")});
  ExpectOrdered(ColumnType::kMemo, {std::string("Köhler"), std::string("Kohlerei")});
}

TEST(IndexKey, KeysOfLeadingColumnsArePrefixes) {
  const std::vector<jet::IndexKeyColumn> cols{
      {ColumnType::kText, true}, {ColumnType::kLong, false}, {ColumnType::kDateTime, true}};
  const std::string full =
      jet::EncodeIndexKey(cols, {std::string("Ölmühle"), int32_t{5}, jet::DateTime{40000.5}});
  const std::string two = jet::EncodeIndexKey(cols, {std::string("ölmühle"), int32_t{5}});
  EXPECT_EQ(full.substr(0, two.size()), two);
  EXPECT_EQ(jet::EncodeIndexKey(cols, {}), "");
}

TEST(IndexKey, ValuesConvertOnlyWhenExact) {
  EXPECT_EQ(Key(ColumnType::kLong, int16_t{7}), Key(ColumnType::kLong, int32_t{7}));
  EXPECT_EQ(Key(ColumnType::kLong, 7.0), Key(ColumnType::kLong, int32_t{7}));
  EXPECT_EQ(Key(ColumnType::kDouble, int32_t{7}), Key(ColumnType::kDouble, 7.0));
  EXPECT_EQ(Key(ColumnType::kCurrency, int32_t{2}),
            Key(ColumnType::kCurrency, jet::Currency{20000}));
  EXPECT_EQ(Key(ColumnType::kCurrency, 1.25), Key(ColumnType::kCurrency, jet::Currency{12500}));
  // Yes/No has no Null: it is No. Any non-zero number is Yes.
  EXPECT_EQ(Key(ColumnType::kBoolean, Value()), Key(ColumnType::kBoolean, false));
  EXPECT_EQ(Key(ColumnType::kBoolean, int32_t{-1}), Key(ColumnType::kBoolean, true));
  jet::Guid g{};
  for (int i = 0; i < 16; ++i) g[i] = static_cast<uint8_t>(i + 1);
  EXPECT_EQ(Key(ColumnType::kGuid, std::string("{04030201-0605-0807-090A-0B0C0D0E0F10}")),
            Key(ColumnType::kGuid, g));
  for (const auto& [type, v] : std::vector<std::pair<ColumnType, Value>>{
           {ColumnType::kLong, 7.5},
           {ColumnType::kInteger, int32_t{70000}},
           {ColumnType::kByte, int32_t{-1}},
           {ColumnType::kLong, std::string("7")},
           {ColumnType::kText, int32_t{7}},
           {ColumnType::kGuid, std::string("{nonsense}")},
           {ColumnType::kNumeric, 0.5},
           {ColumnType::kLong, std::numeric_limits<double>::quiet_NaN()}}) {
    EXPECT_EQ(testsupport::ErrorOf([&] { Key(type, v); }), jet::err::kTypeMismatch) << int(type);
  }
  EXPECT_THROW(jet::EncodeIndexKey({}, {int32_t{1}}), jet::Error);
}

}  // namespace
