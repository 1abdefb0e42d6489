// Tables the engine has written to (rows inserted, updated and deleted in copies of real Access
// files), read back by quorla-sql and by the independent readers mdbtools and mdb-reader: all three
// must agree on every field.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "jet/database.h"
#include "support/jet_samples.h"
#include "support/oracle_export.h"
#include "support/table_check.h"
#include "support/temp_dir.h"

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

// A text unique for `k`: ASCII, Latin-1 (compressible) and CJK (not), mixed by `k`.
std::string SampleText(size_t max_chars, int k) {
  static const std::vector<std::string> kPieces = {"Grüße", "日本語", "abc", "Ærø", "Ωμέγα", " "};
  const std::string number = std::to_string(k);
  const size_t room = max_chars > number.size() ? max_chars - number.size() : 0;
  switch (k % 5) {
    case 0:
      return k == 0 ? "" : number;
    case 1:
      return Repeat("ä", room) + number;  // the longest text the column takes
    case 2:
      return Repeat("日", std::min<size_t>(room, 20)) + number;
    default: {
      std::string out;
      size_t chars = 0;
      for (int i = 0; chars + 5 <= room && i < 40; ++i) {
        out += kPieces[static_cast<size_t>(i + k) % kPieces.size()];
        chars += 5;
      }
      return out + number;
    }
  }
}

// A value of the column's type, varied by `k` (unique for it where the type allows); every fifth
// is Null where the column and its indexes allow.
Value SampleValue(const ColumnDef& c, int k, bool key) {
  if (k % 5 == 4 && c.nullable && !key && c.type != ColumnType::kBoolean) return Value();
  switch (c.type) {
    case ColumnType::kBoolean:
      return k % 2 == 0;
    case ColumnType::kByte:
      return static_cast<uint8_t>(k % 2 ? 255 : k);
    case ColumnType::kInteger:
      return static_cast<int16_t>(k % 2 ? -32768 + k : 32767 - k);
    case ColumnType::kLong:
      return c.autonumber ? Value()
                          : Value(static_cast<int32_t>(k % 2 ? -2147483647 + k : 1000 + k));
    case ColumnType::kCurrency:
      return jet::Currency{k % 2 ? -922337203685477LL + k : 12345678 + k};
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
  std::vector<bool> key(def.columns.size());
  for (const jet::IndexDef& index : def.indexes) {
    for (const jet::IndexColumn& c : index.columns) {
      if (index.primary || index.required) key[static_cast<size_t>(c.column)] = true;
    }
  }
  std::vector<Value> row;
  for (const ColumnDef& c : def.columns) {
    // A row must fit a page: wide tables get short texts.
    ColumnDef narrowed = c;
    if (def.columns.size() > 20 && c.type == ColumnType::kText) {
      narrowed.size = std::min<uint16_t>(c.size, 16);
    }
    row.push_back(SampleValue(narrowed, k, key[row.size()]));
  }
  return row;
}

// Inserts `count` rows into each table, updates every third row of the table (old and new; of a
// large table only its first and last rows) with other values, deletes every seventh, and
// compares the file with the oracles.
void ChangeAndCompare(const std::string& relative, const std::vector<std::string>& tables,
                      int count) {
  testsupport::TempDir dir;
  const std::string path = dir.File(fs::path(relative).filename().string());
  testsupport::CopySample(relative, path);
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
        // Large tables: the first rows and the last ones (where new rows tend to go).
        if (i >= 120 && i + 60 < ids.size()) continue;
        if (i % 7 == 3) {
          db->DeleteRow(table, ids[i]);
        } else if (i % 3 == 0) {
          db->UpdateRow(table, ids[i], SampleRow(*def, 1000 + static_cast<int>(i)));
        }
      }
      db->CommitStatement();
    }
  }
  testsupport::SampleFile file{path, "jet4", fs::path(relative).stem().string()};
  testsupport::CompareTablesWithOracles(file, tables);
}

class WriteOracleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string why = testsupport::OracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
  }
};

TEST_F(WriteOracleTest, ChangedTablesReadBackEqual) {
  ChangeAndCompare("jet4/testV2003.mdb", {"Table1", "Table2", "Table3", "Table4"}, 40);
  ChangeAndCompare("jet4/fixedNumericTestV2003.mdb", {"test"}, 12);
  ChangeAndCompare("jet4/testUnicodeCompV2003.mdb", {"Table"}, 30);
  ChangeAndCompare("bench/orders-100k.mdb", {"artikel", "orders"}, 30);
}

// Bytes without a zero (mdbtools cuts binary values at one), varied by `k`.
jet::Bytes OleBytes(size_t size, int k) {
  jet::Bytes b(size);
  for (size_t i = 0; i < size; ++i)
    b[i] = static_cast<uint8_t>((i * 7 + static_cast<size_t>(k)) % 255 + 1);
  return b;
}

// test2V2003.mdb, MSP_PROJECTS: 73 columns, among them memos and the OLE column
// RESERVED_BINARY_DATA. Rows get OLE values and memos kept in the row (up to 64 bytes), on one
// long-value page (up to 4076 bytes) and chained over several (over 4 KB and over 64 KB); updates
// swap small ones for large ones and back; some rows are deleted.
TEST_F(WriteOracleTest, OleAndMemoValuesOfEverySizeReadBackEqual) {
  testsupport::TempDir dir;
  const std::string path = dir.File("test2V2003.mdb");
  testsupport::CopySample("jet4/test2V2003.mdb", path);
  const std::string table = "MSP_PROJECTS";
  const std::vector<size_t> ole_sizes = {0, 1, 64, 65, 3000, 4076, 4077, 5000, 70000, 140000};
  const std::vector<std::string> memos = {
      "",
      "kurz",
      Repeat("x", 64),
      Repeat("Grüße ", 500),         // 3000 bytes compressed: one page
      Repeat("y", 4100),             // just over one page
      Repeat("日本", 1100),          // 4400 bytes, not compressible
      Repeat("Lorem ipsum ", 6000),  // 72000 bytes compressed
      Repeat("語", 35000),           // 70000 bytes
  };
  std::map<std::pair<uint32_t, uint16_t>, std::vector<Value>> expected;
  {
    auto db = jet::Database::OpenForWriting(path);
    auto def = db->GetTableDef(table);
    auto column = [&](const std::string& name) {
      for (size_t c = 0; c < def->columns.size(); ++c) {
        if (def->columns[c].name == name) return c;
      }
      throw std::runtime_error("no column " + name);
    };
    const size_t ole = column("RESERVED_BINARY_DATA");
    const size_t memo = column("PROJ_PROP_AUTHOR");
    const size_t id = column("PROJ_ID");
    const size_t name = column("PROJ_NAME");
    ASSERT_EQ(def->columns[ole].type, ColumnType::kOle);
    const std::vector<Value> model = db->ReadRow(table, db->Scan(table)->row_id());
    const size_t n = ole_sizes.size();
    auto row_for = [&](size_t k, size_t variant) {
      std::vector<Value> row = model;
      row[id] = static_cast<int32_t>(9000 + k);
      row[name] = "Langwerte " + std::to_string(k);
      row[ole] = OleBytes(ole_sizes[variant % n], static_cast<int>(k));
      row[memo] = memos[variant % memos.size()];
      return row;
    };
    std::vector<jet::RowId> ids;
    db->BeginStatement();
    for (size_t k = 0; k < n; ++k) ids.push_back(db->InsertRow(table, row_for(k, k)));
    db->CommitStatement();
    for (size_t k = 0; k < n; ++k) {
      EXPECT_EQ(db->ReadRow(table, ids[k]), row_for(k, k)) << "inserted row " << k;
    }
    // Small values become large ones and large ones small, in one statement and one by one.
    db->BeginStatement();
    for (size_t k = 0; k < n; k += 2) db->UpdateRow(table, ids[k], row_for(k, k + n / 2));
    db->CommitStatement();
    for (size_t k = 1; k < n; k += 2) db->UpdateRow(table, ids[k], row_for(k, k + n / 2));
    for (size_t k = 0; k < n; ++k) {
      if (k % 3 == 2) {
        db->DeleteRow(table, ids[k]);
      } else {
        expected[{ids[k].page, ids[k].row}] = row_for(k, k + n / 2);
      }
    }
  }
  {
    auto db = jet::Database::Open(path);
    size_t found = 0;
    for (auto c = db->Scan(table); c->Valid(); c->Next()) {
      auto it = expected.find({c->row_id().page, c->row_id().row});
      if (it == expected.end()) continue;
      ++found;
      EXPECT_EQ(db->ReadRow(table, c->row_id()), it->second)
          << "row " << c->row_id().page << ":" << c->row_id().row;
    }
    EXPECT_EQ(found, expected.size());
    EXPECT_EQ(testsupport::CheckTableIndexes(*db, path, table), "");
  }
  testsupport::CompareTablesWithOracles({path, "jet4", "test2V2003"}, {table});
}

}  // namespace
