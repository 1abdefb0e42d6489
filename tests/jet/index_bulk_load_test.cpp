// Building index B-trees at once from sorted entries: trees of every size pass the structural
// check, hold exactly their entries in order and find each key; the writer then changes them as
// any other tree, splitting the full pages the loader leaves.

#include "jet/index_bulk_load.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "jet/index_check.h"
#include "jet/index_key.h"
#include "jet/index_tree.h"
#include "jet/index_writer.h"
#include "jet/memory_file.h"

namespace {

using jet::IndexEntry;
using jet::JetVersion;
using jet::Pager;
using jet::RowId;

constexpr size_t kPage = 4096;
constexpr uint32_t kTablePage = 2;
constexpr uint32_t kRoot = 1;

// Pages come from the end of the file; freed pages are zeroed and handed out again.
class AppendingAllocator : public jet::PageAllocator {
 public:
  explicit AppendingAllocator(Pager& pager) : pager_(pager) {}
  uint32_t Allocate() override {
    if (!freed_.empty()) {
      const uint32_t page = *freed_.begin();
      freed_.erase(freed_.begin());
      return page;
    }
    return pager_.Append();
  }
  void Free(uint32_t page) override {
    EXPECT_TRUE(freed_.insert(page).second) << "page " << page << " freed twice";
    auto bytes = pager_.Modify(page);
    std::fill(bytes.begin(), bytes.end(), 0);
  }

 private:
  Pager& pager_;
  std::set<uint32_t> freed_;
};

// Entries in index order: key bytes, then row page, then row number.
using Model = std::set<std::tuple<std::string, uint32_t, uint16_t>>;

// A file whose page 1 becomes the root of the index loaded from `model`.
struct LoadedIndex {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(3 * kPage);
  std::unique_ptr<jet::WritableFile> file = jet::NewWritableMemoryFile(bytes);
  Pager pager{*file, file.get(), kPage, 0};
  AppendingAllocator allocator{pager};

  explicit LoadedIndex(const Model& model) {
    pager.Begin();
    std::vector<IndexEntry> entries;
    for (const auto& [key, page, row] : model) {
      IndexEntry e;
      e.key = key;
      e.row = RowId{page, row};
      entries.push_back(std::move(e));
    }
    jet::BulkLoadIndex(pager, allocator, JetVersion::kJet4, kRoot, kTablePage, std::move(entries));
  }
};

// All leaf entries, read by following the leaf chain from the leftmost leaf.
Model ReadEntries(Pager& pager) {
  jet::IndexPage page = jet::DecodeIndexPage(pager.Page(kRoot), JetVersion::kJet4, kRoot);
  while (!page.leaf) {
    const uint32_t child = page.entries.empty() ? page.tail_page : page.entries.front().child;
    page = jet::DecodeIndexPage(pager.Page(child), JetVersion::kJet4, child);
  }
  Model model;
  for (;;) {
    for (const IndexEntry& e : page.entries) model.emplace(e.key, e.row.page, e.row.row);
    if (page.next_page == 0) break;
    page = jet::DecodeIndexPage(pager.Page(page.next_page), JetVersion::kJet4, page.next_page);
  }
  return model;
}

// The tree holds exactly `model`: sound structure, same entries in order, each key of `values`
// found at its first entry. Returns the structural check.
jet::IndexCheckResult ExpectIndexHolds(Pager& pager, const Model& model,
                                       const std::vector<jet::IndexKeyColumn>& columns,
                                       const std::map<std::string, jet::Value>& values = {}) {
  const jet::IndexCheckResult check = jet::CheckIndex(pager, JetVersion::kJet4, kRoot);
  for (const std::string& p : check.problems) ADD_FAILURE() << p;
  EXPECT_EQ(check.entries, model.size());
  EXPECT_EQ(ReadEntries(pager), model);

  auto cursor = jet::OpenIndexTree(pager, JetVersion::kJet4, kRoot, columns);
  cursor->SeekFirst();
  for (const auto& [key, page, row] : model) {
    if (!cursor->Valid() || !(cursor->row_id() == RowId{page, row})) {
      ADD_FAILURE() << "the cursor leaves the index order";
      return check;
    }
    cursor->Next();
  }
  EXPECT_FALSE(cursor->Valid());
  for (const auto& [key, value] : values) {
    const auto first = model.lower_bound({key, 0, 0});
    if (first == model.end() || std::get<0>(*first) != key) continue;
    cursor->SeekGE({value});
    EXPECT_TRUE(cursor->Valid() &&
                cursor->row_id() == (RowId{std::get<1>(*first), std::get<2>(*first)}));
  }
  return check;
}

const std::vector<jet::IndexKeyColumn> kLongColumn = {{jet::ColumnType::kLong, true, 0}};
const std::vector<jet::IndexKeyColumn> kTextColumn = {{jet::ColumnType::kText, true, 0}};

RowId RowOf(uint32_t n) {
  return RowId{100 + n / 50, static_cast<uint16_t>(n % 50)};
}

// Text of `length` letters after a fixed start, umlauts among them: full pages share long
// prefixes and store them once.
std::string RandomText(std::mt19937& rng, size_t length) {
  static const char* const kLetters[] = {"a", "b", "ä", "ß", "c"};
  std::string text = "Kunde Müller ";
  for (size_t c = 0; c < length; ++c) text += kLetters[rng() % 5];
  return text;
}

TEST(IndexBulkLoad, TreesOfEverySizeAreSoundAndHoldTheirEntries) {
  // Around one full leaf (401 uncompressed entries of 9 bytes), around one full root above
  // leaves, and far beyond; a run of equal keys spans several leaves.
  for (uint32_t n : {0u, 1u, 2u, 401u, 402u, 403u, 450u, 5000u, 120000u}) {
    SCOPED_TRACE(n);
    Model model;
    std::map<std::string, jet::Value> values;
    for (uint32_t i = 0; i < n; ++i) {
      const int32_t v = i % 7 == 0 ? 42 : static_cast<int32_t>(i) - 1000;
      const std::string key = jet::EncodeIndexKey(kLongColumn, {jet::Value(v)});
      model.emplace(key, RowOf(i).page, RowOf(i).row);
      if (i % 97 == 0) values.emplace(key, jet::Value(v));
    }
    LoadedIndex index(model);
    const jet::IndexCheckResult check = ExpectIndexHolds(index.pager, model, kLongColumn, values);
    if (n <= 401) {
      EXPECT_EQ(check.depth, 1u);
    } else if (n >= 5000) {
      EXPECT_GE(check.depth, 2u);
    }
    // Leaves are filled: no more of them than the entries need uncompressed.
    const uint32_t leaves = (n + 400) / 401;
    EXPECT_LE(check.pages, leaves + leaves / 100 + 1);
  }
}

TEST(IndexBulkLoad, LongTextKeysGrowSeveralLevels) {
  // Keys of 150 to 250 characters: few entries per intermediate page, so the tree grows four
  // levels; the last page of a level must not be left with a single child.
  for (uint32_t n : {30u, 700u, 9000u}) {
    SCOPED_TRACE(n);
    std::mt19937 rng(n);
    Model model;
    std::map<std::string, jet::Value> values;
    for (uint32_t i = 0; i < n; ++i) {
      const std::string text = RandomText(rng, 150 + rng() % 100);
      const std::string key = jet::EncodeIndexKey(kTextColumn, {jet::Value(text)});
      model.emplace(key, RowOf(i).page, RowOf(i).row);
      values.emplace(key, jet::Value(text));
    }
    LoadedIndex index(model);
    const jet::IndexCheckResult check = ExpectIndexHolds(index.pager, model, kTextColumn, values);
    if (n == 9000) {
      EXPECT_GE(check.depth, 3u);
    }
  }
}

TEST(IndexBulkLoad, WriterChangesALoadedTreeAndKeepsItSound) {
  std::mt19937 rng(5);
  Model model;
  std::map<std::string, jet::Value> values;
  uint32_t next_row = 0;
  auto new_entry = [&] {
    const std::string text = RandomText(rng, rng() % 2 ? 1 + rng() % 6 : 100 + rng() % 60);
    const std::string key = jet::EncodeIndexKey(kTextColumn, {jet::Value(text)});
    values.emplace(key, jet::Value(text));
    const RowId row = RowOf(next_row++);
    return std::make_tuple(key, row.page, row.row);
  };
  for (int i = 0; i < 6000; ++i) model.insert(new_entry());
  LoadedIndex index(model);
  ExpectIndexHolds(index.pager, model, kTextColumn);

  // Every page of the loaded tree is full: the first inserts split leaves and the pages above.
  jet::IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, kRoot, kTextColumn);
  for (int batch = 0; batch < 8; ++batch) {
    for (int i = 0; i < 250; ++i) {
      if (batch % 4 != 3) {
        const auto entry = new_entry();
        const auto [key, page, row] = entry;
        const auto first = model.lower_bound({key, 0, 0});
        const bool known = first != model.end() && std::get<0>(*first) == key;
        ASSERT_EQ(writer.Insert(key, RowId{page, row}), known);
        model.insert(entry);
      } else {
        auto it = model.begin();
        std::advance(it, rng() % model.size());
        const auto [key, page, row] = *it;
        model.erase(it);
        writer.Remove(key, RowId{page, row});
      }
    }
    ExpectIndexHolds(index.pager, model, kTextColumn, values);
    if (testing::Test::HasFailure()) return;
  }
}

}  // namespace
