// Jet SQL end to end on the sample files: each answer is checked against the same data exported
// by mdbtools into a plain SQLite database and queried there with the equivalent SQLite SQL.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "jet/error.h"
#include "jetsql/session.h"
#include "support/error_of.h"
#include "support/jet_samples.h"
#include "support/process.h"

namespace jetsql {
namespace {

using CT = jet::ColumnType;

const std::string kOrders = testsupport::SamplePath("bench/orders-100k.mdb");

// The orders file as mdbtools sees it, in an in-memory SQLite database.
class Reference {
 public:
  Reference() {
    sqlite3_open(":memory:", &db_);
    for (const char* table : {"orders", "artikel"}) {
      const std::optional<std::string> sql = testsupport::OutputOf(
          {"mdb-export", "-I", "sqlite", "-D", "%Y-%m-%d %H:%M:%S", kOrders, table});
      if (!sql || sql->empty()) return;
      std::string create = std::string(table) == "orders"
                               ? "CREATE TABLE orders (OrderID, ArtikelNr, Menge, Gewicht, Betrag, "
                                 "Kunde, Ort, Bestelldatum, Bezahlt, Bemerkung)"
                               : "CREATE TABLE artikel (ArtikelNr, Bezeichnung, Preis, Bestand, "
                                 "Angelegt, Beschreibung, Aktiv)";
      if (sqlite3_exec(db_, create.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK ||
          sqlite3_exec(db_, sql->c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        return;
      }
    }
    ok_ = true;
  }
  ~Reference() { sqlite3_close(db_); }
  bool ok() const { return ok_; }

  // First column of every row, as text.
  std::vector<std::string> Column(const std::string& sql) {
    std::vector<std::string> out;
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db_);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      const unsigned char* t = sqlite3_column_text(stmt, 0);
      out.push_back(t ? reinterpret_cast<const char*>(t) : "NULL");
    }
    sqlite3_finalize(stmt);
    return out;
  }
  std::string One(const std::string& sql) {
    auto c = Column(sql);
    return c.empty() ? "" : c[0];
  }

 private:
  sqlite3* db_ = nullptr;
  bool ok_ = false;
};

std::string Text(const jet::Value& v) {
  return std::visit(
      [](const auto& x) -> std::string {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return "NULL";
        } else if constexpr (std::is_same_v<T, std::string>) {
          return x;
        } else if constexpr (std::is_same_v<T, bool>) {
          return x ? "1" : "0";
        } else if constexpr (std::is_same_v<T, jet::Currency>) {
          char buf[64];
          std::snprintf(buf, sizeof buf, "%.4f", static_cast<double>(x.scaled) / 10000.0);
          return buf;
        } else if constexpr (std::is_same_v<T, jet::DateTime>) {
          return std::to_string(x.days);
        } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
          char buf[64];
          std::snprintf(buf, sizeof buf, "%.10g", static_cast<double>(x));
          return buf;
        } else if constexpr (std::is_integral_v<T>) {
          return std::to_string(x);
        } else {
          return "?";
        }
      },
      v);
}

class SessionSamplesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!std::filesystem::exists(kOrders)) return;
    session_ = new Session(kOrders);
    reference_ = new Reference();
  }
  static void TearDownTestSuite() {
    delete session_;
    delete reference_;
    session_ = nullptr;
    reference_ = nullptr;
  }
  void SetUp() override {
    if (!session_) GTEST_SKIP() << "sample folder missing: " << kOrders;
    if (!reference_->ok()) GTEST_SKIP() << "mdb-export could not build the reference database";
  }
  std::vector<std::string> Column(const std::string& sql, size_t column = 0) {
    RecordSet rs = session_->Query(sql);
    std::vector<std::string> out;
    for (const auto& row : rs.rows) out.push_back(Text(row.at(column)));
    return out;
  }
  int ErrorOf(const std::string& sql, bool execute = false) {
    return testsupport::ErrorOf(
        [&] { execute ? (void)session_->Execute(sql) : (void)session_->Query(sql); });
  }
  static Session* session_;
  static Reference* reference_;
};

Session* SessionSamplesTest::session_ = nullptr;
Reference* SessionSamplesTest::reference_ = nullptr;

// Each statement's first column equals the reference's answer to the equivalent SQLite SQL.
TEST_F(SessionSamplesTest, AnswersAgreeWithTheReference) {
  const std::pair<const char*, const char*> cases[] = {
      {"SELECT Count(*) FROM orders", "SELECT count(*) FROM orders"},
      // mdbtools exports empty text as Null; the reference's Nulls are our Nulls and empty texts.
      {"SELECT Count(*) FROM orders WHERE Menge > 250 AND Bezahlt AND Len(Ort) > 0",
       "SELECT count(Ort) FROM orders WHERE Menge > 250 AND Bezahlt"},
      {"SELECT Count(*) FROM orders WHERE Ort Is Null Or Ort = ''",
       "SELECT count(*) FROM orders WHERE Ort IS NULL"},
      // Currency stays exact through the sum.
      {"SELECT Sum(Betrag) FROM orders", "SELECT printf('%.4f', sum(Betrag)) FROM orders"},
      {"SELECT Count(*) FROM orders WHERE Bestelldatum >= #1/1/2020# AND "
       "Bestelldatum < #2021-01-01#",
       "SELECT count(*) FROM orders WHERE Bestelldatum >= '2020-01-01' AND "
       "Bestelldatum < '2021-01-01'"},
      {"SELECT Kunde FROM orders WHERE OrderID = 4711",
       "SELECT Kunde FROM orders WHERE OrderID = 4711"},
      // Like is case-insensitive; the reference uses ASCII-only patterns.
      {"SELECT Count(*) FROM orders WHERE Kunde Like 'm*'",
       "SELECT count(*) FROM orders WHERE Kunde LIKE 'M%'"},
      {"SELECT Count(*) FROM orders WHERE Kunde Like '*GmbH*' AND Ort In ('Bonn', 'Hamburg')",
       "SELECT count(*) FROM orders WHERE Kunde LIKE '%GmbH%' AND Ort IN ('Bonn', 'Hamburg')"},
      {"SELECT OrderID FROM orders WHERE Kunde Like '*e*E*' ORDER BY OrderID",
       "SELECT OrderID FROM orders WHERE Kunde LIKE '%e%e%' ORDER BY OrderID"},
      {"SELECT TOP 5 OrderID FROM orders ORDER BY Betrag DESC, OrderID",
       "SELECT OrderID FROM orders WHERE Betrag IS NOT NULL ORDER BY Betrag DESC, OrderID "
       "LIMIT 5"},
      {"SELECT TOP 25 OrderID FROM orders ORDER BY OrderID",
       "SELECT OrderID FROM orders ORDER BY OrderID LIMIT 25"},
      {"SELECT TOP 1 PERCENT OrderID FROM orders ORDER BY OrderID",
       "SELECT OrderID FROM orders ORDER BY OrderID LIMIT 1000"},
      {"SELECT DISTINCT TOP 3 ArtikelNr FROM orders ORDER BY ArtikelNr DESC",
       "SELECT DISTINCT ArtikelNr FROM orders ORDER BY ArtikelNr DESC LIMIT 3"},
      {"SELECT Count(*) FROM (SELECT Nz(Ort) AS o FROM orders GROUP BY Nz(Ort))",
       "SELECT count(*) FROM (SELECT Ort FROM orders GROUP BY Ort)"},
      {"SELECT Count(*) FROM orders o INNER JOIN artikel a ON o.ArtikelNr = a.ArtikelNr "
       "WHERE a.Aktiv",
       "SELECT count(*) FROM orders o JOIN artikel a ON o.ArtikelNr = a.ArtikelNr WHERE a.Aktiv"},
      {"SELECT Count(*) FROM artikel WHERE ArtikelNr NOT IN (SELECT ArtikelNr FROM orders "
       "WHERE Menge > 490)",
       "SELECT count(*) FROM artikel WHERE ArtikelNr NOT IN (SELECT ArtikelNr FROM orders "
       "WHERE Menge > 490)"},
      {"SELECT ArtikelNr FROM artikel UNION SELECT ArtikelNr FROM orders ORDER BY 1",
       "SELECT ArtikelNr FROM artikel UNION SELECT ArtikelNr FROM orders ORDER BY 1"},
      {"SELECT Count(*) FROM orders WHERE ArtikelNr = &HA Or ArtikelNr = &O13",
       "SELECT count(*) FROM orders WHERE ArtikelNr IN (10, 11)"},
      // Fields of one side of a join: each article once, however many orders it has.
      {"SELECT DISTINCTROW a.ArtikelNr, a.Bezeichnung FROM artikel a INNER JOIN orders o ON "
       "a.ArtikelNr = o.ArtikelNr WHERE o.Menge > 490 ORDER BY 1",
       "SELECT ArtikelNr FROM artikel WHERE ArtikelNr IN (SELECT ArtikelNr FROM orders WHERE "
       "Menge > 490) ORDER BY 1"},
      // Fields of every table, or of a single one: as ALL.
      {"SELECT DISTINCTROW Count(*) FROM (SELECT DISTINCTROW Ort FROM orders)",
       "SELECT count(*) FROM orders"},
  };
  for (const auto& [jet_sql, reference_sql] : cases) {
    SCOPED_TRACE(jet_sql);
    EXPECT_EQ(Column(jet_sql), reference_->Column(reference_sql));
  }
}

// The number of rows a statement gives (TOP keeps every row tied with the last one) equals the
// reference's count.
TEST_F(SessionSamplesTest, RowCountsAgreeWithTheReference) {
  const std::pair<const char*, const char*> cases[] = {
      {"SELECT TOP 5 Menge FROM orders ORDER BY Menge DESC",
       "SELECT count(*) FROM orders WHERE Menge >= (SELECT Menge FROM orders ORDER BY Menge DESC "
       "LIMIT 1 OFFSET 4)"},
      {"SELECT TOP 10 OrderID FROM orders ORDER BY ArtikelNr DESC, Menge",
       "WITH c AS (SELECT ArtikelNr AS a, Menge AS m FROM orders ORDER BY ArtikelNr DESC, Menge "
       "LIMIT 1 OFFSET 9) SELECT count(*) FROM orders, c WHERE ArtikelNr > a OR (ArtikelNr = a "
       "AND (Menge IS NULL OR Menge <= m))"},
      // Nulls sort first: every order without a date ties with the first ones.
      {"SELECT TOP 2 Bestelldatum FROM orders ORDER BY Bestelldatum",
       "SELECT count(*) FROM orders WHERE Bestelldatum IS NULL"},
      // Groups: the third largest count and every group tied with it.
      {"SELECT TOP 3 ArtikelNr, Count(*) FROM orders GROUP BY ArtikelNr ORDER BY Count(*) DESC",
       "WITH g AS (SELECT ArtikelNr, count(*) AS n FROM orders GROUP BY ArtikelNr) SELECT "
       "count(*) FROM g WHERE n >= (SELECT n FROM g ORDER BY n DESC LIMIT 1 OFFSET 2)"},
      // Distinct rows tied on the sort key.
      {"SELECT DISTINCT TOP 2 ArtikelNr, Menge FROM orders ORDER BY ArtikelNr DESC",
       "WITH d AS (SELECT DISTINCT ArtikelNr, Menge FROM orders) SELECT count(*) FROM d WHERE "
       "ArtikelNr >= (SELECT ArtikelNr FROM d ORDER BY ArtikelNr DESC LIMIT 1 OFFSET 1)"},
      {"SELECT TOP 0.1 PERCENT OrderID FROM orders ORDER BY Menge DESC",
       "SELECT count(*) FROM orders WHERE Menge >= (SELECT Menge FROM orders ORDER BY Menge DESC "
       "LIMIT 1 OFFSET 99)"},
      {"SELECT ALL a.ArtikelNr FROM artikel a INNER JOIN orders o ON a.ArtikelNr = o.ArtikelNr "
       "WHERE o.Menge > 490",
       "SELECT count(*) FROM orders WHERE Menge > 490 AND ArtikelNr IN (SELECT ArtikelNr FROM "
       "artikel)"},
      // Unlike DISTINCT, records with equal values stay apart: one row per order.
      {"SELECT DISTINCTROW o.Ort FROM orders o INNER JOIN artikel a ON o.ArtikelNr = "
       "a.ArtikelNr WHERE a.Aktiv",
       "SELECT count(*) FROM orders o JOIN artikel a ON o.ArtikelNr = a.ArtikelNr WHERE "
       "a.Aktiv"},
  };
  for (const auto& [jet_sql, reference_sql] : cases) {
    SCOPED_TRACE(jet_sql);
    EXPECT_EQ(std::to_string(Column(jet_sql).size()), reference_->One(reference_sql));
  }
  // A GROUP BY expression may be selected and sorted on as written again.
  EXPECT_EQ(
      Column("SELECT Year(Bestelldatum), Count(*) FROM orders WHERE Bestelldatum Is Not "
             "Null GROUP BY Year(Bestelldatum) ORDER BY Year(Bestelldatum)",
             1),
      reference_->Column("SELECT count(*) FROM orders WHERE Bestelldatum IS NOT NULL GROUP "
                         "BY substr(Bestelldatum, 1, 4) ORDER BY substr(Bestelldatum, 1, 4)"));
  // Text ties without regard to case, as Access compares.
  auto first = Column("SELECT TOP 1 Kunde FROM orders WHERE Kunde Is Not Null ORDER BY Kunde");
  ASSERT_FALSE(first.empty());
  std::string quoted;
  for (char c : first[0]) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  EXPECT_EQ(std::to_string(first.size()),
            Column("SELECT Count(*) FROM orders WHERE Kunde = '" + quoted + "'").at(0));
}

TEST_F(SessionSamplesTest, CrosstabTakesItsColumnsFromTheData) {
  RecordSet rs = session_->Query(
      "TRANSFORM Count(*) SELECT ArtikelNr FROM orders WHERE ArtikelNr <= 3 GROUP BY ArtikelNr "
      "PIVOT Year(Bestelldatum)");
  auto years = reference_->Column(
      "SELECT DISTINCT substr(Bestelldatum, 1, 4) FROM orders WHERE ArtikelNr <= 3 ORDER BY 1");
  ASSERT_EQ(rs.field_names.size(), years.size() + 1);
  EXPECT_EQ(rs.field_names[0], "ArtikelNr");
  // Orders without a date come first, in the column Access names "<>".
  ASSERT_EQ(years[0], "NULL");
  EXPECT_EQ(rs.field_names[1], "<>");
  EXPECT_EQ(rs.field_names[2], years[1]);
  ASSERT_EQ(rs.rows.size(), 3u);
  EXPECT_EQ(Text(rs.rows[1][2]),
            reference_->One("SELECT count(*) FROM orders WHERE ArtikelNr = 2 AND "
                            "substr(Bestelldatum, 1, 4) = '" +
                            years[1] + "'"));
  EXPECT_EQ(Text(rs.rows[1][1]), reference_->One("SELECT count(*) FROM orders WHERE ArtikelNr = "
                                                 "2 AND Bestelldatum IS NULL"));
  RecordSet fixed = session_->Query(
      "TRANSFORM Sum(Menge) SELECT ArtikelNr FROM orders WHERE ArtikelNr = 1 GROUP BY ArtikelNr "
      "PIVOT Bezahlt IN (True, False)");
  EXPECT_EQ(fixed.field_names, (std::vector<std::string>{"ArtikelNr", "True", "False"}));
  ASSERT_EQ(fixed.rows.size(), 1u);
  EXPECT_EQ(Text(fixed.rows[0][2]),
            reference_->One("SELECT sum(Menge) FROM orders WHERE ArtikelNr = 1 AND NOT Bezahlt"));
}

TEST_F(SessionSamplesTest, CrosstabAsAccessSavesItWithEmptyCellsNull) {
  RecordSet rs = session_->Query(
      "TRANSFORM Count(*) AS Anzahl SELECT ArtikelNr FROM orders WHERE ArtikelNr <= 3 GROUP BY "
      "ArtikelNr PIVOT Menge IN (1, 2, 100000);");
  EXPECT_EQ(rs.field_names, (std::vector<std::string>{"ArtikelNr", "1", "2", "100000"}));
  ASSERT_EQ(rs.rows.size(), 3u);
  for (const auto& row : rs.rows) {
    EXPECT_EQ(Text(row[3]), "NULL") << "no order has 100000 pieces";
  }
  // Cells with rows count them, also when the counted field is Null in all of them.
  RecordSet probed = session_->Query(
      "TRANSFORM Count(Bemerkung) SELECT ArtikelNr FROM orders WHERE ArtikelNr = 1 AND Menge <= 3 "
      "GROUP BY ArtikelNr PIVOT Menge;");
  ASSERT_EQ(probed.rows.size(), 1u);
  for (size_t i = 1; i < probed.field_names.size(); ++i) {
    EXPECT_EQ(Text(probed.rows[0][i]),
              reference_->One("SELECT count(Bemerkung) FROM orders WHERE ArtikelNr = 1 AND Menge "
                              "= " +
                              probed.field_names[i]))
        << probed.field_names[i];
  }
}

TEST_F(SessionSamplesTest, HexAndOctalLiteralsTakeVbaValues) {
  RecordSet rs = session_->Query(
      "SELECT &HFF, &hFFFF, &H8000, &H10000, &O17, &o177777, -&HFFFF, &HFFFFFFFF FROM artikel "
      "WHERE ArtikelNr = &H1");
  ASSERT_EQ(rs.rows.size(), 1u);
  std::vector<std::string> values;
  for (const auto& v : rs.rows[0]) values.push_back(Text(v));
  EXPECT_EQ(values,
            (std::vector<std::string>{"255", "-1", "-32768", "65536", "15", "-1", "1", "-1"}));
  EXPECT_EQ(rs.field_types[1], CT::kInteger);
  EXPECT_EQ(rs.field_types[3], CT::kLong);
  EXPECT_EQ(ErrorOf("SELECT &H100000000 FROM artikel"), 3075);
}

TEST_F(SessionSamplesTest, LikeOfLettersAndStarsAgreesWithTheGeneralMatcher) {
  // A character list sends the pattern through the general matcher; both must find the same rows.
  for (const char* run : {"*Müller*", "*MÜLLER*", "m*", "*gmbh", "*k*g"}) {
    std::string list = run;
    size_t letter = list.find_first_not_of('*');
    list = list.substr(0, letter) + "[" + list[letter] + "]" + list.substr(letter + 1);
    auto fast = Column("SELECT OrderID FROM orders WHERE Kunde Like '" + std::string(run) +
                       "' ORDER BY OrderID");
    EXPECT_EQ(fast,
              Column("SELECT OrderID FROM orders WHERE Kunde Like '" + list + "' ORDER BY OrderID"))
        << run;
  }
  EXPECT_NE(Column("SELECT Count(*) FROM orders WHERE Kunde Like '*Müller*'").at(0), "0");
}

// Ranges on the text column Kunde walk its index; the same condition on an expression scans the
// table. Both must give the same rows, also for bounds of punctuation, case and Umlauts.
TEST_F(SessionSamplesTest, TextRangesThroughTheIndexGiveTheRowsOfAScan) {
  const char* conditions[] = {"{} >= 'M'",
                              "{} > 'müller'",
                              "{} < 'b'",
                              "{} <= 'Schmidt'",
                              "{} Between 'm' And 'S'",
                              "{} Between 'S' And 'm'",
                              "{} >= 'mü' And {} < 'N'",
                              "{} >= 'z'",
                              "{} < '-'",
                              "{} > ' '",
                              "{} >= 'Müller '",
                              "{} <= 'MÜLLER'",
                              "{} Like 'sch*'",
                              "{} Like 'M*r'",
                              "{} Like '9*'"};
  for (const char* condition : conditions) {
    auto with = [&](const std::string& operand) {
      std::string c = condition;
      for (size_t at; (at = c.find("{}")) != std::string::npos;) c.replace(at, 2, operand);
      return c;
    };
    EXPECT_EQ(
        Column("SELECT OrderID FROM orders WHERE " + with("Kunde") + " ORDER BY OrderID"),
        Column("SELECT OrderID FROM orders WHERE " + with("(Kunde + '')") + " ORDER BY OrderID"))
        << condition;
  }
  // A bad pattern fails even where no text lies in the range its letters give.
  EXPECT_EQ(ErrorOf("SELECT Count(*) FROM orders WHERE Kunde Like 'zzzq[a'"), 93);
}

TEST_F(SessionSamplesTest, OrderByAnIndexedColumnIsTheOrderOfASort) {
  // Sorting on the expression keeps SQLite's own sort; on the column, the index may answer.
  EXPECT_EQ(Column("SELECT Bestelldatum FROM orders ORDER BY Bestelldatum"),
            Column("SELECT Bestelldatum FROM orders ORDER BY CDbl(Bestelldatum)"));
  EXPECT_EQ(Column("SELECT Bestelldatum FROM orders WHERE Bestelldatum >= #6/1/2022# ORDER BY "
                   "Bestelldatum"),
            Column("SELECT Bestelldatum FROM orders WHERE Bestelldatum >= #6/1/2022# ORDER BY "
                   "CDbl(Bestelldatum)"));
}

// Which error each statement gives the binder's tests check; here, that nothing runs that should
// not and the session stays usable.
TEST_F(SessionSamplesTest, ErrorsAreNumberedAndNothingRunsThatShouldNot) {
  EXPECT_EQ(ErrorOf("SELECT Menge / 0 FROM orders"), 11);
  EXPECT_EQ(ErrorOf("DELETE FROM orders"), 3219);  // actions where rows are asked for
  EXPECT_EQ(ErrorOf("SELECT * INTO kopie FROM orders"), 3219);
  EXPECT_EQ(ErrorOf("SELECT * FROM orders", true), 3065);
  EXPECT_NE(ErrorOf("DELETE FROM orders", true), 0);
  // The session is still usable afterwards.
  EXPECT_EQ(Column("SELECT Count(*) FROM artikel"),
            reference_->Column("SELECT count(*) FROM artikel"));
}

}  // namespace
}  // namespace jetsql
