// New databases made by quorla-sql --create, and the demo database made from scripts/demo.sql,
// read back by mdbtools, mdb-reader and our own reader; then changed through SQL and read again.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/header.h"
#include "jetsql/session.h"
#include "support/oracle_file_test.h"

namespace {

using jetsql::Session;
using testing::Contains;
using testing::Not;
using testsupport::Lines;
using testsupport::QuorlaSql;

const std::vector<std::string> kSystemTables = {"MSysObjects", "MSysACEs", "MSysQueries",
                                                "MSysRelationships"};

class CreateDatabaseTest : public testsupport::OracleFileTest {
 protected:
  // Only the last case reads samples.
  void SetUp() override {
    if (std::string why = testsupport::OraclesMissing(); !why.empty()) GTEST_SKIP() << why;
  }
};

TEST_F(CreateDatabaseTest, NewFileIsAnEmptyAccess2000DatabaseAndTakesTablesOnce) {
  const std::string path = dir_.File("neu.mdb");
  auto created = Create(path);
  ASSERT_EQ(created.exit_code, 0) << created.err;

  std::vector<uint8_t> bytes = testsupport::ReadWholeFile(path);
  jet::Header header;
  ASSERT_EQ(jet::ParseHeader(bytes, header), jet::HeaderVerdict::kJet);
  EXPECT_EQ(header.version, jet::JetVersion::kJet4);
  EXPECT_EQ(header.code_page, 1252);
  EXPECT_EQ(header.database_key, 0u);
  EXPECT_FALSE(header.has_password);

  std::vector<std::string> ours;
  for (const jet::CatalogEntry& t : jet::Database::Open(path)->Tables()) {
    EXPECT_TRUE(t.system) << t.name;
    ours.push_back(t.name);
  }
  EXPECT_THAT(ours, testing::UnorderedElementsAreArray(kSystemTables));
  CheckEveryIndex(path);

  const testsupport::SampleFile file{path, "jet4", "neu"};
  EXPECT_TRUE(testsupport::MdbTables(file).empty());
  const std::string system = Mdb({"mdb-tables", "-S", "-1", path});
  for (const std::string& t : kSystemTables) EXPECT_THAT(Lines(system), Contains(t)) << system;
  Schema(path, "");
  const std::string catalog = Mdb({"mdb-export", path, "MSysObjects"});
  for (const char* name : {"\"Tables\"", "\"Databases\"", "\"Relationships\"", "\"MSysDb\""}) {
    EXPECT_NE(catalog.find(name), std::string::npos) << catalog;
  }
  testsupport::MdbReaderExport reader(file);
  ASSERT_TRUE(reader.ok()) << reader.error();
  EXPECT_TRUE(reader.tables().empty());

  // Tables made on it are read back alike.
  {
    Session s(path, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute("CREATE TABLE Orte (Nr COUNTER PRIMARY KEY, Ort TEXT(40) NOT NULL, "
                        "Einwohner LONG, Fläche DOUBLE, Gegründet DATETIME, Hauptstadt YESNO)"),
              0);
    EXPECT_EQ(s.Execute("CREATE INDEX idxOrt ON Orte (Ort)"), 0);
    EXPECT_EQ(s.Execute("INSERT INTO Orte (Ort, Einwohner, Fläche, Gegründet, Hauptstadt) "
                        "VALUES ('München', 1510378, 310.7, #1158-06-14#, False)"),
              1);
    EXPECT_EQ(s.Execute("INSERT INTO Orte (Ort, Einwohner, Hauptstadt) "
                        "VALUES ('Düsseldorf', 629047, True)"),
              1);
    EXPECT_EQ(s.Execute("CREATE TABLE Leer (Text MEMO)"), 0);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM Orte WHERE Ort LIKE '*ü*'"), 2);
  }
  EXPECT_EQ(testsupport::MdbTables(file), (std::vector<std::string>{"Orte", "Leer"}));
  testsupport::CompareTablesWithOracles(file, {"Orte", "Leer"});
  CheckEveryIndex(path);
  {
    Session s(path, Session::Mode::kReadWrite);
    EXPECT_EQ(s.Execute("DROP TABLE Leer"), 0);
  }
  EXPECT_THAT(testsupport::MdbTables(file), Not(Contains("Leer")));
  testsupport::CompareTablesWithOracles(file, {"Orte"});

  // An existing file is refused and left as it was; so is a path in no folder.
  const std::vector<uint8_t> before = testsupport::ReadWholeFile(path);
  auto again = Create(path);
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_EQ(again.err, "Fehler 3204: Datenbank existiert bereits.\n");
  EXPECT_EQ(testsupport::ReadWholeFile(path), before);
  auto nowhere = Create(dir_.File("fehlt/neu.mdb"));
  EXPECT_EQ(nowhere.exit_code, 1);
  EXPECT_EQ(nowhere.err.rfind("Fehler 3044: ", 0), 0u) << nowhere.err;
}

TEST_F(CreateDatabaseTest, DemoScriptMakesTheDemoDatabase) {
  const std::string path = dir_.File("demo.mdb");
  const std::string make_demo = std::string(QUORLA_ORACLE_DIR) + "/../../scripts/make-demo";
  auto made = testsupport::RunProcess({make_demo, testsupport::QuorlaSqlProgram(), path});
  ASSERT_EQ(made.exit_code, 0) << made.err;
  {
    Session s(path, Session::Mode::kReadOnly);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM artikel"), 25);
    EXPECT_EQ(s.Query("SELECT * FROM artikel").field_names.size(), 7u);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM kunden WHERE Ort = 'München'"), 1);
    EXPECT_EQ(Count(s,
                    "SELECT Count(*) FROM bestellungen b INNER JOIN artikel a ON "
                    "b.ArtikelNr = a.ArtikelNr"),
              Count(s, "SELECT Count(*) FROM bestellungen"));
  }
  {
    // The orders refer to customers and articles through enforced relationships.
    Session s(path, Session::Mode::kReadWrite);
    EXPECT_EQ(Count(s, "SELECT Count(*) FROM MSysRelationships"), 2);
    EXPECT_EQ(ErrorOf(s, "INSERT INTO bestellungen VALUES (99, 999, 3001, 1, #2026-12-01#)"), 3201);
  }
  const testsupport::SampleFile file{path, "jet4", "demo"};
  testsupport::MdbReaderExport reader(file);
  ASSERT_TRUE(reader.ok()) << reader.error();
  for (const char* t : {"artikel", "kunden", "bestellungen"}) {
    EXPECT_THAT(reader.tables(), Contains(t)) << t;
  }
  testsupport::CompareTablesWithOracles(file, {"artikel", "kunden", "bestellungen"});
  CheckEveryIndex(path);
}

// The schema quorla-sql prints for a sample, run on a new file, prints the same schema again.
TEST_F(CreateDatabaseTest, SchemaOfASampleRunsOnANewFileAndReadsTheSame) {
  REQUIRE_SAMPLES();
  for (const char* sample : {"jet4/testV2000.mdb", "jet4/compIndexTestV2000.mdb",
                             "jet4/fixedNumericTestV2000.mdb", "jet4/testIndexPropertiesV2000.mdb",
                             "jet4/testUnicodeCompV2003.mdb", "bench/orders-100k.mdb"}) {
    SCOPED_TRACE(sample);
    auto original = QuorlaSql({testsupport::SamplePath(sample), "--schema"});
    ASSERT_EQ(original.exit_code, 0) << original.err;
    const std::string path = dir_.File(std::filesystem::path(sample).filename().string());
    ASSERT_EQ(Create(path).exit_code, 0);
    {
      Session s(path, Session::Mode::kReadWrite);
      size_t at = 0;
      for (size_t end; (end = original.out.find(";\n", at)) != std::string::npos; at = end + 2) {
        const std::string statement = original.out.substr(at, end - at);
        EXPECT_NO_THROW(s.Execute(statement)) << statement;
      }
    }
    auto again = QuorlaSql({path, "--schema"});
    ASSERT_EQ(again.exit_code, 0) << again.err;
    EXPECT_EQ(again.out, original.out);
  }
}

}  // namespace
