// Changing index B-trees: random inserts and removes on fresh indexes, on trees built at once from
// sorted entries, and on copies of indexes Access and another writer built, checked after every
// batch by the structural check, by walking the tree with the reader, and by seeking the keys.

#include "jet/index_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "jet/database.h"
#include "jet/error.h"
#include "jet/index_bulk_load.h"
#include "jet/index_check.h"
#include "jet/index_key.h"
#include "jet/memory_file.h"
#include "support/error_of.h"
#include "support/jet_samples.h"

namespace {

using jet::IndexEntry;
using jet::IndexWriter;
using jet::JetVersion;
using jet::Pager;
using jet::RowId;
using Columns = std::vector<jet::IndexKeyColumn>;
using Values = std::map<std::string, jet::Value>;

constexpr size_t kPage = 4096;
constexpr uint32_t kTablePage = 2;
constexpr uint32_t kRoot = 1;

// Pages for the index come from the end of the file; freed pages are zeroed and handed out again.
class AppendingAllocator : public jet::PageAllocator {
 public:
  explicit AppendingAllocator(Pager& pager) : pager_(pager) {}
  uint32_t Allocate() override {
    if (freed_.empty()) return pager_.Append();
    const uint32_t page = *freed_.begin();
    freed_.erase(freed_.begin());
    return page;
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

bool HasKey(const Model& model, const std::string& key) {
  auto it = model.lower_bound({key, 0, 0});
  return it != model.end() && std::get<0>(*it) == key;
}

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

// The tree holds exactly `model`: sound structure, same entries in order, each key of `values`
// found at its first entry. Returns the structural check.
jet::IndexCheckResult ExpectIndexHolds(Pager& pager, uint32_t root, const Model& model,
                                       const Columns& columns, const Values& values = {}) {
  const jet::IndexCheckResult check = jet::CheckIndex(pager, JetVersion::kJet4, root);
  for (const std::string& p : check.problems) ADD_FAILURE() << p;
  EXPECT_EQ(check.entries, model.size());
  EXPECT_EQ(ReadEntries(pager, root), model);

  auto cursor = jet::OpenIndexTree(pager, JetVersion::kJet4, root, columns);
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

// A file whose page 1 is an empty index root, in an open transaction.
struct FreshIndex {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(3 * kPage);
  std::unique_ptr<jet::WritableFile> file = jet::NewWritableMemoryFile(bytes);
  Pager pager{*file, file.get(), kPage, 0};
  AppendingAllocator allocator{pager};
  FreshIndex() {
    pager.Begin();
    jet::WriteEmptyIndexRoot(pager, JetVersion::kJet4, kRoot, kTablePage);
  }
  // Replaces the tree by one loaded at once from `model`.
  void Load(const Model& model) {
    std::vector<IndexEntry> entries;
    for (const auto& [key, page, row] : model) entries.push_back({key, RowId{page, row}, 0});
    jet::BulkLoadIndex(pager, allocator, JetVersion::kJet4, kRoot, kTablePage, std::move(entries));
  }
  jet::IndexCheckResult Check() { return jet::CheckIndex(pager, JetVersion::kJet4, kRoot); }
};

const Columns kLongColumn = {{jet::ColumnType::kLong, true, 0}};
const Columns kTextColumn = {{jet::ColumnType::kText, true, 0}};

std::string LongKey(int32_t v) {
  return jet::EncodeIndexKey(kLongColumn, {jet::Value(v)});
}

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

// Random inserts of new values and removes of random entries through `writer`, with the model of
// what the index must hold.
class RandomChanges {
 public:
  using NewValue = std::function<jet::Value(std::mt19937&)>;
  RandomChanges(IndexWriter& writer, Columns columns, uint32_t seed, NewValue new_value)
      : writer_(writer), columns_(std::move(columns)), rng_(seed), new_value_(new_value) {}

  // `count` changes, each an insert with a chance of `inserts` in four.
  void Run(int count, unsigned inserts) {
    for (int i = 0; i < count && !testing::Test::HasFatalFailure(); ++i) {
      if (model.empty() || rng_() % 4 < inserts) {
        const jet::Value v = new_value_(rng_);
        const std::string key = jet::EncodeIndexKey(columns_, {v});
        values.emplace(key, v);
        const RowId row = RowOf(next_row++);
        ASSERT_EQ(writer_.Insert(key, row), HasKey(model, key));
        model.emplace(key, row.page, row.row);
      } else {
        auto it = model.begin();
        std::advance(it, rng_() % model.size());
        const auto [key, page, row] = *it;
        model.erase(it);
        ASSERT_EQ(writer_.Remove(key, RowId{page, row}), HasKey(model, key));
      }
    }
  }

  Model model;
  Values values;
  uint32_t next_row = 0;  // rows of new entries are RowOf(next_row) on

 private:
  IndexWriter& writer_;
  Columns columns_;
  std::mt19937 rng_;
  NewValue new_value_;
};

// Without and with a cache of decoded pages, which the writer must keep in step with its changes.
class IndexWriterCached : public testing::TestWithParam<bool> {};

TEST_P(IndexWriterCached, FreshIndexTakesRandomInsertsAndRemovesOfDuplicateKeys) {
  FreshIndex index;
  jet::IndexPageCache cache(64);  // small: it is emptied now and then
  IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, kRoot, kLongColumn,
                     GetParam() ? &cache : nullptr);
  // Values from -350 to 349: many rows per key.
  RandomChanges changes(writer, kLongColumn, 7, [](std::mt19937& rng) {
    return jet::Value(static_cast<int32_t>(rng() % 700) - 350);
  });
  for (int batch = 0; batch < 30; ++batch) {
    changes.Run(400, batch % 3 != 2 ? 3 : 1);  // two batches growing, one shrinking
    ExpectIndexHolds(index.pager, kRoot, changes.model, kLongColumn, changes.values);
    if (testing::Test::HasFailure()) return;
  }
  EXPECT_GT(index.Check().depth, 1u);

  // Emptying the index frees every page but the root, which is an empty leaf again.
  for (const auto& [key, page, row] : changes.model) writer.Remove(key, RowId{page, row});
  ExpectIndexHolds(index.pager, kRoot, {}, kLongColumn);
  EXPECT_EQ(index.Check().pages, 1u);
  EXPECT_EQ(index.allocator.free_pages(), index.pager.page_count() - 3);
}

INSTANTIATE_TEST_SUITE_P(IndexWriter, IndexWriterCached, testing::Bool());

TEST(IndexWriter, CachedPagesFollowRollbackAndPagesChangedElsewhere) {
  FreshIndex index;
  jet::IndexPageCache cache;
  Model model;
  auto writer = [&] {
    return IndexWriter(index.pager, index.allocator, JetVersion::kJet4, kRoot, kLongColumn, &cache);
  };
  {
    IndexWriter w = writer();
    for (int32_t i = 0; i < 4000; i += 2) {
      w.Insert(LongKey(i), RowOf(i));
      model.emplace(LongKey(i), RowOf(i).page, RowOf(i).row);
    }
  }
  index.pager.Commit();

  // Changes into the middle of every leaf, then forgotten: the cache must not keep them.
  index.pager.Begin();
  {
    IndexWriter w = writer();
    for (int32_t i = 1; i < 4000; i += 2) w.Insert(LongKey(i), RowOf(i));
    for (int32_t i = 0; i < 1000; i += 2) w.Remove(LongKey(i), RowOf(i));
    ASSERT_TRUE(w.ContainsKey(LongKey(1)));
  }
  index.pager.Rollback();
  index.pager.Begin();
  {
    IndexWriter w = writer();
    EXPECT_FALSE(w.ContainsKey(LongKey(1)));
    EXPECT_TRUE(w.ContainsKey(LongKey(0)));
    for (int32_t i = 1; i < 4000; i += 6) {
      EXPECT_FALSE(w.Insert(LongKey(i), RowOf(i)));
      model.emplace(LongKey(i), RowOf(i).page, RowOf(i).row);
    }
  }
  ExpectIndexHolds(index.pager, kRoot, model, kLongColumn);

  // A page rewritten by someone else through the pager is decoded again.
  IndexWriter w = writer();
  ASSERT_TRUE(w.ContainsKey(LongKey(0)));
  jet::WriteEmptyIndexRoot(index.pager, JetVersion::kJet4, kRoot, kTablePage);
  EXPECT_FALSE(w.ContainsKey(LongKey(0)));
}

TEST(IndexWriter, InsertsInOrderFillPagesAndRemovesMergeSparseLeaves) {
  FreshIndex index;
  IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, kRoot, kLongColumn);
  std::vector<std::tuple<std::string, uint32_t, uint16_t>> entries;
  for (int32_t i = 0; i < 100000; ++i) {
    writer.Insert(LongKey(i), RowOf(i));
    entries.emplace_back(LongKey(i), RowOf(i).page, RowOf(i).row);
  }
  // 100,000 entries of 9 bytes fill 250 leaves when appending fills pages (500 when halved),
  // and their 250 entries of 13 bytes fit on the root.
  auto check =
      ExpectIndexHolds(index.pager, kRoot, Model(entries.begin(), entries.end()), kLongColumn);
  EXPECT_LT(check.pages, 260u);
  EXPECT_EQ(check.depth, 2u);
  // Removing 99 % at random leaves every leaf a few entries: without merging, all 250 stay.
  std::shuffle(entries.begin(), entries.end(), std::mt19937(5));
  for (size_t i = 0; i < 99000; ++i) {
    const auto& [key, page, row] = entries[i];
    writer.Remove(key, RowId{page, row});
  }
  check = ExpectIndexHolds(index.pager, kRoot, Model(entries.begin() + 99000, entries.end()),
                           kLongColumn);
  EXPECT_LT(check.pages, 10u);
}

TEST(IndexWriter, ContainsKeyLooksAtExactKeysAndMissingOrRepeatedEntriesAreRefused) {
  FreshIndex index;
  IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, kRoot, kLongColumn);
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
  EXPECT_EQ(testsupport::ErrorOf([&] { writer.Remove(LongKey(7), RowId{11, 1}); }), 3343);
  EXPECT_THROW(writer.Insert(LongKey(7), RowId{11, 0}), jet::Error);
  EXPECT_THROW(IndexWriter(index.pager, index.allocator, JetVersion::kJet4, 2, kLongColumn),
               jet::Error);  // page 2 is no index page
}

// Every index of a copy of `path` takes random removes and inserts of keys it already holds.
void ChangeEveryIndexOf(const std::string& path, int operations) {
  std::set<uint32_t> roots;
  auto db = jet::Database::Open(path);
  for (const jet::CatalogEntry& table : db->Tables()) {
    if (table.linked) continue;
    for (const jet::IndexDef& index : db->GetTableDef(table.name)->indexes) {
      roots.insert(index.root_page);
    }
  }
  std::vector<uint8_t> bytes = testsupport::ReadWholeFile(path);
  auto file = jet::NewWritableMemoryFile(bytes);
  Pager pager(*file, file.get(), kPage, 0);
  pager.Begin();
  AppendingAllocator allocator(pager);
  std::mt19937 rng(3);
  int indexes = 0;
  for (const uint32_t root : roots) {
    if (!jet::IsIndexPage(pager.Page(root))) continue;
    SCOPED_TRACE(path + " index root " + std::to_string(root));
    ++indexes;
    Model model = ReadEntries(pager, root);
    ExpectIndexHolds(pager, root, model, {});
    if (testing::Test::HasFailure()) return;
    if (model.empty()) continue;
    std::vector<std::string> keys;
    for (const auto& entry : model) keys.push_back(std::get<0>(entry));
    IndexWriter writer(pager, allocator, JetVersion::kJet4, root, {});
    uint32_t next_row = 0;
    for (int round = 0; round < std::max(1, operations / 500); ++round) {
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
      ExpectIndexHolds(pager, root, model, {});
      if (testing::Test::HasFailure()) return;
    }
  }
  EXPECT_GT(indexes, 0);
}

TEST(IndexWriter, IndexesOfAccessFilesStaySoundUnderChanges) {
  for (const auto& [name, operations] :
       std::vector<std::pair<std::string, int>>{{"jet4/compIndexTestV2000.mdb", 600},
                                                {"jet4/bigIndexTestV2003.mdb", 600},
                                                {"jet4/indexTestV2000.mdb", 600},
                                                {"jet4/testV2003.mdb", 600},
                                                {"bench/orders-100k.mdb", 1000}}) {
    REQUIRE_SAMPLES();
    ChangeEveryIndexOf(testsupport::SamplePath(name), operations);
    if (testing::Test::HasFailure()) return;
  }
}

// Random text entries of `length(rng)` letters, with the values of their keys.
Model TextEntries(uint32_t n, std::mt19937& rng, Values& values,
                  const std::function<size_t(std::mt19937&)>& length) {
  Model model;
  for (uint32_t i = 0; i < n; ++i) {
    const std::string text = RandomText(rng, length(rng));
    const std::string key = jet::EncodeIndexKey(kTextColumn, {jet::Value(text)});
    model.emplace(key, RowOf(i).page, RowOf(i).row);
    values.emplace(key, jet::Value(text));
  }
  return model;
}

TEST(IndexBulkLoad, TreesOfEverySizeAreSoundAndHoldTheirEntries) {
  auto load = [](const Model& model, const Columns& columns, const Values& values) {
    FreshIndex index;
    index.Load(model);
    return ExpectIndexHolds(index.pager, kRoot, model, columns, values);
  };
  // Around one full leaf (401 uncompressed entries of 9 bytes), around one full root above
  // leaves, and far beyond; a run of equal keys spans several leaves.
  for (uint32_t n : {0u, 1u, 2u, 401u, 402u, 403u, 450u, 5000u, 120000u}) {
    SCOPED_TRACE(n);
    Model model;
    Values values;
    for (uint32_t i = 0; i < n; ++i) {
      const int32_t v = i % 7 == 0 ? 42 : static_cast<int32_t>(i) - 1000;
      model.emplace(LongKey(v), RowOf(i).page, RowOf(i).row);
      if (i % 97 == 0) values.emplace(LongKey(v), jet::Value(v));
    }
    const auto check = load(model, kLongColumn, values);
    if (n <= 401 || n >= 5000) {
      EXPECT_EQ(check.depth > 1, n > 401);
    }
    // Leaves are filled: no more of them than the entries need uncompressed.
    const uint32_t leaves = (n + 400) / 401;
    EXPECT_LE(check.pages, leaves + leaves / 100 + 1);
  }
  // Keys of 150 to 250 characters: few entries per intermediate page, so the tree grows four
  // levels; the last page of a level must not be left with a single child.
  for (uint32_t n : {30u, 700u, 9000u}) {
    SCOPED_TRACE(n);
    std::mt19937 rng(n);
    Values values;
    const Model model =
        TextEntries(n, rng, values, [](std::mt19937& r) { return 150 + r() % 100; });
    EXPECT_GE(load(model, kTextColumn, values).depth, n == 9000 ? 3u : 1u);
  }
}

TEST(IndexBulkLoad, WriterChangesALoadedTreeAndKeepsItSound) {
  std::mt19937 rng(5);
  Values values;
  auto length = [](std::mt19937& r) -> size_t { return r() % 2 ? 1 + r() % 6 : 100 + r() % 60; };
  FreshIndex index;
  const Model loaded = TextEntries(6000, rng, values, length);
  index.Load(loaded);
  ExpectIndexHolds(index.pager, kRoot, loaded, kTextColumn);

  // Every page of the loaded tree is full: the first inserts split leaves and the pages above.
  // Keys of 1 to 6 and of 100 to 160 characters: intermediate entries change size when a child's
  // last entry changes, and full pages share long prefixes.
  IndexWriter writer(index.pager, index.allocator, JetVersion::kJet4, kRoot, kTextColumn);
  RandomChanges changes(writer, kTextColumn, 6,
                        [&](std::mt19937& r) { return jet::Value(RandomText(r, length(r))); });
  changes.model = loaded;
  changes.values = values;
  changes.next_row = 6000;
  for (int batch = 0; batch < 8; ++batch) {
    changes.Run(250, batch % 4 != 3 ? 4 : 0);
    ExpectIndexHolds(index.pager, kRoot, changes.model, kTextColumn, changes.values);
    if (testing::Test::HasFailure()) return;
  }
}

}  // namespace
