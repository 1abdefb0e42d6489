// Access's data-definition dialect: type names and their synonyms, sizes, constraints, indexes,
// and the syntax error each kind of statement reports.

#include <gtest/gtest.h>

#include "jet/error.h"
#include "jetsql/ddl/execute_ddl.h"
#include "jetsql/parser.h"

namespace jetsql {
namespace {

using jet::ColumnType;

DataDefinition Ddl(const std::string& sql) {
  Statement st = Parse(sql);
  EXPECT_EQ(st.kind, Statement::Kind::kAction);
  if (!st.ddl) throw std::runtime_error("not parsed as data definition: " + sql);
  return std::move(*st.ddl);
}

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
  EXPECT_EQ(ErrorNumber("CREATE TABLE"), 3290);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t a TEXT"), 3290);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a TEXT"), 3290);
  EXPECT_EQ(ErrorNumber("CREATE VIEW v AS SELECT 1"), 3290);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a)"), 3292);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a FOO)"), 3292);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a TEXT(0))"), 3292);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a TEXT(256))"), 3292);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a LONG(4))"), 3292);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a DECIMAL(10, 11))"), 3292);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a LONG NOT)"), 3292);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a LONG WITH COMPRESSION)"), 3292);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a LONG CONSTRAINT)"), 3289);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a LONG CONSTRAINT c PRIMARY)"), 3289);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a LONG, CONSTRAINT c UNIQUE a)"), 3289);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a LONG, FOREIGN KEY (a) REFERENCES)"), 3289);
  EXPECT_EQ(ErrorNumber("CREATE TABLE t (a LONG, FOREIGN KEY (a) REFERENCES u (x, y))"), 3289);
  EXPECT_EQ(ErrorNumber("CREATE INDEX ON t (a)"), 3291);
  EXPECT_EQ(ErrorNumber("CREATE INDEX i ON t a"), 3291);
  EXPECT_EQ(ErrorNumber("CREATE INDEX i ON t (a) WITH NOTHING"), 3291);
  EXPECT_EQ(ErrorNumber("DROP t"), 3295);
  EXPECT_EQ(ErrorNumber("DROP TABLE"), 3295);
  EXPECT_EQ(ErrorNumber("DROP INDEX i"), 3295);
  EXPECT_EQ(ErrorNumber("DROP TABLE a, b"), 3295);
  EXPECT_EQ(ErrorNumber("ALTER t ADD a LONG"), 3293);
  EXPECT_EQ(ErrorNumber("ALTER TABLE t RENAME a"), 3293);
  EXPECT_EQ(ErrorNumber("ALTER TABLE t ADD COLUMN a"), 3292);
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
