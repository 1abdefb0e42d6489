// CREATE, ALTER and DROP of tables, columns and indexes, and autonumbers with a seed and a step,
// run through quorla on copies of real Access files: the changed tables are read back by mdbtools
// (mdb-tables, mdb-schema, mdb-prop, mdb-export), mdb-reader and our own reader with the same
// columns and rows, every index of the file passes the structural check, and refused statements
// leave the file's bytes as they were. Each test changes one file in several ways and reads it
// back once.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/database_file.h"
#include "jet/index_check.h"
#include "jetsql/session.h"
#include "support/oracle_file_test.h"
#include "support/raw_page_file.h"
#include "support/table_check.h"

namespace {

using testing::Contains;
using testing::Not;
namespace fs = std::filesystem;
using jet::ColumnType;
using enum jet::ColumnType;
using jetsql::Session;

constexpr char kEveryType[] =
    "CREATE TABLE [Alle Typen] (ID COUNTER CONSTRAINT PrimaryKey PRIMARY KEY, Kurz TEXT(20) NOT "
    "NULL, Lang VARCHAR, Notiz MEMO, Klein BYTE, Mittel SMALLINT, Gross INTEGER, Einfach REAL, "
    "Doppelt FLOAT, Betrag MONEY, Datum DATETIME, Ja YESNO, Roh BINARY(8), Bild LONGBINARY, "
    "Kennung GUID, Genau DECIMAL(12, 3), Gepackt TEXT(30) WITH COMPRESSION, "
    "CONSTRAINT Einmalig UNIQUE (Kurz, Mittel))";

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class DdlOracleTest : public testsupport::OracleFileTest {
 protected:
  static std::vector<std::string> MdbReaderTables(const std::string& path,
                                                  const std::string& stem) {
    testsupport::MdbReaderExport reader({path, "jet4", stem});
    EXPECT_TRUE(reader.ok()) << reader.error();
    return reader.tables();
  }
  static std::vector<std::vector<jet::Value>> Rows(Session& s, const std::string& sql) {
    return s.Query(sql).rows;
  }
  // Each column's type and stored size, in order.
  static void ExpectTypes(const jet::TableDef& def, const std::vector<ColumnType>& types,
                          const std::vector<uint16_t>& sizes) {
    ASSERT_EQ(def.columns.size(), types.size());
    for (size_t i = 0; i < types.size(); ++i) {
      EXPECT_EQ(def.columns[i].type, types[i]) << def.columns[i].name;
      EXPECT_EQ(def.columns[i].size, sizes.at(i)) << def.columns[i].name;
    }
  }
  // Whether mdb-schema's text has (or lacks) each of `parts`.
  static void ExpectSchemaHas(const std::string& schema, const std::vector<std::string>& parts,
                              bool has = true) {
    for (const std::string& part : parts) EXPECT_EQ(Has(schema, part), has) << part << schema;
  }
};

void InsertRowsOfEveryType(Session& s) {
  EXPECT_EQ(s.Execute("INSERT INTO [Alle Typen] (Kurz, Lang, Notiz, Klein, Mittel, Gross, Einfach, "
                      "Doppelt, Betrag, Datum, Ja, Roh, Bild, Kennung, Genau, Gepackt) VALUES "
                      "('Grüße', 'Straße', 'kurz', 255, -32768, 2147483647, 1.5, -2.25, "
                      "1234.5678, #2026-12-24 18:30:00#, True, 'Roh', 'Bilddaten', "
                      "'{12345678-ABCD-EF01-2345-6789ABCDEF01}', 123456789.123, 'gepackt')"),
            1);
  EXPECT_EQ(s.Execute("INSERT INTO [Alle Typen] (Kurz, Notiz, Mittel, Ja) VALUES ('Nullen', '" +
                      std::string(6000, 'm') + "', 1, False)"),
            1);
  EXPECT_EQ(s.Execute("INSERT INTO [Alle Typen] (Kurz, Lang, Mittel, Genau) SELECT Kurz & 'x', "
                      "Lang, Mittel + 2, -Genau FROM [Alle Typen]"),
            2);
}

// testRefGlobalV2000.mdb's global usage map is a reference map whose pointer list ends in a stray
// value that names no bitmap page: new pages must come from elsewhere.
TEST_F(DdlOracleTest, TableOfEveryTypeIsReadBackByEveryReader) {
  for (const char* sample :
       {"jet4/emptyV2000.mdb", "jet4/testV2003.mdb", "jet4/testRefGlobalV2000.mdb"}) {
    SCOPED_TRACE(sample);
    const std::string path = Copy(sample);
    const std::string stem = fs::path(sample).stem().string();
    {
      Session s(path, Session::Mode::kReadWrite);
      EXPECT_EQ(s.Execute(kEveryType), 0);
      InsertRowsOfEveryType(s);
      EXPECT_EQ(s.Execute("CREATE INDEX iDatum ON [Alle Typen] (Datum DESC, Kurz)"), 0);
      EXPECT_EQ(Count(s, "SELECT Count(*) FROM [Alle Typen] WHERE ID >= 1"), 4);
    }
    auto db = jet::Database::Open(path);
    auto def = db->GetTableDef("Alle Typen");
    ExpectTypes(*def,
                {kLong, kText, kText, kMemo, kByte, kInteger, kLong, kSingle, kDouble, kCurrency,
                 kDateTime, kBoolean, kBinary, kOle, kGuid, kNumeric, kText},
                {4, 40, 510, 0, 1, 2, 4, 4, 8, 8, 8, 1, 8, 0, 16, 17, 60});
    EXPECT_TRUE(def->columns[0].autonumber);
    EXPECT_FALSE(def->columns[1].nullable);
    EXPECT_TRUE(def->columns[16].compressed_unicode);
    EXPECT_EQ(def->columns[15].precision, 12);
    EXPECT_EQ(def->columns[15].scale, 3);
    ASSERT_EQ(def->indexes.size(), 3u);
    EXPECT_TRUE(def->indexes[0].primary);
    EXPECT_EQ(def->indexes[1].name, "Einmalig");
    EXPECT_TRUE(def->indexes[1].unique);
    EXPECT_FALSE(def->indexes[2].columns[0].ascending);
    EXPECT_EQ(def->row_count, 4u);
    EXPECT_EQ(testsupport::CheckTableIndexes(*db, path, "Alle Typen"), "");

    EXPECT_THAT(testsupport::MdbTables({path, "jet4", stem}), Contains("Alle Typen"));
    EXPECT_THAT(MdbReaderTables(path, stem), Contains("Alle Typen"));
    auto schema = testsupport::RunProcess({"mdb-schema", "-T", "Alle Typen", path});
    ASSERT_EQ(schema.exit_code, 0) << schema.err;
    for (const char* column :
         {"[Kurz]\t\t\tText (20)", "[Lang]\t\t\tText (255)", "[Notiz]\t\t\tMemo/Hyperlink",
          "[Klein]\t\t\tByte", "[Mittel]\t\t\tInteger", "[Gross]\t\t\tLong Integer",
          "[Einfach]\t\t\tSingle", "[Doppelt]\t\t\tDouble", "[Betrag]\t\t\tCurrency",
          "[Datum]\t\t\tDateTime", "[Ja]\t\t\tBoolean", "[Roh]\t\t\tBinary", "[Bild]\t\t\tOLE",
          "[Kennung]\t\t\tReplication ID", "[Genau]\t\t\tNumeric"}) {
      EXPECT_NE(schema.out.find(column), std::string::npos) << column << "\n" << schema.out;
    }
    testsupport::CompareTablesWithOracles({path, "jet4", stem}, {"Alle Typen"});
    CheckEveryIndex(path);
  }
}

TEST_F(DdlOracleTest, DefinitionOfAWideTableSpansSeveralPages) {
  const std::string path = Copy("jet4/emptyV2003.mdb");
  std::string create = "CREATE TABLE Breit (";
  std::string insert = "INSERT INTO Breit VALUES (";
  for (int i = 0; i < 150; ++i) {
    std::string n = std::to_string(i);
    create += (i ? ", " : "") + std::string("[Spalte mit einem recht langen Namen ") + n + "] " +
              (i % 3 == 0   ? "TEXT(10)"
               : i % 3 == 1 ? "LONG"
                            : "DOUBLE");
    insert += (i ? ", " : "") + (i % 3 == 0 ? "'t" + n + "'" : n);
  }
  create += ", CONSTRAINT pk PRIMARY KEY ([Spalte mit einem recht langen Namen 1]))";
  {
    Session s(path, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute(create), 0);
    EXPECT_EQ(s.Execute(insert + ")"), 1);
    EXPECT_EQ(s.Execute("CREATE INDEX [ein Index mit langem Namen] ON Breit "
                        "([Spalte mit einem recht langen Namen 149])"),
              0);
  }
  auto db = jet::Database::Open(path);
  auto def = db->GetTableDef("Breit");
  ASSERT_EQ(def->columns.size(), 150u);
  EXPECT_EQ(def->columns[149].name, "Spalte mit einem recht langen Namen 149");
  ASSERT_EQ(def->indexes.size(), 2u);
  EXPECT_EQ(def->indexes[1].name, "ein Index mit langem Namen");
  EXPECT_THAT(testsupport::MdbTables({path, "jet4", "emptyV2003"}), Contains("Breit"));
  testsupport::CompareTablesWithOracles({path, "jet4", "emptyV2003"}, {"Breit"});
  CheckEveryIndex(path);
}

TEST_F(DdlOracleTest, CounterWithSeedAndStep) {
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

TEST_F(DdlOracleTest, DropAndAlterTableForEveryReader) {
  const std::string path = Copy("jet4/testV2003.mdb");
  {
    Session s(path, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute(kEveryType), 0);
    InsertRowsOfEveryType(s);
    EXPECT_EQ(s.Execute("CREATE TABLE Zweite (Nr LONG PRIMARY KEY, Text TEXT(10))"), 0);
    EXPECT_EQ(s.Execute("INSERT INTO Zweite VALUES (1, 'eins')"), 1);
    EXPECT_EQ(s.Execute("DROP TABLE [alle typen]"), 0);
    EXPECT_EQ(ErrorOf(s, "DROP TABLE [Alle Typen]"), 3376);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM Zweite"), 1);
  }
  EXPECT_THAT(testsupport::MdbTables({path, "jet4", "testV2003"}), Not(Contains("Alle Typen")));
  EXPECT_THAT(MdbReaderTables(path, "testV2003"), Not(Contains("Alle Typen")));
  EXPECT_THAT(MdbReaderTables(path, "testV2003"), Contains("Zweite"));
  CheckEveryIndex(path);
  {
    // The pages given back are used again: creating the table anew does not grow the file.
    const auto size = fs::file_size(path);
    Session s(path, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute(kEveryType), 0);
    EXPECT_EQ(fs::file_size(path), size);
    InsertRowsOfEveryType(s);
    // Columns added to Access's table read as Null in its old rows.
    const int64_t rows = Count(s, "SELECT Count(*) FROM Table1");
    ASSERT_GT(rows, 1);
    EXPECT_EQ(s.Execute("ALTER TABLE Table1 ADD COLUMN Neu TEXT(20)"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE Table1 ADD Zahl LONG"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE Table1 ADD Notiz MEMO"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE Table1 ADD COLUMN Ja YESNO"), 0);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM Table1 WHERE Neu Is Null AND Zahl Is Null"), rows);
    EXPECT_EQ(s.Execute("UPDATE Table1 SET Neu = 'neu ' & A, Zahl = Len(A), Ja = True, Notiz = "
                        "String(5000, 'n')"),
              rows);
    EXPECT_EQ(s.Execute("ALTER TABLE Table1 ADD CONSTRAINT uNeu UNIQUE (Neu)"), 0);
    EXPECT_EQ(ErrorOf(s, "INSERT INTO Table1 (A, Neu) SELECT TOP 1 A & 'z', Neu FROM Table1"),
              3022);
    EXPECT_EQ(s.Execute("ALTER TABLE Table1 DROP CONSTRAINT uNeu"), 0);
    EXPECT_EQ(s.Execute("INSERT INTO Table1 (A, Neu) SELECT TOP 1 A & 'z', Neu FROM Table1"), 1);
  }
  {
    auto def = jet::Database::Open(path)->GetTableDef("Table1");
    ASSERT_GE(def->columns.size(), 4u);
    EXPECT_EQ(def->columns.back().name, "Ja");
    EXPECT_EQ(def->columns[def->columns.size() - 3].name, "Zahl");
  }
  CheckEveryIndex(path);
  testsupport::CompareTablesWithOracles({path, "jet4", "testV2003"},
                                        {"Table1", "Zweite", "Alle Typen"});
}

// Levels of the tree of `table`'s index `name`.
uint32_t DepthOf(const std::string& path, const std::string& table, const std::string& name) {
  auto db = jet::Database::Open(path);
  testsupport::RawPageFile pages(path);
  for (const jet::IndexDef& index : db->GetTableDef(table)->indexes) {
    if (index.name == name) return jet::CheckIndex(pages, pages.version(), index.root_page).depth;
  }
  ADD_FAILURE() << "no index " << name;
  return 0;
}

// On the tables Access wrote and on a table filled from them. CREATE INDEX over thousands of
// rows builds each tree at once: the trees have several levels, list every row under its key and
// stay sound when the writer changes the rows afterwards; a unique index over duplicates changes
// nothing. artikel's memo column has its own long-value page maps in the definition.
TEST_F(DdlOracleTest, IndexesAndColumnsOfTheBenchmarkFile) {
  const std::string path = Copy("bench/orders-100k.mdb");
  {
    Session s(path, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute("CREATE TABLE Namen (Nr LONG, Name TEXT(200), Zahl LONG, Kennung LONG)"),
              0);
    // Long text keys with umlauts, a Null in every 13th row, many rows per Zahl, Kennung unique
    // but for its Nulls.
    EXPECT_EQ(s.Execute("INSERT INTO Namen (Nr, Name, Zahl, Kennung) SELECT OrderID, IIf(OrderID "
                        "Mod 13 = 0, Null, Kunde & ' in ' & Ort & ', Bestellung ' & String(OrderID "
                        "Mod 40, 'ä') & (OrderID Mod 997)), OrderID Mod 50, IIf(OrderID Mod 5 = 0, "
                        "Null, -OrderID) FROM orders WHERE OrderID <= 6000"),
              6000);
    EXPECT_EQ(s.Execute("CREATE INDEX idxName ON Namen (Name)"), 0);
    EXPECT_EQ(s.Execute("CREATE INDEX idxZahlName ON Namen (Zahl DESC, Name)"), 0);
    EXPECT_EQ(s.Execute("CREATE UNIQUE INDEX idxNr ON Namen (Nr) WITH DISALLOW NULL"), 0);
    EXPECT_EQ(s.Execute("CREATE INDEX idxOhneNull ON Namen (Name) WITH IGNORE NULL"), 0);
    EXPECT_EQ(s.Execute("CREATE UNIQUE INDEX idxKennung ON Namen (Kennung DESC)"), 0);
    EXPECT_EQ(ErrorOf(s, "CREATE INDEX idxPflicht ON Namen (Name) WITH DISALLOW NULL"), 3058);
  }
  EXPECT_GE(DepthOf(path, "Namen", "idxName"), 3u);
  EXPECT_GE(DepthOf(path, "Namen", "idxZahlName"), 3u);
  EXPECT_GE(DepthOf(path, "Namen", "idxNr"), 2u);
  // Unique indexes over duplicates are refused before anything is written.
  ExpectRefused(path, "CREATE UNIQUE INDEX idxDoppelt ON Namen (Zahl)", 3022);
  ExpectRefused(path, "ALTER TABLE Namen ADD CONSTRAINT Schluessel PRIMARY KEY (Zahl, Name)", 3058);
  ExpectRefused(path, "CREATE UNIQUE INDEX idxAktiv ON artikel (Aktiv)", 3022);
  {
    Session s(path, Session::Mode::kReadWrite);
    // The writer changes the full pages the indexes were built with.
    EXPECT_EQ(s.Execute("INSERT INTO Namen (Nr, Name, Zahl) SELECT OrderID, Kunde & ' in ' & Ort "
                        "& ', Nachtrag', OrderID Mod 50 FROM orders WHERE OrderID > 6000 AND "
                        "OrderID <= 7500"),
              1500);
    EXPECT_GT(s.Execute("DELETE FROM Namen WHERE Nr Mod 7 = 0"), 0);
    EXPECT_GT(s.Execute("UPDATE Namen SET Name = 'geändert ' & Name WHERE Nr Mod 11 = 0"), 0);
    EXPECT_EQ(ErrorOf(s, "INSERT INTO Namen (Nr, Name) VALUES (1, 'doppelt')"), 3022);
    EXPECT_EQ(s.Execute("CREATE INDEX idxMengeOrt ON orders (Menge DESC, Ort)"), 0);
    EXPECT_EQ(s.Execute("CREATE UNIQUE INDEX idxNr ON artikel (ArtikelNr) WITH DISALLOW NULL"), 0);
    // Row changes keep the new indexes.
    const int64_t big = Count(s, "SELECT Count(*) FROM orders WHERE Menge > 495");
    EXPECT_EQ(s.Execute("DELETE FROM orders WHERE Menge > 495"), big);
    EXPECT_EQ(ErrorOf(s, "INSERT INTO artikel (ArtikelNr) SELECT TOP 1 ArtikelNr FROM artikel"),
              3022);
    // An index Access wrote and one of ours go again; the other indexes stay as they were.
    EXPECT_EQ(s.Execute("CREATE INDEX idxWeg ON artikel (Preis)"), 0);
    EXPECT_EQ(s.Execute("DROP INDEX idxWeg ON artikel"), 0);
    EXPECT_EQ(s.Execute("DROP INDEX idxKunde ON orders"), 0);
    EXPECT_EQ(ErrorOf(s, "DROP INDEX idxKunde ON orders"), 3371);
    EXPECT_EQ(s.Execute("ALTER TABLE artikel DROP COLUMN Beschreibung"), 0);
    EXPECT_EQ(s.Execute("ALTER TABLE artikel DROP COLUMN Angelegt"), 0);
    EXPECT_EQ(s.Execute("UPDATE artikel SET Bestand = Bestand + 1 WHERE ArtikelNr < 5"), 4);
  }
  const std::string schema = Schema(path, "artikel");
  EXPECT_FALSE(Has(schema, "[Beschreibung]")) << schema;
  EXPECT_TRUE(Has(schema, "[Aktiv]")) << schema;
  auto db = jet::Database::Open(path);
  auto def = db->GetTableDef("orders");
  ASSERT_EQ(def->indexes.back().name, "idxMengeOrt");
  for (const jet::IndexDef& index : def->indexes) {
    EXPECT_NE(index.name, "idxKunde");
    EXPECT_NE(index.name, "idxWeg");
  }
  EXPECT_FALSE(def->indexes.back().columns[0].ascending);
  // The new index lists every remaining row, in its order.
  uint32_t entries = 0;
  int32_t previous = INT32_MAX;
  auto cursor = db->OpenIndex("orders", static_cast<int>(def->indexes.size() - 1));
  for (cursor->SeekFirst(); cursor->Valid(); cursor->Next()) {
    int32_t menge = std::get<int32_t>(db->ReadRow("orders", cursor->row_id()).at(2));
    EXPECT_LE(menge, previous);
    previous = menge;
    ++entries;
  }
  EXPECT_EQ(entries, def->row_count);
  EXPECT_EQ(testsupport::CheckTableIndexes(*db, path, "Namen"), "");
  CheckEveryIndex(path);
  testsupport::CompareTablesWithOracles({path, "jet4", "orders-100k"}, {"artikel", "Namen"});
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

// DROP COLUMN, ALTER COLUMN and required columns on one copy, read back once.
TEST_F(DdlOracleTest, ColumnsDroppedChangedAndRequired) {
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
    auto changed = Rows(s, "SELECT Code, Menge, Preis, Notiz, Flag FROM Umbau WHERE ID = 3");
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(std::get<int32_t>(changed[0][0]), 979);
    EXPECT_EQ(std::get<int32_t>(changed[0][1]), 900);
    EXPECT_EQ(std::get<std::string>(changed[0][2]), "3,5");
    EXPECT_EQ(std::get<std::string>(changed[0][3]), "Notiz 3");
    EXPECT_EQ(std::get<int16_t>(changed[0][4]), -1);
    // The indexes hold keys of the new types: order and uniqueness as numbers.
    auto ordered = Rows(s, "SELECT TOP 2 Code FROM Umbau WHERE Code > 700 ORDER BY Code DESC");
    EXPECT_EQ(std::get<int32_t>(ordered.at(0).at(0)), 993);
    EXPECT_EQ(ErrorOf(s, "INSERT INTO Umbau (Menge) VALUES (3000)"), 3022);
    EXPECT_EQ(s.Execute("INSERT INTO Umbau (Menge, Preis) VALUES (100000, 'frei')"), 1);
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
  auto db = jet::Database::Open(path);
  auto def = db->GetTableDef("Spalten");
  std::vector<std::string> names;
  for (const jet::ColumnDef& c : def->columns) names.push_back(c.name);
  EXPECT_EQ(names, (std::vector<std::string>{"ID", "Name", "Zahl", "Betrag", "Kurz", "Notiz"}));
  // The others keep their numbers; the added column gets a new one past the dropped ones.
  EXPECT_EQ(def->columns[2].column_number, 3);
  EXPECT_EQ(def->columns[5].column_number, 8);
  EXPECT_EQ(def->row_count, 31u);
  std::string schema = Schema(path, "Spalten");
  ExpectSchemaHas(schema, {"[Bild]", "[Ja]"}, false);
  ExpectSchemaHas(schema, {"[Kurz]\t\t\tByte"});
  EXPECT_EQ(testsupport::CheckTableIndexes(*db, path, "Spalten"), "");
  def = db->GetTableDef("Umbau");
  ExpectTypes(*def, {kLong, kLong, kLong, kText, kText, kDateTime, kInteger},
              {4, 4, 4, 24, 100, 8, 2});
  EXPECT_EQ(def->columns[1].name, "Code");
  schema = Schema(path, "Umbau");
  ExpectSchemaHas(schema,
                  {"[Code]\t\t\tLong Integer", "[Preis]\t\t\tText (12)", "[Notiz]\t\t\tText (50)"});
  EXPECT_EQ(testsupport::CheckTableIndexes(*db, path, "Umbau"), "");
  const std::string props = PropertiesOf(path, "Pflicht");
  EXPECT_EQ(Property(props, "ID", "Required"), "yes") << props;
  EXPECT_EQ(Property(props, "T", "Required"), "no") << props;
  EXPECT_EQ(Property(props, "U", "Required"), "yes") << props;
  EXPECT_EQ(Property(props, "W", "Required"), "yes") << props;
  EXPECT_EQ(props.find("name: Weg"), std::string::npos) << props;
  // mdb-schema writes NOT NULL from the property.
  schema = Schema(path, "Pflicht");
  ExpectSchemaHas(schema, {"[U]\t\t\tText (10) NOT NULL", "[T]\t\t\tText (20), "});
  const std::string access = PropertiesOf(path, "Table1");
  EXPECT_EQ(Property(access, "B", "Required"), "yes") << access;
  EXPECT_EQ(Property(access, "A", "Required"), "no") << access;
  EXPECT_NE(Property(access, "B", "GUID"), "") << access;
  testsupport::CompareTablesWithOracles({path, "jet4", "testV2003"},
                                        {"Spalten", "Umbau", "Pflicht", "Table1"});
  CheckEveryIndex(path);
}

TEST_F(DdlOracleTest, RefusedDefinitionsLeaveTheFileAsItWas) {
  const std::string path = Copy("jet4/indexTestV2000.mdb");
  {
    Session s(path, Session::Mode::kReadWrite);
    ASSERT_EQ(s.Execute("CREATE TABLE Probe (ID LONG PRIMARY KEY, T TEXT(10), D DOUBLE, "
                        "U DOUBLE CONSTRAINT uU UNIQUE, B BINARY(4), M MEMO)"),
              0);
    ASSERT_EQ(s.Execute("INSERT INTO Probe VALUES (1, 'abcdef', 1000, 1.2, 'ab', 'm')"), 1);
    ASSERT_EQ(s.Execute("INSERT INTO Probe (ID, T, D, U) VALUES (2, Null, -5, 1.4)"), 1);
  }
  const auto bytes = testsupport::ReadWholeFile(path);
  {
    Session s(path, Session::Mode::kReadWrite);
    EXPECT_EQ(ErrorOf(s, "CREATE TABLE Table1 (a LONG)"), 3010);
    EXPECT_EQ(ErrorOf(s, "CREATE TABLE [msysobjects] (a LONG)"), 3010);
    EXPECT_EQ(ErrorOf(s, "DROP TABLE Fehlt"), 3376);
    EXPECT_EQ(ErrorOf(s, "DROP TABLE MSysObjects"), 3027);
    EXPECT_EQ(ErrorOf(s, "CREATE INDEX i ON Fehlt (a)"), 3371);
    EXPECT_EQ(ErrorOf(s, "CREATE INDEX i ON Table1 (Fehlt)"), 3265);
    EXPECT_EQ(ErrorOf(s, "DROP INDEX Fehlt ON Table1"), 3371);
    EXPECT_EQ(ErrorOf(s, "DROP INDEX i ON Fehlt"), 3371);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Fehlt ADD COLUMN x LONG"), 3371);
    EXPECT_EQ(ErrorOf(s, "ALTER TABLE Table1 ADD COLUMN x COUNTER"), 3251);
    // The column is added before its key fails (a second primary key, or Null in it): the
    // statement is undone as a whole.
    const int32_t key = ErrorOf(s, "ALTER TABLE Table1 ADD COLUMN x LONG CONSTRAINT p PRIMARY KEY");
    EXPECT_TRUE(key == 3283 || key == 3058) << key;
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
  EXPECT_EQ(testsupport::ReadWholeFile(path), bytes) << "a refused statement changed the file";
}

}  // namespace
