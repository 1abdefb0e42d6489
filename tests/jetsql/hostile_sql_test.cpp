// Malformed and hostile statements: every one must end in a numbered jet::Error or bind to SQL
// that SQLite accepts; none may crash, hang or throw anything else.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "jet/error.h"
#include "jetsql/binder.h"
#include "jetsql/parser.h"
#include "jetsql/sqlite_errors.h"
#include "jetsql/standard_tables.h"
#include "support/new_database.h"

namespace jetsql {
namespace {

constexpr int kSeed = 20261206;

class HostileSqlTest : public ::testing::Test {
 protected:
  // Returns the error number, or 0 when the statement bound and its SQL prepared.
  int Check(const std::string& sql) {
    try {
      Statement st = Parse(sql);
      BoundStatement b = Bind(st, catalog_);
      if (!b.returns_rows) return 0;
      const std::string& out = b.sql.empty() ? b.pivot_probe_sql : b.sql;
      std::string msg = db_.Prepare(out);
      if (msg.empty()) return 0;
      // SQLite's own limits are allowed to stop a statement, as long as they map to a Jet error.
      jet::Error e = SqliteError(msg);
      EXPECT_NE(e.number(), 3000) << "bound but SQLite refuses: " << sql.substr(0, 200) << "\n -> "
                                  << msg;
      return e.number();
    } catch (const jet::Error& e) {
      EXPECT_NE(e.number(), 0) << sql.substr(0, 200);
      EXPECT_FALSE(e.description().empty()) << sql.substr(0, 200);
      return e.number();
    } catch (const std::exception& e) {
      ADD_FAILURE() << "unexpected exception " << e.what() << " for: " << sql.substr(0, 200);
      return -1;
    }
  }
  testsupport::NewDatabase file_{testsupport::kStandardTables};
  DatabaseCatalog catalog_{&file_.db()};
  testsupport::DatabaseSqlite db_{file_.db()};
};

// clang-format off
const std::vector<std::string> kVocabulary = {
    "SELECT", "FROM", "WHERE", "GROUP", "BY", "HAVING", "ORDER", "UNION", "ALL", "DISTINCT",
    "TOP", "PERCENT", "AS", "ON", "INNER", "LEFT", "RIGHT", "JOIN", "AND", "OR", "NOT", "XOR",
    "EQV", "IMP", "MOD", "LIKE", "BETWEEN", "IN", "IS", "NULL", "EXISTS", "ANY", "TRANSFORM",
    "PIVOT", "PARAMETERS", "INTO", "ASC", "DESC", "True", "No", "Kunden", "Bestellungen",
    "[Order Details]", "Name", "KundenID", "Betrag", "Datum", "k", "k.Name", "*", "k.*", "(", ")",
    "(", ")", ",", ".", ";", "&", "+", "-", "*", "/", "\\", "^", "=", "<>", "<", "<=", ">", ">=",
    "1", "0", "2.5", "1E308", "99999999999999999999", "'x'", "\"y\"", "#1/1/2000#", "Count",
    "Sum", "IIf", "Left", "Mid", "Format", "Nz", "Switch", "!", "[", "]", "'", "#",
};
// clang-format on

TEST_F(HostileSqlTest, RandomTokenSoup) {
  std::mt19937 rng(kSeed);
  int errors = 0;
  for (int i = 0; i < 400; ++i) {
    std::string sql = i % 2 ? "SELECT " : "";
    int n = 1 + static_cast<int>(rng() % 25);
    for (int j = 0; j < n; ++j) {
      sql += kVocabulary[rng() % kVocabulary.size()];
      sql += rng() % 4 ? " " : "";
    }
    if (Check(sql) != 0) ++errors;
  }
  EXPECT_GT(errors, 300);
}

TEST_F(HostileSqlTest, EveryTruncationAndMutationOfValidStatements) {
  const std::vector<std::string> valid = {
      "SELECT TOP 2 k.Name, Count(*) AS n FROM Kunden AS k INNER JOIN Bestellungen AS b ON "
      "k.KundenID = b.KundenID WHERE b.Datum Between #1/1/2000# And #12/31/2001# GROUP BY k.Name "
      "HAVING Sum(b.Betrag) > 10 ORDER BY 2 DESC",
      "SELECT Name FROM Kunden WHERE KundenID IN (SELECT KundenID FROM Bestellungen) UNION "
      "SELECT [Product Name] FROM [Order Details] ORDER BY 1",
      "TRANSFORM Sum(Betrag) SELECT KundenID FROM Bestellungen GROUP BY KundenID PIVOT "
      "Year(Datum) IN (2000, 2001)",
      "SELECT IIf(Name Like 'M*', \"ja\", 'nein') & Nz(Ort, '-') FROM Kunden WHERE Not Aktiv"};
  std::mt19937 rng(kSeed);
  const std::string noise = "()[]'\"#,.;*+-&=<>!\\^ aZ09";
  int checked = 0;
  for (const auto& sql : valid) {
    EXPECT_EQ(Check(sql), 0) << sql;
    for (size_t cut = 0; cut < sql.size(); cut += 3) {
      Check(sql.substr(0, cut));
      ++checked;
    }
    for (int m = 0; m < 60; ++m) {
      std::string s = sql;
      size_t at = rng() % s.size();
      switch (rng() % 3) {
        case 0:
          s.insert(at, 1, noise[rng() % noise.size()]);
          break;
        case 1:
          s.erase(at, 1 + rng() % 5);
          break;
        default:
          s[at] = noise[rng() % noise.size()];
      }
      Check(s);
      ++checked;
    }
  }
  EXPECT_GT(checked, 300);
}

TEST_F(HostileSqlTest, ExtremesOfSizeAndNesting) {
  EXPECT_EQ(Check("SELECT " + std::string(100000, '(') + "1"), 3071);
  EXPECT_EQ(Check("SELECT 1" + std::string(100000, ')')), 3142);
  std::string nots = "SELECT ", chain = "SELECT 1";
  for (int i = 0; i < 5000; ++i) {
    nots += "NOT ";
    chain += "+1";
  }
  EXPECT_EQ(Check(nots + "1"), 3071);
  EXPECT_EQ(Check(chain), 3071);
  EXPECT_EQ(Check("SELECT " + std::string(40, '(') + "1" + std::string(40, ')')), 0);
  std::string many_ors = "SELECT Name FROM Kunden WHERE KundenID = 0";
  for (int i = 1; i < 900; ++i) many_ors += " OR KundenID = " + std::to_string(i);
  EXPECT_EQ(Check(many_ors), 0);  // And/Or chains stay flat
  for (int i = 900; i < 3000; ++i) many_ors += " OR KundenID = " + std::to_string(i);
  EXPECT_EQ(Check(many_ors), 3071);  // SQLite's own expression depth
  std::string long_in = "SELECT Name FROM Kunden WHERE KundenID IN (0";
  for (int i = 1; i < 5000; ++i) long_in += ", " + std::to_string(i);
  EXPECT_EQ(Check(long_in + ")"), 0);
  EXPECT_EQ(Check("SELECT '" + std::string(200000, 'x') + "'"), 0);
  EXPECT_EQ(Check("SELECT '" + std::string(200000, 'x')), 3075);
  EXPECT_EQ(Check("SELECT [" + std::string(200000, 'x')), 3075);
  EXPECT_EQ(Check("SELECT #" + std::string(200000, '1')), 3075);
  EXPECT_EQ(Check("SELECT 1" + std::string(400, '0')), 3075);
  EXPECT_EQ(Check("SELECT 99999999999999999999999"), 0);
  EXPECT_EQ(Check("SELECT TOP 99999999999999999999 Name FROM Kunden"), 0);
  EXPECT_EQ(Check(std::string("SELECT \0 1", 10)), 0);
  EXPECT_EQ(Check("SELECT \xff\xfe FROM Kunden"), 3061);
  std::string subs = "SELECT 1";
  for (int i = 0; i < 60; ++i) subs = "SELECT (" + subs + ") FROM Kunden";
  EXPECT_EQ(Check(subs), 3071);
  std::string joins = "Kunden AS t0";
  for (int i = 1; i < 150; ++i) {
    joins = "(" + joins + " INNER JOIN Kunden AS t" + std::to_string(i) + " ON t0.KundenID = t" +
            std::to_string(i) + ".KundenID)";
  }
  EXPECT_NE(Check("SELECT t0.Name FROM " + joins), -1);
  std::string items = "SELECT 1";
  for (int i = 0; i < 3000; ++i) items += ", 1";
  EXPECT_EQ(Check(items), 3190);
  EXPECT_EQ(Check(std::string(2 << 20, ' ')), 3360);
  EXPECT_EQ(Check(std::string((1 << 20) + 1, 'a')), 3360);
}

}  // namespace
}  // namespace jetsql
