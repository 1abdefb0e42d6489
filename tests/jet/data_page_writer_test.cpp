// Rows added to and removed from a data page in place give the page the rewrite would give it;
// pages laid out otherwise (gaps, deleted rows keeping their bytes) are still changed correctly.

#include "jet/data_page_writer.h"

#include <gtest/gtest.h>

#include "jet/byte_writer.h"

namespace jet {
namespace {

constexpr size_t kPageSize = 4096;

std::vector<uint8_t> RowOf(size_t size, uint8_t fill) {
  return std::vector<uint8_t>(size, fill);
}

// The page WritePageRows makes of `rows`.
std::vector<uint8_t> Rewritten(const std::vector<PageRow>& rows) {
  std::vector<uint8_t> page(kPageSize);
  InitDataPage(page, 77);
  WritePageRows(page, rows);
  return page;
}

TEST(DataPageWriter, AddsAndRemovesInPlaceAsTheRewriteWould) {
  std::vector<uint8_t> page(kPageSize);
  InitDataPage(page, 77);
  std::vector<PageRow> rows;
  for (uint8_t i = 0; i < 12; ++i) {
    std::vector<uint8_t> bytes = RowOf(20 + 7 * i, static_cast<uint8_t>(i + 1));
    uint16_t flags = i == 5 ? data_page::kOverflowFlag : uint16_t{0};
    ASSERT_EQ(AddPageRow(page, bytes, flags), std::optional<uint8_t>(i));
    rows.push_back({flags, bytes});
    ASSERT_EQ(page, Rewritten(rows));
  }
  for (uint16_t row : {3, 0, 11, 7, 3}) {  // the first, the last, one twice
    ASSERT_TRUE(RemovePageRow(page, row));
    rows[row] = {data_page::kDeletedFlags, {}};
    ASSERT_EQ(page, Rewritten(rows)) << "row " << row;
  }
  ASSERT_EQ(AddPageRow(page, RowOf(30, 0xee), 0), std::optional<uint8_t>(12));
  rows.push_back({0, RowOf(30, 0xee)});
  EXPECT_EQ(page, Rewritten(rows));
  for (size_t i = 0; i < rows.size(); ++i) {
    RowSlot slot = LocateRow(page, JetVersion::kJet4, static_cast<uint16_t>(i));
    ASSERT_EQ(slot.deleted, rows[i].deleted());
    if (slot.deleted) continue;
    EXPECT_EQ(std::vector<uint8_t>(page.begin() + static_cast<std::ptrdiff_t>(slot.start),
                                   page.begin() + static_cast<std::ptrdiff_t>(slot.end)),
              rows[i].bytes);
  }
}

TEST(DataPageWriter, FullPagesAndTheLastLiveRow) {
  std::vector<uint8_t> page(kPageSize);
  InitDataPage(page, 77);
  // Three rows of 1000 bytes and their offsets leave 4096 - 14 - 6 - 3000 = 1076 bytes.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(AddPageRow(page, RowOf(1000, 1), 0));
  EXPECT_EQ(PageFreeSpace(page), 1076u);
  EXPECT_FALSE(AddPageRow(page, RowOf(1075, 2), 0));  // the offset needs two more bytes
  std::vector<uint8_t> before = page;
  EXPECT_TRUE(AddPageRow(page, RowOf(1074, 2), 0));
  EXPECT_EQ(PageFreeSpace(page), 0u);
  EXPECT_FALSE(AddPageRow(page, RowOf(1, 3), 0));

  page = before;
  ASSERT_TRUE(RemovePageRow(page, 0));
  ASSERT_TRUE(RemovePageRow(page, 2));
  before = page;
  EXPECT_FALSE(RemovePageRow(page, 1));  // the last live row: the page is the caller's to free
  EXPECT_EQ(page, before);
}

// As Access may leave a page: a deleted row still covering its old bytes.
std::vector<uint8_t> PageWithGap() {
  std::vector<uint8_t> page(kPageSize);
  InitDataPage(page, 77);
  const size_t table = data_page::kRowCountOffsetJet4 + data_page::kRowOffsetSize;
  PutU16(page, data_page::kRowCountOffsetJet4, 3);
  PutU16(page, table, 4000);                                 // row 0: 96 bytes
  PutU16(page, table + 2, 3900 | data_page::kDeletedFlags);  // deleted, 100 bytes kept
  PutU16(page, table + 4, 3700);                             // row 2: 200 bytes
  std::fill(page.begin() + 4000, page.end(), 0x11);
  std::fill(page.begin() + 3700, page.begin() + 3900, 0x22);
  PutU16(page, data_page::kFreeSpaceOffset, 0);
  return page;
}

TEST(DataPageWriter, PagesWithGapsAreLaidOutAgain) {
  std::vector<uint8_t> page = PageWithGap();
  ASSERT_EQ(AddPageRow(page, RowOf(50, 0x33), 0), std::optional<uint8_t>(3));
  EXPECT_EQ(page, Rewritten({{0, RowOf(96, 0x11)},
                             {data_page::kDeletedFlags, {}},
                             {0, RowOf(200, 0x22)},
                             {0, RowOf(50, 0x33)}}));

  page = PageWithGap();
  ASSERT_TRUE(RemovePageRow(page, 0));
  EXPECT_EQ(page, Rewritten({{data_page::kDeletedFlags, {}},
                             {data_page::kDeletedFlags, {}},
                             {0, RowOf(200, 0x22)}}));
}

}  // namespace
}  // namespace jet
