// Make-table queries (SELECT ... INTO) run through Execute and quorla-sql on copies of an empty
// Access file: the new table's field types follow the source columns and expressions as Access
// derives them (mdb-schema), its rows are read back alike by mdbtools, mdb-reader and our reader,
// and a refused statement leaves the file as it was.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/database.h"
#include "jetsql/session.h"
#include "support/oracle_file_test.h"

namespace {

using jet::ColumnType;
using jetsql::Session;

class MakeTableOracleTest : public testsupport::OracleFileTest {
 protected:
  void SetUp() override {
    OracleFileTest::SetUp();
    if (IsSkipped()) return;
    path_ = Copy("jet4/emptyV2003.mdb");
    Session s(path_, Session::Mode::kReadWrite);
    s.Execute(
        "CREATE TABLE Kunden (Nr COUNTER PRIMARY KEY, Name TEXT(20) NOT NULL, Notiz MEMO, "
        "Klein BYTE, Mittel SMALLINT, Einfach REAL, Doppelt FLOAT, Betrag MONEY, Datum "
        "DATETIME, Ja YESNO, Genau DECIMAL(12, 3), Roh BINARY(8))");
    s.Execute("CREATE TABLE Orte (Kunde LONG, Ort TEXT(30))");
    s.Execute(
        "INSERT INTO Kunden (Name, Notiz, Klein, Mittel, Einfach, Doppelt, Betrag, Datum, "
        "Ja, Genau, Roh) VALUES ('Anna Müller', '" +
        std::string(3000, 'n') +
        "', 7, -300, 1.5, 2.25, 12.3456, #2026-12-24 18:30:00#, True, 123.456, 'Roh')");
    s.Execute("INSERT INTO Kunden (Name, Betrag) VALUES ('Bernd', -5)");
    s.Execute("INSERT INTO Kunden (Name) VALUES ('Clara')");
    s.Execute("INSERT INTO Orte VALUES (1, 'Köln')");
    s.Execute("INSERT INTO Orte VALUES (2, 'Trier')");
  }
  std::vector<std::pair<ColumnType, uint16_t>> Columns(const std::string& table) const {
    auto db = jet::Database::Open(path_);
    std::vector<std::pair<ColumnType, uint16_t>> out;
    for (const jet::ColumnDef& c : db->GetTableDef(table)->columns) {
      EXPECT_FALSE(c.autonumber) << c.name;
      out.emplace_back(c.type, c.size);
    }
    return out;
  }

  std::string Schema(const std::string& table) const {
    return OracleFileTest::Schema(path_, table);
  }

  std::string path_;
};

TEST_F(MakeTableOracleTest, NewTablesTakeTheirSourcesTypesAndRows) {
  {
    Session s(path_, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute("SELECT * INTO Kopie FROM Kunden"), 3);
    EXPECT_EQ(s.Execute("SELECT k.Nr, k.Name AS Kunde, o.Ort, k.Betrag * 2 AS Doppelt, "
                        "k.Name & ' aus ' & o.Ort AS Text, k.Mittel + 1 AS Summe, "
                        "k.Datum + 1 AS Morgen, k.Nr > 1 AS Spät, Len(k.Notiz) AS Länge, "
                        "k.Notiz INTO [Mit Ort] FROM Kunden AS k INNER JOIN Orte AS o ON "
                        "k.Nr = o.Kunde WHERE o.Ort <> 'Bonn' ORDER BY k.Nr DESC"),
              2);
    EXPECT_EQ(s.Execute("SELECT Name INTO Leer FROM Kunden WHERE Nr > 100"), 0);
    EXPECT_EQ(std::get<int32_t>(s.Query("SELECT COUNT(*) FROM Kopie").rows.at(0).at(0)), 3);
  }
  using C = std::vector<std::pair<ColumnType, uint16_t>>;
  // A source column keeps its type and size; the autonumber becomes a Long.
  EXPECT_EQ(Columns("Kopie"), (C{{ColumnType::kLong, 4},
                                 {ColumnType::kText, 40},
                                 {ColumnType::kMemo, 0},
                                 {ColumnType::kByte, 1},
                                 {ColumnType::kInteger, 2},
                                 {ColumnType::kSingle, 4},
                                 {ColumnType::kDouble, 8},
                                 {ColumnType::kCurrency, 8},
                                 {ColumnType::kDateTime, 8},
                                 {ColumnType::kBoolean, 1},
                                 {ColumnType::kNumeric, 17},
                                 {ColumnType::kBinary, 8}}));
  const std::string schema = Schema("Mit Ort");
  for (const char* field :
       {"[Nr]\t\t\tLong Integer", "[Kunde]\t\t\tText (20)", "[Ort]\t\t\tText (30)",
        "[Doppelt]\t\t\tCurrency", "[Text]\t\t\tText (255)", "[Morgen]\t\t\tDateTime",
        "[Spät]\t\t\tBoolean", "[Notiz]\t\t\tMemo/Hyperlink"}) {
    EXPECT_NE(schema.find(field), std::string::npos) << field << "\n" << schema;
  }
  EXPECT_EQ(Schema("Leer").find("[Name]\t\t\tText (20)") == std::string::npos, false);
  testsupport::CompareTablesWithOracles({path_, "jet4", "emptyV2003"},
                                        {"Kopie", "Mit Ort", "Leer"});
}

TEST_F(MakeTableOracleTest, RefusedMakeTableQueriesLeaveTheFileAsItWas) {
  const auto bytes = quorla_test::ReadWholeFile(path_);
  {
    Session s(path_, Session::Mode::kReadWrite);
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO Orte FROM Kunden"), 3010);
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO [orte] FROM Kunden"), 3010);
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO Neu FROM Fehlt"), 3078);
    EXPECT_EQ(ErrorOf(s, "SELECT Fehlt INTO Neu FROM Kunden"), 3061);
    // The window's path runs row-returning statements only.
    try {
      s.Query("SELECT * INTO Neu FROM Kunden");
      ADD_FAILURE() << "a make-table query returned rows";
    } catch (const jet::Error& e) {
      EXPECT_EQ(e.number(), 3219);
    }
  }
  EXPECT_EQ(quorla_test::ReadWholeFile(path_), bytes) << "a refused statement changed the file";
}

TEST_F(MakeTableOracleTest, QuorlaSqlReportsTheRecordsItCopied) {
  testsupport::ProcessResult r = testsupport::RunProcess(
      {std::string(QUORLA_BUILD_DIR) + "/tools/quorla-sql", path_,
       "SELECT Name, Betrag INTO Schuldner FROM Kunden WHERE Betrag < 100"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.err.find("2 Datensätze betroffen"), std::string::npos) << r.err;
  auto out = quorla_test::RunCommand("mdb-export " + quorla_test::ShellQuote(path_) + " Schuldner");
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(*out, "Name,Betrag\n\"Anna Müller\",12.3456\n\"Bernd\",-5.0000\n");
}

}  // namespace
