// Row decoding on hand-built rows whose offsets lie. Rows of every type, Jet 3's jump tables and
// columns added after a row was written are read from the sample files (sample_tables_test.cpp,
// and against mdbtools and mdb-reader in tests/oracle).

#include "jet/row_codec.h"

#include <gtest/gtest.h>

#include "jet/format_error.h"
#include "jet/memory_file.h"
#include "jet/page_cache.h"

namespace jet {
namespace {

// A Long at fixed offset 0 and a Text, the first variable column.
TableLayout LongAndTextLayout() {
  TableLayout layout;
  auto def = std::make_shared<TableDef>();
  def->columns.resize(2);
  def->columns[0].type = ColumnType::kLong;
  def->columns[0].fixed = true;
  def->columns[1].type = ColumnType::kText;
  def->columns[1].column_number = 1;
  layout.places.resize(2);
  layout.places[0].fixed = true;
  layout.places[0].fixed_offset = 0;
  layout.places[1].number = 1;
  layout.places[1].var_index = 0;
  layout.def = def;
  layout.var_columns = 1;
  return layout;
}

TEST(RowCodec, OffsetsThatLeaveTheRowAreFormatErrors) {
  auto file = NewMemoryFile(std::vector<uint8_t>(4096 * 3));
  PageCache pages(*file, 4096, 0);
  const TableLayout layout = LongAndTextLayout();
  auto corrupt = [&](std::vector<uint8_t> row) {
    try {
      RowView view(row, JetVersion::kJet4, layout);
      for (size_t i = 0; i < 2; ++i) DecodeColumn(view, i, layout, JetVersion::kJet4, pages);
    } catch (const Error& e) {
      return IsCorruptWithoutPath(e);
    }
    return false;
  };
  // count, long, "x" as UCS-2, then end offset, offset, var count, mask.
  std::vector<uint8_t> good = {2, 0, 1, 0, 0, 0, 'x', 0, 8, 0, 6, 0, 1, 0, 0x03};
  EXPECT_FALSE(corrupt(good));
  RowView view(good, JetVersion::kJet4, layout);
  EXPECT_EQ(DecodeColumn(view, 1, layout, JetVersion::kJet4, pages), Value(std::string("x")));
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
