// Every table of every sample file, exported by quorla-sql, against two independent readers:
// mdbtools (mdb-tables, mdb-export) and mdb-reader (node, tests/oracle/mdb_reader_export.mjs).

#include <gtest/gtest.h>

#include <cctype>
#include <map>

#include "jet/database.h"
#include "support/catalogue_order.h"
#include "support/jet_samples.h"
#include "support/oracle_export.h"

namespace {

using testsupport::SampleFile;

class ExportOracleTest : public ::testing::TestWithParam<SampleFile> {
 protected:
  void SetUp() override {
    if (std::string why = testsupport::OraclesMissing(); !why.empty()) GTEST_SKIP() << why;
  }
};

// Table names (the readers list the stored order, we the catalogue's name order) and the types of
// their columns.
TEST_P(ExportOracleTest, TablesAndColumnTypesMatchMdbTablesAndMdbReader) {
  static const std::map<jet::ColumnType, std::string> kNames = {
      {jet::ColumnType::kBoolean, "boolean"},   {jet::ColumnType::kByte, "byte"},
      {jet::ColumnType::kInteger, "integer"},   {jet::ColumnType::kLong, "long"},
      {jet::ColumnType::kCurrency, "currency"}, {jet::ColumnType::kSingle, "float"},
      {jet::ColumnType::kDouble, "double"},     {jet::ColumnType::kDateTime, "datetime"},
      {jet::ColumnType::kBinary, "binary"},     {jet::ColumnType::kText, "text"},
      {jet::ColumnType::kOle, "ole"},           {jet::ColumnType::kMemo, "memo"},
      {jet::ColumnType::kGuid, "repid"},        {jet::ColumnType::kNumeric, "numeric"},
      {jet::ColumnType::kComplex, "complex"}};
  const SampleFile& file = GetParam();
  auto ours = testsupport::QuorlaSql({file.path, "--tables"});
  ASSERT_EQ(ours.exit_code, 0) << ours.err;
  const std::vector<std::string> tables = testsupport::Lines(ours.out);
  EXPECT_EQ(tables, testsupport::InCatalogueOrder(testsupport::MdbTables(file), file.jet3()));
  testsupport::MdbReaderExport reader(file);
  ASSERT_TRUE(reader.ok()) << reader.error();
  EXPECT_EQ(tables, testsupport::InCatalogueOrder(reader.tables(), file.jet3()));

  std::unique_ptr<jet::Database> db = jet::Database::Open(file.path);
  for (size_t n = 0; n < reader.tables().size(); ++n) {
    const std::string& table = reader.tables()[n];
    if (!reader.TableError(static_cast<int>(n)).empty()) continue;
    std::vector<std::string> types;
    for (const jet::ColumnDef& c : db->GetTableDef(table)->columns) {
      auto it = kNames.find(c.type);
      types.push_back(it == kNames.end() ? "?" : it->second);
    }
    EXPECT_EQ(types, reader.Types(static_cast<int>(n))) << "Tabelle " << table;
  }
}

TEST_P(ExportOracleTest, ExportMatchesMdbExportAndMdbReader) {
  testsupport::CompareTablesWithOracles(GetParam(), testsupport::MdbTables(GetParam()));
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
  REQUIRE_SAMPLES();
  EXPECT_FALSE(testsupport::SampleFiles({"jet3", "jet4"}).empty());
}

}  // namespace
