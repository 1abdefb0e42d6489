// Disk faults injected into the commit of SQL statements: a write of the journal or of the
// database that fails or stores only part of its bytes, a failed sync of either or of the folder,
// a journal that cannot be removed. Each ends the statement with Jet's disk error and leaves the
// file exactly as it was, sound and read alike by mdbtools and mdb-reader; the same connection
// then runs the statement whole.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/database_file.h"
#include "jet/env.h"
#include "jet/error.h"
#include "jet/journal_format.h"
#include "jetsql/session.h"
#include "support/fault_env.h"
#include "support/jet_samples.h"
#include "support/oracle_export.h"
#include "support/table_check.h"
#include "support/temp_dir.h"

namespace {

using testsupport::FaultEnv;
using testsupport::FaultKind;
using testsupport::FaultOp;

const std::vector<testsupport::FaultPoint> kFaultPoints = testsupport::CommitFaultPoints(".mdb");

const std::vector<std::string> kTables = {"MSP_PROJECTS"};

// Occurrences of an operation to fail: the first two, then ever further apart, up to the last.
int NextOccurrence(int nth) {
  return nth < 2 ? nth + 1 : nth * 4;
}

struct Statement {
  const char* name;
  const char* sql;
};

const Statement kStatements[] = {
    {"InsertSelect",
     "INSERT INTO MSP_PROJECTS (PROJ_ID, PROJ_NAME, PROJ_PROP_AUTHOR, PROJ_INFO_START_DATE, "
     "RESERVED_BINARY_DATA) SELECT PROJ_ID + 1000, 'Kopie ' & PROJ_NAME, PROJ_PROP_AUTHOR, "
     "PROJ_INFO_START_DATE, RESERVED_BINARY_DATA FROM MSP_PROJECTS"},
    {"UpdateGrowingRows",
     "UPDATE MSP_PROJECTS SET PROJ_VERSION = String(40, '日'), PROJ_PROP_AUTHOR = "
     "PROJ_PROP_AUTHOR & String(3000, 'm'), PROJ_NAME = 'K ' & PROJ_NAME WHERE PROJ_ID MOD 2 = 0"},
    {"DeleteWhere", "DELETE FROM MSP_PROJECTS WHERE PROJ_ID MOD 3 = 1"},
};

class DmlFaultTest : public ::testing::TestWithParam<Statement> {
 protected:
  void SetUp() override {
    if (std::string why = testsupport::OracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
  }

  // The file's tables as a digest, after checking that it opens and (`indexes`) that its
  // indexes agree with its rows.
  static std::string SoundState(const std::string& path, bool indexes = true) {
    auto db = jet::Database::Open(path);
    for (const std::string& t : kTables) {
      if (indexes) {
        EXPECT_EQ(testsupport::CheckTableIndexes(*db, path, t), "") << t;
      }
    }
    return testsupport::TablesDigest(*db, kTables);
  }
};

TEST_P(DmlFaultTest, EachFailureLeavesTheFileAsItWasAndTheStatementRunsAfterwards) {
  const std::string sql = GetParam().sql;
  testsupport::TempDir dir;
  const std::string path = dir.File("projects.mdb");
  testsupport::CopyProjects(path);
  const std::vector<uint8_t> original = testsupport::ReadWholeFile(path);
  const std::string original_state = SoundState(path);

  // What the statement does without faults.
  int64_t clean_count = 0;
  {
    jetsql::Session clean(path, jetsql::Session::Mode::kReadWrite);
    clean_count = clean.Execute(sql);
  }
  ASSERT_GT(clean_count, 0);
  const std::string clean_state = SoundState(path);
  ASSERT_NE(clean_state, original_state);

  int faults = 0;
  for (const testsupport::FaultPoint& point : kFaultPoints) {
    int failures = 0;
    for (int nth = 0; nth < 100000; nth = NextOccurrence(nth)) {
      SCOPED_TRACE(std::string(point.name) + ", occurrence " + std::to_string(nth));
      testsupport::WriteWholeFile(path, original);
      FaultEnv env;
      bool failed = false;
      {
        std::shared_ptr<jet::Database> db = jet::OpenDatabaseWithEnv(env, path, true);
        jetsql::Session session(db);
        env.Fail(point.op, point.suffix, nth, point.kind);
        try {
          session.Execute(sql);
        } catch (const jet::Error& e) {
          failed = true;
          EXPECT_EQ(e.number(), 3043) << e.description();
        }
        EXPECT_FALSE(env.FileExists(jet::journal::PathFor(path)));
        if (failed) {
          ++failures;
          EXPECT_TRUE(testsupport::ReadWholeFile(path) == original) << "the file changed";
          if (failures == 1) {
            EXPECT_EQ(SoundState(path), original_state);
            testsupport::CompareTablesWithOracles({path, "jet4", "projects"}, kTables);
          }
          // The connection goes on: the statement runs whole now.
          env.Heal();
          EXPECT_EQ(session.Execute(sql), clean_count);
        }
      }
      EXPECT_EQ(SoundState(path, /*indexes=*/nth == 0), clean_state);
      if (::testing::Test::HasFailure()) return;
      if (!env.struck()) break;
    }
    EXPECT_GT(failures, 0) << point.name;
    faults += failures;
  }
  RecordProperty("faults", faults);
}

std::string StatementName(const ::testing::TestParamInfo<Statement>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Statements, DmlFaultTest, ::testing::ValuesIn(kStatements), StatementName);

}  // namespace
