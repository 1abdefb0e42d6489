// The index cursor over small in-memory trees: order, seeks into tail pages, and damaged trees
// that must end in an error rather than a hang. Seeks on prefixes of multi-column keys, and on
// the indexes of every sample file, are in sample_tables_test.cpp.

#include "jet/index_tree.h"

#include <gtest/gtest.h>

#include <random>

#include "jet/index_key.h"
#include "support/error_of.h"
#include "support/index_page_builder.h"

namespace {

using testsupport::BuiltEntry;
using testsupport::BuiltPage;
using testsupport::MemoryPages;

const std::vector<jet::IndexKeyColumn> kLongColumn{{jet::ColumnType::kLong, true}};

std::string LongKey(int32_t v) {
  return jet::EncodeIndexKey(kLongColumn, {jet::Value(v)});
}

BuiltEntry Leaf(int32_t v, uint8_t row) {
  return {LongKey(v), 100, row};
}

// Root 2 (intermediate) -> leaves 3 (10, 20, 20) and 4 (30, 40), tail leaf 5 (50).
MemoryPages TwoLevelTree() {
  MemoryPages pages;
  BuiltPage root;
  root.leaf = false;
  root.tail = 5;
  root.entries = {{LongKey(20), 100, 2, 3}, {LongKey(40), 100, 4, 4}};
  pages.PutIndex(2, root);
  BuiltPage a, b, tail;
  a.next = 4;
  a.entries = {Leaf(10, 0), Leaf(20, 1), Leaf(20, 2)};
  b.prev = 3;
  b.next = 5;
  b.entries = {Leaf(30, 3), Leaf(40, 4)};
  tail.prev = 4;
  tail.entries = {Leaf(50, 5)};
  pages.PutIndex(3, a);
  pages.PutIndex(4, b);
  pages.PutIndex(5, tail);
  return pages;
}

std::vector<int> Rows(jet::IndexCursor& c) {
  std::vector<int> rows;
  for (; c.Valid() && rows.size() < 100; c.Next()) rows.push_back(c.row_id().row);
  return rows;
}

TEST(IndexTree, WalksAllLeavesInOrderAndSeeks) {
  MemoryPages pages = TwoLevelTree();
  auto cursor = jet::OpenIndexTree(pages, jet::JetVersion::kJet4, 2, kLongColumn);
  cursor->SeekFirst();
  EXPECT_EQ(Rows(*cursor), (std::vector<int>{0, 1, 2, 3, 4, 5}));

  cursor->SeekGE({jet::Value(int32_t{20})});
  ASSERT_TRUE(cursor->Valid());
  EXPECT_EQ(cursor->row_id().row, 1);
  EXPECT_EQ(cursor->CompareKey({jet::Value(int32_t{20})}), 0);
  cursor->Next();
  EXPECT_EQ(cursor->CompareKey({jet::Value(int32_t{20})}), 0);
  cursor->Next();
  EXPECT_GT(cursor->CompareKey({jet::Value(int32_t{20})}), 0);

  cursor->SeekGE({jet::Value(int32_t{25})});  // between pages: first entry of the next leaf
  EXPECT_EQ(Rows(*cursor), (std::vector<int>{3, 4, 5}));
  cursor->SeekGE({jet::Value(int32_t{45})});  // past the last separator: the tail page
  EXPECT_EQ(Rows(*cursor), (std::vector<int>{5}));
  cursor->SeekGE({jet::Value(int32_t{51})});
  EXPECT_FALSE(cursor->Valid());
  cursor->SeekGE({jet::Value(int32_t{-5})});
  EXPECT_EQ(cursor->row_id().row, 0);
  EXPECT_LT(cursor->CompareKey({jet::Value(int32_t{11})}), 0);
  cursor->SeekGE({});  // the empty prefix matches everything
  EXPECT_EQ(Rows(*cursor).size(), 6u);
}

int OpenAndWalkError(MemoryPages& pages, uint32_t root) {
  return testsupport::ErrorOf([&] {
    auto cursor = jet::OpenIndexTree(pages, jet::JetVersion::kJet4, root, kLongColumn);
    cursor->SeekFirst();
    for (int i = 0; cursor->Valid() && i < 100000; ++i) cursor->Next();
    cursor->SeekGE({jet::Value(int32_t{1000})});
  });
}

TEST(IndexTree, DamagedTreesEndInAnErrorNotAHang) {
  BuiltPage self_linked;  // a leaf whose next link points back at itself
  self_linked.next = 3;
  self_linked.entries = {Leaf(1, 0)};
  BuiltPage own_child;  // an intermediate page that is its own child
  own_child.leaf = false;
  own_child.entries = {{LongKey(5), 1, 0, 3}};
  BuiltPage far_child = own_child;  // a child past the end of the file
  far_child.entries = {{LongKey(5), 1, 0, 77}, {LongKey(9), 1, 0, 2}};
  BuiltPage blank_child = own_child;  // a child that is a blank page
  blank_child.entries = {{LongKey(5000), 1, 0, 2}};
  for (const BuiltPage& root : {self_linked, own_child, far_child, blank_child}) {
    MemoryPages pages;
    pages.PutIndex(3, root);
    EXPECT_EQ(OpenAndWalkError(pages, 3), jet::err::kUnrecognizedFormat);
  }
  {  // a next link to an intermediate page
    MemoryPages pages = TwoLevelTree();
    BuiltPage tail;
    tail.next = 2;
    tail.entries = {Leaf(50, 5)};
    pages.PutIndex(5, tail);
    EXPECT_EQ(OpenAndWalkError(pages, 2), jet::err::kUnrecognizedFormat);
  }
  {  // the root is not an index page
    MemoryPages pages;
    pages.Put(1, std::vector<uint8_t>(testsupport::kJet4PageSize, 0x01));
    EXPECT_EQ(OpenAndWalkError(pages, 1), jet::err::kUnrecognizedFormat);
  }
}

// Pages of random bytes that claim to be index pages, with links among a few page numbers:
// every cursor operation either works or throws Error 3343.
TEST(IndexTree, RandomPagesNeverCrashOrHang) {
  std::mt19937 rng(77);
  std::uniform_int_distribution<int> byte(0, 255), page(1, 6), small(0, 40);
  for (int round = 0; round < 300; ++round) {
    MemoryPages pages;
    for (uint32_t p = 1; p <= 6; ++p) {
      std::vector<uint8_t> bytes(testsupport::kJet4PageSize);
      for (auto& b : bytes) b = static_cast<uint8_t>(byte(rng));
      bytes[0] = static_cast<uint8_t>(byte(rng) % 2 ? 0x03 : 0x04);
      for (size_t at : {12, 16, 20}) {  // links to pages that exist, now and then
        if (byte(rng) % 2)
          bytes[at] = static_cast<uint8_t>(page(rng)), bytes[at + 1] = 0, bytes[at + 2] = 0,
          bytes[at + 3] = 0;
      }
      bytes[24] = static_cast<uint8_t>(small(rng));
      bytes[25] = 0;
      pages.Put(p, std::move(bytes));
    }
    try {
      auto cursor = jet::OpenIndexTree(pages, jet::JetVersion::kJet4, 1, kLongColumn);
      cursor->SeekFirst();
      for (int i = 0; cursor->Valid() && i < 100000; ++i) cursor->Next();
      cursor->SeekGE({jet::Value(int32_t{byte(rng)})});
      if (cursor->Valid()) cursor->CompareKey({jet::Value(int32_t{3})});
    } catch (const jet::Error& e) {
      EXPECT_EQ(e.number(), jet::err::kUnrecognizedFormat);
    }
  }
}

}  // namespace
