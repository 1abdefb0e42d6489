// Make-table queries (SELECT ... INTO) run through Execute and quorla-sql on copies of an empty
// Access file: the new table's field types follow the source columns and expressions as Access
// derives them (mdb-schema), its rows are read back alike by mdbtools, mdb-reader and our reader,
// and a refused statement leaves the files as they were. A make-table query may make its table in
// another file (INTO t IN 'file'), which then holds what the same query makes here. That the
// window's path refuses them (3219) the session's sample tests check.

#include <gtest/gtest.h>
#include <algorithm>

#include <filesystem>
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

// The same queries make their tables in another file and here: the types follow the sources
// and expressions, and both files read alike.
TEST_F(MakeTableOracleTest, NewTablesHereAndInAnotherFile) {
  const std::string other = dir_.File("Ziel.mdb");
  ASSERT_EQ(Create(other).exit_code, 0);
  const std::vector<std::string> queries = {
      "SELECT * INTO Kopie IN 'Ziel.mdb' FROM Kunden",
      "SELECT k.Nr, k.Name AS Kunde, o.Ort, k.Betrag * 2 AS Doppelt, k.Name & ' aus ' & o.Ort AS "
      "Text, k.Mittel + 1 AS Summe, k.Datum + 1 AS Morgen, k.Nr > 1 AS Spät, Len(k.Notiz) AS "
      "Länge, k.Notiz INTO [Mit Ort] IN '' [;DATABASE=" +
          other +
          "] FROM Kunden AS k INNER JOIN Orte AS o ON k.Nr = o.Kunde WHERE o.Ort <> 'Bonn' "
          "ORDER BY k.Nr DESC",
      "SELECT Name INTO Leer IN 'Ziel.mdb' FROM Kunden WHERE Nr > 100"};
  const auto bytes = testsupport::ReadWholeFile(path_);
  {
    Session s(path_, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute(queries[0]), 3);
    EXPECT_EQ(s.Execute(queries[1]), 2);
    EXPECT_EQ(s.Execute(queries[2]), 0);
    // The statement's own session reads the new table back from there.
    EXPECT_EQ(Count(s, "SELECT COUNT(*) FROM Kopie IN 'Ziel.mdb'"), 3);
  }
  EXPECT_EQ(testsupport::ReadWholeFile(path_), bytes) << "the current file changed";
  {
    Session s(path_, Session::Mode::kReadWrite);
    for (std::string sql : queries) {
      const size_t in = sql.find(" IN '");
      sql.erase(in, sql.find(" FROM ") - in);
      s.Execute(sql);
    }
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
  EXPECT_NE(Schema("Leer").find("[Name]\t\t\tText (20)"), std::string::npos);
  const std::vector<std::string> tables = {"Kopie", "Mit Ort", "Leer"};
  for (const std::string& table : tables) {
    EXPECT_EQ(OracleFileTest::Schema(other, table), OracleFileTest::Schema(path_, table)) << table;
    EXPECT_EQ(Mdb({"mdb-export", other, table}), Mdb({"mdb-export", path_, table})) << table;
  }
  testsupport::CompareTablesWithOracles({other, "jet4", "Ziel"}, tables);
}

TEST_F(MakeTableOracleTest, IntoItsOwnFileByNameAndThroughQuorlaSql) {
  // INTO the database's own file by name makes the table here.
  const std::string own = path_.substr(path_.find_last_of('/') + 1);
  {
    Session s(path_, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute("SELECT * INTO Selbst IN '" + own + "' FROM Kunden"), 3);
    // The session sees its own change, which it would not through a second writer.
    EXPECT_EQ(Count(s, "SELECT COUNT(*) FROM Selbst"), 3);
    EXPECT_EQ(s.Execute("INSERT INTO Selbst (Name) VALUES ('Dora')"), 1);
  }
  const std::string out = Mdb({"mdb-export", path_, "Selbst"});
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 5) << out;  // header and 4 records
  // quorla-sql reports the records it copied.
  testsupport::ProcessResult r = testsupport::RunProcess(
      {testsupport::QuorlaSqlProgram(), path_,
       "SELECT Name, Betrag INTO Schuldner FROM Kunden WHERE Betrag < 100"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.err.find("2 Datensätze betroffen"), std::string::npos) << r.err;
  EXPECT_EQ(Mdb({"mdb-export", path_, "Schuldner"}),
            "Name,Betrag\n\"Anna Müller\",12.3456\n\"Bernd\",-5.0000\n");
}

TEST_F(MakeTableOracleTest, RefusedMakeTableQueriesLeaveEveryFileAsItWas) {
  const std::string other = dir_.File("Ziel.mdb");
  ASSERT_EQ(Create(other).exit_code, 0);
  {
    Session s(other, Session::Mode::kReadWrite);
    s.Execute("CREATE TABLE Da (Nr LONG)");
  }
  const std::string jet3 = Copy("jet3/testV1997.mdb");
  const std::string marked = dir_.File("Geschützt.mdb");
  std::filesystem::copy_file(other, marked);
  std::filesystem::permissions(marked, std::filesystem::perms::owner_read);
  const std::vector<std::string> files = {path_, other, jet3, marked};
  std::vector<std::vector<uint8_t>> bytes;
  for (const std::string& f : files) bytes.push_back(testsupport::ReadWholeFile(f));
  {
    Session s(path_, Session::Mode::kReadWrite);
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO Orte FROM Kunden"), 3010);
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO [orte] FROM Kunden"), 3010);
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO Neu FROM Fehlt"), 3078);
    EXPECT_EQ(ErrorOf(s, "SELECT Fehlt INTO Neu FROM Kunden"), 3061);
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO Da IN 'Ziel.mdb' FROM Kunden"), 3010);
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO [da] IN '' [;DATABASE=Ziel.mdb] FROM Kunden"), 3010);
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO Neu IN 'Fehlt.mdb' FROM Kunden"), 3024);
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO Neu IN 'Kein Ordner/Ziel.mdb' FROM Kunden"), 3044);
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO Neu IN 'testV1997.mdb' FROM Kunden"), 3027);
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO Neu IN 'Geschützt.mdb' FROM Kunden"), 3027);
    // A failing source leaves the other file as it was.
    EXPECT_EQ(ErrorOf(s, "SELECT * INTO Neu IN 'Ziel.mdb' FROM Fehlt"), 3078);
  }
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(testsupport::ReadWholeFile(files[i]), bytes[i]) << files[i] << " changed";
  }
}

}  // namespace
