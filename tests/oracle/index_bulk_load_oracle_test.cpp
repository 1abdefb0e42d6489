// CREATE INDEX over thousands of rows builds each tree at once: the trees have several levels,
// list every row under its key, stay sound when the writer changes the rows afterwards, and the
// table reads the same for mdbtools and mdb-reader. A unique index over duplicates changes nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/index_check.h"
#include "jetsql/session.h"
#include "support/oracle_file_test.h"
#include "support/raw_page_file.h"
#include "support/table_check.h"

namespace {

using jetsql::Session;

class IndexBulkLoadOracleTest : public testsupport::OracleFileTest {
 protected:
  void SetUp() override {
    OracleFileTest::SetUp();
    if (!IsSkipped()) path_ = Copy("bench/orders-100k.mdb");
  }

  // Levels of the tree of the table's index `name`.
  uint32_t DepthOf(const std::string& table, const std::string& name) {
    auto db = jet::Database::Open(path_);
    quorla_test::RawPageFile pages(path_);
    for (const jet::IndexDef& index : db->GetTableDef(table)->indexes) {
      if (index.name == name) return jet::CheckIndex(pages, pages.version(), index.root_page).depth;
    }
    ADD_FAILURE() << "no index " << name;
    return 0;
  }

  std::string TableIndexProblems(const std::string& table) {
    auto db = jet::Database::Open(path_);
    return testsupport::CheckTableIndexes(*db, path_, table);
  }

  std::string path_;
};

TEST_F(IndexBulkLoadOracleTest, IndexesOverThousandsOfRowsServeEveryReaderAndLaterChanges) {
  {
    Session s(path_, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute("CREATE TABLE Namen (Nr LONG, Name TEXT(200), Zahl LONG, Kennung LONG)"),
              0);
    // Long text keys with umlauts, a Null in every 13th row, many rows per Zahl, Kennung unique
    // but for its Nulls.
    EXPECT_EQ(s.Execute("INSERT INTO Namen (Nr, Name, Zahl, Kennung) SELECT OrderID, IIf(OrderID "
                        "Mod 13 = 0, Null, Kunde & ' in ' & Ort & ', Bestellung ' & String(OrderID "
                        "Mod 40, 'ä') & (OrderID Mod 997)), OrderID Mod 50, IIf(OrderID Mod 5 = 0, "
                        "Null, -OrderID) FROM orders WHERE OrderID <= 6000"),
              6000);
    EXPECT_EQ(s.Execute("CREATE INDEX idxName ON Namen (Name)"), 0);
    EXPECT_EQ(s.Execute("CREATE INDEX idxZahlName ON Namen (Zahl DESC, Name)"), 0);
    EXPECT_EQ(s.Execute("CREATE UNIQUE INDEX idxNr ON Namen (Nr) WITH DISALLOW NULL"), 0);
    EXPECT_EQ(s.Execute("CREATE INDEX idxOhneNull ON Namen (Name) WITH IGNORE NULL"), 0);
    EXPECT_EQ(s.Execute("CREATE UNIQUE INDEX idxKennung ON Namen (Kennung DESC)"), 0);
    EXPECT_EQ(ErrorOf(s, "CREATE INDEX idxPflicht ON Namen (Name) WITH DISALLOW NULL"), 3058);
  }
  EXPECT_EQ(TableIndexProblems("Namen"), "");
  EXPECT_GE(DepthOf("Namen", "idxName"), 3u);
  EXPECT_GE(DepthOf("Namen", "idxZahlName"), 3u);
  EXPECT_GE(DepthOf("Namen", "idxNr"), 2u);

  // Unique indexes over duplicates are refused before anything is written.
  ExpectRefused(path_, "CREATE UNIQUE INDEX idxDoppelt ON Namen (Zahl)", 3022);
  ExpectRefused(path_, "ALTER TABLE Namen ADD CONSTRAINT Schluessel PRIMARY KEY (Zahl, Name)",
                3058);
  ExpectRefused(path_, "CREATE UNIQUE INDEX idxDoppelt ON orders (Ort)", 3022);

  // The writer changes the full pages the indexes were built with.
  {
    Session s(path_, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute("INSERT INTO Namen (Nr, Name, Zahl) SELECT OrderID, Kunde & ' in ' & Ort "
                        "& ', Nachtrag', OrderID Mod 50 FROM orders WHERE OrderID > 6000 AND "
                        "OrderID <= 7500"),
              1500);
    EXPECT_GT(s.Execute("DELETE FROM Namen WHERE Nr Mod 7 = 0"), 0);
    EXPECT_GT(s.Execute("UPDATE Namen SET Name = 'geändert ' & Name WHERE Nr Mod 11 = 0"), 0);
    EXPECT_EQ(ErrorOf(s, "INSERT INTO Namen (Nr, Name) VALUES (1, 'doppelt')"), 3022);
  }
  EXPECT_EQ(TableIndexProblems("Namen"), "");
  testsupport::CompareTablesWithOracles({path_, "jet4", "orders-100k"}, {"Namen"});
}

}  // namespace
