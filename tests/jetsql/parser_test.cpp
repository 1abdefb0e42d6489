#include "jetsql/parser.h"

#include <gtest/gtest.h>

#include "jet/error.h"

namespace jetsql {
namespace {

int ErrorNumber(const std::string& sql) {
  try {
    Parse(sql);
  } catch (const jet::Error& e) {
    return e.number();
  }
  return 0;
}

// Writes an expression tree back in prefix form, to check precedence.
std::string Tree(const Expr& e) {
  switch (e.kind) {
    case ExprKind::kNumber:
    case ExprKind::kString:
      return e.text;
    case ExprKind::kColumn:
      return e.qualifier.empty() ? e.name : e.qualifier + "." + e.name;
    case ExprKind::kUnary:
      return "(" + e.op + " " + Tree(*e.args[0]) + ")";
    case ExprKind::kBinary:
      return "(" + e.op + " " + Tree(*e.args[0]) + " " + Tree(*e.args[1]) + ")";
    case ExprKind::kLike:
      return std::string(e.negated ? "(NOTLIKE " : "(LIKE ") + Tree(*e.args[0]) + " " +
             Tree(*e.args[1]) + ")";
    case ExprKind::kBetween:
      return "(BETWEEN " + Tree(*e.args[0]) + " " + Tree(*e.args[1]) + " " + Tree(*e.args[2]) + ")";
    case ExprKind::kFunction: {
      std::string s = "(" + e.name;
      for (const auto& a : e.args) s += " " + Tree(*a);
      return s + (e.star ? " *)" : ")");
    }
    default:
      return "?";
  }
}

std::string FirstItem(const std::string& sql) {
  Statement st = Parse(sql);
  return Tree(*st.query->arms[0]->items[0].expr);
}

TEST(ParserTest, OperatorPrecedenceFollowsAccess) {
  EXPECT_EQ(FirstItem("SELECT 1 + 2 * 3"), "(+ 1 (* 2 3))");
  EXPECT_EQ(FirstItem("SELECT -2 ^ 2"), "(- (^ 2 2))");
  EXPECT_EQ(FirstItem("SELECT 2 ^ -1"), "(^ 2 (- 1))");
  EXPECT_EQ(FirstItem("SELECT a & b + c"), "(& a (+ b c))");
  EXPECT_EQ(FirstItem("SELECT a + b Mod c \\ d"), "(+ a (MOD b (\\ c d)))");
  EXPECT_EQ(FirstItem("SELECT Not a = b And c Or d"), "(OR (AND (NOT (= a b)) c) d)");
  EXPECT_EQ(FirstItem("SELECT a Or b Xor c Eqv d Imp e"), "(IMP (EQV (XOR (OR a b) c) d) e)");
  EXPECT_EQ(FirstItem("SELECT a Not Like 'x*'"), "(NOTLIKE a x*)");
  EXPECT_EQ(FirstItem("SELECT a Between 1 And 2 And b"), "(AND (BETWEEN a 1 2) b)");
  EXPECT_EQ(FirstItem("SELECT Count(*)"), "(Count *)");
  EXPECT_EQ(FirstItem("SELECT Left([t].[f], 2)"), "(Left t.f 2)");
}

TEST(ParserTest, SelectClausesAndQuantifiers) {
  Statement st = Parse(
      "SELECT DISTINCT TOP 5 PERCENT k.Name AS N, * FROM Kunden AS k WHERE k.Aktiv "
      "GROUP BY k.Name HAVING Count(*) > 1 ORDER BY 1 DESC, N;");
  const auto& s = *st.query->arms[0];
  EXPECT_EQ(s.quantifier, SelectQuery::Quantifier::kDistinct);
  ASSERT_TRUE(s.top.has_value());
  EXPECT_DOUBLE_EQ(*s.top, 5);
  EXPECT_TRUE(s.top_percent);
  EXPECT_EQ(s.items[0].alias, "N");
  EXPECT_EQ(s.items[1].expr->kind, ExprKind::kStar);
  EXPECT_EQ(s.from[0]->alias, "k");
  EXPECT_EQ(s.group_by.size(), 1u);
  ASSERT_EQ(s.order_by.size(), 2u);
  EXPECT_TRUE(s.order_by[0].descending);
  EXPECT_FALSE(s.order_by[1].descending);
}

TEST(ParserTest, NestedJoinsWithAccessParentheses) {
  Statement st = Parse(
      "SELECT * FROM (a INNER JOIN b ON a.x = b.x) LEFT JOIN (c RIGHT OUTER JOIN d ON c.y = d.y) "
      "ON b.z = c.z, e");
  const auto& from = st.query->arms[0]->from;
  ASSERT_EQ(from.size(), 2u);
  EXPECT_EQ(from[0]->kind, FromItem::Kind::kJoin);
  EXPECT_EQ(from[0]->join, JoinKind::kLeft);
  EXPECT_EQ(from[0]->left->join, JoinKind::kInner);
  EXPECT_EQ(from[0]->right->join, JoinKind::kRight);
  EXPECT_EQ(from[1]->table, "e");
}

TEST(ParserTest, UnionTakesTheLastOrderByForTheWhole) {
  Statement st =
      Parse("SELECT a FROM t UNION SELECT b FROM u UNION ALL SELECT c FROM v ORDER BY 1");
  ASSERT_EQ(st.query->arms.size(), 3u);
  EXPECT_FALSE(st.query->union_all[0]);
  EXPECT_TRUE(st.query->union_all[1]);
  EXPECT_EQ(st.query->order_by.size(), 1u);
  EXPECT_TRUE(st.query->arms[2]->order_by.empty());
}

TEST(ParserTest, TransformParametersAndActions) {
  Statement st = Parse(
      "PARAMETERS [Ab Datum] DateTime, Menge Long; TRANSFORM Sum(x) SELECT a FROM t GROUP BY a "
      "PIVOT b IN ('x', 'y')");
  EXPECT_EQ(st.parameters.size(), 2u);
  EXPECT_EQ(st.parameters[0].name, "Ab Datum");
  ASSERT_TRUE(st.transform);
  ASSERT_TRUE(st.pivot);
  EXPECT_EQ(st.pivot_values.size(), 2u);
  EXPECT_EQ(Parse("delete from t").kind, Statement::Kind::kAction);
  EXPECT_EQ(Parse("UPDATE t SET a = 1").kind, Statement::Kind::kAction);
  EXPECT_EQ(Parse("SELECT a INTO neu FROM t").kind, Statement::Kind::kAction);
  EXPECT_EQ(Parse("SELECT a FROM t").kind, Statement::Kind::kQuery);
}

TEST(ParserTest, LiteralsOfEveryKind) {
  Statement st = Parse("SELECT Null, True, No, On, #2003-01-02#, 'x', 1.5");
  const auto& items = st.query->arms[0]->items;
  EXPECT_EQ(items[0].expr->kind, ExprKind::kNull);
  EXPECT_TRUE(items[1].expr->bool_value);
  EXPECT_FALSE(items[2].expr->bool_value);
  EXPECT_TRUE(items[3].expr->bool_value);
  EXPECT_EQ(items[4].expr->kind, ExprKind::kDate);
  EXPECT_DOUBLE_EQ(items[4].expr->number, 37623);
}

TEST(ParserTest, SyntaxErrorsCarryJetNumbers) {
  EXPECT_EQ(ErrorNumber("SELECT FROM t"), 3141);
  EXPECT_EQ(ErrorNumber("SELECT"), 3141);
  EXPECT_EQ(ErrorNumber("SELECT a AS FROM t"), 3141);
  EXPECT_EQ(ErrorNumber("SELECT TOP x a FROM t"), 3141);
  EXPECT_EQ(ErrorNumber("SELECT a FROM"), 3131);
  EXPECT_EQ(ErrorNumber("SELECT a FROM t u v"), 3131);
  EXPECT_EQ(ErrorNumber("SELECT a FROM t JOIN u ON t.a = u.a"), 3131);
  EXPECT_EQ(ErrorNumber("SELECT a FROM t INNER JOIN u"), 3135);
  EXPECT_EQ(ErrorNumber("SELECT a FROM (t"), 3131);
  EXPECT_EQ(ErrorNumber("SELECT a + FROM t"), 3075);
  EXPECT_EQ(ErrorNumber("SELECT (a FROM t"), 3075);
  EXPECT_EQ(ErrorNumber("SELECT a b FROM t"), 3142);
  EXPECT_EQ(ErrorNumber("SELECT a FROM t WHERE"), 3075);
  EXPECT_EQ(ErrorNumber("SELECT a FROM t ORDER a"), 3138);
  EXPECT_EQ(ErrorNumber("SELECT a FROM t ORDER BY"), 3138);
  EXPECT_EQ(ErrorNumber("SELECT a FROM t UNION"), 3319);
  EXPECT_EQ(ErrorNumber("SELECT a FROM t ORDER BY a UNION SELECT b FROM u"), 3319);
  EXPECT_EQ(ErrorNumber("TRANSFORM Sum(x) SELECT a FROM t"), 3130);
  EXPECT_EQ(ErrorNumber("PARAMETERS x; SELECT 1"), 3125);
  EXPECT_EQ(ErrorNumber("HELLO world"), 3129);
  EXPECT_EQ(ErrorNumber(""), 3129);
  EXPECT_EQ(ErrorNumber("SELECT a FROM t;;"), 3142);
}

TEST(ParserTest, ErrorTextQuotesTheExpression) {
  try {
    Parse("SELECT Name FROM t WHERE Ort = 'Bonn' Ort");
    FAIL();
  } catch (const jet::Error& e) {
    EXPECT_EQ(e.number(), 3142);
  }
  try {
    Parse("SELECT a FROM t WHERE b = = 3");
    FAIL();
  } catch (const jet::Error& e) {
    EXPECT_EQ(e.number(), 3075);
    EXPECT_NE(e.description().find("'b = ="), std::string::npos) << e.description();
  }
}

TEST(ParserTest, DeepNestingIsTooComplexNotACrash) {
  std::string deep(5000, '(');
  EXPECT_EQ(ErrorNumber("SELECT " + deep + "1"), 3071);
  std::string nots;
  for (int i = 0; i < 5000; ++i) nots += "NOT ";
  EXPECT_EQ(ErrorNumber("SELECT " + nots + "1"), 3071);
  std::string chain = "1";
  for (int i = 0; i < 5000; ++i) chain += "+1";
  EXPECT_EQ(ErrorNumber("SELECT " + chain), 3071);
  std::string sub = "SELECT 1";
  for (int i = 0; i < 300; ++i) sub = "SELECT (" + sub + ")";
  EXPECT_EQ(ErrorNumber(sub), 3071);
  // Moderate nesting is fine.
  EXPECT_EQ(ErrorNumber("SELECT " + std::string(40, '(') + "1" + std::string(40, ')')), 0);
}

}  // namespace
}  // namespace jetsql
