// The "jet" virtual table over a real file: values by the bridge's convention, and lookups
// through indexes that read only the rows they need (counted by a wrapper around the engine).

#include <map>

#include "jetsql/value_convert.h"
#include "sql_fixture.h"
#include "support/new_database.h"

namespace jetsql::testing {
namespace {

// The engine, counting the rows the module reads by id and passes in table scans; its indexes
// can be made to fail.
class CountingDatabase : public jet::Database {
 public:
  explicit CountingDatabase(jet::Database& db) : db_(db) {}
  jet::JetVersion version() const override { return db_.version(); }
  std::vector<jet::CatalogEntry> Tables() override { return db_.Tables(); }
  std::shared_ptr<const jet::TableDef> GetTableDef(const std::string& name) override {
    return db_.GetTableDef(name);
  }
  std::unique_ptr<jet::TableCursor> Scan(const std::string& name) override {
    return std::make_unique<Cursor>(db_.Scan(name), *this);
  }
  std::unique_ptr<jet::IndexCursor> OpenIndex(const std::string& name, int index) override {
    if (index_fails) throw jet::Error(jet::err::kUnrecognizedFormat, "index not readable");
    return db_.OpenIndex(name, index);
  }
  std::vector<jet::Value> ReadRow(const std::string& name, jet::RowId id) override {
    ++rows_read;
    return db_.ReadRow(name, id);
  }
  std::unique_ptr<jet::RowReader> OpenRowReader(const std::string& name) override {
    return std::make_unique<Reader>(db_.OpenRowReader(name), *this);
  }

  int rows_read = 0;
  int rows_scanned = 0;
  std::map<int, int> values_read;  // by column position, from scans and row readers
  bool index_fails = false;

 private:
  class Cursor : public jet::TableCursor {
   public:
    Cursor(std::unique_ptr<jet::TableCursor> base, CountingDatabase& counts)
        : base_(std::move(base)), counts_(counts) {
      if (base_->Valid()) ++counts_.rows_scanned;
    }
    bool Valid() const override { return base_->Valid(); }
    void Next() override {
      base_->Next();
      if (base_->Valid()) ++counts_.rows_scanned;
    }
    jet::RowId row_id() const override { return base_->row_id(); }
    jet::Value value(int column) override {
      ++counts_.values_read[column];
      return base_->value(column);
    }
    void ReadValue(int column, jet::Value& out) override {
      ++counts_.values_read[column];
      base_->ReadValue(column, out);
    }

   private:
    std::unique_ptr<jet::TableCursor> base_;
    CountingDatabase& counts_;
  };

  class Reader : public jet::RowReader {
   public:
    Reader(std::unique_ptr<jet::RowReader> base, CountingDatabase& counts)
        : base_(std::move(base)), counts_(counts) {}
    void Seek(jet::RowId id) override {
      ++counts_.rows_read;
      base_->Seek(id);
    }
    void ReadValue(int column, jet::Value& out) override {
      ++counts_.values_read[column];
      base_->ReadValue(column, out);
    }

   private:
    std::unique_ptr<jet::RowReader> base_;
    CountingDatabase& counts_;
  };

  jet::Database& db_;
};

class VtabTest : public SqlFixture {
 protected:
  void SetUp() override {
    SqlFixture::SetUp();
    file_.Execute(
        "CREATE TABLE [Kunden Liste] (ID LONG CONSTRAINT PrimaryKey PRIMARY KEY, Name TEXT(50), "
        "Betrag CURRENCY, Aktiv YESNO, Seit DATETIME, Kennung GUID, Anteil DECIMAL(10, 2), "
        "Gewicht FLOAT)");
    file_.Execute("CREATE INDEX Name ON [Kunden Liste] (Name)");
    jet::Database& db = file_.db();
    db.BeginStatement();
    for (int i = 1; i <= kRows; ++i) {
      jet::Guid g{};
      g[0] = static_cast<uint8_t>(i);
      db.InsertRow("Kunden Liste",
                   {int32_t{i}, "Kunde " + std::to_string(i % 100),
                    jet::Currency{int64_t{i} * 12345}, i % 2 == 0, jet::DateTime{45000.0 + i}, g,
                    *ParseDecimalText("1.50"), i % 10 == 0 ? jet::Value{} : jet::Value{i / 4.0}});
    }
    db.CommitStatement();
    RegisterJetModule(db_, &counting_, &pending_);
    Exec("CREATE VIRTUAL TABLE temp.k USING jet(\"Kunden Liste\")");
  }

  static constexpr int kRows = 1000;
  testsupport::NewDatabase file_;
  CountingDatabase counting_{file_.db()};
};

TEST_F(VtabTest, ScanGivesEveryRowInTheConventionAndCollation) {
  // Scan gives every row in the convention.
  EXPECT_EQ(Eval("SELECT count(*) FROM k"), "1000");
  EXPECT_EQ(Eval("SELECT count(Gewicht) FROM k"), "900");
  EXPECT_EQ(Eval("SELECT Betrag FROM k WHERE rowid = (SELECT rowid FROM k WHERE ID = 3)"),
            "37035");  // 3 x 1.2345 as ten-thousandths
  EXPECT_EQ(Eval("SELECT Aktiv || ',' || Seit || ',' || Anteil FROM k WHERE ID = 2"),
            "-1,45002.0,1.50");
  EXPECT_EQ(Eval("SELECT Kennung FROM k WHERE ID = 1"), "{00000001-0000-0000-0000-000000000000}");
  EXPECT_EQ(Eval("SELECT typeof(Aktiv) || typeof(Seit) || typeof(Betrag) FROM k WHERE ID = 1"),
            "integerrealinteger");
  // Joins and sorts use the collation.
  EXPECT_EQ(Eval("SELECT count(*) FROM k a JOIN k b ON a.ID = b.ID + 1 WHERE a.ID <= 10"), "9");
  EXPECT_EQ(Eval("SELECT Name FROM k WHERE ID < 4 ORDER BY Name DESC LIMIT 1"), "Kunde 3");
}

TEST_F(VtabTest, KeyLookupReadsOneRowThroughThePrimaryKey) {
  EXPECT_EQ(Eval("SELECT Name FROM k WHERE ID = 742"), "Kunde 42");
  EXPECT_EQ(counting_.rows_scanned, 0);
  EXPECT_LE(counting_.rows_read, 2);
}

TEST_F(VtabTest, RangeOnIndexedColumnReadsOnlyTheRange) {
  EXPECT_EQ(Eval("SELECT count(*) || ':' || sum(ID) FROM k WHERE ID BETWEEN 101 AND 110"),
            "10:1055");
  EXPECT_EQ(counting_.rows_scanned, 0);
  EXPECT_LE(counting_.rows_read, 11);
  // Strict and non-integral bounds are widened for the walk and checked again by SQLite.
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE ID > 2.5 AND ID < 5"), "2");
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE ID = 2.5"), "0");
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE ID >= 995"), "6");
}

TEST_F(VtabTest, RangeWalkGivesEachRowOnceAndTheIndexOrderWhenTheStatementSortsByIt) {
  // More rows than one batch of row ids, spread over many pages with several per page.
  file_.Execute("CREATE TABLE Zahlen (N LONG, Gruppe LONG)");
  file_.Execute("CREATE INDEX Gruppe ON Zahlen (Gruppe)");
  jet::Database& db = file_.db();
  db.BeginStatement();
  constexpr int kNumbers = 9000;
  int64_t in_range = 0, sum = 0;
  for (int i = 0; i < kNumbers; ++i) {
    db.InsertRow("Zahlen", {int32_t{i}, int32_t{i % 7}});
    if (i % 7 >= 1 && i % 7 <= 5) {
      ++in_range;
      sum += i;
    }
  }
  db.CommitStatement();
  Exec("CREATE VIRTUAL TABLE temp.z USING jet(Zahlen)");
  const std::string expected =
      std::to_string(in_range) + ":" + std::to_string(in_range) + ":" + std::to_string(sum);
  EXPECT_EQ(Eval("SELECT count(*) || ':' || count(DISTINCT N) || ':' || sum(N) FROM z WHERE "
                 "Gruppe BETWEEN 1 AND 5"),
            expected);
  EXPECT_EQ(counting_.rows_scanned, 0);
  EXPECT_LE(counting_.rows_read, in_range + 1);
  // The same rows as a scan, which the unary plus forces.
  EXPECT_EQ(Eval("SELECT group_concat(N) FROM (SELECT N FROM z WHERE Gruppe BETWEEN 1 AND 5 "
                 "ORDER BY N)"),
            Eval("SELECT group_concat(N) FROM (SELECT N FROM z WHERE +Gruppe BETWEEN 1 AND 5 "
                 "ORDER BY N)"));
  EXPECT_GT(counting_.rows_scanned, 0);
  // Sorted by the indexed column, the walk keeps the index's order and stops early.
  counting_.rows_read = 0;
  EXPECT_EQ(Eval("SELECT group_concat(Gruppe, '') FROM (SELECT Gruppe FROM z WHERE Gruppe >= 3 "
                 "ORDER BY Gruppe LIMIT 5)"),
            "33333");
  EXPECT_LE(counting_.rows_read, 10);
}

TEST_F(VtabTest, TextKeyMatchesWithoutRegardToCase) {
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE Name = 'KUNDE 7'"), "10");
  EXPECT_EQ(counting_.rows_scanned, 0);
  EXPECT_LE(counting_.rows_read, 11);
  EXPECT_EQ(Eval("SELECT min(ID) FROM k WHERE Name >= 'kunde 99'"), "99");
}

TEST_F(VtabTest, OnlyTheColumnsAStatementUsesAreRead) {
  auto read = [&](int column) { return counting_.values_read[column]; };
  // A text range walks the Name index: Name for the check, ID for the sum, nothing else.
  EXPECT_EQ(Eval("SELECT count(*) || ':' || sum(ID) FROM k WHERE Name BETWEEN 'Kunde 10' AND "
                 "'KUNDE 11'"),
            "20:9210");
  EXPECT_EQ(counting_.rows_scanned, 0);
  for (int unused : {2, 3, 4, 5, 6, 7}) EXPECT_EQ(read(unused), 0) << unused;
  // Each value once per row, though SQLite checks both bounds and the result reads Name again.
  EXPECT_LE(read(1), counting_.rows_read);
  counting_.values_read.clear();
  EXPECT_EQ(Eval("SELECT group_concat(Name, '|') FROM k WHERE Name BETWEEN 'Kunde 98' AND "
                 "'Kunde 99' AND ID > 900"),
            "Kunde 98|Kunde 99");
  EXPECT_EQ(read(2), 0);

  // A scan filtering on a column it does not return.
  counting_.values_read.clear();
  EXPECT_EQ(Eval("SELECT sum(ID) FROM k WHERE Gewicht > 248"), "6972");  // 993 to 999
  EXPECT_EQ(read(1), 0);
  EXPECT_EQ(read(2), 0);
}

TEST_F(VtabTest, RowsLookedUpAgainHaveEveryColumnTheStatementReads) {
  // The inner side of each join looks the same few rows up again and again; each statement
  // reads other columns of them, some only in its condition.
  EXPECT_EQ(
      Eval("SELECT count(*) || ':' || sum(b.Betrag) FROM k a JOIN k b ON b.ID = a.ID % 5 + 1"),
      "1000:37035000");
  EXPECT_EQ(Eval("SELECT group_concat(DISTINCT b.Name) FROM k a JOIN k b ON b.ID = a.ID % 3 + 1 "
                 "WHERE b.Gewicht > 0.5"),
            "Kunde 3");
  EXPECT_EQ(Eval("SELECT count(*) FROM k a JOIN k b ON b.ID = a.ID % 3 + 1 WHERE b.Aktiv"), "334");
  // Two lookups of the same table in one statement, reading different columns.
  EXPECT_EQ(Eval("SELECT (SELECT Name FROM k b WHERE b.ID = a.ID) || '/' || "
                 "(SELECT Gewicht FROM k c WHERE c.ID = a.ID) FROM k a WHERE a.ID = 7"),
            "Kunde 7/1.75");
}

TEST_F(VtabTest, LikeOnATextColumnIsCheckedByTheTable) {
  EXPECT_EQ(Eval("SELECT count(*) || ':' || sum(ID) FROM k WHERE jet_like_column(Name, '*E 7')"),
            "10:4570");
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE jet_like_column(Name, '*e 7') OR ID = 1"), "11");
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE ID < 20 AND jet_like_column(Name, 'kunde 1*')"),
            "11");
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE jet_like_column(Name, NULL)"), "0");
  EXPECT_EQ(Eval("SELECT jet_like_column(Name, '*7') FROM k WHERE ID = 7"), "1");
  // A pattern Like refuses fails the statement as soon as there is a row to compare.
  EXPECT_EQ(
      Eval("SELECT count(*) FROM k WHERE jet_like_column(Name, '[a')").rfind("error: jet:93", 0),
      0u);
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE ID < 0 AND jet_like_column(Name, '[a')"), "0");
}

TEST_F(VtabTest, UnreadableIndexFallsBackToAScan) {
  counting_.index_fails = true;
  EXPECT_EQ(Eval("SELECT Name FROM k WHERE ID = 742"), "Kunde 42");
  EXPECT_EQ(counting_.rows_read, 0);
  EXPECT_GT(counting_.rows_scanned, 700);
}

TEST_F(VtabTest, UnknownTableFailsWithItsNumber) {
  char* err = nullptr;
  int rc = sqlite3_exec(db_, "CREATE VIRTUAL TABLE temp.x USING jet('Gibt es nicht')", nullptr,
                        nullptr, &err);
  EXPECT_NE(rc, SQLITE_OK);
  sqlite3_free(err);
  std::optional<jet::Error> e = pending_.Take();
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->number(), jet::err::kTableNotFound);
  EXPECT_NE(e->description().find("Gibt es nicht"), std::string::npos) << e->description();
}

}  // namespace
}  // namespace jetsql::testing
