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
#include "support/csv.h"
#include "support/oracle_export.h"
#include "support/oracle_fields.h"
#include "support/process.h"
#include "support/sample_files.h"

namespace {

namespace fs = std::filesystem;
using testsupport::CsvRow;
using testsupport::Oracle;
using testsupport::SampleFile;

std::string QuorlaSql() {
  return std::string(QUORLA_BUILD_DIR) + "/tools/quorla-sql";
}

std::string Join(const std::vector<std::string>& v) {
  std::string out;
  for (const std::string& s : v) out += (out.empty() ? "" : ", ") + s;
  return out;
}

class ExportOracleTest : public ::testing::TestWithParam<SampleFile> {
 protected:
  void SetUp() override {
    std::string missing = testsupport::OraclesMissing();
    if (!missing.empty()) GTEST_SKIP() << missing;
  }
  std::vector<std::string> MdbTables() { return testsupport::MdbTables(GetParam()); }
};

TEST_P(ExportOracleTest, TablesMatchMdbTablesAndMdbReader) {
  auto ours = testsupport::RunProcess({QuorlaSql(), GetParam().path, "--tables"});
  ASSERT_EQ(ours.exit_code, 0) << ours.err;
  std::vector<std::string> tables = testsupport::Lines(ours.out);
  EXPECT_EQ(tables, MdbTables()) << "quorla-sql --tables: " << Join(tables);
  testsupport::MdbReaderExport reader(GetParam());
  ASSERT_TRUE(reader.ok()) << reader.error();
  EXPECT_EQ(tables, reader.tables());
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
  testsupport::MdbReaderExport reader(GetParam());
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
  testsupport::CompareTablesWithOracles(GetParam(), MdbTables());
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
