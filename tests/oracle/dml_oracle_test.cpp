// INSERT, UPDATE and DELETE run through quorla on copies of real Access files, read back by
// quorla-sql, mdb-export and mdb-reader.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jetsql/session.h"
#include "support/oracle_file_test.h"

namespace {

using jetsql::Session;

using DmlOracleTest = testsupport::OracleFileTest;

// Failed statements and what they leave are dml_test's; refusals leaving the bytes as they were,
// the DDL and relationship read-backs'.
TEST_F(DmlOracleTest, EachStatementOnASmallTable) {
  const std::string path = Copy("jet4/testV2003.mdb");
  {
    Session s(path, Session::Mode::kReadWrite);
    const int64_t before = Count(s, "SELECT Count(*) FROM Table1");
    EXPECT_EQ(s.Execute("INSERT INTO Table1 (A, B, C, D, E, F, G, H, I) VALUES ('neu', 'Grüße', "
                        "7, '1.234,4', 5, '2,5', '24.12.2026 18:30', 1.23456, 1)"),
              1);
    // A has a unique index: the copies get other names. Fields are matched by name.
    EXPECT_EQ(s.Execute("INSERT INTO Table1 SELECT I, H, G, F, E, D, C, B, A & '2' AS A "
                        "FROM Table1"),
              before + 1);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM Table1"), 2 * (before + 1));
    const int64_t positive = Count(s, "SELECT Count(*) FROM Table1 WHERE C > 0");
    EXPECT_EQ(s.Execute("UPDATE Table1 SET B = B & '!', H = H * 2 WHERE C > 0"), positive);
    EXPECT_EQ(Count(s,
                    "SELECT Count(*) FROM Table1 WHERE D = 1234 AND H = 2.4692 AND F = 2.5 "
                    "AND G = #2026-12-24 18:30# AND I AND B = 'Grüße!'"),
              2);
    const int64_t named_a = Count(s, "SELECT Count(*) FROM Table1 WHERE A = 'a'");
    EXPECT_EQ(s.Execute("DELETE FROM Table1 WHERE A = 'a'"), named_a);
  }
  testsupport::CompareTablesWithOracles({path, "jet4", "testV2003"}, {"Table1"});
}

TEST_F(DmlOracleTest, JoinsSubqueriesAndGroupingOnTheBenchmarkFile) {
  const std::string path = Copy("bench/orders-100k.mdb");
  {
    Session s(path, Session::Mode::kReadWrite);
    const int64_t big = Count(s, "SELECT Count(*) FROM orders WHERE Menge > 450");
    ASSERT_GT(big, 0);
    EXPECT_EQ(s.Execute("DELETE FROM orders WHERE OrderID IN "
                        "(SELECT OrderID FROM orders WHERE Menge > 450)"),
              big);
    const int64_t active = Count(s,
                                 "SELECT Count(*) FROM orders AS o INNER JOIN artikel AS a ON "
                                 "o.ArtikelNr = a.ArtikelNr WHERE a.Aktiv");
    EXPECT_EQ(s.Execute("UPDATE orders INNER JOIN artikel ON orders.ArtikelNr = artikel.ArtikelNr "
                        "SET orders.Betrag = artikel.Preis * orders.Menge, orders.Ort = 'Neu' "
                        "WHERE artikel.Aktiv"),
              active);
    EXPECT_EQ(Count(s,
                    "SELECT Count(*) FROM orders AS o INNER JOIN artikel AS a ON "
                    "o.ArtikelNr = a.ArtikelNr WHERE a.Aktiv AND (o.Betrag <> a.Preis * "
                    "o.Menge OR o.Ort <> 'Neu')"),
              0);
    const int64_t articles = Count(s, "SELECT Count(*) FROM artikel");
    const int64_t groups =
        Count(s,
              "SELECT Count(*) FROM (SELECT ArtikelNr FROM orders WHERE Ort <> 'Neu' "
              "GROUP BY ArtikelNr HAVING Count(*) > 100)");
    EXPECT_EQ(s.Execute("INSERT INTO artikel (ArtikelNr, Bezeichnung, Preis, Bestand, Aktiv) "
                        "SELECT ArtikelNr + 1000, 'Summe', Sum(Betrag), Count(*), True "
                        "FROM orders WHERE Ort <> 'Neu' GROUP BY ArtikelNr "
                        "HAVING Count(*) > 100"),
              groups);
    EXPECT_GT(Count(s, "SELECT Count(*) FROM artikel"), articles);
    const int64_t unordered =
        Count(s,
              "SELECT Count(*) FROM artikel WHERE ArtikelNr < 1000 AND ArtikelNr NOT IN "
              "(SELECT ArtikelNr FROM orders)");
    EXPECT_EQ(
        s.Execute("DELETE artikel.* FROM artikel LEFT JOIN orders ON artikel.ArtikelNr = "
                  "orders.ArtikelNr WHERE orders.OrderID Is Null AND artikel.ArtikelNr < 1000"),
        unordered);
  }
  testsupport::CompareTablesWithOracles({path, "jet4", "orders-100k"}, {"orders", "artikel"});
}

}  // namespace
