// Encoding of index pages: every index page of the real Access files encodes back to the bytes
// Access wrote, and pages the writer builds decode to what went in.

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "jet/index_page.h"
#include "support/jet_samples.h"
#include "support/raw_page_file.h"

namespace {

using jet::IndexEntry;
using jet::IndexPage;
using jet::JetVersion;

uint16_t ReadLe16(std::span<const uint8_t> page, size_t offset) {
  return static_cast<uint16_t>(page[offset] | page[offset + 1] << 8);
}

// Encodes every index page of `path` again; the bytes in use (header, bitmap, entries) must be
// those of the file. What lies after the entries is whatever Access left there. Counts the pages
// compared in `compared`.
void ExpectPagesEncodeAsWritten(const std::string& path, bool access_wrote_it, int& compared) {
  quorla_test::RawPageFile file(path);
  const jet::IndexPageLayout& layout = jet::IndexPageLayoutFor(file.version());
  const size_t entries_start = layout.entry_mask_offset + layout.entry_mask_size;
  for (uint32_t n = 1; n < file.page_count(); ++n) {
    const auto page = file.Page(n);
    if (!jet::IsIndexPage(page) || page[1] != 0x01) continue;
    const IndexPage decoded = jet::DecodeIndexPage(page, file.version(), n);
    const std::vector<uint8_t> encoded = jet::EncodeIndexPage(decoded, file.version());
    const size_t used_end = page.size() - ReadLe16(page, layout.free_space_offset);
    ASSERT_LE(used_end, page.size());
    ASSERT_GE(used_end, entries_start) << "page " << n;
    for (size_t i = 0; i < used_end; ++i) {
      // Other writers leave the intermediate-page flag at zero.
      if (!access_wrote_it && i == layout.intermediate_flag_offset) continue;
      ASSERT_EQ(encoded[i], page[i]) << path << " page " << n << " byte " << i;
    }
    EXPECT_EQ(jet::DecodeIndexPage(encoded, file.version(), n).entries.size(),
              decoded.entries.size());
    ++compared;
  }
}

TEST(IndexPageEncode, EveryIndexPageOfAccessFilesEncodesToItsBytes) {
  const auto files = testsupport::SampleFiles({"jet3", "jet4"});
  if (!testsupport::HaveSamples()) GTEST_SKIP() << "sample folder missing";
  ASSERT_FALSE(files.empty());
  int pages = 0;
  for (const auto& f : files) ExpectPagesEncodeAsWritten(f.path, true, pages);
  EXPECT_GT(pages, 500);
}

TEST(IndexPageEncode, CompressedPagesOfALargeFileEncodeToTheirBytes) {
  const std::string path = std::string(QUORLA_SAMPLES_DIR) + "/bench/orders-100k.mdb";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "sample file missing: " << path;
  int pages = 0;
  ExpectPagesEncodeAsWritten(path, false, pages);
  EXPECT_GT(pages, 1000);
}

IndexEntry Entry(const std::string& key, uint32_t page, uint16_t row, uint32_t child = 0) {
  IndexEntry e;
  e.key = key;
  e.row = {page, row};
  e.child = child;
  return e;
}

TEST(IndexPageEncode, FullPagesShareThePrefixOfTheirFirstAndLastKeys) {
  IndexPage page;
  page.leaf = true;
  page.table_page = 77;
  page.next_page = 12;
  // 400 entries of about 13.5 bytes need 5400: only the shared five bytes make them fit.
  for (uint32_t i = 0; i < 400; ++i) {
    std::string key = std::string("\x7F\x41\x42\x43\x44", 5);
    key += static_cast<char>(0x10 + i / 256);
    key += static_cast<char>(i % 256);
    key += std::string("\x00\x01\x02\x03", 4).substr(0, 1 + i % 4);
    page.entries.push_back(Entry(key, 1000 + i, static_cast<uint16_t>(i % 256)));
  }
  ASSERT_TRUE(jet::IndexPageFits(page, JetVersion::kJet4));
  const auto bytes = jet::EncodeIndexPage(page, JetVersion::kJet4);
  EXPECT_EQ(ReadLe16(bytes, 24), 5u);  // "\x7F ABCD": the next byte is 0x10 first, 0x11 last
  const IndexPage back = jet::DecodeIndexPage(bytes, JetVersion::kJet4, 3);
  EXPECT_EQ(back.table_page, 77u);
  EXPECT_EQ(back.next_page, 12u);
  ASSERT_EQ(back.entries.size(), page.entries.size());
  for (size_t i = 0; i < page.entries.size(); ++i) {
    EXPECT_EQ(back.entries[i].key, page.entries[i].key) << i;
    EXPECT_EQ(back.entries[i].row, page.entries[i].row) << i;
  }

  page.entries.push_back(Entry(std::string(300, '\x7F'), 1, 1));
  EXPECT_FALSE(jet::IndexPageFits(page, JetVersion::kJet4));
  EXPECT_THROW(jet::EncodeIndexPage(page, JetVersion::kJet4), std::logic_error);
}

TEST(IndexPageEncode, IntermediatePagesKeepChildrenAndTail) {
  IndexPage page;
  page.leaf = false;
  page.tail_page = 91;
  page.prev_page = 4;
  page.entries = {Entry("\x7F\x01", 3, 1, 40), Entry("\x7F\x05", 3, 9, 41)};
  const auto bytes = jet::EncodeIndexPage(page, JetVersion::kJet4);
  EXPECT_EQ(bytes[26], 1);
  const IndexPage back = jet::DecodeIndexPage(bytes, JetVersion::kJet4, 3);
  EXPECT_FALSE(back.leaf);
  EXPECT_EQ(back.tail_page, 91u);
  EXPECT_EQ(back.prev_page, 4u);
  ASSERT_EQ(back.entries.size(), 2u);
  EXPECT_EQ(back.entries[1].child, 41u);
  EXPECT_EQ(back.entries[1].row, (jet::RowId{3, 9}));
  EXPECT_EQ(ReadLe16(bytes, 2), 4096 - 480 - 2 * 10);
}

}  // namespace
