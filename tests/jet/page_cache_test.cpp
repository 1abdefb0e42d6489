// The page cache: bounded residency, least-recently-used eviction, I/O faults. Decryption is
// tested on whole encrypted files with the database.

#include "jet/page_cache.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>

#include "jet/database_file.h"
#include "jet/file.h"
#include "jet/format_error.h"
#include "jet/memory_file.h"
#include "support/jet_samples.h"

namespace jet {
namespace {

constexpr size_t kPage = 2048;

// A file of `pages` pages, page i filled with byte i; counts reads and fails on request.
class ScriptedFile : public RandomAccessFile {
 public:
  explicit ScriptedFile(size_t pages) : bytes_(pages * kPage) {
    for (size_t i = 0; i < bytes_.size(); ++i) bytes_[i] = static_cast<uint8_t>(i / kPage);
  }
  uint64_t Size() const override { return bytes_.size(); }
  size_t Read(uint64_t offset, std::span<uint8_t> out) override {
    ++reads;
    if (failing.count(offset / kPage)) throw IoFailure(EIO);
    size_t n = std::min<uint64_t>(out.size(), bytes_.size() - offset);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), n, out.begin());
    return n;
  }
  int reads = 0;
  std::set<uint64_t> failing;

 private:
  std::vector<uint8_t> bytes_;
};

TEST(PageCache, KeepsAtMostItsCapacityEvictsTheLeastRecentlyUsedAndSurvivesFailedReads) {
  ScriptedFile file(100);
  PageCache cache(file, kPage, 0, 4);
  for (uint32_t p = 0; p < 100; ++p) {
    EXPECT_EQ(cache.Page(p)[0], p);
    EXPECT_LE(cache.resident_pages(), 4u);
  }
  EXPECT_EQ(file.reads, 100);
  // Now resident: 96..99. Touch 96, load 10: 97 goes, 96 stays.
  cache.Page(96);
  cache.Page(10);
  int before = file.reads;
  cache.Page(96);
  EXPECT_EQ(file.reads, before);
  cache.Page(97);
  EXPECT_EQ(file.reads, before + 1);
  // A failed read leaves the cache usable.
  file.failing.insert(50);
  for (int round = 0; round < 3; ++round) {
    EXPECT_THROW(cache.Page(50), Error);
    EXPECT_EQ(cache.Page(49)[0], 49);
    EXPECT_EQ(cache.Page(51)[0], 51);
    EXPECT_LE(cache.resident_pages(), 4u);
  }
}

TEST(PageCache, PagesPastTheEndAreFormatErrorsAndShortPagesReadAsZeros) {
  std::vector<uint8_t> bytes(kPage * 2 + 100, 0xab);
  auto file = NewMemoryFile(bytes);
  PageCache cache(*file, kPage, 0);
  EXPECT_EQ(cache.page_count(), 3u);
  auto last = cache.Page(2);
  EXPECT_EQ(last[99], 0xab);
  EXPECT_EQ(last[100], 0);
  try {
    cache.Page(3);
    FAIL();
  } catch (const Error& e) {
    EXPECT_TRUE(IsCorruptWithoutPath(e));
  }
}

TEST(PageCache, WholeDatabasesReadTheSameThroughATinyCache) {
  REQUIRE_SAMPLES();
  for (const char* name :
       {"jet4/overflowTestV2000.mdb", "jet3/test2V1997.mdb", "jet4/testUnicodeCompV2003.mdb"}) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> bytes = testsupport::ReadWholeFile(testsupport::SamplePath(name));
    auto roomy = OpenDatabaseFile(NewMemoryFile(bytes), name, 1024);
    auto tiny = OpenDatabaseFile(NewMemoryFile(bytes), name, 2);
    for (const CatalogEntry& e : roomy->Tables()) {
      auto def = roomy->GetTableDef(e.name);
      auto a = roomy->Scan(e.name);
      auto b = tiny->Scan(e.name);
      for (; a->Valid(); a->Next(), b->Next()) {
        ASSERT_TRUE(b->Valid());
        for (size_t i = 0; i < def->columns.size(); ++i) {
          ASSERT_EQ(a->value(static_cast<int>(i)), b->value(static_cast<int>(i))) << e.name;
        }
      }
      EXPECT_FALSE(b->Valid());
    }
  }
}

}  // namespace
}  // namespace jet
