// Two processes writing one file at once: quorla-sql against a writer in another process that
// holds its statement open gets Jet's locked error (3218) and changes nothing, and two quorla-sql
// scripts running side by side wait for each other and lose no statement. Afterwards the indexes
// agree with the rows and mdbtools and mdb-reader read the file as quorla does.

#include <gtest/gtest.h>
#include <unistd.h>

#include <future>
#include <string>
#include <vector>

#include "jet/database.h"
#include "support/jet_samples.h"
#include "support/oracle_export.h"
#include "support/process.h"
#include "support/table_check.h"
#include "support/temp_dir.h"

namespace {

using testsupport::ProcessResult;

const std::vector<std::string> kTables = {"MSP_PROJECTS"};

ProcessResult QuorlaSqlScript(const std::string& path, const std::string& script_path) {
  return testsupport::RunProcess({"/bin/sh", "-c", "exec \"$0\" \"$1\" < \"$2\"",
                                  testsupport::QuorlaSqlProgram(), path, script_path});
}

int64_t Count(const std::string& path, const std::string& sql) {
  ProcessResult r = testsupport::QuorlaSql({path, sql});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  std::vector<std::string> lines = testsupport::Lines(r.out);
  return lines.size() == 2 ? std::stoll(lines[1]) : -1;
}

void ExpectSound(const std::string& path) {
  {
    auto db = jet::Database::Open(path);
    for (const std::string& t : kTables) {
      EXPECT_EQ(testsupport::CheckTableIndexes(*db, path, t), "") << t;
    }
  }
  testsupport::CompareTablesWithOracles({path, "jet4", "projects"}, kTables);
}

class ConcurrentWritersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string why = testsupport::OracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
    path_ = dir_.File("projects.mdb");
    testsupport::CopyProjects(path_);
  }

  testsupport::TempDir dir_;
  std::string path_;
};

TEST_F(ConcurrentWritersTest, StatementAgainstAnOpenStatementOfAnotherProcessGets3218) {
  int ready[2];
  int go[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(go), 0);
  pid_t holder = testsupport::Spawn([&] {
    auto db = jet::Database::OpenForWriting(path_);
    db->BeginStatement();
    auto def = db->GetTableDef("MSP_PROJECTS");
    std::vector<jet::Value> row = db->ReadRow("MSP_PROJECTS", db->Scan("MSP_PROJECTS")->row_id());
    for (size_t c = 0; c < def->columns.size(); ++c) {
      if (def->columns[c].name == "PROJ_ID") row[c] = int32_t{5000};
      if (def->columns[c].name == "PROJ_NAME") row[c] = std::string("vom anderen Prozess");
    }
    db->InsertRow("MSP_PROJECTS", row);
    char c = 'r';
    if (::write(ready[1], &c, 1) != 1 || ::read(go[0], &c, 1) != 1) return 1;
    db->CommitStatement();
    return 0;
  });
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1) << "the other writer did not start its statement";

  // The other process is inside its statement: a change waits for it, then gives up.
  ProcessResult locked = testsupport::QuorlaSql(
      {path_, "UPDATE MSP_PROJECTS SET PROJ_VERSION = 'gesperrt' WHERE PROJ_ID <= 10"});
  EXPECT_EQ(locked.exit_code, 1);
  EXPECT_EQ(locked.err.rfind("Fehler 3218: ", 0), 0u) << locked.err;
  // Reading goes on and does not see the other's change yet.
  EXPECT_EQ(Count(path_, "SELECT Count(*) FROM MSP_PROJECTS"), testsupport::kProjectRows);

  ASSERT_EQ(::write(go[1], &c, 1), 1);
  ASSERT_EQ(testsupport::Wait(holder), 0);
  for (int fd : {ready[0], ready[1], go[0], go[1]}) ::close(fd);

  EXPECT_EQ(Count(path_, "SELECT Count(*) FROM MSP_PROJECTS WHERE PROJ_VERSION = 'gesperrt'"), 0);
  EXPECT_EQ(
      Count(path_, "SELECT Count(*) FROM MSP_PROJECTS WHERE PROJ_NAME = 'vom anderen Prozess'"), 1);
  ExpectSound(path_);

  // Now the change goes through.
  ProcessResult again = testsupport::QuorlaSql(
      {path_, "UPDATE MSP_PROJECTS SET PROJ_VERSION = 'frei' WHERE PROJ_ID <= 10"});
  EXPECT_EQ(again.exit_code, 0) << again.err;
  EXPECT_EQ(Count(path_, "SELECT Count(*) FROM MSP_PROJECTS WHERE PROJ_VERSION = 'frei'"), 10);
}

TEST_F(ConcurrentWritersTest, TwoScriptsSideBySideLoseNoStatement) {
  constexpr int kStatements = 40;
  std::vector<std::string> scripts;
  for (int p = 1; p <= 2; ++p) {
    std::string text;
    const std::string tag = "P" + std::to_string(p) + "-";
    for (int i = 0; i < kStatements; ++i) {
      const std::string n = std::to_string(i);
      if (i % 2 == 0) {
        text += "INSERT INTO MSP_PROJECTS (PROJ_ID, PROJ_NAME, PROJ_PROP_AUTHOR) VALUES (" +
                std::to_string(p * 10000 + i) + ", '" + tag + n + "', String(" +
                std::to_string(100 + i * 150) + ", 'p'));\n";
      } else {
        // Both processes count up on the same rows: no update may be lost.
        text +=
            "UPDATE MSP_PROJECTS SET PROJ_OPT_MINUTES_PER_DAY = PROJ_OPT_MINUTES_PER_DAY + 1, "
            "PROJ_VERSION = '" +
            tag + n + "' WHERE PROJ_ID <= 20;\n";
      }
    }
    scripts.push_back(dir_.File("script" + std::to_string(p) + ".sql"));
    testsupport::WriteWholeFile(scripts.back(), std::vector<uint8_t>(text.begin(), text.end()));
  }
  const std::string sum =
      "SELECT Sum(PROJ_OPT_MINUTES_PER_DAY) FROM MSP_PROJECTS WHERE PROJ_ID <= 20";
  const int64_t sum_before = Count(path_, sum);

  auto first = std::async(std::launch::async, [&] { return QuorlaSqlScript(path_, scripts[0]); });
  auto second = std::async(std::launch::async, [&] { return QuorlaSqlScript(path_, scripts[1]); });
  ProcessResult a = first.get();
  ProcessResult b = second.get();
  EXPECT_EQ(a.exit_code, 0) << a.err;
  EXPECT_EQ(b.exit_code, 0) << b.err;

  EXPECT_EQ(Count(path_, "SELECT Count(*) FROM MSP_PROJECTS WHERE PROJ_NAME LIKE 'P?-*'"),
            kStatements);
  EXPECT_EQ(Count(path_, sum), sum_before + 20 * kStatements);
  ExpectSound(path_);
}

}  // namespace
