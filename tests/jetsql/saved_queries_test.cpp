// Saved queries: their SQL decoded from MSysQueries as Access shows it, and their use wherever a
// table can stand. The sample files' own queries are read as Access left them; queries of the
// kinds they lack are added to a temporary copy, row by row as Access stores them.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/saved_queries.h"
#include "jetsql/session.h"
#include "query_objects.h"
#include "support/error_of.h"
#include "support/jet_samples.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace jetsql::testing {
namespace {

using testsupport::AddSavedQuery;
using testsupport::Part;
using testsupport::RowsAsText;

std::map<std::string, std::string> QueriesOf(const std::string& file) {
  std::unique_ptr<jet::Database> db = jet::Database::Open(file);
  std::map<std::string, std::string> out;
  for (const jet::SavedQuery& q : jet::ReadSavedQueries(*db)) out[q.name] = q.sql;
  return out;
}

// What running `sql` gives: its rows, or the number of the error it fails with.
struct Outcome {
  int error = 0;
  std::vector<std::string> rows;
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << "error " << o.error << ", " << o.rows.size() << " rows";
  for (const auto& r : o.rows) *os << "\n  " << r;
}

Outcome RunSql(Session& session, const std::string& sql) {
  Outcome out;
  try {
    out.rows = RowsAsText(session.Query(sql), true);
  } catch (const jet::Error& e) {
    out.error = e.number();
  }
  return out;
}

int ErrorOf(Session& session, const std::string& sql, std::string* text = nullptr) {
  return testsupport::ErrorOf([&] { session.Query(sql); }, text);
}

TEST(SavedQuerySqlTest, SampleQueriesReadAsAccessShowsThem) {
  REQUIRE_SAMPLES();
  for (const char* file :
       {"jet4/queryTestV2000.mdb", "jet4/queryTestV2003.mdb", "jet3/queryTestV1997.mdb"}) {
    SCOPED_TRACE(file);
    std::map<std::string, std::string> q = QueriesOf(testsupport::SamplePath(file));
    ASSERT_EQ(q.size(), 9u);
    EXPECT_EQ(q["SelectQuery"],
              "SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3\r\n"
              "FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2 ON "
              "(Table3.col1 = Table2.col2) AND (Table3.col1 = Table2.col1)\r\n"
              "WHERE (((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))\r\n"
              "ORDER BY Table2.col1;");
    EXPECT_EQ(q["DeleteQuery"],
              "DELETE Table1.col1, Table1.col2, Table1.col3\r\nFROM Table1\r\n"
              "WHERE (((Table1.col1)>\"blah\"));");
    EXPECT_EQ(q["AppendQuery"],
              "INSERT INTO Table3 ( col2, col2, col3 )\r\n"
              "SELECT [Table1].[col2], [Table2].[col2], [Table2].[col3]\r\n"
              "FROM Table3, Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1];");
    EXPECT_EQ(q["UpdateQuery"],
              "PARAMETERS [User Name] Text;\r\nUPDATE Table1\r\n"
              "SET Table1.col1 = \"foo\", Table1.col2 = [Table2].[col3], [Table2].[col1] = "
              "[User Name]\r\nWHERE ((([Table2].[col1]) Is Not Null));");
    EXPECT_EQ(q["MakeTableQuery"],
              "SELECT Max(Table2.col1) AS MaxOfcol1, Table2.col2, Table3.col2 INTO Table4\r\n"
              "FROM (Table2 INNER JOIN Table1 ON Table2.col1 = Table1.col2) RIGHT JOIN Table3 ON "
              "Table1.col2 = Table3.col3\r\nGROUP BY Table2.col2, Table3.col2\r\n"
              "HAVING (((Max(Table2.col1))=\"buzz\") AND ((Table2.col2)<>\"blah\"));");
    EXPECT_EQ(q["CrosstabQuery"],
              "TRANSFORM Count([Table2].[col2]) AS CountOfcol2\r\n"
              "SELECT Table2_1.col1, [Table2].[col3], Avg(Table2_1.col2) AS AvgOfcol2\r\n"
              "FROM (Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1]) INNER JOIN "
              "Table2 AS Table2_1 ON [Table2].[col1]=Table2_1.col3\r\n"
              "WHERE ((([Table1].[col1])>\"10\") And ((Table2_1.col1) Is Not Null) And "
              "((Avg(Table2_1.col2))>\"10\"))\r\nGROUP BY Table2_1.col1, [Table2].[col3]\r\n"
              "ORDER BY [Table2].[col3]\r\nPIVOT [Table1].[col1];");
    EXPECT_EQ(q["UnionQuery"],
              "Select Table1.col1, Table1.col2\r\nwhere Table1.col1 = \"foo\"\r\nUNION\r\n"
              "Select Table2.col1, Table2.col2\r\nUNION ALL Select Table3.col1, Table3.col2\r\n"
              "where Table3.col3 > \"blah\";");
    EXPECT_EQ(q["DataDefinitionQuery"], "CREATE TABLE Table5 (col1 CHAR, col2 CHAR);");
    EXPECT_EQ(q["PassthroughQuery"], "ALTER TABLE Table4 DROP COLUMN col5;");
  }
}

// A copy of queryTestV2000.mdb with rows in its tables and saved queries of every kind the
// program runs.
class SavedQueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_SAMPLES();
    file_ = dir_.File("abfragen.mdb");
    testsupport::CopySample("jet4/queryTestV2000.mdb", file_);
    {
      Session s(file_, Session::Mode::kReadWrite);
      for (const char* row : {"('a', 'x', 'p')", "('b', 'y', 'q')", "('c', 'x', 'r')",
                              "('d', 'z', 's')", "('e', 'x', Null)"}) {
        s.Execute(std::string("INSERT INTO Table1 VALUES ") + row);
      }
      for (const char* row : {"('a', 'foo', '1')", "('c', 'buzz', '2')", "('f', 'bar', '3')"}) {
        s.Execute(std::string("INSERT INTO Table2 VALUES ") + row);
        s.Execute(std::string("INSERT INTO Table3 VALUES ") + row);
      }
    }
    AddSavedQuery(file_, 1001, "Auswahl", 1,
                  {Part(5, "Table1"), Part(6, {}, {}, "Table1.col1"),
                   Part(6, "Gruppe", {}, "Table1.col2"), Part(8, {}, {}, "Table1.col3>\"p\"")});
    AddSavedQuery(file_, 1002, "Verschachtelt", 1,
                  {Part(5, "Auswahl"), Part(5, "Table2"),
                   Part(7, "Auswahl", "Table2", "Auswahl.col1 = Table2.col1", 2),
                   Part(6, {}, {}, "Auswahl.col1"), Part(6, {}, {}, "Table2.col2"),
                   Part(11, {}, {}, "Auswahl.col1")});
    AddSavedQuery(file_, 1003, "Vereinigung", 9,
                  {Part(3, {}, {}, {}, 2), Part(5, {}, "X7YZ_____1", "SELECT col1 FROM Table1\r\n"),
                   Part(5, {}, "X7YZ_____2", "SELECT col1 FROM Table2"), Part(11, {}, {}, "col1")});
    AddSavedQuery(
        file_, 1004, "Kreuztabelle", 6,
        {Part(5, "Table1"), Part(6, {}, {}, "Table1.col2", 2), Part(9, {}, {}, "Table1.col2", 2),
         Part(6, "Anzahl", {}, "Count(Table1.col3)"), Part(6, {}, {}, "Table1.col1", 1)});
    AddSavedQuery(file_, 1005, "Parameter", 1,
                  {Part(2, "Welche Gruppe", {}, {}, 10, 50), Part(5, "Table1"),
                   Part(6, {}, {}, "Table1.col1"), Part(8, {}, {}, "Table1.col2=[Welche Gruppe]")});
    AddSavedQuery(file_, 1006, "ÜberParameter", 1, {Part(5, "Parameter"), Part(3, {}, {}, {}, 1)});
    AddSavedQuery(file_, 1007, "KreisA", 1, {Part(5, "KreisB"), Part(3, {}, {}, {}, 1)});
    AddSavedQuery(file_, 1008, "KreisB", 1, {Part(5, "KreisA"), Part(3, {}, {}, {}, 1)});
    AddSavedQuery(file_, 1009, "Selbst", 1, {Part(5, "Selbst"), Part(3, {}, {}, {}, 1)});
    session_ = std::make_unique<Session>(file_);
  }

  std::string Sql(const std::string& name) { return QueriesOf(file_)[name]; }

  testsupport::TempDir dir_;
  std::string file_;
  std::unique_ptr<Session> session_;
};

TEST_F(SavedQueryTest, OtherReadersSeeTheAddedQueries) {
  if (!testsupport::HaveProgram("mdb-queries")) GTEST_SKIP() << "mdbtools is not installed";
  std::optional<std::string> names = testsupport::OutputOf({"mdb-queries", "-L", "-1", file_});
  ASSERT_TRUE(names.has_value());
  for (const char* name :
       {"Auswahl", "Verschachtelt", "Vereinigung", "Kreuztabelle", "Parameter"}) {
    EXPECT_NE(names->find(std::string(name) + "\n"), std::string::npos) << name << " in " << *names;
  }
  std::optional<std::string> rows = testsupport::OutputOf({"mdb-export", file_, "MSysQueries"});
  ASSERT_TRUE(rows.has_value());
  EXPECT_NE(rows->find("1005,2,,\"Welche Gruppe\",,,10,50"), std::string::npos) << *rows;
}

TEST_F(SavedQueryTest, EachQueryGivesWhatItsSqlGives) {
  std::unique_ptr<jet::Database> db = jet::Database::Open(file_);
  size_t compared = 0;
  for (const jet::SavedQuery& q : jet::ReadSavedQueries(*db)) {
    if (!q.row_returning()) continue;
    SCOPED_TRACE(q.name + ": " + q.sql);
    Outcome direct = RunSql(*session_, q.sql);
    Outcome saved = RunSql(*session_, "SELECT * FROM [" + q.name + "]");
    if (q.name.rfind("Kreis", 0) == 0 || q.name == "Selbst") {
      EXPECT_EQ(saved.error, 3103);
      continue;
    }
    EXPECT_EQ(saved, direct);
    ++compared;
  }
  EXPECT_GE(compared, 8u);
}

TEST_F(SavedQueryTest, QueriesStandWhereTablesStand) {
  // Select nested and joined.
  EXPECT_EQ(Sql("Auswahl"),
            "SELECT Table1.col1, Table1.col2 AS Gruppe\r\nFROM Table1\r\n"
            "WHERE Table1.col3>\"p\";");
  EXPECT_EQ(RunSql(*session_, "SELECT col1, Gruppe FROM Auswahl").rows,
            (std::vector<std::string>{"'b'|'y'|", "'c'|'x'|", "'d'|'z'|"}));
  // A saved query reading a saved query, in a left join with a table.
  EXPECT_EQ(RunSql(*session_, "SELECT * FROM Verschachtelt").rows,
            (std::vector<std::string>{"'b'|Null|", "'c'|'buzz'|", "'d'|Null|"}));
  // Under an alias, joined to a table, and in a subquery.
  EXPECT_EQ(RunSql(*session_,
                   "SELECT a.col1, t.col2 FROM Auswahl AS a INNER JOIN Table2 AS t "
                   "ON a.col1 = t.col1")
                .rows,
            (std::vector<std::string>{"'c'|'buzz'|"}));
  EXPECT_EQ(
      RunSql(*session_, "SELECT col1 FROM Table1 WHERE col1 NOT IN (SELECT col1 FROM Auswahl)")
          .rows,
      (std::vector<std::string>{"'a'|", "'e'|"}));
  EXPECT_EQ(RunSql(*session_, "SELECT Count(*) FROM Auswahl, Vereinigung").rows,
            (std::vector<std::string>{"18|"}));
  // Its fields are known by the query's name.
  EXPECT_EQ(RunSql(*session_, "SELECT Auswahl.Gruppe FROM Auswahl WHERE Auswahl.col1 = 'd'").rows,
            (std::vector<std::string>{"'z'|"}));
  EXPECT_EQ(ErrorOf(*session_, "SELECT Table1.col1 FROM Auswahl"), 3061);
  // Union and crosstab.
  EXPECT_EQ(Sql("Vereinigung"),
            "SELECT col1 FROM Table1\r\nUNION SELECT col1 FROM Table2\r\nORDER BY col1;");
  EXPECT_EQ(RunSql(*session_, "SELECT col1 FROM Vereinigung WHERE col1 > 'c'").rows,
            (std::vector<std::string>{"'d'|", "'e'|", "'f'|"}));

  EXPECT_EQ(Sql("Kreuztabelle"),
            "TRANSFORM Count(Table1.col3) AS Anzahl\r\nSELECT Table1.col2\r\nFROM Table1\r\n"
            "GROUP BY Table1.col2\r\nPIVOT Table1.col1;");
  // The crosstab's columns come from the data, also when another query reads it.
  RecordSet direct = session_->Query("SELECT * FROM Kreuztabelle");
  EXPECT_EQ(direct.field_names, (std::vector<std::string>{"col2", "a", "b", "c", "d", "e"}));
  EXPECT_EQ(RowsAsText(direct, true),
            (std::vector<std::string>{"'x'|1|Null|1|Null|0|", "'y'|Null|1|Null|Null|Null|",
                                      "'z'|Null|Null|Null|1|Null|"}));
  EXPECT_EQ(RunSql(*session_, "SELECT k.col2 FROM Kreuztabelle AS k WHERE k.e = 0").rows,
            (std::vector<std::string>{"'x'|"}));
  // Parameters are asked for.
  EXPECT_EQ(Sql("Parameter"),
            "PARAMETERS [Welche Gruppe] Text ( 50 );\r\nSELECT Table1.col1\r\nFROM Table1\r\n"
            "WHERE Table1.col2=[Welche Gruppe];");
  std::string text;
  EXPECT_EQ(ErrorOf(*session_, "SELECT * FROM Parameter", &text), 3061);
  EXPECT_EQ(text, "Zu wenige Parameter. Erwartet: 1.");
  // Through another saved query, and together with a parameter of the statement itself.
  EXPECT_EQ(ErrorOf(*session_, "SELECT * FROM ÜberParameter", &text), 3061);
  EXPECT_EQ(text, "Zu wenige Parameter. Erwartet: 1.");
  EXPECT_EQ(ErrorOf(*session_, "SELECT * FROM Parameter WHERE col1 = [Noch einer]", &text), 3061);
  EXPECT_EQ(text, "Zu wenige Parameter. Erwartet: 2.");
  EXPECT_EQ(ErrorOf(*session_, "SELECT * FROM Parameter WHERE col1 = [Welche Gruppe]", &text),
            3061);
  EXPECT_EQ(text, "Zu wenige Parameter. Erwartet: 1.");
}

TEST_F(SavedQueryTest, CyclesAndWrongKindsAreErrors) {
  std::string text;
  EXPECT_EQ(ErrorOf(*session_, "SELECT * FROM KreisA", &text), 3103);
  EXPECT_NE(text.find("KreisA"), std::string::npos) << text;
  EXPECT_EQ(ErrorOf(*session_, "SELECT * FROM Selbst"), 3103);
  EXPECT_EQ(ErrorOf(*session_, "SELECT * FROM Table1 WHERE col1 IN (SELECT * FROM KreisB)"), 3103);
  // Action queries return no rows to read from.
  EXPECT_EQ(ErrorOf(*session_, "SELECT * FROM DeleteQuery"), 3219);
  EXPECT_EQ(ErrorOf(*session_, "SELECT * FROM Nirgends"), 3078);
  // The session stays usable.
  EXPECT_EQ(RunSql(*session_, "SELECT Count(*) FROM Auswahl").rows,
            (std::vector<std::string>{"3|"}));
}

}  // namespace
}  // namespace jetsql::testing
