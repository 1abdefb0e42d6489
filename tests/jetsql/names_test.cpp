// Table, column, alias and parameter names compare as the catalogue compares them, in every
// script Jet folds (Latin, Greek, Cyrillic), from the statement down to the rows.

#include <gtest/gtest.h>

#include "fake_database.h"
#include "jetsql/binder.h"
#include "jetsql/parser.h"
#include "sql_fixture.h"

namespace jetsql::testing {
namespace {

class NonLatinNamesTest : public SqlFixture {
 protected:
  void SetUp() override {
    SqlFixture::SetUp();
    jet::TableDef cities;
    cities.name = "ГОРОДА";
    cities.columns = {Column("ИМЯ", jet::ColumnType::kText, 0),
                      Column("НАСЕЛЕНИЕ", jet::ColumnType::kLong, 1)};
    auto& c = fake_.AddTable(cities);
    c.rows = {{std::string("Москва"), int32_t{13000000}}, {std::string("Тверь"), int32_t{400000}}};
    jet::TableDef greek;
    greek.name = "ΧΩΡΑ";
    greek.columns = {Column("ΟΝΟΜΑ", jet::ColumnType::kText, 0)};
    fake_.AddTable(greek).rows = {{std::string("Ελλάδα")}};
    RegisterJetModule(db_, &fake_, &pending_);
  }

  static jet::ColumnDef Column(const char* name, jet::ColumnType type, int number) {
    jet::ColumnDef c;
    c.name = name;
    c.type = type;
    c.column_number = number;
    return c;
  }

  // Binds `sql` against the database and returns the first field of every row, one per line.
  std::string Run(const std::string& sql) {
    Statement st = Parse(sql);
    DatabaseCatalog catalog(&fake_);
    BoundStatement b = Bind(st, catalog);
    for (const auto& use : b.tables) {
      Exec("CREATE VIRTUAL TABLE IF NOT EXISTS temp." + use.vtab + " USING jet(" +
           QuoteIdentifier(use.table) + ")");
    }
    std::string out;
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, b.sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << b.sql;
    while (sqlite3_step(stmt) == SQLITE_ROW) out += Render(sqlite3_column_value(stmt, 0)) + "\n";
    sqlite3_finalize(stmt);
    return out;
  }

  FakeDatabase fake_;
};

TEST_F(NonLatinNamesTest, LowerCaseNamesFindUpperCaseTablesAndColumns) {
  EXPECT_EQ(Run("SELECT имя FROM города ORDER BY население"), "Тверь\nМосква\n");
  EXPECT_EQ(Run("SELECT г.Имя FROM Города AS Г WHERE Г.население > 1000000"), "Москва\n");
  EXPECT_EQ(Run("SELECT ονομα FROM χωρα"), "Ελλάδα\n");
}

TEST_F(NonLatinNamesTest, AliasesAndParametersFoldAlike) {
  EXPECT_EQ(Run("SELECT ИМЯ AS Название FROM ГОРОДА ORDER BY НАЗВАНИЕ"), "Москва\nТверь\n");
  // A declared parameter used in another case is one parameter, not two.
  try {
    Run("PARAMETERS [ГРАНИЦА] Long; SELECT имя FROM города WHERE население > [граница]");
    ADD_FAILURE() << "a parameter without a value ran";
  } catch (const jet::Error& e) {
    EXPECT_EQ(e.number(), jet::err::kTooFewParameters);
    EXPECT_NE(e.description().find("Erwartet: 1."), std::string::npos) << e.description();
  }
}

}  // namespace
}  // namespace jetsql::testing
