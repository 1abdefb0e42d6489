// Decoding of single index pages: prefix compression, pointers, and damaged pages.

#include "jet/index_page.h"

#include <gtest/gtest.h>

#include "support/index_page_builder.h"

namespace {

using quorla_test::BuildIndexPage;
using quorla_test::BuiltPage;

int ErrorNumber(const std::vector<uint8_t>& bytes) {
  try {
    jet::DecodeIndexPage(bytes, jet::JetVersion::kJet4, 7);
  } catch (const jet::Error& e) {
    return e.number();
  }
  return 0;
}

TEST(IndexPage, DecodesLeafEntriesWithSharedPrefix) {
  BuiltPage page;
  page.prev = 5;
  page.next = 9;
  page.prefix = 4;  // the first four bytes of every entry equal those of the first entry
  page.entries = {{std::string("\x7F\x80\x00\x00\x01", 5), 0x012345, 3},
                  {std::string("\x7F\x80\x00\x00\x02", 5), 0x012345, 4},
                  {std::string("\x7F\x80\x00\x00\x7F", 5), 0x000102, 255}};
  const auto bytes = BuildIndexPage(page);
  const jet::IndexPage decoded = jet::DecodeIndexPage(bytes, jet::JetVersion::kJet4, 7);
  EXPECT_TRUE(decoded.leaf);
  EXPECT_EQ(decoded.number, 7u);
  EXPECT_EQ(decoded.prev_page, 5u);
  EXPECT_EQ(decoded.next_page, 9u);
  ASSERT_EQ(decoded.entries.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(decoded.entries[i].key, page.entries[i].key) << i;
    EXPECT_EQ(decoded.entries[i].row.page, page.entries[i].row_page) << i;
    EXPECT_EQ(decoded.entries[i].row.row, page.entries[i].row) << i;
  }
}

TEST(IndexPage, PrefixMayReachIntoTheRowPointer) {
  // Entries with equal keys on one data page share key and page bytes of the row pointer.
  BuiltPage page;
  page.prefix = 5;
  page.entries = {{"\x7F\x41", 0x000203, 1}, {"\x7F\x41", 0x000203, 2}};
  const auto decoded = jet::DecodeIndexPage(BuildIndexPage(page), jet::JetVersion::kJet4, 1);
  ASSERT_EQ(decoded.entries.size(), 2u);
  EXPECT_EQ(decoded.entries[1].key, "\x7F\x41");
  EXPECT_EQ(decoded.entries[1].row, (jet::RowId{0x000203, 2}));
}

TEST(IndexPage, DecodesIntermediateEntriesWithChildPointers) {
  BuiltPage page;
  page.leaf = false;
  page.tail = 44;
  page.entries = {{"\x7F\x10", 3, 1, 0x01020304}, {"\x7F\x20", 3, 2, 12}};
  const auto decoded = jet::DecodeIndexPage(BuildIndexPage(page), jet::JetVersion::kJet4, 2);
  EXPECT_FALSE(decoded.leaf);
  EXPECT_EQ(decoded.tail_page, 44u);
  ASSERT_EQ(decoded.entries.size(), 2u);
  EXPECT_EQ(decoded.entries[0].child, 0x01020304u);
  EXPECT_EQ(decoded.entries[1].child, 12u);
  EXPECT_EQ(decoded.entries[1].key, "\x7F\x20");
}

TEST(IndexPage, DamagedPagesAreUnrecognisedFormat) {
  BuiltPage good;
  good.entries = {{"\x7F\x01", 3, 1}, {"\x7F\x02", 3, 2}};
  const auto base = BuildIndexPage(good);
  EXPECT_EQ(ErrorNumber(base), 0);

  auto wrong_type = base;
  wrong_type[0] = 0x01;
  EXPECT_EQ(ErrorNumber(wrong_type), jet::err::kUnrecognizedFormat);

  auto past_end = base;
  past_end[27 + 452] = 0x80;  // an entry ending beyond the page
  EXPECT_EQ(ErrorNumber(past_end), jet::err::kUnrecognizedFormat);

  auto long_prefix = base;
  long_prefix[24] = 200;  // longer than the first entry
  EXPECT_EQ(ErrorNumber(long_prefix), jet::err::kUnrecognizedFormat);

  auto short_entry = base;
  std::fill(short_entry.begin() + 27, short_entry.begin() + 480, 0);
  short_entry[27] = 0x04;  // a 2-byte entry cannot hold a row pointer
  EXPECT_EQ(ErrorNumber(short_entry), jet::err::kUnrecognizedFormat);

  EXPECT_EQ(ErrorNumber(std::vector<uint8_t>(100, 0x04)), jet::err::kUnrecognizedFormat);
}

TEST(IndexPage, Jet3LayoutReadsOneBytePrefixLength) {
  // Jet 3: 2 KB pages, bitmap at 22, entries at 248, one prefix byte at 20 followed by a byte
  // that intermediate pages set.
  std::vector<uint8_t> page(2048);
  page[0] = 0x03;
  page[16] = 9;  // tail page
  page[21] = 0x01;
  const std::string entry("\x7F\x05\x00\x00\x03\x01\x00\x00\x00\x08", 10);
  std::copy(entry.begin(), entry.end(), page.begin() + 248);
  page[22 + 1] = 0x04;  // entry ends at 10
  const auto decoded = jet::DecodeIndexPage(page, jet::JetVersion::kJet3, 4);
  ASSERT_EQ(decoded.entries.size(), 1u);
  EXPECT_EQ(decoded.entries[0].child, 8u);
  EXPECT_EQ(decoded.entries[0].row, (jet::RowId{3, 1}));
  EXPECT_EQ(decoded.tail_page, 9u);
}

}  // namespace
