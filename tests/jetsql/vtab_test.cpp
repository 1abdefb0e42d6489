// The "jet" virtual table over a real file: values by the bridge's convention, and lookups
// through indexes that read only the rows they need (counted by a wrapper around the engine).

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
    return std::make_unique<Cursor>(db_.Scan(name), rows_scanned);
  }
  std::unique_ptr<jet::IndexCursor> OpenIndex(const std::string& name, int index) override {
    if (index_fails) throw jet::Error(jet::err::kUnrecognizedFormat, "index not readable");
    return db_.OpenIndex(name, index);
  }
  std::vector<jet::Value> ReadRow(const std::string& name, jet::RowId id) override {
    ++rows_read;
    return db_.ReadRow(name, id);
  }

  int rows_read = 0;
  int rows_scanned = 0;
  bool index_fails = false;

 private:
  class Cursor : public jet::TableCursor {
   public:
    Cursor(std::unique_ptr<jet::TableCursor> base, int& count)
        : base_(std::move(base)), count_(count) {
      if (base_->Valid()) ++count_;
    }
    bool Valid() const override { return base_->Valid(); }
    void Next() override {
      base_->Next();
      if (base_->Valid()) ++count_;
    }
    jet::RowId row_id() const override { return base_->row_id(); }
    jet::Value value(int column) override { return base_->value(column); }
    void ReadValue(int column, jet::Value& out) override { base_->ReadValue(column, out); }

   private:
    std::unique_ptr<jet::TableCursor> base_;
    int& count_;
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

TEST_F(VtabTest, ScanGivesEveryRowInTheConvention) {
  EXPECT_EQ(Eval("SELECT count(*) FROM k"), "1000");
  EXPECT_EQ(Eval("SELECT count(Gewicht) FROM k"), "900");
  EXPECT_EQ(Eval("SELECT Betrag FROM k WHERE rowid = (SELECT rowid FROM k WHERE ID = 3)"),
            "37035");  // 3 x 1.2345 as ten-thousandths
  EXPECT_EQ(Eval("SELECT Aktiv || ',' || Seit || ',' || Anteil FROM k WHERE ID = 2"),
            "-1,45002.0,1.50");
  EXPECT_EQ(Eval("SELECT Kennung FROM k WHERE ID = 1"), "{00000001-0000-0000-0000-000000000000}");
  EXPECT_EQ(Eval("SELECT typeof(Aktiv) || typeof(Seit) || typeof(Betrag) FROM k WHERE ID = 1"),
            "integerrealinteger");
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

TEST_F(VtabTest, TextKeyMatchesWithoutRegardToCase) {
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE Name = 'KUNDE 7'"), "10");
  EXPECT_EQ(counting_.rows_scanned, 0);
  EXPECT_LE(counting_.rows_read, 11);
  EXPECT_EQ(Eval("SELECT min(ID) FROM k WHERE Name >= 'kunde 99'"), "99");
}

TEST_F(VtabTest, UnreadableIndexFallsBackToAScan) {
  counting_.index_fails = true;
  EXPECT_EQ(Eval("SELECT Name FROM k WHERE ID = 742"), "Kunde 42");
  EXPECT_EQ(counting_.rows_read, 0);
  EXPECT_GT(counting_.rows_scanned, 700);
}

TEST_F(VtabTest, JoinsAndSortsUseTheCollation) {
  EXPECT_EQ(Eval("SELECT count(*) FROM k a JOIN k b ON a.ID = b.ID + 1 WHERE a.ID <= 10"), "9");
  EXPECT_EQ(Eval("SELECT Name FROM k WHERE ID < 4 ORDER BY Name DESC LIMIT 1"), "Kunde 3");
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
