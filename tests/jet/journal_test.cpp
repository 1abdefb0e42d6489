#include "jet/journal.h"

#include <gtest/gtest.h>

#include <vector>

#include "jet/database.h"
#include "jet/env.h"
#include "jet/error.h"
#include "jet/journal_format.h"
#include "jet/pager.h"
#include "jet/shared_file.h"
#include "support/fault_env.h"
#include "support/jet_samples.h"
#include "support/page_workload.h"
#include "support/temp_dir.h"

namespace jet {
namespace {

using testsupport::FaultEnv;
using testsupport::FaultKind;
using testsupport::FaultOp;
using testsupport::kWorkloadPageSize;
using testsupport::TempDir;

constexpr size_t kPage = kWorkloadPageSize;

std::vector<uint8_t> StampedPages(uint32_t count, uint64_t t) {
  std::vector<uint8_t> bytes(count * kPage);
  for (uint32_t p = 0; p < count; ++p) {
    testsupport::StampPage(std::span(bytes).subspan(p * kPage, kPage), p, t);
  }
  return bytes;
}

// What a writer that died mid-commit leaves: a complete journal for pages 2 and 5, page 2 half
// overwritten and a page appended.
void LeaveHalfWrittenCommit(const std::string& path, size_t page_size) {
  Env& env = Env::Default();
  auto file = env.OpenWritable(path);
  std::vector<uint32_t> pages = {2, 5};
  WriteJournal(env, journal::PathFor(path), *file, page_size, file->Size(), pages);
  std::vector<uint8_t> junk(page_size / 2, 0xEE);
  file->Write(2 * page_size, junk);
  file->Write(file->Size(), std::vector<uint8_t>(page_size, 0xAB));
}

// A hot journal is rolled back before a reader or a writer (every other sample) sees the file.
TEST(Journal, RealDatabaseOpensWithItsOldContentsAfterAHalfWrittenCommit) {
  REQUIRE_SAMPLES();
  bool for_writing = false;
  for (const auto& sample : testsupport::SampleFiles({"jet4"})) {
    SCOPED_TRACE(sample.stem);
    TempDir dir;
    std::string path = dir.File("copy.mdb");
    std::vector<uint8_t> original = testsupport::ReadWholeFile(sample.path);
    testsupport::WriteWholeFile(path, original);
    LeaveHalfWrittenCommit(path, 4096);

    for_writing = !for_writing;
    auto db = for_writing ? Database::OpenForWriting(path) : Database::Open(path);
    EXPECT_TRUE(testsupport::ReadWholeFile(path) == original);
    EXPECT_FALSE(Env::Default().FileExists(journal::PathFor(path)));
    for (const CatalogEntry& table : db->Tables()) {
      if (!table.linked) db->GetTableDef(table.name);
    }
  }
}

TEST(Journal, IncompleteOrDamagedJournalMeansTheFileWasNotTouchedYet) {
  TempDir dir;
  std::string path = dir.File("pages.dat");
  std::string journal_path = journal::PathFor(path);
  std::vector<uint8_t> original = StampedPages(8, 0);
  testsupport::WriteWholeFile(path, original);
  {
    auto file = Env::Default().OpenReadable(path);
    std::vector<uint32_t> pages = {1, 3, 4};
    WriteJournal(Env::Default(), journal_path, *file, kPage, original.size(), pages);
  }
  const std::vector<uint8_t> whole = testsupport::ReadWholeFile(journal_path);
  size_t record = journal::RecordSize(kPage);

  std::vector<std::vector<uint8_t>> broken;
  for (size_t cut : {size_t{0}, size_t{5}, journal::kHeaderSize, journal::kHeaderSize + record / 2,
                     journal::kHeaderSize + 2 * record, whole.size() - 1}) {
    broken.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
  }
  std::vector<uint8_t> flipped = whole;
  flipped[journal::kHeaderSize + record + 100] ^= 0x40;  // inside the image of page 3
  broken.push_back(flipped);
  std::vector<uint8_t> longer = whole;
  longer.push_back(0);
  broken.push_back(longer);

  for (size_t i = 0; i < broken.size(); ++i) {
    // A broken journal pointing at other contents would roll them in: the file must stay as is.
    std::vector<uint8_t> current = StampedPages(8, 7);
    testsupport::WriteWholeFile(path, current);
    testsupport::WriteWholeFile(journal_path, broken[i]);
    auto shared = SharedFile::Open(Env::Default(), path, false);
    EXPECT_TRUE(testsupport::ReadWholeFile(path) == current) << "case " << i;
    EXPECT_FALSE(Env::Default().FileExists(journal_path)) << "case " << i;
  }
}

// One commit that overwrites pages 1, 3 and 6 and appends two.
void ChangePages(Pager& pager, uint64_t t) {
  pager.Begin();
  for (uint32_t p : {1u, 3u, 6u}) testsupport::StampPage(pager.Modify(p), p, t);
  for (int i = 0; i < 2; ++i) {
    uint32_t p = pager.Append();
    testsupport::StampPage(pager.Modify(p), p, t);
  }
}

const std::vector<testsupport::FaultPoint> kFaultPoints = testsupport::CommitFaultPoints(".dat");

// Walks a fault through every occurrence of its operation in a commit: each either fails the
// commit with the file left as before, or (past the last occurrence) lets it through whole.
TEST(CommitFaults, EveryFailureLeavesTheOldContentsAndAWorkingPager) {
  for (const testsupport::FaultPoint& point : kFaultPoints) {
    int failures = 0;
    for (int nth = 0; nth < 20; ++nth) {
      TempDir dir;
      std::string path = dir.File("pages.dat");
      std::vector<uint8_t> original = StampedPages(8, 0);
      testsupport::WriteWholeFile(path, original);
      FaultEnv env;
      auto shared = SharedFile::Open(env, path, true);
      Pager pager(*shared, kPage, 0);
      env.Fail(point.op, point.suffix, nth, point.kind);
      ChangePages(pager, 1);
      bool failed = false;
      try {
        pager.Commit();
      } catch (const Error& e) {
        failed = true;
        EXPECT_EQ(e.number(), 3043) << point.name;
      }
      SCOPED_TRACE(std::string(point.name) + ", occurrence " + std::to_string(nth));
      EXPECT_FALSE(env.FileExists(journal::PathFor(path)));
      if (failed) {
        ++failures;
        EXPECT_TRUE(testsupport::ReadWholeFile(path) == original);
        EXPECT_EQ(pager.page_count(), 8u);
        EXPECT_EQ(testsupport::StampOf(pager.Page(3), 3), 0u);
        ChangePages(pager, 2);  // the pager goes on after the failure
        pager.Commit();
        EXPECT_EQ(testsupport::StampOf(pager.Page(6), 6), 2u);
      } else {
        EXPECT_EQ(testsupport::StampOf(pager.Page(1), 1), 1u);
        EXPECT_EQ(pager.page_count(), 10u);
      }
      if (!env.struck()) break;
    }
    EXPECT_GT(failures, 0) << point.name;
  }
}

// When restoring fails as well, the journal stays and the next lock of the file restores it:
// another process opening it, or the same pager's next transaction.
TEST(CommitFaults, FailedRestoreIsFinishedByTheNextOpenerOrTransaction) {
  for (FaultOp op : {FaultOp::kWrite, FaultOp::kSync}) {
    for (bool reopen : {true, false}) {
      TempDir dir;
      std::string path = dir.File("pages.dat");
      std::vector<uint8_t> original = StampedPages(8, 0);
      testsupport::WriteWholeFile(path, original);
      FaultEnv env;
      auto shared = SharedFile::Open(env, path, true);
      Pager pager(*shared, kPage, 0);
      ChangePages(pager, 1);
      // The first database write goes through; every later one, and every sync, fails.
      env.Fail(op, ".dat", op == FaultOp::kWrite ? 1 : 0, FaultKind::kError, /*sticky=*/true);
      EXPECT_THROW(pager.Commit(), Error);
      EXPECT_TRUE(env.FileExists(journal::PathFor(path)));
      env.Heal();
      if (reopen) {
        auto other = SharedFile::Open(Env::Default(), path, false);
      } else {
        pager.Begin();
        EXPECT_EQ(testsupport::StampOf(pager.Page(1), 1), 0u);
        pager.Rollback();
      }
      EXPECT_TRUE(testsupport::ReadWholeFile(path) == original);
      EXPECT_FALSE(env.FileExists(journal::PathFor(path)));
    }
  }
}

}  // namespace
}  // namespace jet
