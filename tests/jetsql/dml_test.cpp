// INSERT, UPDATE and DELETE on a new database: what each statement writes, Jet's errors for
// statements that cannot run, and that a failed statement changes nothing.

#include <gtest/gtest.h>

#include "jetsql/session.h"
#include "support/error_of.h"
#include "support/new_database.h"

namespace jetsql::testing {
namespace {

class DmlTest : public ::testing::Test {
 protected:
  int64_t Run(const std::string& sql) { return file_.Execute(sql); }

  // Runs a statement that must fail; returns the error number and checks nothing was written.
  int32_t Fails(const std::string& sql) {
    auto before_kunden = Rows("Kunden");
    auto before_werte = Rows("Werte");
    const int32_t number = testsupport::ErrorOf([&] { Run(sql); }, &last_error_);
    EXPECT_NE(number, 0) << "no error: " << sql;
    EXPECT_EQ(Rows("Kunden"), before_kunden) << sql;
    EXPECT_EQ(Rows("Werte"), before_werte) << sql;
    return number;
  }

  // The rows of a table in storage order.
  std::vector<std::vector<jet::Value>> Rows(const std::string& table) {
    return file_.Rows("SELECT * FROM " + table);
  }
  std::vector<jet::Value> Column(const std::string& table, size_t column) {
    std::vector<jet::Value> out;
    for (const auto& row : Rows(table)) out.push_back(row[column]);
    return out;
  }

  testsupport::NewDatabase file_{{
      "CREATE TABLE Kunden (ID COUNTER CONSTRAINT PrimaryKey PRIMARY KEY, Name TEXT(20) NOT NULL "
      "CONSTRAINT Name UNIQUE, Ort TEXT(40), Umsatz CURRENCY, Aktiv YESNO)",
      "INSERT INTO Kunden (Name, Ort, Umsatz, Aktiv) VALUES ('Albers', 'Bonn', 1, True)",
      "INSERT INTO Kunden (Name, Ort, Umsatz, Aktiv) VALUES ('Brandt', 'Köln', 2.5, False)",
      "INSERT INTO Kunden (Name, Ort, Umsatz, Aktiv) VALUES ('Claus', 'Bonn', Null, True)",
      "CREATE TABLE Orte (Ort TEXT(40), Land TEXT(40), Faktor FLOAT)",
      "INSERT INTO Orte VALUES ('Bonn', 'NRW', 1.5)",
      "INSERT INTO Orte VALUES ('Köln', 'NRW', 2)",
      "INSERT INTO Orte VALUES ('Mainz', 'RLP', 3)",
      "CREATE TABLE Werte (Zahl SMALLINT, Betrag CURRENCY, Wann DATETIME, Ja YESNO, Text TEXT(10), "
      "Wert FLOAT)",
  }};
  std::string last_error_;
};

// Statements that cannot run fail with Jet's number and change nothing, also when the engine
// refuses the second row after writing the first.
TEST_F(DmlTest, ErrorsChangeNothing) {
  const std::pair<int, std::vector<const char*>> by_number[] = {
      {3078, {"INSERT INTO Fehlt VALUES (1)", "UPDATE Fehlt SET a = 1", "DELETE FROM Fehlt"}},
      {3346,
       {"INSERT INTO Kunden (Name) VALUES ('a', 'b')", "INSERT INTO Kunden VALUES (1, 'a')",
        "INSERT INTO Kunden (Name, Ort) SELECT Ort FROM Orte"}},
      {3061,
       {"UPDATE Kunden SET Name = [Neuer Name]", "UPDATE Kunden SET Nix = 1",
        "PARAMETERS p Text; UPDATE Kunden SET Name = p", "DELETE FROM Kunden WHERE ID = Wert",
        "INSERT INTO Kunden (Name) VALUES (Irgendwas)"}},
      {3079, {"UPDATE Kunden INNER JOIN Orte ON Kunden.Ort = Orte.Ort SET Ort = 'x'"}},
      {3164, {"UPDATE Kunden SET ID = 7"}},
      {3128, {"DELETE FROM Kunden INNER JOIN Orte ON Kunden.Ort = Orte.Ort"}},
      {3065, {"SELECT * FROM Kunden"}},
      {3251, {"PROCEDURE p; SELECT * FROM Kunden"}},
      {3022,
       {"UPDATE Kunden SET Name = 'Claus' WHERE ID < 3",
        "INSERT INTO Kunden (Name) SELECT 'Neu' FROM Orte",
        "INSERT INTO Kunden (ID, Name) VALUES (2, 'Doppelt')"}},
      {3314, {"INSERT INTO Kunden (Ort) VALUES ('Bonn')"}},
      {3163, {"INSERT INTO Werte (Text) VALUES ('elf Zeichen')"}},
      {6, {"INSERT INTO Werte (Zahl) VALUES (40000)"}},
      {3464,
       {"INSERT INTO Werte (Zahl) VALUES ('zwölf')",
        "INSERT INTO Werte (Wann) VALUES ('kein Datum')"}}};
  for (const auto& [number, statements] : by_number) {
    for (const char* sql : statements) EXPECT_EQ(Fails(sql), number) << sql;
  }
  EXPECT_EQ(Fails("INSERT INTO Kunden (Name, Nix) VALUES ('a', 1)"), 3127);
  EXPECT_NE(last_error_.find("'Nix'"), std::string::npos);
  // A SELECT without a field list fills the fields of the same names: an unnamed expression has
  // none in the table.
  EXPECT_EQ(Fails("INSERT INTO Kunden SELECT 'x' FROM Orte"), 3127);
  EXPECT_NE(last_error_.find("'Expr1000'"), std::string::npos);

  Session read_only(file_.path());
  EXPECT_EQ(testsupport::ErrorOf([&] { read_only.Execute("DELETE FROM Kunden"); }), 3027);
}

TEST_F(DmlTest, InsertConvertsEachValueToItsFieldsType) {
  EXPECT_EQ(Run("INSERT INTO Werte VALUES ('1,6', 1.23456, '24.12.2026 18:30', 5, True, '2,5')"),
            1);
  EXPECT_EQ(Run("INSERT INTO Werte (Ja, Text, Zahl, Betrag) VALUES (0, 12.5, 2.5, '3,5')"), 1);
  EXPECT_EQ(Run("INSERT INTO Werte (Wann, Wert) VALUES (#2026-12-24#, Null)"), 1);
  auto rows = Rows("Werte");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (std::vector<jet::Value>{int16_t{2}, jet::Currency{12346},
                                              jet::DateTime{46380.0 + 18.5 / 24}, true,
                                              std::string("-1"), 2.5}));
  EXPECT_EQ(rows[1], (std::vector<jet::Value>{int16_t{2}, jet::Currency{35000}, jet::Value{}, false,
                                              std::string("12,5"), jet::Value{}}));
  EXPECT_EQ(rows[2][2], jet::Value(jet::DateTime{46380.0}));
}

TEST_F(DmlTest, AutonumbersAreAssignedWhenOmittedOrNullAndKeptWhenGiven) {
  EXPECT_EQ(Run("INSERT INTO Kunden (Name) VALUES ('Dora')"), 1);
  EXPECT_EQ(Run("INSERT INTO Kunden (ID, Name) VALUES (Null, 'Emil')"), 1);
  EXPECT_EQ(Run("INSERT INTO Kunden (ID, Name) VALUES (100, 'Fritz')"), 1);
  EXPECT_EQ(
      Run("INSERT INTO Kunden (Name, Ort) SELECT 'Gustav', 'Trier' FROM Orte WHERE Ort = 'Mainz'"),
      1);
  EXPECT_EQ(Column("Kunden", 0),
            (std::vector<jet::Value>{int32_t{1}, int32_t{2}, int32_t{3}, int32_t{4}, int32_t{5},
                                     int32_t{100}, int32_t{101}}));
}

TEST_F(DmlTest, InsertSelectReadsAllRowsBeforeWriting) {
  // The table copies into itself once, however its rows are read.
  EXPECT_EQ(Run("INSERT INTO Orte SELECT * FROM Orte"), 3);
  EXPECT_EQ(Run("INSERT INTO Orte (Land, Ort) SELECT Land, Ort & '2' FROM Orte WHERE Faktor > 1.5"),
            4);
  EXPECT_EQ(Rows("Orte").size(), 10u);
  // Grouping and unions as the engine runs them; ORDER BY decides the autonumber order.
  EXPECT_EQ(Run("INSERT INTO Orte (Ort, Faktor) SELECT Land, Count(*) FROM Orte GROUP BY Land"), 2);
  EXPECT_EQ(Run("INSERT INTO Kunden (Name, Ort) SELECT Ort, Land FROM Orte WHERE Faktor = 3 "
                "UNION SELECT 'Zander', 'Hamm' FROM Orte ORDER BY 1 DESC"),
            2);
  auto kunden = Rows("Kunden");
  ASSERT_EQ(kunden.size(), 5u);
  EXPECT_EQ(kunden[3][1], jet::Value(std::string("Zander")));
  EXPECT_EQ(kunden[4][0], jet::Value(int32_t{5}));
  EXPECT_EQ(kunden[4][1], jet::Value(std::string("Mainz")));
}

TEST_F(DmlTest, UpdateWritesTheNewValuesOfEveryMatchingRow) {
  EXPECT_EQ(Run("UPDATE Kunden SET Umsatz = Nz(Umsatz, 0) * 2, Aktiv = Not Aktiv"), 3);
  EXPECT_EQ(Column("Kunden", 3), (std::vector<jet::Value>{jet::Currency{20000},
                                                          jet::Currency{50000}, jet::Currency{0}}));
  EXPECT_EQ(Column("Kunden", 4), (std::vector<jet::Value>{false, true, false}));
  EXPECT_EQ(Run("UPDATE Kunden SET Ort = 'Berlin' WHERE Ort = 'bonn' AND ID > 1"), 1);
  EXPECT_EQ(Column("Kunden", 2), (std::vector<jet::Value>{"Bonn", "Köln", "Berlin"}));
  EXPECT_EQ(Run("UPDATE Kunden SET Ort = 'x' WHERE False"), 0);
}

TEST_F(DmlTest, JoinedUpdateSetsFieldsFromTheOtherTable) {
  EXPECT_EQ(Run("UPDATE Kunden INNER JOIN Orte ON Kunden.Ort = Orte.Ort "
                "SET Kunden.Ort = Orte.Land, Umsatz = Umsatz * Faktor WHERE Orte.Land = 'NRW'"),
            3);
  EXPECT_EQ(Column("Kunden", 2), (std::vector<jet::Value>{"NRW", "NRW", "NRW"}));
  EXPECT_EQ(Column("Kunden", 3),
            (std::vector<jet::Value>{jet::Currency{15000}, jet::Currency{50000}, jet::Value{}}));
  // The other side of the join can change too.
  EXPECT_EQ(Run("UPDATE Orte AS o LEFT JOIN Kunden AS k ON o.Land = k.Ort SET o.Faktor = 0 "
                "WHERE k.ID Is Null"),
            1);
  EXPECT_EQ(Column("Orte", 2), (std::vector<jet::Value>{1.5, 2.0, 0.0}));
}

TEST_F(DmlTest, DeleteRemovesTheChosenRowsOnce) {
  EXPECT_EQ(Run("DELETE Kunden.* FROM Kunden INNER JOIN Orte ON Kunden.Ort = Orte.Ort "
                "WHERE Orte.Land = 'NRW' AND Kunden.Aktiv"),
            2);
  EXPECT_EQ(Column("Kunden", 1), (std::vector<jet::Value>{"Brandt"}));
  EXPECT_EQ(Rows("Orte").size(), 3u);
  EXPECT_EQ(Run("DELETE * FROM Orte WHERE Ort IN (SELECT Ort FROM Kunden)"), 1);
  EXPECT_EQ(Run("DELETE FROM Orte WHERE Ort NOT IN (SELECT Ort FROM Kunden)"), 2);
  EXPECT_EQ(Run("DELETE FROM Kunden"), 1);
  EXPECT_TRUE(Rows("Kunden").empty());
  EXPECT_EQ(Run("DELETE FROM Kunden"), 0);
}

}  // namespace
}  // namespace jetsql::testing
