// The "jet" virtual table over a fake database: values by the bridge's convention, and lookups
// through indexes that read only the rows they need.

#include "fake_database.h"
#include "sql_fixture.h"

namespace jetsql::testing {
namespace {

using jet::ColumnType;

class VtabTest : public SqlFixture {
 protected:
  void SetUp() override {
    SqlFixture::SetUp();
    jet::TableDef def;
    def.name = "Kunden Liste";
    def.columns = {{"ID", ColumnType::kLong},         {"Name", ColumnType::kText},
                   {"Betrag", ColumnType::kCurrency}, {"Aktiv", ColumnType::kBoolean},
                   {"Seit", ColumnType::kDateTime},   {"Kennung", ColumnType::kGuid},
                   {"Anteil", ColumnType::kNumeric},  {"Gewicht", ColumnType::kDouble}};
    jet::IndexDef primary;
    primary.name = "PrimaryKey";
    primary.primary = primary.unique = true;
    primary.columns = {{0, true}};
    jet::IndexDef by_name;
    by_name.name = "Name";
    by_name.columns = {{1, true}};
    def.indexes = {primary, by_name};
    def.row_count = kRows;
    auto& table = fake_.AddTable(def);
    for (int i = 1; i <= kRows; ++i) {
      jet::Guid g{};
      g[0] = static_cast<uint8_t>(i);
      table.rows.push_back({int32_t{i}, "Kunde " + std::to_string(i % 100),
                            jet::Currency{int64_t{i} * 12345}, i % 2 == 0,
                            jet::DateTime{45000.0 + i}, g, *ParseDecimalText("1.50"),
                            i % 10 == 0 ? jet::Value{} : jet::Value{i / 4.0}});
    }
    RegisterJetModule(db_, &fake_, &pending_);
    Exec("CREATE VIRTUAL TABLE temp.k USING jet(\"Kunden Liste\")");
  }

  static constexpr int kRows = 1000;
  FakeDatabase fake_;
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
  EXPECT_EQ(fake_.rows_scanned, 0);
  EXPECT_LE(fake_.rows_read, 2);
}

TEST_F(VtabTest, RangeOnIndexedColumnReadsOnlyTheRange) {
  EXPECT_EQ(Eval("SELECT count(*) || ':' || sum(ID) FROM k WHERE ID BETWEEN 101 AND 110"),
            "10:1055");
  EXPECT_EQ(fake_.rows_scanned, 0);
  EXPECT_LE(fake_.rows_read, 11);
  // Strict and non-integral bounds are widened for the walk and checked again by SQLite.
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE ID > 2.5 AND ID < 5"), "2");
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE ID = 2.5"), "0");
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE ID >= 995"), "6");
}

TEST_F(VtabTest, TextKeyMatchesWithoutRegardToCase) {
  EXPECT_EQ(Eval("SELECT count(*) FROM k WHERE Name = 'KUNDE 7'"), "10");
  EXPECT_EQ(fake_.rows_scanned, 0);
  EXPECT_LE(fake_.rows_read, 11);
  EXPECT_EQ(Eval("SELECT min(ID) FROM k WHERE Name >= 'kunde 99'"), "99");
}

TEST_F(VtabTest, UnreadableIndexFallsBackToAScan) {
  fake_.index_fails = true;
  EXPECT_EQ(Eval("SELECT Name FROM k WHERE ID = 742"), "Kunde 42");
  EXPECT_EQ(fake_.rows_read, 0);
  EXPECT_GT(fake_.rows_scanned, 700);
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
