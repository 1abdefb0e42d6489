// Aggregates over a small table: exact Currency sums, overflow, Nulls, spread measures.

#include "sql_fixture.h"

namespace jetsql::testing {
namespace {

class AggregatesTest : public SqlFixture {
 protected:
  void Fill(const std::string& values) {
    Exec("DROP TABLE IF EXISTS v; CREATE TABLE v(x); INSERT INTO v VALUES " + values);
  }
};

TEST_F(AggregatesTest, SumsFirstLastSpreadAndGroups) {
  // Sum is exact for Currency and checks whole numbers.
  Fill("(1000), (1000), (1000), (NULL)");  // Currency 0.1 three times
  EXPECT_EQ(Eval("SELECT jet_sum(x, 5) FROM v"), "3000");
  EXPECT_EQ(Eval("SELECT jet_avg(x, 5) FROM v"), "1000");
  Fill("(10000), (10000), (20000)");
  EXPECT_EQ(Eval("SELECT jet_avg(x, 5) FROM v"), "13333");  // 1.3333 Currency
  Fill("(2147483647), (1)");
  EXPECT_EQ(Eval("SELECT jet_sum(x, 4) FROM v"), "error: jet:6:Überlauf");
  EXPECT_EQ(Eval("SELECT jet_sum(x, 7) FROM v"), "2147483648");
  Fill("(1), (2)");
  EXPECT_EQ(Eval("SELECT jet_avg(x, 4) FROM v"), "1.5");
  Fill("('0.1'), ('0.2')");
  EXPECT_EQ(Eval("SELECT jet_sum(x, 16) FROM v"), "0.3");
  Fill("(NULL)");
  EXPECT_EQ(Eval("SELECT jet_sum(x, 4) FROM v"), "NULL");
  EXPECT_EQ(Eval("SELECT jet_sum(x, 4) FROM v WHERE 0"), "NULL");
  // First and Last include Nulls.
  Fill("(NULL), (1), (2)");
  EXPECT_EQ(Eval("SELECT jet_first(x, 4) FROM v"), "NULL");
  EXPECT_EQ(Eval("SELECT jet_last(x, 4) FROM v"), "2");
  // Spread measures.
  Fill("(2), (4), (4), (4), (5), (5), (7), (9), (NULL)");
  EXPECT_EQ(Eval("SELECT jet_stdevp(x, 4) FROM v"), "2");
  EXPECT_EQ(Eval("SELECT jet_varp(x, 4) FROM v"), "4");
  EXPECT_EQ(Eval("SELECT round(jet_var(x, 4), 12) FROM v"), "4.571428571429");
  EXPECT_EQ(Eval("SELECT round(jet_stdev(x, 4), 12) FROM v"), "2.138089935299");
  Fill("(3)");
  EXPECT_EQ(Eval("SELECT jet_var(x, 4) FROM v"), "NULL");
  EXPECT_EQ(Eval("SELECT jet_varp(x, 4) FROM v"), "0");
  // Groups keep separate states.
  Exec("CREATE TABLE g(k, x); INSERT INTO g VALUES (1, 10), (2, 20), (1, 30), (2, NULL)");
  EXPECT_EQ(Eval("SELECT group_concat(s, ',') FROM (SELECT jet_sum(x, 4) AS s FROM g GROUP BY k "
                 "ORDER BY k)"),
            "40,20");
}

}  // namespace
}  // namespace jetsql::testing
