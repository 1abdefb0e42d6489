// Changing index B-trees: random inserts and removes on fresh indexes and on copies of indexes
// Access and another writer built, checked after every batch by the structural check, by walking
// the tree with the reader, and by seeking every key.

#include "jet/index_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "jet/error.h"
#include "jet/index_check.h"
#include "jet/index_key.h"
#include "jet/memory_file.h"
#include "support/raw_page_file.h"

namespace {

using jet::IndexEntry;
using jet::IndexWriter;
using jet::JetVersion;
using jet::Pager;
using jet::RowId;

constexpr size_t kPage = 4096;
constexpr uint32_t kTablePage = 2;

// Pages for the index come from the end of the file; freed pages are zeroed and remembered.
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
  size_t free_pages() const { return freed_.size(); }

 private:
  Pager& pager_;
  std::set<uint32_t> freed_;
};

// Entries in index order: key bytes, then row page, then row number.
using Model = std::set<std::tuple<std::string, uint32_t, uint16_t>>;

// All leaf entries, read by following the leaf chain from the leftmost leaf.
Model ReadEntries(Pager& pager, uint32_t root) {
  jet::IndexPage page = jet::DecodeIndexPage(pager.Page(root), JetVersion::kJet4, root);
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

// The tree holds exactly `model`: sound structure, same entries in order, each key found.
void ExpectIndexHolds(Pager& pager, uint32_t root, const Model& model,
                      const std::vector<jet::IndexKeyColumn>& columns,
                      const std::map<std::string, jet::Value>& values = {}) {
  const jet::IndexCheckResult check = jet::CheckIndex(pager, JetVersion::kJet4, root);
  for (const std::string& p : check.problems) ADD_FAILURE() << p;
  ASSERT_TRUE(check.problems.empty());
  EXPECT_EQ(check.entries, model.size());
  ASSERT_EQ(ReadEntries(pager, root), model);

  auto cursor = jet::OpenIndexTree(pager, JetVersion::kJet4, root, columns);
  cursor->SeekFirst();
  for (const auto& [key, page, row] : model) {
    ASSERT_TRUE(cursor->Valid());
    ASSERT_EQ(cursor->row_id(), (RowId{page, row}));
    cursor->Next();
  }
  EXPECT_FALSE(cursor->Valid());

  // Seeking a key lands on its first entry.
  std::string previous;
  for (const auto& [key, page, row] : model) {
    if (key == previous) continue;
    previous = key;
    const auto value = values.find(key);
    if (value == values.end()) continue;
    cursor->SeekGE({value->second});
    ASSERT_TRUE(cursor->Valid());
    ASSERT_EQ(cursor->row_id(), (RowId{page, row}));
  }
}

// A fresh file: page 1 holds an empty index root.
struct FreshIndex {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(3 * kPage);
  std::unique_ptr<jet::WritableFile> file = jet::NewWritableMemoryFile(bytes);
  Pager pager{*file, file.get(), kPage, 0};
  AppendingAllocator allocator{pager};
  static constexpr uint32_t kRoot = 1;
  FreshIndex() {
    pager.Begin();
    jet::WriteEmptyIndexRoot(pager, JetVersion::kJet4, kRoot, kTablePage);
  }
};

const std::vector<jet::IndexKeyColumn> kLongColumn = {{jet::ColumnType::kLong, true, 0}};
const std::vector<jet::IndexKeyColumn> kTextColumn = {{jet::ColumnType::kText, true, 0}};

std::string LongKey(int32_t v) {
  return jet::EncodeIndexKey(kLongColumn, {jet::Value(v)});
}

bool HasKey(const Model& model, const std::string& key) {
  auto it = model.lower_bound({key, 0, 0});
  return it != model.end() && std::get<0>(*it) == key;
}

// Without and with a cache of decoded pages, which the writer must keep in step with its changes.
class IndexWriterCached : public testing::TestWithParam<bool> {};

TEST_P(IndexWriterCached, FreshIndexTakesRandomInsertsAndRemovesOfDuplicateKeys) {
  FreshIndex index;
  jet::IndexPageCache cache(64);  // small: it is emptied now and then
  IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, FreshIndex::kRoot,
                     kLongColumn, GetParam() ? &cache : nullptr);
  std::mt19937 rng(7);
  Model model;
  std::map<std::string, jet::Value> values;
  uint32_t next_row = 0;
  for (int batch = 0; batch < 30; ++batch) {
    const bool growing = batch % 3 != 2;
    for (int i = 0; i < 400; ++i) {
      if (model.empty() || (growing ? rng() % 4 != 0 : rng() % 4 == 0)) {
        const int32_t v = static_cast<int32_t>(rng() % 700) - 350;  // many rows per key
        const std::string key = LongKey(v);
        values.emplace(key, jet::Value(v));
        const RowId row{1000 + next_row / 200, static_cast<uint16_t>(next_row % 200)};
        ++next_row;
        const bool known = HasKey(model, key);
        ASSERT_EQ(writer.Insert(key, row), known);
        model.emplace(key, row.page, row.row);
      } else {
        auto it = model.begin();
        std::advance(it, rng() % model.size());
        const auto [key, page, row] = *it;
        model.erase(it);
        ASSERT_EQ(writer.Remove(key, RowId{page, row}), HasKey(model, key));
      }
    }
    ExpectIndexHolds(index.pager, FreshIndex::kRoot, model, kLongColumn, values);
    if (testing::Test::HasFatalFailure()) return;
  }
  EXPECT_GT(jet::CheckIndex(index.pager, JetVersion::kJet4, FreshIndex::kRoot).depth, 1u);

  // Emptying the index frees every page but the root, which is an empty leaf again.
  while (!model.empty()) {
    const auto [key, page, row] = *model.begin();
    writer.Remove(key, RowId{page, row});
    model.erase(model.begin());
  }
  ExpectIndexHolds(index.pager, FreshIndex::kRoot, model, kLongColumn);
  const auto check = jet::CheckIndex(index.pager, JetVersion::kJet4, FreshIndex::kRoot);
  EXPECT_EQ(check.pages, 1u);
  EXPECT_EQ(index.allocator.free_pages(), index.pager.page_count() - 3);
}

INSTANTIATE_TEST_SUITE_P(IndexWriter, IndexWriterCached, testing::Bool());

TEST(IndexWriter, CachedPagesFollowRollbackAndPagesChangedElsewhere) {
  FreshIndex index;
  jet::IndexPageCache cache;
  Model model;
  auto row_of = [](int32_t i) {
    return RowId{100 + static_cast<uint32_t>(i) / 100, static_cast<uint16_t>(i % 100)};
  };
  {
    IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, FreshIndex::kRoot,
                       kLongColumn, &cache);
    for (int32_t i = 0; i < 4000; i += 2) {
      writer.Insert(LongKey(i), row_of(i));
      model.emplace(LongKey(i), row_of(i).page, row_of(i).row);
    }
  }
  index.pager.Commit();

  // Changes into the middle of every leaf, then forgotten: the cache must not keep them.
  index.pager.Begin();
  {
    IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, FreshIndex::kRoot,
                       kLongColumn, &cache);
    for (int32_t i = 1; i < 4000; i += 2) writer.Insert(LongKey(i), row_of(i));
    for (int32_t i = 0; i < 1000; i += 2) writer.Remove(LongKey(i), row_of(i));
    ASSERT_TRUE(writer.ContainsKey(LongKey(1)));
  }
  index.pager.Rollback();
  index.pager.Begin();
  {
    IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, FreshIndex::kRoot,
                       kLongColumn, &cache);
    EXPECT_FALSE(writer.ContainsKey(LongKey(1)));
    EXPECT_TRUE(writer.ContainsKey(LongKey(0)));
    for (int32_t i = 1; i < 4000; i += 6) {
      EXPECT_FALSE(writer.Insert(LongKey(i), row_of(i)));
      model.emplace(LongKey(i), row_of(i).page, row_of(i).row);
    }
  }
  ExpectIndexHolds(index.pager, FreshIndex::kRoot, model, kLongColumn);

  // A page rewritten by someone else through the pager is decoded again.
  IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, FreshIndex::kRoot,
                     kLongColumn, &cache);
  ASSERT_TRUE(writer.ContainsKey(LongKey(0)));
  jet::WriteEmptyIndexRoot(index.pager, JetVersion::kJet4, FreshIndex::kRoot, kTablePage);
  EXPECT_FALSE(writer.ContainsKey(LongKey(0)));
}

TEST(IndexWriter, TextKeysOfEveryLengthKeepTheTreeSound) {
  // Keys of 1 to 8 and of 150 to 200 characters: intermediate entries change size when a child's
  // last entry changes, full pages share long prefixes, and the tree grows three levels deep.
  FreshIndex index;
  IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, FreshIndex::kRoot,
                     kTextColumn);
  std::mt19937 rng(11);
  Model model;
  std::map<std::string, jet::Value> values;
  uint32_t next_row = 0;
  for (int batch = 0; batch < 16; ++batch) {
    for (int i = 0; i < 300; ++i) {
      if (model.empty() || rng() % 3 != 0) {
        std::string text = "Kunde ";
        const size_t length = rng() % 2 ? 150 + rng() % 50 : 1 + rng() % 8;
        for (size_t c = 0; c < length; ++c) text.push_back(static_cast<char>('a' + rng() % 3));
        const std::string key = jet::EncodeIndexKey(kTextColumn, {jet::Value(text)});
        values.emplace(key, jet::Value(text));
        const RowId row{5000 + next_row / 100, static_cast<uint16_t>(next_row % 100)};
        ++next_row;
        const bool known = HasKey(model, key);
        ASSERT_EQ(writer.Insert(key, row), known);
        model.emplace(key, row.page, row.row);
      } else {
        auto it = model.begin();
        std::advance(it, rng() % model.size());
        const auto [key, page, row] = *it;
        model.erase(it);
        ASSERT_EQ(writer.Remove(key, RowId{page, row}), HasKey(model, key));
      }
    }
    ExpectIndexHolds(index.pager, FreshIndex::kRoot, model, kTextColumn, values);
    if (testing::Test::HasFatalFailure()) return;
  }
  EXPECT_GE(jet::CheckIndex(index.pager, JetVersion::kJet4, FreshIndex::kRoot).depth, 3u);
}

TEST(IndexWriter, HundredThousandInsertsInOrderFillPagesAndStaySound) {
  FreshIndex index;
  IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, FreshIndex::kRoot,
                     kLongColumn);
  Model model;
  for (int32_t i = 0; i < 100000; ++i) {
    const RowId row{100 + static_cast<uint32_t>(i) / 50, static_cast<uint16_t>(i % 50)};
    writer.Insert(LongKey(i), row);
    model.emplace(LongKey(i), row.page, row.row);
  }
  ExpectIndexHolds(index.pager, FreshIndex::kRoot, model, kLongColumn);
  const auto check = jet::CheckIndex(index.pager, JetVersion::kJet4, FreshIndex::kRoot);
  // 100,000 entries of 9 bytes fill 250 leaves when appending fills pages (500 when halved),
  // and their 250 entries of 13 bytes fit on the root.
  EXPECT_LT(check.pages, 260u);
  EXPECT_EQ(check.depth, 2u);
}

TEST(IndexWriter, RemovingMostEntriesMergesSparseLeaves) {
  FreshIndex index;
  IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, FreshIndex::kRoot,
                     kLongColumn);
  Model model;
  for (int32_t i = 0; i < 20000; ++i) {
    const RowId row{100 + static_cast<uint32_t>(i) / 100, static_cast<uint16_t>(i % 100)};
    writer.Insert(LongKey(i), row);
    model.emplace(LongKey(i), row.page, row.row);
  }
  // Removing 95 % at random leaves every leaf a few entries: without merging, all 50 stay.
  std::mt19937 rng(5);
  std::vector<std::tuple<std::string, uint32_t, uint16_t>> entries(model.begin(), model.end());
  std::shuffle(entries.begin(), entries.end(), rng);
  for (size_t i = 0; i < 19000; ++i) {
    const auto& [key, page, row] = entries[i];
    writer.Remove(key, RowId{page, row});
    model.erase(entries[i]);
  }
  ExpectIndexHolds(index.pager, FreshIndex::kRoot, model, kLongColumn);
  EXPECT_LT(jet::CheckIndex(index.pager, JetVersion::kJet4, FreshIndex::kRoot).pages, 10u);
}

TEST(IndexWriter, ContainsKeyLooksAtExactKeysAndSkipsTheGivenRow) {
  FreshIndex index;
  IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, FreshIndex::kRoot,
                     kLongColumn);
  // Enough entries for several leaves, so that equal keys span a page boundary.
  for (int32_t i = 0; i < 3000; ++i)
    writer.Insert(LongKey(i / 2 * 2), RowId{10, static_cast<uint16_t>(i % 256)});
  EXPECT_TRUE(writer.ContainsKey(LongKey(1000)));
  EXPECT_FALSE(writer.ContainsKey(LongKey(1001)));
  EXPECT_FALSE(writer.ContainsKey(LongKey(5000)));
  EXPECT_FALSE(writer.ContainsKey(LongKey(-1)));
  writer.Insert(LongKey(7), RowId{11, 0});
  EXPECT_TRUE(writer.ContainsKey(LongKey(7)));
  EXPECT_FALSE(writer.ContainsKey(LongKey(7), RowId{11, 0}));
  EXPECT_TRUE(writer.ContainsKey(LongKey(6), RowId{11, 0}));
  // A key that only starts like a stored key is a different key.
  EXPECT_FALSE(writer.ContainsKey(LongKey(6).substr(0, 3)));
}

TEST(IndexWriter, MissingAndRepeatedEntriesAreRefused) {
  FreshIndex index;
  IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, FreshIndex::kRoot,
                     kLongColumn);
  writer.Insert(LongKey(1), RowId{5, 1});
  try {
    writer.Remove(LongKey(1), RowId{5, 2});
    ADD_FAILURE() << "removing a missing entry";
  } catch (const jet::Error& e) {
    EXPECT_EQ(e.number(), 3343);
  }
  EXPECT_THROW(writer.Insert(LongKey(1), RowId{5, 1}), jet::Error);
  EXPECT_THROW(IndexWriter(index.pager, index.allocator, JetVersion::kJet4, 2, kLongColumn),
               jet::Error);  // page 2 is no index page
}

// Every index of a copy of `path` takes random removes and inserts of keys it already holds.
void ChangeEveryIndexOf(const std::string& path, int operations) {
  quorla_test::RawPageFile raw(path);
  std::vector<uint8_t> bytes;
  for (uint32_t n = 0; n < raw.page_count(); ++n) {
    const auto page = raw.Page(n);
    bytes.insert(bytes.end(), page.begin(), page.end());
  }
  auto file = jet::NewWritableMemoryFile(bytes);
  Pager pager(*file, file.get(), kPage, 0);
  pager.Begin();
  AppendingAllocator allocator(pager);
  std::mt19937 rng(3);
  int indexes = 0;
  for (const quorla_test::RawTable& table : quorla_test::ReadRawTables(raw)) {
    for (const quorla_test::RawIndex& raw_index : table.indexes) {
      if (!jet::IsIndexPage(pager.Page(raw_index.root_page))) continue;
      SCOPED_TRACE(path + " index root " + std::to_string(raw_index.root_page));
      ++indexes;
      Model model = ReadEntries(pager, raw_index.root_page);
      ExpectIndexHolds(pager, raw_index.root_page, model, {});
      if (testing::Test::HasFatalFailure()) return;
      if (model.empty()) continue;
      std::vector<std::string> keys;
      for (const auto& entry : model) keys.push_back(std::get<0>(entry));
      IndexWriter writer(pager, allocator, JetVersion::kJet4, raw_index.root_page, {});
      uint32_t next_row = 0;
      const int rounds = std::max(1, operations / 500);
      for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < std::min(operations, 500); ++i) {
          if (!model.empty() && rng() % 2 == 0) {
            auto it = model.begin();
            std::advance(it, rng() % model.size());
            writer.Remove(std::get<0>(*it), RowId{std::get<1>(*it), std::get<2>(*it)});
            model.erase(it);
          } else {
            const std::string& key = keys[rng() % keys.size()];
            const RowId row{0xF00000 + next_row / 256, static_cast<uint16_t>(next_row % 256)};
            ++next_row;
            writer.Insert(key, row);
            model.emplace(key, row.page, row.row);
          }
        }
        ExpectIndexHolds(pager, raw_index.root_page, model, {});
        if (testing::Test::HasFatalFailure()) return;
      }
    }
  }
  EXPECT_GT(indexes, 0);
}

TEST(IndexWriter, IndexesOfAccessFilesStaySoundUnderChanges) {
  for (const char* name : {"jet4/compIndexTestV2000.mdb", "jet4/bigIndexTestV2003.mdb",
                           "jet4/indexTestV2000.mdb", "jet4/testV2003.mdb"}) {
    const std::string path = std::string(QUORLA_SAMPLES_DIR) + "/" + name;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "sample file missing: " << path;
    ChangeEveryIndexOf(path, 600);
    if (testing::Test::HasFatalFailure()) return;
  }
}

TEST(IndexWriter, IndexesOfALargeFileStaySoundUnderChanges) {
  const std::string path = std::string(QUORLA_SAMPLES_DIR) + "/bench/orders-100k.mdb";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "sample file missing: " << path;
  ChangeEveryIndexOf(path, 1000);
}

}  // namespace
