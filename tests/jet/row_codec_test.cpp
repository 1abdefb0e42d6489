// Row decoding on hand-built rows: every fixed type, compressed text, columns missing from old
// rows, Jet 3's jump table, and offsets that lie.

#include "jet/row_codec.h"

#include <gtest/gtest.h>

#include <cstring>

#include "jet/format_error.h"
#include "jet/memory_file.h"
#include "jet/page_cache.h"

namespace jet {
namespace {

struct Col {
  const char* name;
  ColumnType type;
  int number;
  bool fixed;
  size_t offset;  // fixed offset or variable index
};

TableLayout MakeLayout(std::initializer_list<Col> cols, size_t var_columns) {
  TableLayout layout;
  auto def = std::make_shared<TableDef>();
  for (const Col& c : cols) {
    ColumnDef d;
    d.name = c.name;
    d.type = c.type;
    d.column_number = c.number;
    d.fixed = c.fixed;
    if (c.type == ColumnType::kNumeric) {
      d.precision = 10;
      d.scale = 3;
    }
    def->columns.push_back(d);
    ColumnPlace p;
    p.number = c.number;
    p.fixed = c.fixed;
    if (c.fixed)
      p.fixed_offset = c.offset;
    else
      p.var_index = static_cast<int>(c.offset);
    layout.places.push_back(p);
  }
  layout.def = def;
  layout.var_columns = var_columns;
  return layout;
}

void Put16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}

class RowCodecTest : public testing::Test {
 protected:
  std::unique_ptr<RandomAccessFile> file_ = NewMemoryFile(std::vector<uint8_t>(4096 * 3));
  PageCache pages_{*file_, 4096, 0};
};

TEST_F(RowCodecTest, Jet4RowWithEveryFixedTypeAndACompressedText) {
  TableLayout layout = MakeLayout({{"yes", ColumnType::kBoolean, 0, true, 0},
                                   {"dec", ColumnType::kNumeric, 1, true, 0},
                                   {"money", ColumnType::kCurrency, 2, true, 17},
                                   {"single", ColumnType::kSingle, 3, true, 25},
                                   {"text", ColumnType::kText, 4, false, 0},
                                   {"bin", ColumnType::kBinary, 5, false, 1},
                                   {"added", ColumnType::kLong, 6, true, 29}},
                                  2);
  std::vector<uint8_t> row;
  Put16(row, 6);  // written before "added" existed
  // Decimal -12.345: sign, then four 32-bit words, most significant first.
  row.push_back(0x80);
  for (int i = 0; i < 12; ++i) row.push_back(0);
  for (int b : {0x39, 0x30, 0x00, 0x00}) row.push_back(static_cast<uint8_t>(b));
  int64_t money = -15000;  // -1.5
  for (int i = 0; i < 8; ++i) row.push_back(static_cast<uint8_t>(money >> (8 * i)));
  float quarter = 0.25f;
  uint8_t fb[4];
  std::memcpy(fb, &quarter, 4);
  row.insert(row.end(), fb, fb + 4);
  for (int b : {0xff, 0xfe, int{'h'}, int{'i'}})
    row.push_back(static_cast<uint8_t>(b));                        // offset 31
  for (int b : {1, 2, 3}) row.push_back(static_cast<uint8_t>(b));  // offset 35
  Put16(row, 38);                                                  // end of variable data
  Put16(row, 35);
  Put16(row, 31);
  Put16(row, 2);
  row.push_back(0x3f);

  RowView view(row, JetVersion::kJet4, layout);
  auto value = [&](size_t i) { return DecodeColumn(view, i, layout, JetVersion::kJet4, pages_); };
  EXPECT_EQ(value(0), Value(true));
  EXPECT_EQ(value(1), Value(Decimal{true, 12345, 10, 3}));
  EXPECT_EQ(value(2), Value(Currency{-15000}));
  EXPECT_EQ(value(3), Value(0.25f));
  EXPECT_EQ(value(4), Value(std::string("hi")));
  EXPECT_EQ(value(5), Value(Bytes{1, 2, 3}));
  EXPECT_TRUE(IsNull(value(6)));

  row.back() = 0x3e;  // Yes/No bit cleared: False, not Null
  RowView no(row, JetVersion::kJet4, layout);
  EXPECT_EQ(DecodeColumn(no, 0, layout, JetVersion::kJet4, pages_), Value(false));
  row.back() = 0x2f;  // "text" Null
  RowView null_text(row, JetVersion::kJet4, layout);
  EXPECT_TRUE(IsNull(DecodeColumn(null_text, 4, layout, JetVersion::kJet4, pages_)));
}

TEST_F(RowCodecTest, Jet3RowLongerThan256BytesUsesItsJumpTable) {
  TableLayout layout = MakeLayout({{"n", ColumnType::kLong, 0, true, 0},
                                   {"a", ColumnType::kText, 1, false, 0},
                                   {"b", ColumnType::kText, 2, false, 1}},
                                  2);
  std::vector<uint8_t> row = {3, 7, 0, 0, 0};
  row.insert(row.end(), 200, 'a');
  row.insert(row.end(), 100, 'b');
  row.push_back(305 - 256);  // end of variable data, low byte
  row.push_back(205);        // b
  row.push_back(5);          // a
  row.push_back(2);          // jump table: entry 2 is the first at 256 or beyond
  row.push_back(2);          // variable columns
  row.push_back(0x07);       // null mask
  ASSERT_EQ(row.size(), 311u);
  RowView view(row, JetVersion::kJet3, layout);
  EXPECT_EQ(DecodeColumn(view, 0, layout, JetVersion::kJet3, pages_), Value(int32_t{7}));
  EXPECT_EQ(DecodeColumn(view, 1, layout, JetVersion::kJet3, pages_), Value(std::string(200, 'a')));
  EXPECT_EQ(DecodeColumn(view, 2, layout, JetVersion::kJet3, pages_), Value(std::string(100, 'b')));
}

TEST_F(RowCodecTest, OffsetsThatLeaveTheRowAreFormatErrors) {
  TableLayout layout =
      MakeLayout({{"n", ColumnType::kLong, 0, true, 0}, {"t", ColumnType::kText, 1, false, 0}}, 1);
  auto corrupt = [&](std::vector<uint8_t> row) {
    try {
      RowView view(row, JetVersion::kJet4, layout);
      for (size_t i = 0; i < 2; ++i) DecodeColumn(view, i, layout, JetVersion::kJet4, pages_);
    } catch (const Error& e) {
      return IsCorruptWithoutPath(e);
    }
    return false;
  };
  // count, long, "x" as UCS-2, then end offset, offset, var count, mask.
  std::vector<uint8_t> good = {2, 0, 1, 0, 0, 0, 'x', 0, 8, 0, 6, 0, 1, 0, 0x03};
  EXPECT_FALSE(corrupt(good));
  std::vector<uint8_t> past_end = good;
  past_end[8] = 200;
  EXPECT_TRUE(corrupt(past_end));
  std::vector<uint8_t> reversed = good;
  reversed[10] = 9;
  EXPECT_TRUE(corrupt(reversed));
  std::vector<uint8_t> many = good;
  many[13] = 0x7f;  // absurd variable column count
  EXPECT_TRUE(corrupt(many));
  EXPECT_TRUE(corrupt({0xff, 0xff}));  // more columns than the row has bytes for its mask
  EXPECT_TRUE(corrupt({}));
}

}  // namespace
}  // namespace jet
