// ALTER TABLE ... DROP COLUMN and ALTER COLUMN, and autonumbers with a seed and a step, run
// through quorla on copies of real Access files: the changed tables are read back by mdbtools
// (mdb-schema, mdb-export), mdb-reader and our own reader with the same columns and rows, every
// index passes the structural check, and refused statements leave the file's bytes as they were.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jetsql/session.h"
#include "support/oracle_file_test.h"
#include "support/table_check.h"

namespace {

namespace fs = std::filesystem;
using jet::ColumnType;
using jetsql::Session;

class DdlColumnsOracleTest : public testsupport::OracleFileTest {
 protected:
  static std::vector<std::vector<jet::Value>> Rows(Session& s, const std::string& sql) {
    return s.Query(sql).rows;
  }
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

constexpr char kColumns[] =
    "CREATE TABLE Spalten (ID COUNTER CONSTRAINT pk PRIMARY KEY, Name TEXT(20), Notiz MEMO, "
    "Zahl LONG, Betrag CURRENCY, Bild LONGBINARY, Ja YESNO, Kurz BYTE, "
    "CONSTRAINT uZahl UNIQUE (Zahl))";

void FillColumns(Session& s) {
  for (int i = 1; i <= 30; ++i) {
    std::string n = std::to_string(i);
    EXPECT_EQ(s.Execute("INSERT INTO Spalten (Name, Notiz, Zahl, Betrag, Bild, Ja, Kurz) VALUES "
                        "('Zeile " +
                        n + "', '" + std::string(i % 3 == 0 ? 5000 : 20, 'a' + i % 26) + "', " + n +
                        "0, " + n + ".25, 'Bild " + n + "', " + (i % 2 ? "True" : "False") + ", " +
                        std::to_string(i % 7) + ")"),
              1);
  }
  EXPECT_EQ(s.Execute("UPDATE Spalten SET Name = Null, Notiz = Null WHERE Zahl = 70"), 1);
}

TEST_F(DdlColumnsOracleTest, DropColumnRemovesItFromTheDefinitionAndEveryRow) {
  const std::string path = Copy("jet4/testV2003.mdb");
  {
    Session s(path, Session::Mode::kReadWrite);
    ASSERT_EQ(s.Execute(kColumns), 0);
    FillColumns(s);
    EXPECT_EQ(s.Execute("ALTER TABLE Spalten DROP COLUMN Notiz"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE Spalten DROP Bild"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE [spalten] DROP COLUMN [ja]"), 0);
    EXPECT_THROW(s.Query("SELECT Notiz FROM Spalten"), jet::Error);
    auto rows = Rows(s, "SELECT ID, Name, Zahl, Betrag, Kurz FROM Spalten ORDER BY ID");
    ASSERT_EQ(rows.size(), 30u);
    EXPECT_EQ(std::get<int32_t>(rows[0][0]), 1);
    EXPECT_EQ(std::get<std::string>(rows[4][1]), "Zeile 5");
    EXPECT_TRUE(jet::IsNull(rows[6][1]));
    EXPECT_EQ(std::get<int32_t>(rows[29][2]), 300);
    // New rows take the next autonumber and the keys stay unique.
    EXPECT_EQ(s.Execute("INSERT INTO Spalten (Name, Zahl) VALUES ('neu', 999)"), 1);
    EXPECT_EQ(ErrorOf(s, "INSERT INTO Spalten (Name, Zahl) VALUES ('doppelt', 999)"), 3022);
    EXPECT_EQ(std::get<int32_t>(Rows(s, "SELECT Max(ID) FROM Spalten").at(0).at(0)), 31);
    // Dropped columns' names are free again.
    EXPECT_EQ(s.Execute("ALTER TABLE Spalten ADD COLUMN Notiz TEXT(5)"), 0);
  }
  auto db = jet::Database::Open(path);
  auto def = db->GetTableDef("Spalten");
  std::vector<std::string> names;
  for (const jet::ColumnDef& c : def->columns) names.push_back(c.name);
  EXPECT_EQ(names, (std::vector<std::string>{"ID", "Name", "Zahl", "Betrag", "Kurz", "Notiz"}));
  // The others keep their numbers; the added column gets a new one past the dropped ones.
  EXPECT_EQ(def->columns[2].column_number, 3);
  EXPECT_EQ(def->columns[5].column_number, 8);
  EXPECT_EQ(def->row_count, 31u);
  const std::string schema = Schema(path, "Spalten");
  EXPECT_FALSE(Contains(schema, "[Bild]")) << schema;
  EXPECT_FALSE(Contains(schema, "[Ja]")) << schema;
  EXPECT_TRUE(Contains(schema, "[Kurz]\t\t\tByte")) << schema;
  testsupport::CompareTablesWithOracles({path, "jet4", "testV2003"}, {"Spalten", "Table1"});
  CheckEveryIndex(path);
  EXPECT_EQ(testsupport::CheckTableIndexes(*db, path, "Spalten"), "");
}

TEST_F(DdlColumnsOracleTest, DropColumnOfATableAccessWrote) {
  // artikel's memo column has its own long-value page maps in the definition.
  const std::string path = Copy("bench/orders-100k.mdb");
  {
    Session s(path, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute("ALTER TABLE artikel DROP COLUMN Beschreibung"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE artikel DROP COLUMN Angelegt"), 0);
    EXPECT_EQ(std::get<int32_t>(Rows(s, "SELECT Count(*) FROM artikel").at(0).at(0)), 25);
    EXPECT_EQ(s.Execute("UPDATE artikel SET Bestand = Bestand + 1 WHERE ArtikelNr < 5"), 4);
  }
  const std::string schema = Schema(path, "artikel");
  EXPECT_FALSE(Contains(schema, "[Beschreibung]")) << schema;
  EXPECT_TRUE(Contains(schema, "[Aktiv]")) << schema;
  testsupport::CompareTablesWithOracles({path, "jet4", "orders-100k"}, {"artikel"});
  CheckEveryIndex(path);
}

TEST_F(DdlColumnsOracleTest, AlterColumnConvertsEveryValueAndRebuildsItsIndexes) {
  const std::string path = Copy("jet4/testV2003.mdb");
  {
    Session s(path, Session::Mode::kReadWrite);
    ASSERT_EQ(s.Execute("CREATE TABLE Umbau (ID COUNTER PRIMARY KEY, Code TEXT(10), Menge "
                        "SMALLINT, Preis DOUBLE, Notiz MEMO, Datum DATETIME, Flag YESNO)"),
              0);
    ASSERT_EQ(s.Execute("CREATE INDEX iCode ON Umbau (Code DESC)"), 0);
    ASSERT_EQ(s.Execute("CREATE UNIQUE INDEX iMenge ON Umbau (Menge)"), 0);
    for (int i = 1; i <= 40; ++i) {
      std::string n = std::to_string(i);
      EXPECT_EQ(s.Execute("INSERT INTO Umbau (Code, Menge, Preis, Notiz, Datum, Flag) VALUES ('" +
                          std::to_string(1000 - i * 7) + "', " + std::to_string(i * 300) + ", " +
                          n + ".5, 'Notiz " + n + "', #2026-01-" + std::to_string(i % 28 + 1) +
                          "#, " + (i % 2 ? "True" : "False") + ")"),
                1);
    }
    EXPECT_EQ(s.Execute("INSERT INTO Umbau (Code) VALUES (Null)"), 1);
    // A fixed column grows (new place in the row), text becomes a number and back, a number
    // becomes text (new variable slot), a memo becomes text.
    EXPECT_EQ(s.Execute("ALTER TABLE Umbau ALTER COLUMN Menge LONG"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE Umbau ALTER Code LONG"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE Umbau ALTER COLUMN Preis TEXT(12)"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE Umbau ALTER COLUMN Notiz TEXT(50)"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE Umbau ALTER COLUMN Flag SMALLINT"), 0);
    auto rows = Rows(s, "SELECT Code, Menge, Preis, Notiz, Flag FROM Umbau WHERE ID = 3");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(std::get<int32_t>(rows[0][0]), 979);
    EXPECT_EQ(std::get<int32_t>(rows[0][1]), 900);
    EXPECT_EQ(std::get<std::string>(rows[0][2]), "3,5");
    EXPECT_EQ(std::get<std::string>(rows[0][3]), "Notiz 3");
    EXPECT_EQ(std::get<int16_t>(rows[0][4]), -1);
    // The indexes hold keys of the new types: order and uniqueness as numbers.
    auto ordered = Rows(s, "SELECT TOP 2 Code FROM Umbau WHERE Code > 700 ORDER BY Code DESC");
    EXPECT_EQ(std::get<int32_t>(ordered.at(0).at(0)), 993);
    EXPECT_EQ(ErrorOf(s, "INSERT INTO Umbau (Menge) VALUES (3000)"), 3022);
    EXPECT_EQ(s.Execute("INSERT INTO Umbau (Menge, Preis) VALUES (100000, 'frei')"), 1);
  }
  auto db = jet::Database::Open(path);
  auto def = db->GetTableDef("Umbau");
  const std::vector<std::pair<ColumnType, uint16_t>> expected = {
      {ColumnType::kLong, 4},   {ColumnType::kLong, 4},   {ColumnType::kLong, 4},
      {ColumnType::kText, 24},  {ColumnType::kText, 100}, {ColumnType::kDateTime, 8},
      {ColumnType::kInteger, 2}};
  ASSERT_EQ(def->columns.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(def->columns[i].type, expected[i].first) << def->columns[i].name;
    EXPECT_EQ(def->columns[i].size, expected[i].second) << def->columns[i].name;
  }
  EXPECT_EQ(def->columns[1].name, "Code");
  const std::string schema = Schema(path, "Umbau");
  EXPECT_TRUE(Contains(schema, "[Code]\t\t\tLong Integer")) << schema;
  EXPECT_TRUE(Contains(schema, "[Preis]\t\t\tText (12)")) << schema;
  EXPECT_TRUE(Contains(schema, "[Notiz]\t\t\tText (50)")) << schema;
  testsupport::CompareTablesWithOracles({path, "jet4", "testV2003"}, {"Umbau"});
  CheckEveryIndex(path);
  EXPECT_EQ(testsupport::CheckTableIndexes(*db, path, "Umbau"), "");
}

TEST_F(DdlColumnsOracleTest, RefusedColumnChangesLeaveTheFileAsItWas) {
  const std::string path = Copy("jet4/indexTestV2000.mdb");
  {
    Session s(path, Session::Mode::kReadWrite);
    ASSERT_EQ(s.Execute("CREATE TABLE Probe (ID LONG PRIMARY KEY, T TEXT(10), D DOUBLE, "
                        "U DOUBLE CONSTRAINT uU UNIQUE, B BINARY(4), M MEMO)"),
              0);
    ASSERT_EQ(s.Execute("INSERT INTO Probe VALUES (1, 'abcdef', 1000, 1.2, 'ab', 'm')"), 1);
    ASSERT_EQ(s.Execute("INSERT INTO Probe (ID, T, D, U) VALUES (2, Null, -5, 1.4)"), 1);
  }
  const auto bytes = quorla_test::ReadWholeFile(path);
  {
    Session s(path, Session::Mode::kReadWrite);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Probe DROP COLUMN Fehlt"), 3265);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Fehlt DROP COLUMN T"), 3371);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Probe DROP COLUMN ID"), 3280);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Probe DROP COLUMN U"), 3280);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE MSysObjects DROP COLUMN Name"), 3027);
    // Table1's otherfk1 refers to Table2's id, its otherfk2 to Table3's.
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Table1 DROP COLUMN otherfk1"), 3303);
    EXPECT_EQ(ErrorOf(s, "DROP TABLE Table1"), 3303);
    EXPECT_EQ(ErrorOf(s, "DROP TABLE Table3"), 3303);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Table2 ALTER COLUMN id DOUBLE"), 3303);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Probe ALTER COLUMN Fehlt LONG"), 3265);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Probe ALTER COLUMN T TEXT(5)"), 3163);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Probe ALTER COLUMN T LONG"), 3421);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Probe ALTER COLUMN D BYTE"), 3349);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Probe ALTER COLUMN B LONG"), 3421);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Probe ALTER COLUMN M BINARY(10)"), 3421);
    // Found only while the rows are stored again: the whole statement is undone.
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Probe ALTER COLUMN U LONG"), 3022);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Probe ALTER COLUMN T TEXT(10) NOT NULL"), 3314);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Probe ALTER COLUMN D COUNTER"), 3251);
    EXPECT_EQ(ErrorOf(s, "CREATE TABLE Z (ID COUNTER(1, 0))"), 3292);
  }
  EXPECT_EQ(quorla_test::ReadWholeFile(path), bytes) << "a refused statement changed the file";
}

// The "name: column" blocks mdb-prop prints, each with its properties.
std::string PropertiesOf(const std::string& path, const std::string& table) {
  auto props = testsupport::RunProcess({"mdb-prop", path, table});
  EXPECT_EQ(props.exit_code, 0) << props.err;
  return props.out;
}

// The value mdb-prop gives `property` of `column`, or "" without one.
std::string Property(const std::string& listing, const std::string& column,
                     const std::string& property) {
  size_t block = listing.find("name: " + column + "\n");
  if (block == std::string::npos) return "";
  size_t end = listing.find("\n\n", block);
  size_t at = listing.find("\t" + property + ": ", block);
  if (at == std::string::npos || at > end) return "";
  at += property.size() + 3;
  return listing.substr(at, listing.find('\n', at) - at);
}

TEST_F(DdlColumnsOracleTest, RequiredColumnsCarryTheRequiredProperty) {
  const std::string path = Copy("jet4/testV2003.mdb");
  {
    Session s(path, Session::Mode::kReadWrite);
    ASSERT_EQ(s.Execute("CREATE TABLE Pflicht (ID LONG NOT NULL, T TEXT(10) NOT NULL, U TEXT(10), "
                        "Weg LONG NOT NULL)"),
              0);
    ASSERT_EQ(s.Execute("ALTER TABLE Pflicht ADD COLUMN W DOUBLE NOT NULL"), 0);
    ASSERT_EQ(s.Execute("INSERT INTO Pflicht VALUES (1, 'eins', 'u', 7, 1.5)"), 1);
    EXPECT_EQ(ErrorOf(s, "INSERT INTO Pflicht (ID, T, Weg) VALUES (2, 'zwei', 8)"), 3314);
    EXPECT_EQ(s.Execute("ALTER TABLE Pflicht ALTER COLUMN U TEXT(10) NOT NULL"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE Pflicht ALTER COLUMN T TEXT(20)"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE Pflicht DROP COLUMN Weg"), 0);
    EXPECT_EQ(s.Execute("INSERT INTO Pflicht (ID, U, W) VALUES (2, 'u2', 2)"), 1);
    // Access's own table keeps its properties when one of its columns changes.
    EXPECT_EQ(s.Execute("ALTER TABLE Table1 ALTER COLUMN B TEXT(100) NOT NULL"), 0);
  }
  const std::string props = PropertiesOf(path, "Pflicht");
  EXPECT_EQ(Property(props, "ID", "Required"), "yes") << props;
  EXPECT_EQ(Property(props, "T", "Required"), "no") << props;
  EXPECT_EQ(Property(props, "U", "Required"), "yes") << props;
  EXPECT_EQ(Property(props, "W", "Required"), "yes") << props;
  EXPECT_EQ(props.find("name: Weg"), std::string::npos) << props;
  // mdb-schema writes NOT NULL from the property.
  const std::string schema = Schema(path, "Pflicht");
  EXPECT_TRUE(Contains(schema, "[U]\t\t\tText (10) NOT NULL")) << schema;
  EXPECT_TRUE(Contains(schema, "[T]\t\t\tText (20), ")) << schema;
  const std::string access = PropertiesOf(path, "Table1");
  EXPECT_EQ(Property(access, "B", "Required"), "yes") << access;
  EXPECT_EQ(Property(access, "A", "Required"), "no") << access;
  EXPECT_NE(Property(access, "B", "GUID"), "") << access;
  testsupport::CompareTablesWithOracles({path, "jet4", "testV2003"}, {"Pflicht", "Table1"});
  CheckEveryIndex(path);
}

TEST_F(DdlColumnsOracleTest, CounterWithSeedAndStep) {
  const std::string path = Copy("jet4/emptyV2000.mdb");
  {
    Session s(path, Session::Mode::kReadWrite);
    ASSERT_EQ(s.Execute("CREATE TABLE Auf (ID COUNTER(100, 5) PRIMARY KEY, T TEXT(10))"), 0);
    ASSERT_EQ(s.Execute("CREATE TABLE Ab (ID AUTOINCREMENT(50, -10), T TEXT(10))"), 0);
    for (const char* t : {"eins", "zwei", "drei"}) {
      EXPECT_EQ(s.Execute(std::string("INSERT INTO Auf (T) VALUES ('") + t + "')"), 1);
      EXPECT_EQ(s.Execute(std::string("INSERT INTO Ab (T) VALUES ('") + t + "')"), 1);
    }
  }
  {
    // The step is kept in the file: a new session goes on with it.
    Session s(path, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute("INSERT INTO Auf (T) VALUES ('vier')"), 1);
    EXPECT_EQ(s.Execute("INSERT INTO Ab (T) VALUES ('vier')"), 1);
    std::vector<int32_t> up, down;
    for (auto& r : Rows(s, "SELECT ID FROM Auf ORDER BY T")) up.push_back(std::get<int32_t>(r[0]));
    for (auto& r : Rows(s, "SELECT ID FROM Ab ORDER BY T")) down.push_back(std::get<int32_t>(r[0]));
    EXPECT_EQ(up, (std::vector<int32_t>{110, 100, 115, 105}));  // drei, eins, vier, zwei
    EXPECT_EQ(down, (std::vector<int32_t>{30, 50, 20, 40}));
    // An explicit value past the last one moves the counter on in the step's direction.
    EXPECT_EQ(s.Execute("INSERT INTO Ab (ID, T) VALUES (-7, 'fünf')"), 1);
    EXPECT_EQ(s.Execute("INSERT INTO Ab (T) VALUES ('sechs')"), 1);
    EXPECT_EQ(std::get<int32_t>(Rows(s, "SELECT ID FROM Ab WHERE T = 'sechs'").at(0).at(0)), -17);
  }
  testsupport::CompareTablesWithOracles({path, "jet4", "emptyV2000"}, {"Auf", "Ab"});
  CheckEveryIndex(path);
}

}  // namespace
