// Number functions: floors, truncation, half-to-even rounding, exact Currency, domain errors.

#include "sql_fixture.h"

namespace jetsql::testing {
namespace {

class NumbersTest : public SqlFixture {};

TEST_F(NumbersTest, RoundingTypesDomainsAndRnd) {
  // Int floors and Fix truncates.
  EXPECT_EQ(Eval("jet_int(-2.5, 7)"), "-3");
  EXPECT_EQ(Eval("jet_fix(-2.5, 7)"), "-2");
  EXPECT_EQ(Eval("jet_int(-25000, 5)"), "-30000");  // Currency -2.5 -> -3
  EXPECT_EQ(Eval("jet_fix(-25000, 5)"), "-20000");
  EXPECT_EQ(Eval("jet_int('-1,5', 10)"), "-2");
  EXPECT_EQ(Eval("typeof(jet_int(-2.5, 7))"), "real");
  EXPECT_EQ(Eval("jet_int('-12.34', 16)"), "-13");
  // Round goes half to even.
  EXPECT_EQ(Eval("jet_round(2.5, 7, 0, 4)"), "2");
  EXPECT_EQ(Eval("jet_round(3.5, 7, 0, 4)"), "4");
  EXPECT_EQ(Eval("jet_round(0.125, 7, 2, 4)"), "0.12");
  EXPECT_EQ(Eval("jet_round(0.135, 7, 2, 4)"), "0.14");
  EXPECT_EQ(Eval("jet_round(12345, 5, 3, 4)"), "12340");  // Currency 1.2345 -> 1.234
  EXPECT_EQ(Eval("jet_round(12355, 5, 3, 4)"), "12360");
  EXPECT_EQ(Eval("jet_round('2.345', 16, 2, 4)"), "2.34");
  EXPECT_EQ(Eval("jet_round(1.5, 7, -1, 4)"),
            "error: jet:5:Ungültiger Prozeduraufruf oder ungültiges Argument");
  // Abs and Sgn keep types and overflow.
  EXPECT_EQ(Eval("jet_abs(-32768, 3)"), "error: jet:6:Überlauf");
  EXPECT_EQ(Eval("jet_abs(-32768, 4)"), "32768");
  EXPECT_EQ(Eval("jet_abs('-0.5', 16)"), "0.5");
  EXPECT_EQ(Eval("jet_sgn(-0.1, 7)"), "-1");
  EXPECT_EQ(Eval("jet_sgn(NULL, 0)"), "NULL");
  // Math functions reject their domains' edges.
  EXPECT_EQ(Eval("jet_sqr(16, 4)"), "4");
  EXPECT_EQ(Eval("jet_sqr(-1, 4)"),
            "error: jet:5:Ungültiger Prozeduraufruf oder ungültiges Argument");
  EXPECT_EQ(Eval("jet_log(0, 4)"),
            "error: jet:5:Ungültiger Prozeduraufruf oder ungültiges Argument");
  EXPECT_EQ(Eval("jet_exp(1000, 4)"), "error: jet:6:Überlauf");
  EXPECT_EQ(Eval("round(jet_atn(1, 4) * 4, 12)"), "3.14159265359");
  EXPECT_EQ(Eval("round(jet_log(jet_exp(2, 4), 7), 12)"), "2");
  // Rnd repeats for the same negative seed.
  std::string a = Eval("jet_rnd(-7, 4)");
  EXPECT_EQ(Eval("jet_rnd(-7, 4)"), a);
  EXPECT_EQ(Eval("jet_rnd(0, 4)"), a);  // repeats the last number
  EXPECT_EQ(Eval("SELECT count(*) FROM (SELECT jet_rnd(NULL, 0) AS r FROM "
                 "(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
                 "SELECT i FROM n)) WHERE r >= 0 AND r < 1"),
            "500");
}

}  // namespace
}  // namespace jetsql::testing
