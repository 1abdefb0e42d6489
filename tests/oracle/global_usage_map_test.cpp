// Pages taken from a database's global usage map when that map is a reference map whose
// pointer list holds a stray value (testRefGlobalV2000.mdb ends it with 0xFFFFFF80): the value
// names no bitmap page, so new tables, rows and indexes go on pages of their own and every
// reader sees them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "jet/database.h"
#include "jetsql/session.h"
#include "support/jet_samples.h"
#include "support/oracle_export.h"
#include "support/table_check.h"
#include "support/temp_dir.h"

namespace {

TEST(GlobalUsageMap, StrayPointerOfAReferenceMapNamesNoPage) {
  if (std::string why = testsupport::OracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
  testsupport::TempDir dir;
  const std::string path = dir.File("refglobal.mdb");
  testsupport::CopySample("jet4/testRefGlobalV2000.mdb", path);
  {
    jetsql::Session s(path, jetsql::Session::Mode::kReadWrite);
    s.Execute("CREATE TABLE Neu (ID LONG CONSTRAINT PrimaryKey PRIMARY KEY, Name TEXT(50))");
    s.Execute("INSERT INTO Neu (ID, Name) VALUES (1, 'eins')");
    s.Execute("INSERT INTO Neu (ID, Name) SELECT ID + 1, Name & ' zwei' FROM Neu");
    s.Execute("CREATE INDEX NameIndex ON Neu (Name)");
  }
  auto db = jet::Database::Open(path);
  EXPECT_EQ(testsupport::CheckTableIndexes(*db, path, "Neu"), "");
  const std::vector<std::string> tables = testsupport::MdbTables({path, "jet4", "refglobal"});
  EXPECT_THAT(tables, testing::Contains("Neu"));
  testsupport::CompareTablesWithOracles({path, "jet4", "refglobal"}, {"Neu"});
}

}  // namespace
