// The lexer and the parser: precedence, type names and their synonyms, and the syntax error each
// kind of statement reports. What the clauses, constraints and indexes mean is checked where
// they run: the binder's and session's tests, and the DDL read-backs in tests/oracle.

#include "jetsql/parser.h"

#include <gtest/gtest.h>

#include "jet/error.h"
#include "jetsql/ddl/execute_ddl.h"
#include "jetsql/lexer.h"
#include "support/error_of.h"

namespace jetsql {
namespace {

using jet::ColumnType;

// The number of the error `sql` fails with, 0 for none; a new table is also planned, which
// checks the statement as a whole.
int ErrorNumber(const std::string& sql) {
  return testsupport::ErrorOf([&] {
    Statement st = Parse(sql);
    if (st.ddl && st.ddl->kind == DataDefinition::Kind::kCreateTable) {
      PlanNewTable(st.ddl->create_table);
    }
  });
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

DataDefinition Ddl(const std::string& sql) {
  Statement st = Parse(sql);
  EXPECT_EQ(st.kind, Statement::Kind::kAction);
  if (!st.ddl) throw std::runtime_error("not parsed as data definition: " + sql);
  return std::move(*st.ddl);
}

std::string FirstItem(const std::string& sql) {
  Statement st = Parse(sql);
  return Tree(*st.query->arms[0]->items[0].expr);
}

TEST(LexerTest, WordsNamesNumbersStringsSymbolsAndDates) {
  // Words, names, numbers, strings and symbols.
  auto t = Tokenize(
      "SELECT [Order Details].[Product Name], 'it''s', \"say \"\"hi\"\"\", 1.5E2, .5, 42 <= x<>y "
      "Größe");
  ASSERT_EQ(t[0].kind, TokenKind::kWord);
  EXPECT_EQ(t[1].kind, TokenKind::kName);
  EXPECT_EQ(t[1].text, "Order Details");
  EXPECT_EQ(t[2].text, ".");
  EXPECT_EQ(t[3].text, "Product Name");
  EXPECT_EQ(t[5].kind, TokenKind::kString);
  EXPECT_EQ(t[5].text, "it's");
  EXPECT_EQ(t[7].text, "say \"hi\"");
  EXPECT_EQ(t[9].kind, TokenKind::kNumber);
  EXPECT_DOUBLE_EQ(t[9].number, 150);
  EXPECT_FALSE(t[9].integer);
  EXPECT_DOUBLE_EQ(t[11].number, 0.5);
  EXPECT_TRUE(t[13].integer);
  EXPECT_EQ(t[14].text, "<=");
  EXPECT_EQ(t[16].text, "<>");
  EXPECT_EQ(t[18].text, "Größe");  // Umlauts belong to words
  EXPECT_EQ(t[19].kind, TokenKind::kEnd);
  // Date literals in US and ISO order, with times.
  const std::pair<const char*, double> valid[] = {
      {"1/2/2003", 37623},
      {"2003-01-02", 37623},
      {"12/30/1899", 0},
      {"1/1/2000 18:00", 36526.75},
      {"1/1/2000 6:00 PM", 36526.75},
      {"12:00:00", 0.5},
      {"12/29/1899 06:00", -1.25},  // negative dates keep a positive time of day
      {"3/1/99", DaysFromCivil(1999, 3, 1)},
      {"2/29/2000", DaysFromCivil(2000, 2, 29)}};
  for (const auto& [text, days] : valid) {
    double d = 0;
    ASSERT_TRUE(ParseDateLiteral(text, &d)) << text;
    EXPECT_DOUBLE_EQ(d, days) << text;
  }
  double d = 0;
  for (const char* invalid : {"2/29/2001", "13/1/2000", "1/1/2000 25:00", "hello", ""}) {
    EXPECT_FALSE(ParseDateLiteral(invalid, &d)) << invalid;
  }
}

TEST(ParserTest, PrecedenceAndSyntaxErrors) {
  // Operator precedence follows Access.
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
  // Syntax errors carry Jet's numbers.
  const std::pair<int, std::vector<const char*>> by_number[] = {
      {3141, {"SELECT FROM t", "SELECT", "SELECT a AS FROM t", "SELECT TOP x a FROM t"}},
      {3131,
       {"SELECT a FROM", "SELECT a FROM t u v", "SELECT a FROM t JOIN u ON t.a = u.a",
        "SELECT a FROM (t", "DELETE Kunden"}},
      {3135, {"SELECT a FROM t INNER JOIN u"}},
      {3075,
       {"SELECT a + FROM t", "SELECT (a FROM t", "SELECT a FROM t WHERE", "SELECT 'abc",
        "SELECT \"abc", "SELECT [abc", "SELECT []", "SELECT #1/1/2000", "SELECT #1/41/2000#",
        "SELECT 12abc", "SELECT 1e999", "SELECT a ~ b"}},
      {3142,
       {"SELECT a b FROM t", "SELECT a FROM t;;", "SELECT a FROM t WHERE b = 1 c",
        "DELETE FROM Kunden WHERE ID = 1 ID"}},
      {3138, {"SELECT a FROM t ORDER a", "SELECT a FROM t ORDER BY"}},
      {3319, {"SELECT a FROM t UNION", "SELECT a FROM t ORDER BY a UNION SELECT b FROM u"}},
      {3130, {"TRANSFORM Sum(x) SELECT a FROM t"}},
      {3125, {"PARAMETERS x; SELECT 1"}},
      {3129, {"HELLO world", ""}},
      {3134, {"INSERT Kunden VALUES (1)", "INSERT INTO Kunden (ID", "INSERT INTO Kunden VALUES 1"}},
      {3144, {"UPDATE Kunden Name = 1", "UPDATE Kunden SET Name 1", "UPDATE SET Name = 1"}}};
  for (const auto& [number, statements] : by_number) {
    for (const char* sql : statements) EXPECT_EQ(ErrorNumber(sql), number) << sql;
  }
  // Error text quotes the expression.
  std::string text;
  EXPECT_EQ(testsupport::ErrorOf([] { Parse("SELECT a FROM t WHERE b = = 3"); }, &text), 3075);
  EXPECT_NE(text.find("'b = ="), std::string::npos) << text;
}

FieldType TypeOf(const std::string& type) {
  DataDefinition d = Ddl("CREATE TABLE t (f " + type + ")");
  return d.create_table.fields.at(0).type;
}

TEST(DdlParserTest, TypeNamesAndSyntaxErrors) {
  // Type names and synonyms give Access's types and sizes.
  struct Case {
    const char* name;
    ColumnType type;
    uint16_t size;
  };
  const Case cases[] = {
      {"TEXT(20)", ColumnType::kText, 20},     {"TEXT", ColumnType::kText, 255},
      {"CHAR(5)", ColumnType::kText, 5},       {"VARCHAR", ColumnType::kText, 255},
      {"string(1)", ColumnType::kText, 1},     {"MEMO", ColumnType::kMemo, 0},
      {"LONGTEXT", ColumnType::kMemo, 0},      {"Note", ColumnType::kMemo, 0},
      {"BYTE", ColumnType::kByte, 0},          {"TINYINT", ColumnType::kByte, 0},
      {"SHORT", ColumnType::kInteger, 0},      {"SMALLINT", ColumnType::kInteger, 0},
      {"INTEGER2", ColumnType::kInteger, 0},   {"LONG", ColumnType::kLong, 0},
      {"INT", ColumnType::kLong, 0},           {"INTEGER", ColumnType::kLong, 0},
      {"INTEGER4", ColumnType::kLong, 0},      {"SINGLE", ColumnType::kSingle, 0},
      {"REAL", ColumnType::kSingle, 0},        {"FLOAT4", ColumnType::kSingle, 0},
      {"DOUBLE", ColumnType::kDouble, 0},      {"FLOAT", ColumnType::kDouble, 0},
      {"NUMBER", ColumnType::kDouble, 0},      {"FLOAT8", ColumnType::kDouble, 0},
      {"CURRENCY", ColumnType::kCurrency, 0},  {"MONEY", ColumnType::kCurrency, 0},
      {"DATETIME", ColumnType::kDateTime, 0},  {"DATE", ColumnType::kDateTime, 0},
      {"TIME", ColumnType::kDateTime, 0},      {"YESNO", ColumnType::kBoolean, 0},
      {"BIT", ColumnType::kBoolean, 0},        {"LOGICAL", ColumnType::kBoolean, 0},
      {"BINARY(16)", ColumnType::kBinary, 16}, {"VARBINARY", ColumnType::kBinary, 510},
      {"LONGBINARY", ColumnType::kOle, 0},     {"OLEOBJECT", ColumnType::kOle, 0},
      {"IMAGE", ColumnType::kOle, 0},          {"GENERAL", ColumnType::kOle, 0},
      {"GUID", ColumnType::kGuid, 0},          {"UNIQUEIDENTIFIER", ColumnType::kGuid, 0},
      {"DECIMAL", ColumnType::kNumeric, 0},    {"NUMERIC(10, 2)", ColumnType::kNumeric, 0},
  };
  for (const Case& c : cases) {
    FieldType t = TypeOf(c.name);
    EXPECT_EQ(t.type, c.type) << c.name;
    EXPECT_EQ(t.size, c.size) << c.name;
  }
  FieldType numeric = TypeOf("NUMERIC(10, 2)");
  EXPECT_EQ(numeric.precision, 10);
  EXPECT_EQ(numeric.scale, 2);
  EXPECT_EQ(TypeOf("DECIMAL").precision, 18);
  FieldType counter = TypeOf("AUTOINCREMENT(100, 1)");
  EXPECT_TRUE(counter.autonumber);
  EXPECT_EQ(counter.type, ColumnType::kLong);
  EXPECT_EQ(counter.seed, 100);
  EXPECT_TRUE(TypeOf("COUNTER").autonumber);
  // Syntax errors carry each statement's numbers.
  const std::pair<int, std::vector<const char*>> by_number[] = {
      {3290,
       {"CREATE TABLE", "CREATE TABLE t a TEXT", "CREATE TABLE t (a TEXT",
        "CREATE VIEW v AS SELECT 1"}},
      {3292,
       {"CREATE TABLE t (a)", "CREATE TABLE t (a FOO)", "CREATE TABLE t (a TEXT(0))",
        "CREATE TABLE t (a TEXT(256))", "CREATE TABLE t (a LONG(4))",
        "CREATE TABLE t (a DECIMAL(10, 11))", "CREATE TABLE t (a LONG NOT)",
        "CREATE TABLE t (a LONG WITH COMPRESSION)", "ALTER TABLE t ADD COLUMN a"}},
      {3289,
       {"CREATE TABLE t (a LONG CONSTRAINT)", "CREATE TABLE t (a LONG CONSTRAINT c PRIMARY)",
        "CREATE TABLE t (a LONG, CONSTRAINT c UNIQUE a)",
        "CREATE TABLE t (a LONG, FOREIGN KEY (a) REFERENCES)",
        "CREATE TABLE t (a LONG, FOREIGN KEY (a) REFERENCES u (x, y))"}},
      {3291,
       {"CREATE INDEX ON t (a)", "CREATE INDEX i ON t a", "CREATE INDEX i ON t (a) WITH NOTHING"}},
      {3295, {"DROP t", "DROP TABLE", "DROP INDEX i", "DROP TABLE a, b"}},
      {3293, {"ALTER t ADD a LONG", "ALTER TABLE t RENAME a"}}};
  for (const auto& [number, statements] : by_number) {
    for (const char* sql : statements) EXPECT_EQ(ErrorNumber(sql), number) << sql;
  }
  // Checks of the statement itself, before any file is touched.
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a LONG, A TEXT)"), 3191);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a LONG PRIMARY KEY, b LONG, PRIMARY KEY (b))"), 3283);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a LONG, UNIQUE (b))"), 3265);
  // A foreign key needs the referenced table: it is checked when the relationship is recorded.
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a LONG REFERENCES u)"), 0);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a TEXT(10), b LONG);"), 0);
}

}  // namespace
}  // namespace jetsql
