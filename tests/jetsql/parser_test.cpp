// The parser, with Access's data-definition dialect: type names and their synonyms, sizes,
// constraints, indexes, and the syntax error each kind of statement reports.

#include "jetsql/parser.h"

#include <gtest/gtest.h>

#include "jet/error.h"
#include "jetsql/ddl/execute_ddl.h"
#include "jetsql/lexer.h"

namespace jetsql {
namespace {

using jet::ColumnType;

// The number of the error `sql` fails with, 0 for none; a new table is also planned, which
// checks the statement as a whole.
int ErrorNumber(const std::string& sql) {
  try {
    Statement st = Parse(sql);
    if (st.ddl && st.ddl->kind == DataDefinition::Kind::kCreateTable) {
      PlanNewTable(st.ddl->create_table);
    }
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

TEST(LexerTest, SplitsWordsNamesNumbersStringsAndSymbols) {
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
}

TEST(LexerTest, DateLiteralsInUsAndIsoOrderWithTimes) {
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
}

TEST(ParserTest, ErrorTextQuotesTheExpression) {
  try {
    Parse("SELECT a FROM t WHERE b = = 3");
    FAIL();
  } catch (const jet::Error& e) {
    EXPECT_EQ(e.number(), 3075);
    EXPECT_NE(e.description().find("'b = ="), std::string::npos) << e.description();
  }
}

FieldType TypeOf(const std::string& type) {
  DataDefinition d = Ddl("CREATE TABLE t (f " + type + ")");
  return d.create_table.fields.at(0).type;
}

TEST(DdlParserTest, TypeNamesAndSynonymsGiveAccessTypesAndSizes) {
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
}

TEST(DdlParserTest, CreateTableWithFieldAndTableConstraints) {
  DataDefinition d = Ddl(
      "CREATE TABLE [Kunden Liste] (ID COUNTER CONSTRAINT pk PRIMARY KEY, Name TEXT(50) NOT NULL "
      "WITH COMPRESSION, Mail TEXT UNIQUE, Ort TEXT(40), Nr LONG REFERENCES Orte (Nr) ON DELETE "
      "CASCADE, CONSTRAINT u UNIQUE (Name, Ort), FOREIGN KEY (Ort) REFERENCES Orte (Name) ON "
      "UPDATE CASCADE ON DELETE CASCADE);");
  ASSERT_EQ(d.kind, DataDefinition::Kind::kCreateTable);
  const CreateTableStatement& s = d.create_table;
  EXPECT_EQ(s.table, "Kunden Liste");
  ASSERT_EQ(s.fields.size(), 5u);
  EXPECT_EQ(s.fields[0].constraints.at(0).name, "pk");
  EXPECT_EQ(s.fields[0].constraints[0].kind, ConstraintDefinition::Kind::kPrimaryKey);
  EXPECT_TRUE(s.fields[1].not_null);
  EXPECT_TRUE(s.fields[1].compressed);
  EXPECT_EQ(s.fields[2].constraints.at(0).kind, ConstraintDefinition::Kind::kUnique);
  const ConstraintDefinition& ref = s.fields[4].constraints.at(0);
  EXPECT_EQ(ref.referenced_table, "Orte");
  EXPECT_TRUE(ref.cascade_delete);
  EXPECT_FALSE(ref.cascade_update);
  ASSERT_EQ(s.constraints.size(), 2u);
  EXPECT_EQ(s.constraints[0].columns, (std::vector<std::string>{"Name", "Ort"}));
  EXPECT_TRUE(s.constraints[1].cascade_update);
  EXPECT_EQ(s.constraints[1].referenced_columns, (std::vector<std::string>{"Name"}));
}

TEST(DdlParserTest, IndexesDropsAndAlterations) {
  DataDefinition ci = Ddl("CREATE UNIQUE INDEX ix ON t (a DESC, b ASC, c) WITH IGNORE NULL");
  ASSERT_EQ(ci.kind, DataDefinition::Kind::kCreateIndex);
  EXPECT_TRUE(ci.create_index.unique);
  EXPECT_TRUE(ci.create_index.ignore_null);
  ASSERT_EQ(ci.create_index.fields.size(), 3u);
  EXPECT_TRUE(ci.create_index.fields[0].descending);
  EXPECT_FALSE(ci.create_index.fields[1].descending);
  EXPECT_TRUE(Ddl("CREATE INDEX pk ON t (a) WITH PRIMARY").create_index.primary);
  EXPECT_TRUE(Ddl("CREATE INDEX r ON t (a) WITH DISALLOW NULL").create_index.disallow_null);

  DataDefinition dt = Ddl("DROP TABLE [alte Daten]");
  EXPECT_EQ(dt.kind, DataDefinition::Kind::kDropTable);
  EXPECT_EQ(dt.drop.name, "alte Daten");
  DataDefinition di = Ddl("drop index ix on t");
  EXPECT_EQ(di.kind, DataDefinition::Kind::kDropIndex);
  EXPECT_EQ(di.drop.table, "t");

  using Action = AlterTableStatement::Action;
  EXPECT_EQ(Ddl("ALTER TABLE t ADD COLUMN x TEXT(5)").alter_table.action, Action::kAddColumn);
  EXPECT_EQ(Ddl("ALTER TABLE t ADD x LONG NOT NULL").alter_table.field.name, "x");
  EXPECT_EQ(Ddl("ALTER TABLE t DROP COLUMN x").alter_table.action, Action::kDropColumn);
  EXPECT_EQ(Ddl("ALTER TABLE t ALTER COLUMN x DOUBLE").alter_table.field.type.type,
            ColumnType::kDouble);
  EXPECT_EQ(Ddl("ALTER TABLE t ADD CONSTRAINT pk PRIMARY KEY (a)").alter_table.action,
            Action::kAddConstraint);
  EXPECT_EQ(Ddl("ALTER TABLE t DROP CONSTRAINT pk").alter_table.name, "pk");
}

TEST(DdlParserTest, SyntaxErrorsCarryTheStatementsNumbers) {
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

TEST(DdlParserTest, PlannedTableCarriesStoredSizesAndIndexes) {
  Statement st = Parse(
      "CREATE TABLE t (id COUNTER(5, 1) PRIMARY KEY, name TEXT(30) NOT NULL, b BINARY(8), "
      "UNIQUE (name, b))");
  jet::NewTable t = PlanNewTable(st.ddl->create_table);
  EXPECT_EQ(t.first_autonumber, 5);
  ASSERT_EQ(t.def.columns.size(), 3u);
  EXPECT_TRUE(t.def.columns[0].autonumber);
  EXPECT_EQ(t.def.columns[1].size, 60);  // two bytes per character
  EXPECT_FALSE(t.def.columns[1].nullable);
  EXPECT_EQ(t.def.columns[2].size, 8);
  ASSERT_EQ(t.def.indexes.size(), 2u);
  EXPECT_TRUE(t.def.indexes[0].primary);
  EXPECT_EQ(t.def.indexes[0].name, "PrimaryKey");
  EXPECT_TRUE(t.def.indexes[1].unique);
  EXPECT_EQ(t.def.indexes[1].columns.size(), 2u);
  EXPECT_EQ(t.def.indexes[1].columns[1].column, 2);
}

}  // namespace
}  // namespace jetsql
