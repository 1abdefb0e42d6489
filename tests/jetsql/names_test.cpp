// Table, column, alias and parameter names compare as the catalogue compares them, in every
// script Jet folds (Latin, Greek, Cyrillic), from the statement down to the rows.

#include <gtest/gtest.h>

#include "jetsql/binder.h"
#include "jetsql/parser.h"
#include "sql_fixture.h"
#include "support/new_database.h"

namespace jetsql::testing {
namespace {

class NonLatinNamesTest : public SqlFixture {
 protected:
  void SetUp() override {
    SqlFixture::SetUp();
    RegisterJetModule(db_, &file_.db(), &pending_);
  }

  // Binds `sql` against the database and returns the first field of every row, one per line.
  std::string Run(const std::string& sql) {
    Statement st = Parse(sql);
    DatabaseCatalog catalog(&file_.db());
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

  testsupport::NewDatabase file_{{
      "CREATE TABLE ГОРОДА (ИМЯ TEXT(50), НАСЕЛЕНИЕ LONG)",
      "INSERT INTO ГОРОДА VALUES ('Москва', 13000000)",
      "INSERT INTO ГОРОДА VALUES ('Тверь', 400000)",
      "CREATE TABLE ΧΩΡΑ (ΟΝΟΜΑ TEXT(50))",
      "INSERT INTO ΧΩΡΑ VALUES ('Ελλάδα')",
  }};
};

TEST_F(NonLatinNamesTest, NamesFoldInEveryScript) {
  // Lower-case names find upper-case tables and columns.
  EXPECT_EQ(Run("SELECT имя FROM города ORDER BY население"), "Тверь\nМосква\n");
  EXPECT_EQ(Run("SELECT г.Имя FROM Города AS Г WHERE Г.население > 1000000"), "Москва\n");
  EXPECT_EQ(Run("SELECT ονομα FROM χωρα"), "Ελλάδα\n");
  // Aliases and parameters fold alike.
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
