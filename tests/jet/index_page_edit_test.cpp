// Adding and removing one entry of a stored leaf page in place: the page decodes to the entries
// the whole page would be encoded from, with and without a shared prefix, until it is full.

#include "jet/index_page_edit.h"

#include <gtest/gtest.h>

#include <random>

#include "jet/index_page.h"

namespace {

using jet::IndexEntry;
using jet::IndexPage;
using jet::JetVersion;

IndexEntry Entry(std::string key, uint32_t page, uint16_t row) {
  IndexEntry e;
  e.key = std::move(key);
  e.row = {page, row};
  return e;
}

void ExpectEntries(const std::vector<uint8_t>& bytes, const std::vector<IndexEntry>& expected) {
  const IndexPage page = jet::DecodeIndexPage(bytes, JetVersion::kJet4, 9);
  ASSERT_EQ(page.entries.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(page.entries[i].key, expected[i].key) << "entry " << i;
    ASSERT_EQ(page.entries[i].row, expected[i].row) << "entry " << i;
  }
  // What the page says is free is what a page encoded whole with the same prefix leaves.
  const size_t free_space = bytes[2] | bytes[3] << 8;
  const size_t prefix = bytes[24] | bytes[25] << 8;
  size_t used = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    used += expected[i].key.size() + jet::kIndexRowPointerSize - (i == 0 ? 0 : prefix);
  }
  EXPECT_EQ(free_space, 4096 - 27 - 453 - used);
}

TEST(IndexPageEdit, RandomInsertsAndRemovesMatchTheWholePage) {
  // 20 long entries fit whole (no prefix); 50 do not (the page shares a prefix).
  for (const int count : {20, 50}) {
    SCOPED_TRACE(std::to_string(count) + " entries");
    const std::string common = "\x7f\x41\x42";
    std::mt19937 rng(11);
    IndexPage page;
    page.number = 9;
    page.leaf = true;
    page.table_page = 2;
    // Long keys, so that the page soon needs its shared prefix.
    for (int i = 0; i < count; ++i) {
      page.entries.push_back(Entry(common + std::string(60, 'a') + std::to_string(1000 + i * 10),
                                   100 + static_cast<uint32_t>(i), 3));
    }
    std::vector<uint8_t> bytes = jet::EncodeIndexPage(page, JetVersion::kJet4);
    std::vector<IndexEntry> model = page.entries;
    size_t inserted = 0, refused = 0;
    for (int step = 0; step < 1500; ++step) {
      const size_t pos = 1 + rng() % (model.size() - 1);
      if (rng() % 3 != 0) {
        // Between its neighbours: a key after model[pos - 1], before model[pos] (at times at
        // the end).
        const size_t at = rng() % 8 == 0 ? model.size() : pos;
        IndexEntry e = model[at - 1];
        e.row.row = static_cast<uint16_t>((e.row.row + 1) % 256);
        if (jet::InsertLeafEntryInPlace(bytes, model.size(), at, e.key, e.row)) {
          model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), e);
          ++inserted;
        } else {
          ++refused;
          // A page that cannot take the entry stays as it was.
          ExpectEntries(bytes, model);
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

TEST(IndexPageEdit, RefusesPagesItCannotChangeInPlace) {
  IndexPage page;
  page.number = 9;
  page.leaf = true;
  page.entries = {Entry("\x7f\x01", 5, 1), Entry("\x7f\x03", 5, 2)};
  std::vector<uint8_t> bytes = jet::EncodeIndexPage(page, JetVersion::kJet4);
  const std::vector<uint8_t> before = bytes;
  EXPECT_FALSE(jet::InsertLeafEntryInPlace(bytes, 2, 0, "\x7f", {5, 0}));      // first entry
  EXPECT_FALSE(jet::InsertLeafEntryInPlace(bytes, 3, 1, "\x7f\x02", {5, 0}));  // wrong count
  EXPECT_FALSE(jet::RemoveLeafEntryInPlace(bytes, 2, 0));
  page.leaf = false;
  page.entries[0].child = page.entries[1].child = 7;
  std::vector<uint8_t> intermediate = jet::EncodeIndexPage(page, JetVersion::kJet4);
  EXPECT_FALSE(jet::InsertLeafEntryInPlace(intermediate, 2, 1, "\x7f\x02", {5, 0}));
  EXPECT_EQ(bytes, before);
}

}  // namespace
