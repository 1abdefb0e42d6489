// Single index pages: every index page of the real files decodes to ordered entries and encodes
// back to the bytes Access (or another writer) wrote, damaged pages are refused, and adding or
// removing one leaf entry in place gives the page encoding it whole would give.

#include "jet/index_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <stdexcept>

#include "jet/index_page_edit.h"
#include "support/error_of.h"
#include "support/index_page_builder.h"
#include "support/jet_samples.h"
#include "support/raw_page_file.h"

namespace {

using jet::IndexEntry;
using jet::IndexPage;
using jet::JetVersion;
using testsupport::BuildIndexPage;
using testsupport::BuiltPage;

uint16_t ReadLe16(std::span<const uint8_t> page, size_t offset) {
  return static_cast<uint16_t>(page[offset] | page[offset + 1] << 8);
}

IndexEntry Entry(const std::string& key, uint32_t page, uint16_t row, uint32_t child = 0) {
  IndexEntry e;
  e.key = key;
  e.row = {page, row};
  e.child = child;
  return e;
}

TEST(IndexPage, DamagedPagesAreUnrecognisedFormat) {
  BuiltPage good;
  good.entries = {{"\x7F\x01", 3, 1}, {"\x7F\x02", 3, 2}};
  const auto base = BuildIndexPage(good);
  ASSERT_NO_THROW(jet::DecodeIndexPage(base, JetVersion::kJet4, 7));
  auto wrong_type = base;
  wrong_type[0] = 0x01;
  auto past_end = base;
  past_end[27 + 452] = 0x80;  // an entry ending beyond the page
  auto long_prefix = base;
  long_prefix[24] = 200;  // longer than the first entry
  auto short_entry = base;
  std::fill(short_entry.begin() + 27, short_entry.begin() + 480, 0);
  short_entry[27] = 0x04;  // a 2-byte entry cannot hold a row pointer
  for (const auto& bytes :
       {wrong_type, past_end, long_prefix, short_entry, std::vector<uint8_t>(100, 0x04)}) {
    EXPECT_EQ(testsupport::ErrorOf([&] { jet::DecodeIndexPage(bytes, JetVersion::kJet4, 7); }),
              jet::err::kUnrecognizedFormat);
  }
}

// Every index page of `path`: its entries are ordered (equal keys by row), point at data pages
// and, on intermediate pages, at index pages; encoded again, the bytes in use (header, bitmap,
// entries) are those of the file. What lies after the entries is whatever Access left there.
void ExpectPagesEncodeAsWritten(const std::string& path, bool access_wrote_it, int& compared) {
  SCOPED_TRACE(path);
  testsupport::RawPageFile file(path);
  const jet::IndexPageLayout& layout = jet::IndexPageLayoutFor(file.version());
  const size_t entries_start = layout.entry_mask_offset + layout.entry_mask_size;
  for (uint32_t n = 1; n < file.page_count(); ++n) {
    const auto page = file.Page(n);
    if (!jet::IsIndexPage(page)) continue;
    const IndexPage decoded = jet::DecodeIndexPage(page, file.version(), n);
    for (size_t i = 0; i < decoded.entries.size(); ++i) {
      const IndexEntry& e = decoded.entries[i];
      if (i > 0) {
        const IndexEntry& prev = decoded.entries[i - 1];
        ASSERT_TRUE(prev.key < e.key || (prev.key == e.key && (prev.row.page < e.row.page ||
                                                               (prev.row.page == e.row.page &&
                                                                prev.row.row < e.row.row))))
            << "page " << n << " entry " << i;
      }
      ASSERT_LT(e.row.page, file.page_count()) << "page " << n;
      EXPECT_EQ(file.Page(e.row.page)[0], 0x01) << "page " << n << " entry " << i;
      if (!decoded.leaf) {
        ASSERT_LT(e.child, file.page_count());
        EXPECT_TRUE(jet::IsIndexPage(file.Page(e.child))) << "page " << n << " child " << e.child;
      }
    }
    if (page[1] != 0x01) continue;
    const std::vector<uint8_t> encoded = jet::EncodeIndexPage(decoded, file.version());
    const size_t used_end = page.size() - ReadLe16(page, layout.free_space_offset);
    ASSERT_LE(used_end, page.size());
    ASSERT_GE(used_end, entries_start) << "page " << n;
    for (size_t i = 0; i < used_end; ++i) {
      // Other writers leave the intermediate-page flag at zero.
      if (!access_wrote_it && i == layout.intermediate_flag_offset) continue;
      ASSERT_EQ(encoded[i], page[i]) << "page " << n << " byte " << i;
    }
    ++compared;
  }
}

TEST(IndexPageEncode, EveryIndexPageOfAccessFilesEncodesToItsBytes) {
  const auto files = testsupport::SampleFiles({"jet3", "jet4"});
  REQUIRE_SAMPLES();
  ASSERT_FALSE(files.empty());
  int pages = 0;
  for (const auto& f : files) ExpectPagesEncodeAsWritten(f.path, true, pages);
  EXPECT_GT(pages, 500);
  // Another writer's large file, its leaves compressed.
  const std::string large = testsupport::SamplePath("bench/orders-100k.mdb");
  ASSERT_TRUE(std::filesystem::exists(large));
  pages = 0;
  ExpectPagesEncodeAsWritten(large, false, pages);
  EXPECT_GT(pages, 1000);
}

// The page decodes to `expected`, and what it says is free is what a page encoded whole with the
// same prefix leaves.
void ExpectEntries(const std::vector<uint8_t>& bytes, const std::vector<IndexEntry>& expected) {
  const IndexPage page = jet::DecodeIndexPage(bytes, JetVersion::kJet4, 9);
  ASSERT_EQ(page.entries.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(page.entries[i].key, expected[i].key) << "entry " << i;
    ASSERT_EQ(page.entries[i].row, expected[i].row) << "entry " << i;
  }
  const size_t prefix = ReadLe16(bytes, 24);
  size_t used = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    used += expected[i].key.size() + jet::kIndexRowPointerSize - (i == 0 ? 0 : prefix);
  }
  EXPECT_EQ(ReadLe16(bytes, 2), 4096 - 27 - 453 - used);
}

TEST(IndexPageEdit, RandomInsertsAndRemovesMatchTheWholePage) {
  // 20 long entries fit whole (no prefix); 50 do not (the page shares a prefix).
  for (const int count : {20, 50}) {
    SCOPED_TRACE(std::to_string(count) + " entries");
    std::mt19937 rng(11);
    IndexPage page;
    page.number = 9;
    page.leaf = true;
    page.table_page = 2;
    for (int i = 0; i < count; ++i) {
      page.entries.push_back(
          Entry("\x7f\x41\x42" + std::string(60, 'a') + std::to_string(1000 + i * 10),
                100 + static_cast<uint32_t>(i), 3));
    }
    std::vector<uint8_t> bytes = jet::EncodeIndexPage(page, JetVersion::kJet4);
    std::vector<IndexEntry> model = page.entries;
    size_t inserted = 0, refused = 0;
    for (int step = 0; step < 1500; ++step) {
      const size_t pos = 1 + rng() % (model.size() - 1);
      if (rng() % 3 != 0) {
        // After model[pos - 1], before model[pos] (at times at the end).
        const size_t at = rng() % 8 == 0 ? model.size() : pos;
        IndexEntry e = model[at - 1];
        e.row.row = static_cast<uint16_t>((e.row.row + 1) % 256);
        if (jet::InsertLeafEntryInPlace(bytes, model.size(), at, e.key, e.row)) {
          model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), e);
          ++inserted;
        } else {
          ++refused;  // a page that cannot take the entry stays as it was
        }
      } else if (model.size() > 2) {
        ASSERT_TRUE(jet::RemoveLeafEntryInPlace(bytes, model.size(), pos));
        model.erase(model.begin() + static_cast<std::ptrdiff_t>(pos));
      }
      ExpectEntries(bytes, model);
      if (testing::Test::HasFatalFailure()) return;
    }
    EXPECT_GT(inserted, 20u);
    EXPECT_GT(refused, 0u);  // the page filled up
  }
}

}  // namespace
