#include "jetsql/binder.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "jet/error.h"
#include "jet/name_fold.h"
#include "jetsql/parser.h"
#include "jetsql/standard_tables.h"
#include "support/new_database.h"

namespace jetsql {
namespace {

using CT = jet::ColumnType;
using testsupport::DatabaseSqlite;

// The catalogue of the file, with the row counts a test gives its tables instead of theirs.
class SizedCatalog : public DatabaseCatalog {
 public:
  using DatabaseCatalog::DatabaseCatalog;
  std::shared_ptr<const jet::TableDef> FindTable(const std::string& name) override {
    auto def = DatabaseCatalog::FindTable(name);
    auto size = sizes.find(jet::FoldName(name));
    if (!def || size == sizes.end()) return def;
    auto sized = std::make_shared<jet::TableDef>(*def);
    sized->row_count = size->second;
    return sized;
  }
  std::map<std::string, uint32_t> sizes;  // by folded name
};

class BinderTest : public ::testing::Test {
 protected:
  BoundStatement B(const std::string& sql) {
    Statement stmt = Parse(sql);
    return Bind(stmt, catalog_);
  }
  jet::Error Err(const std::string& sql) {
    try {
      B(sql);
    } catch (const jet::Error& e) {
      return e;
    }
    ADD_FAILURE() << "no error for: " << sql;
    return jet::Error(0, "");
  }
  testsupport::NewDatabase file_{testsupport::kStandardTables};
  SizedCatalog catalog_{&file_.db()};
};

TEST_F(BinderTest, FieldNamesAndTypesAsAccessGivesThem) {
  auto b =
      B("SELECT KundenID, Name AS N, KundenID * 2, Rabatt + 1, k.Ort, Seit, Aktiv, "
        "Len(Name), Name & '!' FROM Kunden AS k");
  EXPECT_EQ(b.field_names, (std::vector<std::string>{"KundenID", "N", "Expr1000", "Expr1001", "Ort",
                                                     "Seit", "Aktiv", "Expr1002", "Expr1003"}));
  EXPECT_EQ(b.field_types, (std::vector<CT>{CT::kLong, CT::kText, CT::kLong, CT::kDouble, CT::kText,
                                            CT::kDateTime, CT::kBoolean, CT::kLong, CT::kText}));
  ASSERT_EQ(b.tables.size(), 1u);
  EXPECT_EQ(b.tables[0].table, "Kunden");
}

TEST_F(BinderTest, ExpressionTypesFollowJetRules) {
  auto b =
      B("SELECT Betrag + 1, Betrag * 1.5, Betrag / 2, Menge + Menge, Datum + 1, "
        "Datum - Datum, Menge \\ 2, 2 ^ 2, -Menge, Genau + 1, CCur(Menge), Int(Betrag), "
        "Round(Menge), 'a' + 'b', '1' + 2, Null + 1, 70000, 1.5, #1/1/2000# FROM "
        "Bestellungen");
  EXPECT_EQ(b.field_types,
            (std::vector<CT>{CT::kCurrency, CT::kDouble, CT::kDouble, CT::kLong, CT::kDateTime,
                             CT::kDouble, CT::kLong, CT::kDouble, CT::kInteger, CT::kNumeric,
                             CT::kCurrency, CT::kCurrency, CT::kInteger, CT::kText, CT::kDouble,
                             CT::kLong, CT::kLong, CT::kDouble, CT::kDateTime}));
  auto a =
      B("SELECT Sum(Menge), Sum(Betrag), Avg(Menge), Avg(Betrag), Count(*), Max(Datum), "
        "Min(KundenID), StDev(Menge), First(Genau) FROM Bestellungen");
  EXPECT_EQ(a.field_types,
            (std::vector<CT>{CT::kLong, CT::kCurrency, CT::kDouble, CT::kCurrency, CT::kLong,
                             CT::kDateTime, CT::kLong, CT::kDouble, CT::kNumeric}));
}

TEST_F(BinderTest, StarNamesRepeatedFieldsWithTheirTable) {
  auto b =
      B("SELECT * FROM Kunden INNER JOIN Bestellungen AS b ON Kunden.KundenID = "
        "b.KundenID");
  ASSERT_EQ(b.field_names.size(), 13u);
  EXPECT_EQ(b.field_names[0], "Kunden.KundenID");
  EXPECT_EQ(b.field_names[1], "Name");
  EXPECT_EQ(b.field_names[8], "b.KundenID");
  auto c = B("SELECT b.*, [Order Details].* FROM Bestellungen b, [Order Details]");
  EXPECT_EQ(c.field_names[0], "BestellID");
  EXPECT_EQ(c.field_names[7], "Product Name");
  EXPECT_EQ(c.tables.size(), 2u);
}

TEST_F(BinderTest, NamesResolveCaseInsensitivelyThroughBracketsAndAliases) {
  EXPECT_NO_THROW(B("SELECT [kunden].[NAME], k2.ort FROM kunden, Kunden AS k2"));
  EXPECT_NO_THROW(B("SELECT [Product Name] FROM [order details]"));
  // A select alias is visible to later items and ORDER BY.
  auto b = B("SELECT Rabatt * 2 AS Doppelt, Doppelt + 1 AS Mehr FROM Kunden ORDER BY Doppelt");
  EXPECT_EQ(b.field_names[1], "Mehr");
}

TEST_F(BinderTest, MeaningErrorsCarryJetNumbersAndNames) {
  jet::Error e = Err("SELECT * FROM Lieferanten");
  EXPECT_EQ(e.number(), 3078);
  EXPECT_NE(e.description().find("'Lieferanten'"), std::string::npos);
  EXPECT_EQ(Err("SELECT Nme FROM Kunden").description(), "Zu wenige Parameter. Erwartet: 1.");
  EXPECT_EQ(Err("SELECT Nme, Ot, nme FROM Kunden").description(),
            "Zu wenige Parameter. Erwartet: 2.");
  EXPECT_EQ(Err("PARAMETERS p Long; SELECT Name FROM Kunden WHERE KundenID = p").description(),
            "Zu wenige Parameter. Erwartet: 1.");
  EXPECT_NE(Err("SELECT KundenID FROM Kunden, Bestellungen").description().find("'KundenID'"),
            std::string::npos);
  EXPECT_NE(Err("SELECT Name, Count(*) FROM Kunden").description().find("'Name'"),
            std::string::npos);
  EXPECT_NO_THROW(B("SELECT Ort FROM Kunden GROUP BY Ort ORDER BY Count(*) DESC, UCase(Ort)"));
  const std::pair<int, std::vector<const char*>> by_number[] = {
      {3061, {"SELECT Nme FROM Kunden", "SELECT k.Gibtsnicht FROM Kunden k"}},
      {3079, {"SELECT KundenID FROM Kunden, Bestellungen"}},
      {3122,
       {"SELECT Name, Count(*) FROM Kunden", "SELECT Ort FROM Kunden GROUP BY Name",
        "SELECT Ort FROM Kunden GROUP BY Ort ORDER BY Name"}},
      {3096, {"SELECT Name FROM Kunden WHERE Count(*) > 1"}},
      {3092, {"SELECT Count(*) FROM Kunden GROUP BY Count(*)"}},
      {3095, {"SELECT Sum(Count(*)) FROM Kunden"}},
      {3464,
       {"SELECT Name FROM Kunden WHERE Name = 5", "SELECT Name FROM Kunden WHERE Seit = 'gestern'",
        "SELECT Bild + 1 FROM [Order Details]"}},
      {3085, {"SELECT Foo(1)"}},
      {3075, {"SELECT Left(Name) FROM Kunden", "SELECT Sum(*) FROM Kunden"}},
      {3306, {"SELECT Name FROM Kunden WHERE KundenID IN (SELECT KundenID, Name FROM Kunden)"}},
      {3307, {"SELECT Name, Ort FROM Kunden UNION SELECT Name FROM Kunden"}},
      {3131, {"SELECT * FROM Kunden, Kunden"}},
      {3067, {"SELECT *"}},
      {3078, {"SELECT x.* FROM Kunden"}},
      {3138, {"SELECT Name FROM Kunden UNION SELECT Name FROM Kunden ORDER BY Gibtsnicht"}}};
  for (const auto& [number, statements] : by_number) {
    for (const char* sql : statements) EXPECT_EQ(Err(sql).number(), number) << sql;
  }
}

// Every dialect form translates into SQL that SQLite accepts.
TEST_F(BinderTest, TranslatedSqlPreparesInSqlite) {
  DatabaseSqlite db(file_.db());
  const char* statements[] = {
      "SELECT ALL k.* FROM Kunden k WHERE k.Name Like 'M*' AND NOT k.Aktiv OR k.Rabatt > .5",
      "SELECT DISTINCTROW Name FROM Kunden",
      "SELECT TOP 3 Name, Rabatt FROM Kunden ORDER BY Rabatt DESC",
      "SELECT TOP 10 PERCENT Name FROM Kunden ORDER BY Name",
      "SELECT Ort, Count(*) AS Anzahl, Sum(Rabatt), Avg(Rabatt), Min(Name), Max(Seit), "
      "First(Name), Last(Name), StDev(Rabatt), StDevP(Rabatt), Var(Rabatt), VarP(Rabatt) "
      "FROM Kunden GROUP BY Ort HAVING Count(*) > 1 ORDER BY 2 DESC",
      "SELECT k.Name, b.Betrag FROM Kunden AS k LEFT JOIN Bestellungen AS b ON k.KundenID = "
      "b.KundenID",
      "SELECT * FROM (Kunden INNER JOIN Bestellungen ON Kunden.KundenID = "
      "Bestellungen.KundenID) INNER JOIN [Order Details] ON Bestellungen.BestellID = "
      "[Order Details].ID",
      "SELECT d.N FROM (SELECT Name AS N FROM Kunden) AS d WHERE d.N <> 'x'",
      "SELECT Name FROM Kunden k WHERE EXISTS (SELECT * FROM Bestellungen b WHERE b.KundenID = "
      "k.KundenID)",
      "SELECT Name FROM Kunden WHERE KundenID > ALL (SELECT KundenID FROM Bestellungen)",
      "SELECT Name FROM Kunden WHERE KundenID = ANY (SELECT KundenID FROM Bestellungen)",
      "SELECT Name FROM Kunden WHERE KundenID = SOME (SELECT KundenID FROM Bestellungen)",
      "SELECT k.Name FROM Bestellungen b RIGHT JOIN Kunden k ON k.KundenID = b.KundenID",
      "SELECT Name FROM Kunden UNION SELECT [Product Name] FROM [Order Details] ORDER BY Name",
      "SELECT KundenID FROM Kunden UNION ALL SELECT Betrag FROM Bestellungen",
      "TRANSFORM Sum(Betrag) SELECT KundenID FROM Bestellungen GROUP BY KundenID PIVOT "
      "Year(Datum) IN (2001, 2002)",
      "SELECT IIf(Aktiv, 'ja', 'nein'), Nz(Rabatt), Nz(Name, 'ohne'), IsNull(Ort), "
      "Switch(Rabatt > 1, 'hoch', True, 'niedrig'), Choose(2, 'a', 'b', 'c') FROM Kunden",
      "SELECT Len(Name), Left(Name, 2), Right(Name, 2), Mid(Name, 2, 3), InStr(2, Name, 'a'), "
      "InStrRev(Name, 'a'), UCase(Name), LCase(Name), Trim(Name), LTrim(Name), RTrim(Name), "
      "Space(3), String(3, '*'), Replace(Name, 'a', 'b'), StrComp(Name, Ort), StrReverse(Name), "
      "Asc(Name), Chr(65), Val('12'), Str(12), Format(Rabatt, '0.00') FROM Kunden",
      "SELECT CStr(1), CInt(1.5), CLng(1), CSng(1), CDbl(1), CCur(1), CDate('1.1.2000'), "
      "CBool(1), CByte(1), CDec(1), Int(-1.5), Fix(-1.5), Abs(-1), Sgn(-1), Round(2.5), Sqr(4), "
      "Exp(1), Log(1), Sin(1), Cos(1), Tan(1), Atn(1), Rnd(), IsNumeric('1'), IsDate('x')",
      "SELECT Date(), Time(), Now(), Year(Seit), Month(Seit), Day(Seit), Hour(Seit), "
      "Minute(Seit), Second(Seit), Weekday(Seit), DateAdd('d', 1, Seit), DateDiff('d', Seit, "
      "Now()), DatePart('yyyy', Seit), DateSerial(2000, 1, 1), TimeSerial(1, 2, 3), "
      "DateValue('1.1.2000'), TimeValue('10:00'), MonthName(1), WeekdayName(1) FROM Kunden",
      "SELECT 1 Xor 0, 5 And 3, True Eqv False, Null Imp True, Not 5, -Rabatt, Rabatt ^ 2, "
      "7 Mod 3, 7 \\ 2, Name & Null, Null + 1 FROM Kunden",
      "SELECT Name FROM Kunden WHERE Seit Between #1/1/2000# And #12/31/2000 23:59:59# AND "
      "Ort In ('Bonn', 'Köln') AND Notiz Is Not Null AND Rabatt Not In (1, 2)",
      "SELECT BestellID FROM Bestellungen WHERE Betrag > Menge AND Betrag < 1.5 AND Genau > 1 "
      "AND Datum > Betrag",
      "SELECT Name FROM Kunden WHERE Rabatt Between Rabatt And 1",
  };
  for (const char* s : statements) {
    BoundStatement b;
    try {
      b = B(s);
    } catch (const jet::Error& e) {
      ADD_FAILURE() << s << "\n -> " << e.number() << " " << e.description();
      continue;
    }
    EXPECT_EQ(db.Prepare(b.sql), "") << s << "\n -> " << b.sql;
  }
}

// Statements run on rows of the made-up tables with the real Jet functions.
class TranslationRunTest : public BinderTest {
 protected:
  void SetUp() override {
    for (const char* row : {"1, 'meier', 'Bonn', True, 0.1, #2000-01-01#, Null",
                            "2, 'Albers', 'bonn', False, 0.3, #2000-01-02#, 'x'",
                            "3, 'Zander', 'Köln', True, 0.3, #2000-01-03#, Null",
                            "4, 'MEIER', Null, False, 0.2, #2000-01-04#, Null"}) {
      file_.Execute(std::string("INSERT INTO Kunden VALUES (") + row + ")");
    }
    for (const char* row : {"10, 1, 15, #2000-03-15#, 2, 1", "11, 1, 2, #2001-03-20#, 1, 2",
                            "12, 3, 0.5, #2000-03-15#, 5, 3"}) {
      file_.Execute(std::string("INSERT INTO Bestellungen VALUES (") + row + ")");
    }
    db_ = std::make_unique<DatabaseSqlite>(file_.db());
  }
  std::vector<std::vector<std::string>> Run(const std::string& sql) {
    return db_->Rows(B(sql).sql);
  }
  std::unique_ptr<DatabaseSqlite> db_;
};

using Rows = std::vector<std::vector<std::string>>;

TEST_F(TranslationRunTest, TextSortsAndComparesWithoutCase) {
  EXPECT_EQ(Run("SELECT Name FROM Kunden WHERE Ort = 'BONN' ORDER BY Name"),
            (Rows{{"Albers"}, {"meier"}}));
  EXPECT_EQ(Run("SELECT DISTINCT Name FROM Kunden WHERE Name = 'Meier'").size(), 1u);
  EXPECT_EQ(Run("SELECT Ort, Count(*) FROM Kunden GROUP BY Ort ORDER BY Ort").size(), 3u);
  // Yes/No literals under their other names, and a date literal.
  EXPECT_EQ(Run("SELECT Count(*) FROM Kunden WHERE Aktiv = On AND Not (Aktiv = No) AND "
                "Seit > #1/1/2000# AND Notiz Is Null"),
            (Rows{{"1"}}));
}

TEST_F(TranslationRunTest, TopKeepsTiesAndPercentRoundsUp) {
  EXPECT_EQ(Run("SELECT TOP 2 KundenID FROM Kunden ORDER BY Rabatt DESC").size(), 2u);
  EXPECT_EQ(Run("SELECT TOP 1 KundenID FROM Kunden ORDER BY Rabatt DESC").size(), 2u);  // tie 0.3
  EXPECT_EQ(Run("SELECT TOP 3 KundenID FROM Kunden ORDER BY Rabatt DESC, KundenID"),
            (Rows{{"2"}, {"3"}, {"4"}}));
  EXPECT_EQ(Run("SELECT TOP 25 PERCENT KundenID FROM Kunden ORDER BY KundenID"), (Rows{{"1"}}));
  EXPECT_EQ(Run("SELECT TOP 26 PERCENT KundenID FROM Kunden ORDER BY KundenID").size(), 2u);
  EXPECT_EQ(Run("SELECT TOP 3 KundenID FROM Kunden").size(), 3u);
  // DISTINCT comes before TOP: meier and MEIER are one name.
  EXPECT_EQ(Run("SELECT DISTINCT TOP 2 Name FROM Kunden ORDER BY Name"),
            (Rows{{"Albers"}, {"meier"}}));
  EXPECT_EQ(Run("SELECT DISTINCT TOP 1 Ort FROM Kunden WHERE Ort Is Not Null ORDER BY 1 DESC"),
            (Rows{{"Köln"}}));
}

TEST_F(TranslationRunTest, JoinsSubqueriesAndUnions) {
  EXPECT_EQ(Run("SELECT k.Name, b.BestellID FROM Kunden k LEFT JOIN Bestellungen b ON "
                "k.KundenID = b.KundenID ORDER BY k.KundenID, b.BestellID")
                .size(),
            5u);
  EXPECT_EQ(Run("SELECT Name FROM Kunden WHERE KundenID IN (SELECT KundenID FROM Bestellungen) "
                "ORDER BY Name"),
            (Rows{{"meier"}, {"Zander"}}));
  EXPECT_EQ(Run("SELECT Name FROM Kunden k WHERE NOT EXISTS (SELECT * FROM Bestellungen b WHERE "
                "b.KundenID = k.KundenID) ORDER BY 1"),
            (Rows{{"Albers"}, {"MEIER"}}));
  EXPECT_EQ(Run("SELECT KundenID FROM Kunden WHERE KundenID >= ALL (SELECT KundenID FROM "
                "Bestellungen)"),
            (Rows{{"3"}, {"4"}}));
  EXPECT_EQ(Run("SELECT KundenID FROM Kunden WHERE KundenID < ANY (SELECT KundenID FROM "
                "Bestellungen)"),
            (Rows{{"1"}, {"2"}}));
  EXPECT_EQ(Run("SELECT Name FROM Kunden UNION SELECT Ort FROM Kunden WHERE Ort = 'Köln' "
                "ORDER BY 1")
                .size(),
            4u);  // meier/MEIER and Zander... Köln joins, duplicates fold without case
  EXPECT_EQ(Run("SELECT (SELECT Count(*) FROM Bestellungen b WHERE b.KundenID = k.KundenID) "
                "FROM Kunden k ORDER BY KundenID"),
            (Rows{{"2"}, {"0"}, {"1"}, {"0"}}));
}

TEST_F(TranslationRunTest, JoinOrderChosenBySizeKeepsRowsAndFields) {
  const std::string sql =
      "SELECT * FROM Kunden k INNER JOIN Bestellungen b ON k.KundenID = b.KundenID ORDER BY "
      "b.BestellID";
  auto small = B(sql);
  catalog_.sizes[jet::FoldName("Bestellungen")] = 100000;
  auto large = B(sql);
  EXPECT_EQ(large.field_names, small.field_names);
  EXPECT_EQ(large.field_names[0], "k.KundenID");  // field order stays as written
  EXPECT_EQ(db_->Rows(large.sql), db_->Rows(small.sql));
  EXPECT_EQ(db_->Rows(large.sql).size(), 3u);
  EXPECT_EQ(Run("SELECT b.BestellID FROM Kunden k, Bestellungen b WHERE k.KundenID = b.KundenID "
                "AND k.Name Like '[m-z]*' ORDER BY 1"),
            (Rows{{"10"}, {"11"}, {"12"}}));
}

TEST_F(TranslationRunTest, GroupTermsMatchByMeaningNotBySpelling) {
  // A GROUP BY term may stand inside a larger expression and be spelt differently.
  EXPECT_EQ(Run("SELECT UCASE(ort) & '!', Count(*) FROM Kunden WHERE Ort Is Not Null GROUP BY "
                "UCase(Kunden.Ort) ORDER BY 1"),
            (Rows{{"BONN!", "2"}, {"KÖLN!", "1"}}));
  EXPECT_EQ(Err("SELECT LCase(Ort) FROM Kunden GROUP BY UCase(Ort)").number(), 3122);
  EXPECT_EQ(Err("SELECT Ort FROM Kunden k GROUP BY k.Name").number(), 3122);
  EXPECT_EQ(Run("SELECT Year(Seit) + 1 FROM Kunden GROUP BY Year(Seit)"), (Rows{{"2001"}}));
}

}  // namespace
}  // namespace jetsql
