// quorla-sql runs a script of INSERT, UPDATE and DELETE statements (and one of data definition) on
// a copy of a real Access file and is killed at random moments, hundreds of times: afterwards the
// file always opens, its indexes agree with its rows, it holds every statement entirely or not at
// all, and mdbtools and mdb-reader read it as quorla does.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/crash_harness.h"
#include "support/jet_samples.h"
#include "support/oracle_export.h"
#include "support/process.h"
#include "support/sql_workload.h"
#include "support/table_check.h"
#include "support/temp_dir.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kDefaultRounds = 30;
#else
constexpr int kDefaultRounds = 150;
#endif

// QUORLA_CRASH_ROUNDS runs more (or fewer) rounds than the default.
int Rounds() {
  const char* env = std::getenv("QUORLA_CRASH_ROUNDS");
  return env != nullptr ? std::atoi(env) : kDefaultRounds;
}

// Statements on MSP_PROJECTS (see CopyProjects), each leaving a marker of its own: copies of all
// 200 first rows (memos and OLE values with them), updates of a third or a fifth of the rows that
// grow texts and memos (rows then no longer fit their pages, memos leave the row), updates of a
// quarter that change unique keys, deletes of the copies made two statements before, single rows
// with memos over 4 KB and over 64 KB, and memos that grow past one page and shrink again.
std::vector<std::string> Script(int statements) {
  std::vector<std::string> script;
  for (int i = 1; i <= statements; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 6) {
      case 1:
        script.push_back(
            "INSERT INTO MSP_PROJECTS (PROJ_ID, PROJ_NAME, PROJ_PROP_AUTHOR, PROJ_PROP_TITLE, "
            "PROJ_OPT_CURRENCY_SYMBOL, PROJ_INFO_START_DATE, PROJ_OPT_DEF_STD_RATE, "
            "PROJ_OPT_CALC_ACT_COSTS, RESERVED_BINARY_DATA) SELECT PROJ_ID + " +
            n + "000, PROJ_NAME & ' I" + n +
            "', PROJ_PROP_AUTHOR, PROJ_PROP_TITLE, PROJ_OPT_CURRENCY_SYMBOL, "
            "PROJ_INFO_START_DATE + " +
            n +
            ", PROJ_OPT_DEF_STD_RATE + 0.5, PROJ_OPT_CALC_ACT_COSTS, RESERVED_BINARY_DATA "
            "FROM MSP_PROJECTS WHERE PROJ_ID <= 200");
        break;
      case 2:
        script.push_back(
            "UPDATE MSP_PROJECTS SET PROJ_PROP_TITLE = 'U" + n +
            " ' & String(30, '日'), PROJ_VERSION = 'U" + n +
            "' & String(40, 'v'), PROJ_PROP_AUTHOR = PROJ_PROP_AUTHOR & String(700, '" +
            std::string(1, static_cast<char>('a' + i % 26)) +
            "') WHERE PROJ_ID MOD 3 = " + std::to_string(i % 3));
        break;
      case 3:
        script.push_back("DELETE FROM MSP_PROJECTS WHERE PROJ_ID > " + std::to_string(i - 2) +
                         "000 AND PROJ_ID < " + std::to_string(i - 1) + "000");
        break;
      case 4:
        script.push_back(
            "INSERT INTO MSP_PROJECTS (PROJ_ID, PROJ_NAME, PROJ_PROP_AUTHOR, "
            "PROJ_INFO_START_DATE, PROJ_OPT_CALC_ACT_COSTS) VALUES (" +
            std::to_string(900000 + i) + ", 'E" + n + "', String(5000, 'e'), #2026-12-07#, True)");
        break;
      case 5:
        script.push_back("UPDATE MSP_PROJECTS SET PROJ_NAME = Left('K" + n +
                         " ' & PROJ_NAME, 255), PROJ_OPT_MINUTES_PER_DAY = "
                         "PROJ_OPT_MINUTES_PER_DAY + 1 WHERE PROJ_ID MOD 4 = " +
                         std::to_string(i % 4));
        break;
      default:
        if ((i / 6) % 2 == 1) {
          script.push_back(
              "UPDATE MSP_PROJECTS SET PROJ_PROP_SUBJECT = IIf(Len(PROJ_PROP_SUBJECT) > 4000, "
              "'kurz " +
              n + "', PROJ_PROP_SUBJECT & String(3000, 'b')) WHERE PROJ_ID MOD 5 = " +
              std::to_string(i % 5));
        } else {
          script.push_back(
              "INSERT INTO MSP_PROJECTS (PROJ_ID, PROJ_NAME, PROJ_PROP_KEYWORDS) VALUES (" +
              std::to_string(800000 + i) + ", 'M" + n + "', String(70000, 'm'))");
        }
    }
  }
  return script;
}

// The script does what it is meant to: its first copies and growing update leave rows that no
// longer fit their pages.
TEST(SqlCrash, ScriptGrowsRowsPastTheirPages) {
  REQUIRE_SAMPLES();
  testsupport::TempDir dir;
  const std::string path = dir.File("projects.mdb");
  testsupport::CopyProjects(path);
  EXPECT_EQ(testsupport::CountOverflowRows(path, "MSP_PROJECTS"), 0);
  for (const std::string& sql : Script(2)) {
    testsupport::ProcessResult r = testsupport::QuorlaSql({path, sql});
    ASSERT_EQ(r.exit_code, 0) << r.err;
  }
  EXPECT_GT(testsupport::CountOverflowRows(path, "MSP_PROJECTS"), 0);
}

// Kills quorla-sql running the workload `rounds` times; each time the file must be whole.
testsupport::CrashReport ExpectWholeAfterKills(testsupport::SqlWorkload& workload,
                                               const std::string& path, int rounds, uint32_t seed) {
  testsupport::CrashReport report = testsupport::RunCrashRounds(workload, path, rounds, seed, 0);
  EXPECT_EQ(report.failure, "") << "quorla-sql: " << workload.ChildLog();
  EXPECT_GT(report.kills, rounds / 2);
  EXPECT_GT(report.committed, 0u);
  ::testing::Test::RecordProperty("kills", report.kills);
  ::testing::Test::RecordProperty("committed", static_cast<int>(report.committed));
  ::testing::Test::RecordProperty("hot_journals", report.hot_journals);
  ::testing::Test::RecordProperty("cycles", workload.cycles());
  return report;
}

TEST(SqlCrash, StatementsOfAKilledWriterAreThereWholeOrNotAtAll) {
  if (std::string why = testsupport::OracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
  testsupport::TempDir dir;
  const std::string path = dir.File("projects.mdb");
  testsupport::SqlWorkload workload({testsupport::CopyProjects,
                                     {"MSP_PROJECTS"},
                                     Script(36),
                                     /*oracle_every=*/50,
                                     /*oracle_max=*/6});
  const int rounds = Rounds();
  testsupport::CrashReport report = ExpectWholeAfterKills(workload, path, rounds, 20261208);
  // The few rounds of a sanitizer build may all miss the commits; a full run must not.
  if (rounds >= 100) {
    EXPECT_GT(report.hot_journals, 0) << "no kill landed inside a commit";
    EXPECT_GT(workload.oracle_checks(), 0);
  }
  testsupport::CompareTablesWithOracles({path, "jet4", "projects"}, {"MSP_PROJECTS"});
}

// Data definition on the same file, each statement leaving a state of its own (the columns added
// to MSP_PROJECTS accumulate): tables made, filled from MSP_PROJECTS, given indexes and a unique
// constraint over their rows, dropped again; MSP_PROJECTS altered with its rows in place and
// indexed and unindexed.
std::vector<std::string> DefinitionScript(int rounds) {
  std::vector<std::string> script;
  for (int r = 0; r < rounds; ++r) {
    const std::string n = std::to_string(r);
    const std::string t = "T" + n;
    script.push_back("CREATE TABLE " + t + " (ID LONG CONSTRAINT PK" + n +
                     " PRIMARY KEY, Name TEXT(255), Note MEMO, Amount CURRENCY)");
    script.push_back("INSERT INTO " + t +
                     " (ID, Name, Note, Amount) SELECT PROJ_ID, PROJ_NAME, PROJ_PROP_AUTHOR, "
                     "PROJ_OPT_DEF_STD_RATE FROM MSP_PROJECTS");
    script.push_back("ALTER TABLE MSP_PROJECTS ADD COLUMN X" + n + " TEXT(20)");
    script.push_back(r % 2 == 0
                         ? "CREATE INDEX IX" + n + " ON " + t + " (Name DESC, Amount)"
                         : "ALTER TABLE " + t + " ADD CONSTRAINT UQ" + n + " UNIQUE (Name, ID)");
    script.push_back(r % 2 == 0 ? "CREATE INDEX IXP" + n + " ON MSP_PROJECTS (PROJ_NAME, PROJ_ID)"
                                : "DROP INDEX IXP" + std::to_string(r - 1) + " ON MSP_PROJECTS");
    script.push_back(r == 0 ? "ALTER TABLE " + t + " ADD COLUMN Y LONG"
                            : "DROP TABLE T" + std::to_string(r - 1));
  }
  return script;
}

TEST(SqlCrash, DataDefinitionOfAKilledWriterIsThereWholeOrNotAtAll) {
  if (std::string why = testsupport::OracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
  testsupport::TempDir dir;
  const std::string path = dir.File("projects.mdb");
  testsupport::SqlWorkload workload({testsupport::CopyProjects,
                                     {},
                                     DefinitionScript(6),
                                     /*oracle_every=*/50,
                                     /*oracle_max=*/4});
  ExpectWholeAfterKills(workload, path, Rounds() / 2, 20261209);
}

}  // namespace
