// Tables of other Jet files: linked tables (read through to the file their link names, or the
// file of that name beside the database), and FROM t IN 'file' / [;DATABASE=file].t. Two real
// sample files play front end and back end, in a temporary folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jetsql/session.h"
#include "query_objects.h"
#include "support/jet_samples.h"
#include "support/temp_dir.h"

namespace jetsql::testing {
namespace {

using testsupport::RowsAsText;

struct Failure {
  int number = 0;
  std::string text;
};

Failure FailureOf(Session& session, const std::string& sql) {
  try {
    session.Query(sql);
  } catch (const jet::Error& e) {
    return {e.number(), e.description()};
  }
  return {};
}

class OtherDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_SAMPLES();
    front_ = dir_.File("front.mdb");
    back_ = dir_.File("backend.mdb");
    testsupport::CopySample("jet4/queryTestV2000.mdb", front_);
    testsupport::CopySample("jet4/testV2000.mdb", back_);
    {
      Session s(front_, Session::Mode::kReadWrite);
      for (const char* row : {"('a', 'x', 'p')", "('b', 'y', 'q')", "('abcdefg', 'z', 'r')"}) {
        s.Execute(std::string("INSERT INTO Table1 VALUES ") + row);
      }
    }
    back_rows_ = RowsAsText(Session(back_).Query("SELECT * FROM Table1"));
    ASSERT_FALSE(back_rows_.empty());
  }

  testsupport::TempDir dir_;
  std::string front_, back_;
  std::vector<std::string> back_rows_;
};

TEST_F(OtherDatabaseTest, LinkedTablesReadTheirFileOrNameIt) {
  // Linked tables read their file.
  // Access records the path on the machine that made the link; here the file lies beside.
  testsupport::AddLinkedTable(front_, 3002, "Absolut", back_, "Table1");
  testsupport::AddLinkedTable(front_, 3003, "Beiliegend", "C:\\Daten\\backend.mdb", "Table1");
  Session again(front_);
  EXPECT_EQ(RowsAsText(again.Query("SELECT * FROM Absolut")), back_rows_);
  RecordSet linked = again.Query("SELECT * FROM Beiliegend");
  EXPECT_EQ(RowsAsText(linked), back_rows_);
  EXPECT_EQ(linked.field_names, Session(back_).Query("SELECT * FROM Table1").field_names);
  // Lookups, joins with local tables and the link's own name as qualifier.
  EXPECT_EQ(RowsAsText(again.Query("SELECT Beiliegend.B FROM Beiliegend WHERE A = 'a'")),
            RowsAsText(Session(back_).Query("SELECT B FROM Table1 WHERE A = 'a'")));
  EXPECT_EQ(RowsAsText(again.Query("SELECT t.col2, l.B FROM Table1 AS t INNER JOIN Beiliegend AS l "
                                   "ON t.col1 = l.A ORDER BY t.col2")),
            (std::vector<std::string>{"'x'|'b'|", "'z'|'hijklmnop'|"}));

  std::unique_ptr<jet::Database> db = jet::Database::Open(front_);
  auto entries = db->Tables();
  auto entry = std::find_if(entries.begin(), entries.end(),
                            [](const jet::CatalogEntry& e) { return e.name == "Beiliegend"; });
  ASSERT_NE(entry, entries.end());
  EXPECT_TRUE(entry->linked);
  EXPECT_EQ(db->GetTableDef("Beiliegend")->name, "Beiliegend");
  EXPECT_EQ(db->GetTableDef("Beiliegend")->columns.size(), 9u);
  // Missing linked files are named.
  testsupport::AddLinkedTable(front_, 3011, "Fort", "C:\\Nirgends\\fehlt.mdb", "Table1");
  testsupport::AddLinkedTable(front_, 3012, "Weg", dir_.File("fehlt.mdb"), "Table1");
  testsupport::AddLinkedTable(front_, 3013, "Schleife", "C:\\Daten\\front.mdb", "Schleife");
  Session session(front_);
  Failure no_folder = FailureOf(session, "SELECT * FROM Fort");
  EXPECT_EQ(no_folder.number, 3044);
  EXPECT_EQ(no_folder.text.rfind("'C:\\Nirgends\\fehlt.mdb' ist kein zulässiger Pfad.", 0), 0u)
      << no_folder.text;
  Failure no_file = FailureOf(session, "SELECT * FROM Weg");
  EXPECT_EQ(no_file.number, 3024);
  EXPECT_EQ(no_file.text, "Datei '" + dir_.File("fehlt.mdb") + "' nicht gefunden.");
  // A link that leads back to itself ends with an error, not with the stack.
  EXPECT_EQ(FailureOf(session, "SELECT * FROM Schleife").number, 3103);
  // The local tables still read.
  EXPECT_EQ(session.Query("SELECT * FROM Table1").rows.size(), 3u);
}

TEST_F(OtherDatabaseTest, FromInAndDatabasePrefix) {
  Session session(front_);
  for (const std::string& sql : std::vector<std::string>{
           "SELECT * FROM Table1 IN 'backend.mdb'", "SELECT * FROM [;DATABASE=backend.mdb].Table1",
           "SELECT * FROM Table1 IN '' [MS Access;DATABASE=backend.mdb]",
           "SELECT * FROM Table1 IN '" + back_ + "'",
           "SELECT b.* FROM Table1 AS b IN 'backend.mdb'"}) {
    SCOPED_TRACE(sql);
    EXPECT_EQ(RowsAsText(session.Query(sql)), back_rows_);
  }
  // A local table of the same name stays apart from the other file's.
  EXPECT_EQ(RowsAsText(session.Query("SELECT t.col2, b.B FROM Table1 AS t INNER JOIN "
                                     "[;DATABASE=backend.mdb].Table1 AS b ON t.col1 = b.A "
                                     "ORDER BY t.col2")),
            (std::vector<std::string>{"'x'|'b'|", "'z'|'hijklmnop'|"}));
  EXPECT_EQ(session.Query("SELECT Count(*) FROM Table1").rows[0][0], jet::Value(int32_t{3}));

  Failure missing = FailureOf(session, "SELECT * FROM Table1 IN 'fehlt.mdb'");
  EXPECT_EQ(missing.number, 3024);
  EXPECT_NE(missing.text.find("fehlt.mdb"), std::string::npos);
  EXPECT_EQ(FailureOf(session, "SELECT * FROM Table1 IN 'C:\\Daten\\fehlt.mdb'").number, 3044);
  EXPECT_EQ(FailureOf(session, "SELECT * FROM Kunden IN 'backend.mdb'").number, 3078);
  EXPECT_EQ(FailureOf(session, "SELECT * FROM Table1 IN '' [dBASE IV;DATABASE=C:\\x]").number,
            3170);
  EXPECT_EQ(FailureOf(session, "SELECT * FROM Table1 IN").number, 3131);
}

}  // namespace
}  // namespace jetsql::testing
