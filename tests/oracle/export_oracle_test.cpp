// Every table of every sample file, exported by quorla-sql, against two independent readers:
// mdbtools (mdb-tables, mdb-export) and mdb-reader (node, tests/oracle/mdb_reader_export.mjs).

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <unistd.h>

#include "jet/database.h"
#include "support/catalogue_order.h"
#include "support/csv.h"
#include "support/oracle_fields.h"
#include "support/process.h"
#include "support/sample_files.h"

namespace {

namespace fs = std::filesystem;
using testsupport::CsvRow;
using testsupport::Oracle;
using testsupport::SampleFile;

constexpr int kMaxReportedFields = 12;  // per table, so that one bad column stays readable
const char kDateFormat[] = "%Y-%m-%d %H:%M:%S";

std::string QuorlaSql() {
  return std::string(QUORLA_BUILD_DIR) + "/tools/quorla-sql";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Join(const std::vector<std::string>& v) {
  std::string out;
  for (const std::string& s : v) out += (out.empty() ? "" : ", ") + s;
  return out;
}

// mdbtools needs the code page of Jet 3 text: the file does not record it.
std::vector<std::string> MdbEnv(const SampleFile& file) {
  if (file.jet3()) return {"MDB_JET3_CHARSET=cp1252"};
  return {};
}

// mdb-reader's export of one file, made once per test into a temporary folder.
class MdbReaderExport {
 public:
  explicit MdbReaderExport(const SampleFile& file) {
    dir_ = fs::temp_directory_path() /
           ("quorla-oracle-" + std::to_string(::getpid()) + "-" + file.stem);
    fs::remove_all(dir_);
    result_ =
        testsupport::RunProcess({"node", std::string(QUORLA_ORACLE_DIR) + "/mdb_reader_export.mjs",
                                 file.path, dir_.string()});
    if (ok()) tables_ = Lines(ReadFile(dir_ / "tables.txt"));
  }
  ~MdbReaderExport() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  bool ok() const { return result_.exit_code == 0; }
  const std::string& error() const { return result_.err; }
  const std::vector<std::string>& tables() const { return tables_; }
  int IndexOf(const std::string& table) const {
    for (size_t i = 0; i < tables_.size(); ++i) {
      if (tables_[i] == table) return static_cast<int>(i);
    }
    return -1;
  }
  std::string Csv(int n) const { return ReadFile(dir_ / (std::to_string(n) + ".csv")); }
  std::vector<std::string> Types(int n) const {
    return Lines(ReadFile(dir_ / (std::to_string(n) + ".types")));
  }
  std::string TableError(int n) const {
    fs::path p = dir_ / (std::to_string(n) + ".error");
    return fs::exists(p) ? ReadFile(p) : "";
  }

 private:
  fs::path dir_;
  testsupport::ProcessResult result_;
  std::vector<std::string> tables_;
};

class ExportOracleTest : public ::testing::TestWithParam<SampleFile> {
 protected:
  void SetUp() override {
    for (const char* tool : {"mdb-tables", "mdb-export", "node"}) {
      if (!testsupport::HaveProgram(tool)) GTEST_SKIP() << tool << " fehlt (scripts/deps test)";
    }
    if (!fs::exists(fs::path(QUORLA_ORACLE_DIR) / "node_modules" / "mdb-reader")) {
      GTEST_SKIP() << "mdb-reader fehlt: (cd tests/oracle && npm ci)";
    }
  }

  std::vector<std::string> MdbTables() {
    auto r = testsupport::RunProcess({"mdb-tables", "-1", GetParam().path}, MdbEnv(GetParam()));
    EXPECT_EQ(r.exit_code, 0) << r.err;
    return Lines(r.out);
  }

  // Parses a CSV text, failing the test on malformed CSV.
  std::vector<CsvRow> Parse(const std::string& csv, const std::string& who) {
    std::string error;
    std::vector<CsvRow> rows = testsupport::ParseCsv(csv, &error);
    EXPECT_EQ(error, "") << who << " schreibt kein gültiges CSV";
    return rows;
  }

  // Compares our rows (header first) with an oracle's, field by field.
  void CompareRows(const std::string& table, const std::vector<CsvRow>& ours,
                   const std::vector<CsvRow>& theirs, const std::vector<std::string>& types,
                   Oracle oracle) {
    const std::string where = GetParam().folder + "/" + GetParam().stem + ".mdb, Tabelle " + table +
                              ", " + testsupport::OracleName(oracle);
    ASSERT_FALSE(ours.empty()) << where << ": keine Kopfzeile";
    ASSERT_FALSE(theirs.empty()) << where << ": keine Kopfzeile beim Orakel";
    std::vector<std::string> our_names;
    std::vector<std::string> their_names;
    for (const auto& f : ours[0]) our_names.push_back(f.text);
    for (const auto& f : theirs[0]) their_names.push_back(f.text);
    ASSERT_EQ(our_names, their_names) << where << ": Feldnamen";
    ASSERT_EQ(types.size(), our_names.size()) << where << ": Typen von mdb-reader";
    EXPECT_EQ(ours.size(), theirs.size()) << where << ": Zeilenzahl (mit Kopfzeile)";

    int reported = 0;
    int more = 0;
    size_t rows = std::min(ours.size(), theirs.size());
    for (size_t r = 1; r < rows; ++r) {
      if (ours[r].size() != theirs[r].size()) {
        ADD_FAILURE() << where << ", Zeile " << r << ": " << ours[r].size() << " Felder, "
                      << theirs[r].size() << " beim Orakel\n  ours:   "
                      << testsupport::FormatRow(ours[r]).substr(0, 300)
                      << "\n  oracle: " << testsupport::FormatRow(theirs[r]).substr(0, 300);
        continue;
      }
      for (size_t c = 0; c < ours[r].size(); ++c) {
        std::string diff = testsupport::CompareField(ours[r][c], theirs[r][c], types[c], oracle,
                                                     GetParam().jet3());
        if (diff.empty()) continue;
        if (reported++ < kMaxReportedFields) {
          ADD_FAILURE() << where << ", Zeile " << r << ", Feld " << our_names[c] << " (" << types[c]
                        << "): " << diff;
        } else {
          ++more;
        }
      }
    }
    if (more > 0) ADD_FAILURE() << where << ": und " << more << " weitere abweichende Felder";
  }
};

TEST_P(ExportOracleTest, TablesMatchMdbTablesAndMdbReader) {
  auto ours = testsupport::RunProcess({QuorlaSql(), GetParam().path, "--tables"});
  ASSERT_EQ(ours.exit_code, 0) << ours.err;
  std::vector<std::string> tables = Lines(ours.out);
  // The readers list the stored order; we list the catalogue's name order.
  const bool jet3 = GetParam().jet3();
  EXPECT_EQ(tables, testsupport::InCatalogueOrder(MdbTables(), jet3))
      << "quorla-sql --tables: " << Join(tables);
  MdbReaderExport reader(GetParam());
  ASSERT_TRUE(reader.ok()) << reader.error();
  EXPECT_EQ(tables, testsupport::InCatalogueOrder(reader.tables(), jet3));
}

TEST_P(ExportOracleTest, ColumnTypesMatchMdbReader) {
  static const std::map<jet::ColumnType, std::string> kNames = {
      {jet::ColumnType::kBoolean, "boolean"},   {jet::ColumnType::kByte, "byte"},
      {jet::ColumnType::kInteger, "integer"},   {jet::ColumnType::kLong, "long"},
      {jet::ColumnType::kCurrency, "currency"}, {jet::ColumnType::kSingle, "float"},
      {jet::ColumnType::kDouble, "double"},     {jet::ColumnType::kDateTime, "datetime"},
      {jet::ColumnType::kBinary, "binary"},     {jet::ColumnType::kText, "text"},
      {jet::ColumnType::kOle, "ole"},           {jet::ColumnType::kMemo, "memo"},
      {jet::ColumnType::kGuid, "repid"},        {jet::ColumnType::kNumeric, "numeric"},
      {jet::ColumnType::kComplex, "complex"}};
  MdbReaderExport reader(GetParam());
  ASSERT_TRUE(reader.ok()) << reader.error();
  std::unique_ptr<jet::Database> db = jet::Database::Open(GetParam().path);
  for (size_t n = 0; n < reader.tables().size(); ++n) {
    const std::string& table = reader.tables()[n];
    if (!reader.TableError(static_cast<int>(n)).empty()) continue;
    std::vector<std::string> ours;
    for (const jet::ColumnDef& c : db->GetTableDef(table)->columns) {
      auto it = kNames.find(c.type);
      ours.push_back(it == kNames.end() ? "?" : it->second);
    }
    EXPECT_EQ(ours, reader.Types(static_cast<int>(n))) << "Tabelle " << table;
  }
}

TEST_P(ExportOracleTest, ExportMatchesMdbExportAndMdbReader) {
  MdbReaderExport reader(GetParam());
  ASSERT_TRUE(reader.ok()) << reader.error();
  for (const std::string& table : MdbTables()) {
    SCOPED_TRACE("Tabelle " + table);
    auto ours = testsupport::RunProcess({QuorlaSql(), GetParam().path, "--export", table});
    EXPECT_EQ(ours.exit_code, 0) << "quorla-sql --export " << table << ": " << ours.err;
    if (ours.exit_code != 0) continue;
    std::vector<CsvRow> our_rows = Parse(ours.out, "quorla-sql");

    int n = reader.IndexOf(table);
    ASSERT_GE(n, 0) << "mdb-reader kennt die Tabelle " << table << " nicht";
    // mdb-reader refuses whole tables with a column of type 0x11 (only the system table
    // MSysAccessObjects has one, which is never exported here); any other refusal fails.
    ASSERT_EQ(reader.TableError(n), "") << "mdb-reader: " << table;
    std::vector<std::string> types = reader.Types(n);
    CompareRows(table, our_rows, Parse(reader.Csv(n), "mdb-reader"), types, Oracle::kMdbReader);

    // mdbtools 1.0 takes the format of Date/Time values from -T; -D alone leaves them in its
    // default form (orders-100k.mdb: "11/15/06 16:27:16"), so both are given. The header line is
    // kept (no -H): it is compared with ours like the rows.
    auto mdb = testsupport::RunProcess({"mdb-export", "-0", "NULL", "-b", "hex", "-D", kDateFormat,
                                        "-T", kDateFormat, GetParam().path, table},
                                       MdbEnv(GetParam()));
    ASSERT_EQ(mdb.exit_code, 0) << mdb.err;
    CompareRows(table, our_rows, Parse(mdb.out, "mdb-export"), types, Oracle::kMdbExport);
  }
}

std::string ParamName(const ::testing::TestParamInfo<SampleFile>& info) {
  std::string name = info.param.folder + "_" + info.param.stem;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Samples, ExportOracleTest,
                         ::testing::ValuesIn(testsupport::SampleFiles({"jet3", "jet4"})),
                         ParamName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ExportOracleTest);

TEST(ExportOracleSamples, FolderPresent) {
  if (!testsupport::HaveSamples()) {
    GTEST_SKIP() << "Keine Beispieldateien unter " << QUORLA_SAMPLES_DIR
                 << ": die Vergleiche mit mdbtools und mdb-reader entfallen.";
  }
  EXPECT_FALSE(testsupport::SampleFiles({"jet3", "jet4"}).empty());
}

}  // namespace
