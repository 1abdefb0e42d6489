// The command line of quorla-sql as a user meets it: arguments in any order, help, and every
// failure as "Fehler <number>: <description>" on stderr with exit status 1 (2 for a wrong call).

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <unistd.h>

#include "support/jet_samples.h"
#include "support/oracle_export.h"
#include "support/process.h"

namespace {

using testsupport::QuorlaSql;
using testsupport::SamplePath;

namespace fs = std::filesystem;
using testsupport::ProcessResult;

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

TEST(QuorlaSqlCliTest, HelpIsAManPageAndTheDefault) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--help"}, {}, {"x.mdb", "-h"}}) {
    ProcessResult r = QuorlaSql(args);
    EXPECT_EQ(r.exit_code, 0);
    for (const char* part : {"NAME", "ÜBERSICHT", "--tables", "--schema", "--export", "CSV"}) {
      EXPECT_NE(r.out.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(r.err, "");
  }
}

TEST(QuorlaSqlCliTest, WrongCallsExitWithUsageStatus) {
  const std::vector<std::vector<std::string>> calls = {
      {"x.mdb", "--frobnicate"},          // unknown option
      {"x.mdb", "--export"},              // table missing
      {"x.mdb", "--export="},             // empty table
      {"--tables"},                       // file missing
      {"x.mdb", "--tables", "--schema"},  // two commands
      {"x.mdb", "--tables", "--csv"},     // --csv belongs to statements
      {"x.mdb", "--tables", "extra"},     // stray argument
      {"x.mdb", "--schema", "T", "U"},    // too many
      {"x.mdb", "--tables=yes"},          // value where none belongs
  };
  for (const auto& args : calls) {
    ProcessResult r = QuorlaSql(args);
    EXPECT_EQ(r.exit_code, kExitUsage) << testing::PrintToString(args);
    EXPECT_NE(r.err.find("--help"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST(QuorlaSqlCliTest, StatementPrintsCsvWhenNotOnATerminal) {
  REQUIRE_SAMPLES();
  const std::string file = SamplePath("bench/orders-100k.mdb");
  for (const auto& args : std::vector<std::vector<std::string>>{
           {file, "SELECT TOP 2 ArtikelNr, Preis*2 FROM artikel ORDER BY ArtikelNr"},
           {"--csv", file, "SELECT TOP 2 ArtikelNr, Preis*2 FROM artikel ORDER BY ArtikelNr"}}) {
    ProcessResult r = QuorlaSql(args);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    // Preis is Currency: doubling it stays exact, and the unnamed column is Expr1000.
    EXPECT_EQ(r.out, "ArtikelNr,Expr1000\r\n1,405.3600\r\n2,4519.6000\r\n");
  }
}

// Scripts from standard input: `;` inside texts and names does not split, blank pieces are
// skipped, and the first error stops the script with its number.
TEST(QuorlaSqlCliTest, ScriptFromStandardInput) {
  REQUIRE_SAMPLES();
  auto run = [](const std::string& script) {
    return testsupport::RunProcess({"sh", "-c", "printf '%s' \"$1\" | \"$2\" \"$3\"", "sh", script,
                                    testsupport::QuorlaSqlProgram(),
                                    SamplePath("bench/orders-100k.mdb")});
  };
  ProcessResult ok =
      run("SELECT Count(*) AS n FROM artikel WHERE Bezeichnung <> 'a;b';;\n"
          "SELECT ArtikelNr AS [x;y] FROM artikel WHERE ArtikelNr = 1;\n");
  ASSERT_EQ(ok.exit_code, 0) << ok.err;
  EXPECT_EQ(ok.out, "n\r\n25\r\nx;y\r\n1\r\n");

  ProcessResult bad =
      run("SELECT 1 AS a FROM artikel WHERE ArtikelNr = 1; SELECT * FROM fehlt; SELECT 2 AS b");
  EXPECT_EQ(bad.exit_code, kExitError);
  EXPECT_EQ(bad.out, "a\r\n1\r\n");
  EXPECT_EQ(bad.err.rfind("Fehler 3078: ", 0), 0u) << bad.err;
}

// The engine's errors (the engine tests check which file gives which) reach the user as
// "Fehler <number>: <description>" with exit status 1 and nothing on standard output.
TEST(QuorlaSqlCliTest, EngineErrorsExitWithTheirNumberAndDescription) {
  REQUIRE_SAMPLES();
  const fs::path text = fs::temp_directory_path() / ("quorla-cli-" + std::to_string(::getpid()));
  std::ofstream(text, std::ios::binary) << "Dies ist keine Datenbank.\n";
  struct Case {
    std::vector<std::string> args;
    const char* error;  // how stderr starts
    std::string named;  // what the description must name
  };
  const std::string missing = "/nonexistent/kunden.mdb";
  // The sample files are read-only: a change is refused with 3027 instead of reported as done.
  for (const Case& c : std::vector<Case>{
           {{missing, "--tables"}, "Fehler 3024: ", missing},
           {{text.string(), "--tables"}, "Fehler 3343: ", ""},
           {{SamplePath("refused/passwordV2000.mdb"), "--tables"}, "Fehler 3031: ", ""},
           {{SamplePath("bench/orders-100k.mdb"), "DELETE FROM artikel"}, "Fehler 3027: ", ""},
           {{SamplePath("jet4/testV2000.mdb"), "--export", "Keine"}, "Fehler 3078: ", "Keine"},
           {{SamplePath("jet4/testV2000.mdb"), "--schema", "Keine"}, "Fehler 3078: ", "Keine"}}) {
    ProcessResult r = QuorlaSql(c.args);
    EXPECT_EQ(r.exit_code, kExitError) << c.args[1];
    EXPECT_EQ(r.err.rfind(c.error, 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << c.args[1];
  }
  fs::remove(text);
}

TEST(QuorlaSqlCliTest, OptionsMayStandAnywhere) {
  REQUIRE_SAMPLES();
  const std::string file = SamplePath("jet4/testV2000.mdb");
  ProcessResult expected = QuorlaSql({file, "--export", "Table1"});
  ASSERT_EQ(expected.exit_code, 0) << expected.err;
  EXPECT_EQ(QuorlaSql({"--export", "Table1", file}).out, expected.out);
  EXPECT_EQ(QuorlaSql({"--export=Table1", file}).out, expected.out);
  EXPECT_EQ(QuorlaSql({"--", file, "--export", "Table1"}).exit_code,
            kExitUsage);  // a file named --export

  ProcessResult schema = QuorlaSql({file, "--schema", "Table1"});
  ASSERT_EQ(schema.exit_code, 0) << schema.err;
  EXPECT_EQ(QuorlaSql({"--schema", file, "Table1"}).out, schema.out);
  EXPECT_EQ(QuorlaSql({"--schema=Table1", file}).out, schema.out);
}

TEST(QuorlaSqlCliTest, ExportWritesRfc4180WithCrlfAndAHeader) {
  REQUIRE_SAMPLES();
  ProcessResult r = QuorlaSql({SamplePath("jet4/testV2000.mdb"), "--export", "Table1"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  // Text, text, byte, integer, long, double, date, currency, yes/no.
  EXPECT_EQ(r.out.substr(0, r.out.find("\r\n", r.out.find("\r\n") + 2) + 2),
            "A,B,C,D,E,F,G,H,I\r\n"
            "abcdefg,hijklmnop,2,222,333333333,444.555,1974-09-21 00:00:00,3.5000,True\r\n");
  EXPECT_EQ(r.out.find('\n'), r.out.find("\r\n") + 1);  // no bare LF line ends
}

TEST(QuorlaSqlCliTest, SchemaWritesEveryUserTableWithItsIndexes) {
  REQUIRE_SAMPLES();
  const std::string file = SamplePath("jet4/indexTestV2000.mdb");
  ProcessResult tables = QuorlaSql({file, "--tables"});
  ProcessResult schema = QuorlaSql({file, "--schema"});
  ASSERT_EQ(schema.exit_code, 0) << schema.err;
  std::regex create("^CREATE TABLE \\[([^\\]]+)\\] \\($");
  std::string names;
  std::istringstream lines(schema.out);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (std::regex_match(line, m, create)) names += m[1].str() + "\n";
  }
  EXPECT_EQ(names, tables.out);
  // The indexes mdb-schema --indexes shows; that the printed schema makes the same tables again,
  // create_database_test checks.
  EXPECT_NE(schema.out.find("CREATE UNIQUE INDEX [PrimaryKey] ON [Table3] ([id]) WITH PRIMARY;"),
            std::string::npos)
      << schema.out;
}

}  // namespace

TEST(QuorlaSqlCliTest, QueriesListsNamesWithTheirSql) {
  REQUIRE_SAMPLES();
  ProcessResult r = QuorlaSql({SamplePath("jet4/queryTestV2000.mdb"), "--queries"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  for (const char* name :
       {"SelectQuery", "UpdateQuery", "AppendQuery", "DeleteQuery", "MakeTableQuery",
        "CrosstabQuery", "UnionQuery", "PassthroughQuery", "DataDefinitionQuery"}) {
    EXPECT_NE(r.out.find(std::string(name) + "\n"), std::string::npos) << name;
  }
  // Each SQL as saved_queries_test decodes it, its line breaks plain, then an empty line.
  EXPECT_NE(r.out.find("DeleteQuery\nDELETE "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(";\n\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find('\r'), std::string::npos);
  ProcessResult none = QuorlaSql({SamplePath("jet4/testV2000.mdb"), "--queries"});
  EXPECT_EQ(none.exit_code, 0);
  EXPECT_EQ(none.out, "");
}
