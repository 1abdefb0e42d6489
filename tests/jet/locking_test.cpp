#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "jet/access_lock_file.h"
#include "jet/database.h"
#include "jet/database_file.h"
#include "jet/env.h"
#include "jet/error.h"
#include "jet/pager.h"
#include "jet/shared_file.h"
#include "support/error_of.h"
#include "support/fault_env.h"
#include "support/jet_samples.h"
#include "support/page_workload.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace jet {
namespace {

using testsupport::kWorkloadPageSize;
using testsupport::StampOf;
using testsupport::StampPage;
using testsupport::TempDir;

constexpr size_t kPage = kWorkloadPageSize;
constexpr SharedFileOptions kShortWait{std::chrono::milliseconds(50), std::chrono::milliseconds(1)};

std::string NewPageFile(const TempDir& dir, uint32_t pages = 8) {
  std::string path = dir.File("pages.dat");
  testsupport::PageWorkload(pages).Prepare(path);
  return path;
}

using testsupport::ErrorOf;

using testsupport::Spawn;
using testsupport::Wait;

int InChild(const std::function<int()>& body) {
  return Wait(Spawn(body));
}

TEST(Locking, SecondWriterWaitsThenGetsLockedAndLaterSeesTheCommit) {
  TempDir dir;
  std::string path = NewPageFile(dir);
  auto first_file = SharedFile::Open(Env::Default(), path, true);
  auto second_file = SharedFile::Open(Env::Default(), path, true, kShortWait);
  Pager first(*first_file, kPage, 0);
  Pager second(*second_file, kPage, 0);
  EXPECT_EQ(StampOf(second.Page(2), 2), 0u);  // cached before the other's commit

  first.Begin();
  StampPage(first.Modify(2), 2, 5);
  EXPECT_EQ(ErrorOf([&] { second.Begin(); }), 3218);
  first.Commit();

  second.Begin();
  EXPECT_EQ(StampOf(second.Page(2), 2), 5u);
  second.Rollback();
}

TEST(Locking, WriterInAnotherProcessGetsLockedWhileAStatementRuns) {
  TempDir dir;
  std::string path = NewPageFile(dir);
  auto shared = SharedFile::Open(Env::Default(), path, true);
  Pager pager(*shared, kPage, 0);
  pager.Begin();
  StampPage(pager.Modify(1), 1, 1);

  int child = InChild([&] {
    auto other = SharedFile::Open(Env::Default(), path, true,
                                  {std::chrono::milliseconds(200), std::chrono::milliseconds(5)});
    Pager theirs(*other, kPage, 0);
    int number = ErrorOf([&] { theirs.Begin(); });
    // It may still read: the statement has not touched the file yet.
    theirs.BeginRead();
    bool untouched = StampOf(theirs.Page(1), 1) == 0;
    theirs.EndRead();
    return number == 3218 && untouched ? 0 : 1;
  });
  EXPECT_EQ(child, 0);
  pager.Commit();
  EXPECT_EQ(StampOf(pager.Page(1), 1), 1u);
}

TEST(Locking, TwoProcessesIncrementingOneCounterLoseNoUpdate) {
  TempDir dir;
  std::string path = NewPageFile(dir);
  constexpr int kEach = 60;
  auto increment = [&] {
    auto shared = SharedFile::Open(Env::Default(), path, true);
    Pager pager(*shared, kPage, 0);
    for (int done = 0; done < kEach;) {
      try {
        pager.Begin();
      } catch (const Error& e) {
        if (e.number() == 3218) continue;
        throw;
      }
      uint64_t n = StampOf(pager.Page(3), 3);
      StampPage(pager.Modify(3), 3, n + 1);
      StampPage(pager.Modify(4), 4, n + 1);
      pager.Commit();
      ++done;
    }
    return 0;
  };
  const pid_t a = Spawn(increment);
  const pid_t b = Spawn(increment);
  ASSERT_EQ(Wait(a), 0);
  ASSERT_EQ(Wait(b), 0);

  auto shared = SharedFile::Open(Env::Default(), path, false);
  Pager pager(*shared, kPage, 0);
  EXPECT_EQ(StampOf(pager.Page(3), 3), 2u * kEach);
  EXPECT_EQ(StampOf(pager.Page(4), 4), 2u * kEach);
}

TEST(Locking, CommitWaitsForAReadStatementToEnd) {
  TempDir dir;
  std::string path = NewPageFile(dir);
  std::vector<uint8_t> original = testsupport::ReadWholeFile(path);
  auto reader_file = SharedFile::Open(Env::Default(), path, false);
  auto writer_file = SharedFile::Open(Env::Default(), path, true, kShortWait);
  Pager reader(*reader_file, kPage, 0);
  Pager writer(*writer_file, kPage, 0);

  reader.BeginRead();
  writer.Begin();  // a transaction may start while others read
  StampPage(writer.Modify(1), 1, 1);
  EXPECT_EQ(ErrorOf([&] { writer.Commit(); }), 3218);
  EXPECT_TRUE(testsupport::ReadWholeFile(path) == original);
  EXPECT_EQ(StampOf(reader.Page(1), 1), 0u);
  reader.EndRead();

  writer.Begin();
  StampPage(writer.Modify(1), 1, 1);
  writer.Commit();
  reader.BeginRead();
  EXPECT_EQ(StampOf(reader.Page(1), 1), 1u);
  EXPECT_GT(reader.changes_seen(), 0u);
  reader.EndRead();
}

TEST(Locking, ReaderDropsPagesAnotherProcessChangedEvenWithinOneClockTick) {
  TempDir dir;
  std::string path = NewPageFile(dir);
  auto reader_file = SharedFile::Open(Env::Default(), path, false);
  Pager reader(*reader_file, kPage, 0);
  auto writer_file = SharedFile::Open(Env::Default(), path, true);
  Pager writer(*writer_file, kPage, 0);
  // Commits of the same size follow each other faster than a coarse file clock ticks.
  for (uint64_t t = 1; t <= 20; ++t) {
    writer.Begin();
    StampPage(writer.Modify(5), 5, t);
    writer.Commit();
    reader.BeginRead();
    ASSERT_EQ(StampOf(reader.Page(5), 5), t);
    reader.EndRead();
  }
}

// Reads the pages of a file another process keeps committing to (changing and appending pages),
// through Page or PageInPlace, and checks that each read statement sees one whole transaction.
void ReadWhileAnotherProcessCommits(bool in_place) {
  TempDir dir;
  std::string path = dir.File("pages.dat");
  testsupport::PageWorkload workload(24, 150);
  workload.Prepare(path);
  const pid_t child = Spawn([&] {
    workload.Run(path);
    return 0;
  });
  auto shared = SharedFile::Open(Env::Default(), path, false);
  Pager pager(*shared, kPage, 0);
  InPlacePages mapped(pager);
  PageReader& pages = in_place ? static_cast<PageReader&>(mapped) : pager;
  uint64_t last = 0;
  int reads = 0;
  int status = 0;
  for (;;) {
    bool done = ::waitpid(child, &status, WNOHANG) == child;
    pager.BeginRead();
    uint64_t committed = 0;
    std::string problem = workload.Check(pages, committed);
    pager.EndRead();
    ASSERT_EQ(problem, "") << "after " << reads << " reads";
    ASSERT_GE(committed, last);
    last = committed;
    ++reads;
    if (done) break;
  }
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(last, 150u);
  EXPECT_GT(pager.changes_seen(), 0u);
}

TEST(Locking, ReadersInAnotherProcessOnlyEverSeeWholeTransactions) {
  for (bool in_place : {false, true}) {
    SCOPED_TRACE(in_place ? "in place" : "copied");
    ReadWhileAnotherProcessCommits(in_place);
  }
}

TEST(Locking, PagesReadInPlaceShowCommitsOfAnotherHandleAndTheirOwnTransaction) {
  TempDir dir;
  std::string path = NewPageFile(dir);
  auto reader_file = SharedFile::Open(Env::Default(), path, false);
  auto writer_file = SharedFile::Open(Env::Default(), path, true);
  Pager reader(*reader_file, kPage, 0);
  Pager writer(*writer_file, kPage, 0);
  reader.BeginRead();
  EXPECT_EQ(StampOf(reader.PageInPlace(2), 2), 0u);
  reader.EndRead();

  writer.Begin();
  StampPage(writer.Modify(2), 2, 7);
  uint32_t added = writer.Append();
  StampPage(writer.Modify(added), added, 7);
  // The transaction reads its own changes, the reader still the committed pages.
  EXPECT_EQ(StampOf(writer.PageInPlace(2), 2), 7u);
  EXPECT_EQ(StampOf(writer.PageInPlace(added), added), 7u);
  writer.Commit();

  reader.BeginRead();
  ASSERT_EQ(reader.page_count(), added + 1);
  EXPECT_EQ(StampOf(reader.PageInPlace(2), 2), 7u);
  EXPECT_EQ(StampOf(reader.PageInPlace(added), added), 7u);
  reader.EndRead();

  writer.Begin();
  StampPage(writer.Modify(2), 2, 8);
  writer.Rollback();
  writer.BeginRead();
  EXPECT_EQ(StampOf(writer.PageInPlace(2), 2), 7u);
  writer.EndRead();
}

class SampleCopy {
 public:
  explicit SampleCopy(const std::string& folder) {
    auto samples = testsupport::SampleFiles({folder});
    if (samples.empty()) return;
    path_ = dir_.File("Kunden.mdb");
    testsupport::WriteWholeFile(path_, testsupport::ReadWholeFile(samples.front().path));
  }
  const std::string& path() const { return path_; }
  std::string LockFile() const { return dir_.File("Kunden.ldb"); }

 private:
  TempDir dir_;
  std::string path_;
};

TEST(LockFile, ExistsWhileTheDatabaseIsOpenForWritingAndNamesEachUser) {
  REQUIRE_SAMPLES();
  SampleCopy copy("jet4");
  ASSERT_FALSE(copy.path().empty());
  Env& env = Env::Default();
  {
    auto reader = Database::Open(copy.path());
    EXPECT_FALSE(env.FileExists(copy.LockFile()));
  }
  auto first = Database::OpenForWriting(copy.path());
  std::vector<uint8_t> one = testsupport::ReadWholeFile(copy.LockFile());
  ASSERT_EQ(one.size(), lock_file::kEntrySize);
  std::string machine = env.MachineName().substr(0, 31);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(one.data())), machine);
  EXPECT_EQ(std::string(one.begin() + 32, one.end()), "Admin" + std::string(27, ' '));

  auto second = Database::OpenForWriting(copy.path());
  EXPECT_EQ(testsupport::ReadWholeFile(copy.LockFile()).size(), 2 * lock_file::kEntrySize);
  first.reset();
  EXPECT_TRUE(env.FileExists(copy.LockFile()));
  second.reset();
  EXPECT_FALSE(env.FileExists(copy.LockFile()));
}

TEST(LockFile, UserInAnotherProcessKeepsItAndALeftoverIsRemovedByTheLastToLeave) {
  REQUIRE_SAMPLES();
  SampleCopy copy("jet4");
  ASSERT_FALSE(copy.path().empty());
  // A user that died left its entry behind.
  testsupport::WriteWholeFile(copy.LockFile(), std::vector<uint8_t>(64, 'x'));
  auto db = Database::OpenForWriting(copy.path());
  int child = InChild([&] {
    auto theirs = Database::OpenForWriting(copy.path());
    theirs.reset();
    return Env::Default().FileExists(copy.LockFile()) ? 0 : 1;  // we are still in
  });
  EXPECT_EQ(child, 0);
  db.reset();
  EXPECT_FALSE(Env::Default().FileExists(copy.LockFile()));
}

TEST(ReadOnly, Jet3FilesAndReadOnlyMediaAreRefusedForWritingButStillRead) {
  REQUIRE_SAMPLES();
  SampleCopy jet3("jet3");
  ASSERT_FALSE(jet3.path().empty());
  EXPECT_EQ(ErrorOf([&] { Database::OpenForWriting(jet3.path()); }), 3027);
  EXPECT_FALSE(Env::Default().FileExists(jet3.LockFile()));
  EXPECT_FALSE(Database::Open(jet3.path())->Tables().empty());

  SampleCopy jet4("jet4");
  testsupport::FaultEnv read_only;
  read_only.set_read_only(true);
  EXPECT_EQ(ErrorOf([&] { OpenDatabaseWithEnv(read_only, jet4.path(), true); }), 3027);
  auto db = OpenDatabaseWithEnv(read_only, jet4.path(), false);
  EXPECT_FALSE(db->writable());
  EXPECT_EQ(ErrorOf([&] { db->BeginStatement(); }), 3027);
  db->BeginRead();
  EXPECT_FALSE(db->Tables().empty());
  db->EndRead();

  if (::geteuid() != 0) {  // permissions do not bind the superuser
    ::chmod(jet4.path().c_str(), 0444);
    EXPECT_EQ(ErrorOf([&] { Database::OpenForWriting(jet4.path()); }), 3027);
    EXPECT_FALSE(Database::Open(jet4.path())->Tables().empty());
  }
}

TEST(ReadOnly, WritableDatabaseRunsEmptyStatementsAndSeesNoChange) {
  REQUIRE_SAMPLES();
  SampleCopy copy("jet4");
  std::vector<uint8_t> original = testsupport::ReadWholeFile(copy.path());
  auto db = Database::OpenForWriting(copy.path());
  EXPECT_TRUE(db->writable());
  {
    ReadScope read(*db);
    EXPECT_FALSE(db->Tables().empty());
  }
  db->BeginStatement();
  db->CommitStatement();
  db->BeginStatement();
  db->RollbackStatement();
  EXPECT_EQ(testsupport::ReadWholeFile(copy.path()), original);
}

}  // namespace
}  // namespace jet
