// Statements against the relationships Access recorded in indexTestV2000.mdb, on copies: Table1
// refers to Table2 (cascading deletes) and to Table3 (cascading key changes); the navigation
// pane's tables form a chain MSysNavPaneGroupCategories <- MSysNavPaneGroups <-
// MSysNavPaneGroupToObjects that cascades both. A refused statement leaves the file as it was;
// after cascades the independent readers read the file as we do and every index is sound.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jetsql/session.h"
#include "support/oracle_file_test.h"
#include "support/table_check.h"

namespace {

using jetsql::Session;

const std::vector<std::string> kTables = {"Table1",
                                          "Table2",
                                          "Table3",
                                          "MSysNavPaneGroupCategories",
                                          "MSysNavPaneGroups",
                                          "MSysNavPaneGroupToObjects"};

class RelationshipsOracleTest : public testsupport::OracleFileTest {
 protected:
  void SetUp() override {
    OracleFileTest::SetUp();
    if (!IsSkipped()) path_ = Copy("jet4/indexTestV2000.mdb");
  }

  // Every table as mdb-export reads it.
  std::string Export() const {
    std::string all;
    for (const auto& table : kTables) {
      all += table + "\n" + Mdb({"mdb-export", "-0", "NULL", path_, table}) + "\n";
    }
    return all;
  }

  // Runs `sql`, which must fail with `number` naming `table`, and leave the file as it was.
  using OracleFileTest::ExpectRefused;
  void ExpectRefused(const std::string& sql, int32_t number, const std::string& table) {
    const std::string exported = Export();
    const std::string description = ExpectRefused(path_, sql, number);
    EXPECT_NE(description.find("'" + table + "'"), std::string::npos) << sql << ": " << description;
    EXPECT_EQ(Export(), exported);
  }

  // Every index of the file is a sound tree; those of the tables here list their rows, whose
  // number the definition records.
  void ExpectSoundIndexes() {
    CheckEveryIndex(path_);
    auto db = jet::Database::Open(path_);
    for (const auto& t : kTables) {
      EXPECT_EQ(testsupport::CheckTableIndexes(*db, path_, t), "");
      uint32_t rows = 0;
      for (auto c = db->Scan(t); c->Valid(); c->Next()) ++rows;
      EXPECT_EQ(db->GetTableDef(t)->row_count, rows) << t;
    }
  }

  std::string path_;
};

TEST_F(RelationshipsOracleTest, RefusedChangesLeaveTheFileAndCascadesChangeIt) {
  // Refused changes leave the file as it was.
  // A referring row needs its referenced row, in each of its relationships.
  ExpectRefused(
      "INSERT INTO Table1 (id, otherfk1, otherfk2, data, otherfk3) "
      "VALUES (9, 7, 10, 'neu', 0)",
      3201, "Table2");
  ExpectRefused("UPDATE Table1 SET otherfk2 = 20 + otherfk1 WHERE id = 0", 3201, "Table3");
  // Several rows: the second one is refused after the first was written.
  ExpectRefused(
      "INSERT INTO Table1 (id, otherfk1, otherfk2) SELECT id + 10, id, id + 12 "
      "FROM Table2",
      3201, "Table3");
  // A referenced row without the cascade may neither go nor change its key while rows refer.
  ExpectRefused("DELETE FROM Table3 WHERE id = 11", 3200, "Table1");
  ExpectRefused("UPDATE Table2 SET id = 7 WHERE id = 1", 3200, "Table1");
  // Cascades change and delete the referring rows.
  std::map<std::string, int64_t> system_rows;
  {
    Session s(path_, Session::Mode::kReadWrite);
    // Nulls and existing keys pass; a row no longer referred to may go; a key set to what it
    // was is no change.
    EXPECT_EQ(s.Execute("INSERT INTO Table1 (id, otherfk1, otherfk2, data) "
                        "VALUES (4, Null, 12, 'ohne')"),
              1);
    EXPECT_EQ(s.Execute("INSERT INTO Table1 (id, otherfk1, data) VALUES (5, 2, 'fünf')"), 1);
    EXPECT_EQ(s.Execute("UPDATE Table1 SET otherfk2 = Null WHERE id = 0"), 1);
    EXPECT_EQ(s.Execute("DELETE FROM Table3 WHERE id = 10"), 1);
    EXPECT_EQ(s.Execute("UPDATE Table2 SET id = id WHERE id = 1"), 1);

    // Cascading key changes: the referring rows follow, the others stay.
    EXPECT_EQ(s.Execute("UPDATE Table3 SET id = 21, data = 'neu' WHERE id = 11"), 1);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM Table1 WHERE otherfk2 = 21"), 2);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM Table1 WHERE otherfk2 = 11"), 0);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM Table1 WHERE otherfk2 = 13"), 1);

    // Cascading deletes: the statement counts the rows it names.
    EXPECT_EQ(s.Execute("DELETE FROM Table2 WHERE id = 1"), 1);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM Table1 WHERE id IN (1, 2)"), 0);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM Table1"), 4);

    // Through two relationships: a category takes its groups, and they their entries.
    const int64_t groups = Count(s,
                                 "SELECT Count(*) FROM MSysNavPaneGroups WHERE "
                                 "GroupCategoryID = 2");
    const int64_t entries = Count(s,
                                  "SELECT Count(*) FROM MSysNavPaneGroupToObjects WHERE GroupID IN "
                                  "(SELECT Id FROM MSysNavPaneGroups WHERE GroupCategoryID = 2)");
    const int64_t all_entries = Count(s, "SELECT Count(*) FROM MSysNavPaneGroupToObjects");
    ASSERT_GT(groups, 1);
    ASSERT_GT(entries, 1);
    EXPECT_EQ(s.Execute("DELETE FROM MSysNavPaneGroupCategories WHERE Id = 2"), 1);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM MSysNavPaneGroups WHERE GroupCategoryID = 2"), 0);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM MSysNavPaneGroupToObjects"), all_entries - entries);
    for (const char* table :
         {"MSysNavPaneGroupCategories", "MSysNavPaneGroups", "MSysNavPaneGroupToObjects"}) {
      system_rows[table] = Count(s, std::string("SELECT Count(*) FROM ") + table);
    }
  }
  testsupport::CompareTablesWithOracles({path_, "jet4", "indexTestV2000"},
                                        {"Table1", "Table2", "Table3"});
  // mdb-reader lists no system tables: mdbtools alone reads what is left of the chain.
  for (const auto& [table, rows] : system_rows) {
    EXPECT_EQ(testsupport::Lines(Mdb({"mdb-export", path_, table})).size(),
              static_cast<size_t>(rows + 1))
        << table;
  }
  ExpectSoundIndexes();
}

}  // namespace
