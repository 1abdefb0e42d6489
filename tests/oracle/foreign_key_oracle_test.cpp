// FOREIGN KEY constraints of CREATE TABLE and ALTER TABLE on copies of an empty Access file: the
// relationships are recorded as Access records them (MSysRelationships as mdbtools reads it, the
// relationship's constraint in mdb-schema), are enforced by later statements with their cascades,
// survive being read by mdb-reader, and refused statements leave the file's bytes as they were.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/database_file.h"
#include "jetsql/session.h"
#include "support/oracle_file_test.h"

namespace {

using jetsql::Session;

class ForeignKeyOracleTest : public testsupport::OracleFileTest {
 protected:
  void SetUp() override {
    OracleFileTest::SetUp();
    if (!IsSkipped()) path_ = Copy("jet4/emptyV2003.mdb");
  }

  std::string Relationships() const { return Mdb({"mdb-export", path_, "MSysRelationships"}); }
  std::string Schema() const { return Mdb({"mdb-schema", "--relations", path_, "postgres"}); }

  using OracleFileTest::CheckEveryIndex;
  using OracleFileTest::ExpectRefused;
  void ExpectRefused(const std::string& sql, int32_t number) const {
    ExpectRefused(path_, sql, number);
  }
  void CheckEveryIndex() const { CheckEveryIndex(path_); }

  // The relationship entries of `table`'s indexes: name and whether it is the referenced side.
  std::vector<std::pair<std::string, bool>> ReferenceEntries(const std::string& table) const {
    auto db = jet::Database::Open(path_);
    std::vector<std::pair<std::string, bool>> out;
    for (const jet::IndexDef& index : db->GetTableDef(table)->indexes) {
      if (index.foreign_key && index.reference) {
        out.emplace_back(index.name, index.reference->referenced_side);
      }
    }
    return out;
  }

  std::string path_;
};

constexpr char kKunden[] =
    "CREATE TABLE Kunden (Nr LONG CONSTRAINT PK PRIMARY KEY, Name TEXT(40), Kreis TEXT(10), "
    "Bezirk SHORT, CONSTRAINT Ort UNIQUE (Kreis, Bezirk))";

TEST_F(ForeignKeyOracleTest, RelationshipsOfCreateAndAlterTableAreRecordedAsAccessRecordsThem) {
  {
    Session s(path_, Session::Mode::kReadWrite);
    s.Execute(kKunden);
    s.Execute(
        "CREATE TABLE Bestellungen (Id COUNTER PRIMARY KEY, Kunde LONG CONSTRAINT KundeFK "
        "REFERENCES Kunden, Kreis TEXT(10), Bezirk SHORT, CONSTRAINT BestellOrt FOREIGN KEY "
        "(Kreis, Bezirk) REFERENCES Kunden (Kreis, Bezirk) ON UPDATE CASCADE ON DELETE CASCADE)");
    s.Execute("CREATE TABLE Notizen (Id LONG, Bestellung LONG)");
    s.Execute(
        "ALTER TABLE Notizen ADD CONSTRAINT NotizBestellung FOREIGN KEY (Bestellung) "
        "REFERENCES Bestellungen (Id) ON DELETE CASCADE");
    s.Execute("ALTER TABLE Notizen ADD COLUMN Verfasser LONG REFERENCES Kunden (Nr)");
  }
  const std::string rows = Relationships();
  for (const char* row :
       {"\"KundeFK\",0,1,0,\"Bestellungen\",\"Kunde\",\"Kunden\",\"Nr\"",
        "\"BestellOrt\",4352,2,0,\"Bestellungen\",\"Kreis\",\"Kunden\",\"Kreis\"",
        "\"BestellOrt\",4352,2,1,\"Bestellungen\",\"Bezirk\",\"Kunden\",\"Bezirk\"",
        "\"NotizBestellung\",4096,1,0,\"Notizen\",\"Bestellung\",\"Bestellungen\",\"Id\"",
        // A constraint without a name is named after the referenced and the referring table.
        "\"KundenNotizen\",0,1,0,\"Notizen\",\"Verfasser\",\"Kunden\",\"Nr\""}) {
    EXPECT_NE(rows.find(row), std::string::npos) << row << "\n" << rows;
  }
  const std::string schema = Schema();
  for (const char* constraint :
       {"ALTER TABLE \"Notizen\" ADD CONSTRAINT \"notizen_bestellung_fk\" FOREIGN KEY "
        "(\"bestellung\") REFERENCES \"Bestellungen\"(\"id\") ON DELETE CASCADE",
        "REFERENCES \"Kunden\"(\"kreis\") ON UPDATE CASCADE ON DELETE CASCADE"}) {
    EXPECT_NE(schema.find(constraint), std::string::npos) << constraint << "\n" << schema;
  }

  using Entries = std::vector<std::pair<std::string, bool>>;
  EXPECT_EQ(ReferenceEntries("Kunden"), (Entries{{".rB", true}, {".rC", true}, {".rD", true}}));
  EXPECT_EQ(ReferenceEntries("Bestellungen"),
            (Entries{{"KundeFK", false}, {"BestellOrt", false}, {".rB", true}}));
  EXPECT_EQ(ReferenceEntries("Notizen"),
            (Entries{{"NotizBestellung", false}, {"KundenNotizen", false}}));
  CheckEveryIndex();

  // Dropping a constraint takes the relationship and both its index entries; the others still
  // name the right indexes.
  {
    Session s(path_, Session::Mode::kReadWrite);
    s.Execute("ALTER TABLE Bestellungen DROP CONSTRAINT KundeFK");
  }
  EXPECT_EQ(Relationships().find("KundeFK"), std::string::npos);
  EXPECT_EQ(ReferenceEntries("Kunden"), (Entries{{".rC", true}, {".rD", true}}));
  EXPECT_EQ(ReferenceEntries("Bestellungen"), (Entries{{"BestellOrt", false}, {".rB", true}}));
  CheckEveryIndex();
  {
    Session s(path_, Session::Mode::kReadWrite);
    s.Execute("INSERT INTO Kunden (Nr, Kreis, Bezirk) VALUES (1, 'Nord', 1)");
    s.Execute("INSERT INTO Bestellungen (Kunde, Kreis, Bezirk) VALUES (99, 'Nord', 1)");
    EXPECT_EQ(s.Execute("UPDATE Kunden SET Kreis = 'Süd'"), 1);
    EXPECT_EQ(Count(s, "SELECT COUNT(*) FROM Bestellungen WHERE Kreis = 'Süd'"), 1);
  }
  testsupport::CompareTablesWithOracles({path_, "jet4", "emptyV2003"},
                                        {"Kunden", "Bestellungen", "Notizen"});
}

TEST_F(ForeignKeyOracleTest, CreatedRelationshipsAreEnforcedWithTheirCascades) {
  {
    Session s(path_, Session::Mode::kReadWrite);
    s.Execute(kKunden);
    s.Execute(
        "CREATE TABLE Bestellungen (Id LONG PRIMARY KEY, Kunde LONG, CONSTRAINT KundeFK "
        "FOREIGN KEY (Kunde) REFERENCES Kunden (Nr) ON UPDATE CASCADE ON DELETE CASCADE)");
    s.Execute(
        "CREATE TABLE Posten (Id LONG, Bestellung LONG CONSTRAINT PostenFK REFERENCES "
        "Bestellungen (Id))");
    s.Execute("INSERT INTO Kunden (Nr, Name) VALUES (1, 'Anna')");
    s.Execute("INSERT INTO Kunden (Nr, Name) VALUES (2, 'Bernd')");
    s.Execute("INSERT INTO Bestellungen (Id, Kunde) VALUES (10, 1)");
    s.Execute("INSERT INTO Bestellungen (Id, Kunde) VALUES (11, 2)");
    s.Execute("INSERT INTO Bestellungen (Id, Kunde) VALUES (12, Null)");
    s.Execute("INSERT INTO Posten (Id, Bestellung) VALUES (100, 10)");
    EXPECT_EQ(s.Execute("UPDATE Kunden SET Nr = 5 WHERE Nr = 1"), 1);
    EXPECT_EQ(Count(s, "SELECT COUNT(*) FROM Bestellungen WHERE Kunde = 5"), 1);
    EXPECT_EQ(s.Execute("DELETE FROM Kunden WHERE Nr = 2"), 1);
    EXPECT_EQ(Count(s, "SELECT COUNT(*) FROM Bestellungen"), 2);
  }
  ExpectRefused("INSERT INTO Bestellungen (Id, Kunde) VALUES (13, 7)", 3201);
  ExpectRefused("INSERT INTO Posten (Id, Bestellung) VALUES (101, 77)", 3201);
  ExpectRefused("UPDATE Bestellungen SET Id = 20 WHERE Id = 10", 3200);
  ExpectRefused("DELETE FROM Bestellungen WHERE Id = 10", 3200);
  // Deleting the customer cascades to its order, whose item forbids it.
  ExpectRefused("DELETE FROM Kunden WHERE Nr = 5", 3200);
  ExpectRefused("DROP TABLE Kunden", 3303);
  ExpectRefused("DROP TABLE Posten", 3303);
  CheckEveryIndex();
  testsupport::CompareTablesWithOracles({path_, "jet4", "emptyV2003"},
                                        {"Kunden", "Bestellungen", "Posten"});
}

TEST_F(ForeignKeyOracleTest, ConstraintsThatCannotHoldAreRefusedWithoutChange) {
  {
    Session s(path_, Session::Mode::kReadWrite);
    s.Execute(kKunden);
    s.Execute("CREATE TABLE Lose (Nr LONG, Name TEXT(40))");
    s.Execute("CREATE TABLE Bestellungen (Id LONG, Kunde LONG, Kreis TEXT(10), Name TEXT(40))");
    s.Execute("INSERT INTO Kunden (Nr) VALUES (1)");
    s.Execute("INSERT INTO Bestellungen (Id, Kunde) VALUES (10, 1)");
    s.Execute("INSERT INTO Bestellungen (Id, Kunde) VALUES (11, 2)");
    s.Execute("CREATE TABLE Andere (Id LONG, Kunde LONG CONSTRAINT Vergeben REFERENCES Kunden)");
  }
  const std::string add = "ALTER TABLE Bestellungen ADD CONSTRAINT FK FOREIGN KEY ";
  ExpectRefused(add + "(Kunde) REFERENCES Kunden (Nr)", 3379);
  ExpectRefused(add + "(Kunde) REFERENCES Kunden (Name)", 3368);
  ExpectRefused(add + "(Name) REFERENCES Kunden (Name)", 3609);
  ExpectRefused(add + "(Kreis) REFERENCES Kunden (Kreis)", 3609);
  ExpectRefused(add + "(Kunde) REFERENCES Lose", 3373);
  ExpectRefused(add + "(Kunde) REFERENCES Fehlt (Nr)", 3371);
  ExpectRefused(add + "(Fehlt) REFERENCES Kunden (Nr)", 3265);
  ExpectRefused(
      "ALTER TABLE Bestellungen ADD CONSTRAINT Vergeben FOREIGN KEY (Id) REFERENCES "
      "Kunden (Nr)",
      3378);
  ExpectRefused("CREATE TABLE Neu (Id LONG CONSTRAINT X REFERENCES Lose)", 3373);
  ExpectRefused("ALTER TABLE Andere DROP CONSTRAINT Fehlt", 3371);

  // Rows whose key holds a Null refer to nothing; the others must find theirs.
  {
    Session s(path_, Session::Mode::kReadWrite);
    s.Execute("UPDATE Bestellungen SET Kunde = Null WHERE Id = 11");
    s.Execute(add + "(Kunde) REFERENCES Kunden (Nr)");
  }
  EXPECT_NE(Relationships().find("\"FK\",0,1,0,\"Bestellungen\",\"Kunde\""), std::string::npos);
  CheckEveryIndex();
}

}  // namespace
