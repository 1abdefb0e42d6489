// Tables the engine has written to (rows inserted, updated and deleted in copies of real Access
// files), read back by quorla-sql and by the independent readers mdbtools and mdb-reader: all three
// must agree on every field.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "jet/database.h"
#include "support/jet_samples.h"
#include "support/oracle_export.h"

namespace {

namespace fs = std::filesystem;
using jet::ColumnDef;
using jet::ColumnType;
using jet::Value;

std::string Repeat(const std::string& s, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += s;
  return out;
}

// Characters of a text: ASCII, Latin-1 (compressible) and CJK (not), mixed by `k`.
std::string SampleText(size_t max_chars, int k) {
  static const std::vector<std::string> kPieces = {"Grüße", "日本語", "abc", "Ærø", "Ωμέγα", " "};
  switch (k % 5) {
    case 0:
      return "";
    case 1:
      return Repeat("ä", max_chars);  // the longest text the column takes
    case 2:
      return Repeat("日", std::min<size_t>(max_chars, 20));
    default: {
      std::string out;
      size_t chars = 0;
      for (int i = 0; chars + 5 <= max_chars && i < 40; ++i) {
        out += kPieces[static_cast<size_t>(i + k) % kPieces.size()];
        chars += 5;
      }
      return out;
    }
  }
}

// A value of the column's type, varied by `k`; every fifth is Null where the column allows.
Value SampleValue(const ColumnDef& c, int k) {
  if (k % 5 == 4 && c.nullable && c.type != ColumnType::kBoolean) return Value();
  switch (c.type) {
    case ColumnType::kBoolean:
      return k % 2 == 0;
    case ColumnType::kByte:
      return static_cast<uint8_t>(k % 2 ? 255 : k);
    case ColumnType::kInteger:
      return static_cast<int16_t>(k % 2 ? -32768 : 32767 - k);
    case ColumnType::kLong:
      return c.autonumber ? Value() : Value(static_cast<int32_t>(k % 2 ? -2147483647 : 1000 + k));
    case ColumnType::kCurrency:
      return jet::Currency{k % 2 ? -922337203685477LL * 10000 : 12345678 + k};
    case ColumnType::kSingle:
      return static_cast<float>(k) + 0.5f;
    case ColumnType::kDouble:
      return k % 2 ? -1.5e300 : 0.125 * k;
    case ColumnType::kDateTime:
      return jet::DateTime{36526.0 + k + (k % 4) * 0.25};
    case ColumnType::kText:
      return SampleText(c.size / 2, k);
    case ColumnType::kMemo:
      switch (k % 4) {
        case 0:
          return std::string("kurz");
        case 1:
          return Repeat("Memo über vier Kilobyte. ", 200);
        case 2:
          return Repeat("長いメモ", 9000);  // over 64 KB stored
        default:
          return std::string("");
      }
    case ColumnType::kBinary:
    case ColumnType::kOle: {
      jet::Bytes b(c.type == ColumnType::kOle ? 5000u + static_cast<size_t>(k) : c.size / 2u);
      for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i * 7 + k + 1);
      return b;
    }
    case ColumnType::kGuid: {
      if (c.guid_autonumber) return Value();
      jet::Guid g{};
      for (size_t i = 0; i < g.size(); ++i) g[i] = static_cast<uint8_t>(i * 17 + k);
      return g;
    }
    case ColumnType::kNumeric: {
      jet::Decimal d;
      d.negative = k % 2 == 1;
      d.mantissa = static_cast<unsigned __int128>(123456789) * static_cast<unsigned>(k + 1);
      d.precision = c.precision;
      d.scale = c.scale;
      return d;
    }
    default:
      return Value();
  }
}

std::vector<Value> SampleRow(const jet::TableDef& def, int k) {
  std::vector<Value> row;
  for (const ColumnDef& c : def.columns) {
    // A row must fit a page: wide tables get short texts.
    ColumnDef narrowed = c;
    if (def.columns.size() > 20 && c.type == ColumnType::kText) {
      narrowed.size = std::min<uint16_t>(c.size, 16);
    }
    row.push_back(SampleValue(narrowed, k));
  }
  return row;
}

// Inserts `count` rows into each table, updates every third row of the table (old and new) with
// other values, deletes every seventh, and compares the file with the oracles.
void ChangeAndCompare(const std::string& relative, const std::vector<std::string>& tables,
                      int count) {
  const std::string source = std::string(QUORLA_SAMPLES_DIR) + "/" + relative;
  ASSERT_TRUE(fs::exists(source)) << "sample missing: " << source;
  const std::string dir = quorla_test::MakeTempDir();
  const std::string path = dir + "/" + fs::path(relative).filename().string();
  fs::copy_file(source, path);
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  {
    auto db = jet::Database::OpenForWriting(path);
    for (const std::string& table : tables) {
      auto def = db->GetTableDef(table);
      db->BeginStatement();
      for (int k = 0; k < count; ++k) db->InsertRow(table, SampleRow(*def, k));
      db->CommitStatement();
      std::vector<jet::RowId> ids;
      for (auto c = db->Scan(table); c->Valid(); c->Next()) ids.push_back(c->row_id());
      db->BeginStatement();
      for (size_t i = 0; i < ids.size(); ++i) {
        if (i % 7 == 3) {
          db->DeleteRow(table, ids[i]);
        } else if (i % 3 == 0) {
          db->UpdateRow(table, ids[i], SampleRow(*def, static_cast<int>(i) + 1));
        }
      }
      db->CommitStatement();
    }
  }
  testsupport::SampleFile file{path, "jet4", fs::path(relative).stem().string()};
  testsupport::CompareTablesWithOracles(file, tables);
  std::error_code ec;
  fs::remove_all(dir, ec);
}

class WriteOracleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testsupport::HaveSamples()) GTEST_SKIP() << "no sample files at " << QUORLA_SAMPLES_DIR;
    std::string missing = testsupport::OraclesMissing();
    if (!missing.empty()) GTEST_SKIP() << missing;
  }
};

TEST_F(WriteOracleTest, TablesWithoutIndexes) {
  ChangeAndCompare("jet4/testV2003.mdb", {"Table1", "Table2", "Table3", "Table4"}, 40);
  ChangeAndCompare("jet4/fixedNumericTestV2003.mdb", {"test"}, 12);
}

}  // namespace
