// Writing rows into copies of real Access files where the independent readers cannot tell what
// went wrong: values refused before anything changes, rows that keep their address when they
// outgrow their page, and pages of deleted rows and long values used again. The values written
// are compared with mdbtools and mdb-reader in tests/oracle/write_oracle_test.cpp.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "jet/database.h"
#include "support/error_of.h"
#include "support/jet_samples.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using jet::Database;
using jet::RowId;
using jet::Value;

// Each test works on a writable copy of jet4/testV2003.mdb in a folder of its own.
class RowWriter : public testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_SAMPLES();
    testsupport::CopySample("jet4/testV2003.mdb", path_);
  }
  const std::string& path() const { return path_; }

  testsupport::TempDir dir_;

 private:
  std::string path_ = dir_.File("testV2003.mdb");
};

std::vector<std::pair<RowId, std::vector<Value>>> ScanAll(Database& db, const std::string& table) {
  std::vector<std::pair<RowId, std::vector<Value>>> rows;
  const size_t columns = db.GetTableDef(table)->columns.size();
  for (auto c = db.Scan(table); c->Valid(); c->Next()) {
    std::vector<Value> values;
    for (size_t i = 0; i < columns; ++i) values.push_back(c->value(static_cast<int>(i)));
    rows.emplace_back(c->row_id(), std::move(values));
  }
  return rows;
}

using testsupport::ErrorOf;

// Table1: A Text(50) primary key, B Text(100), C Byte, D Integer, E Long, F Double,
// G DateTime, H Currency, I Yes/No.
std::vector<Value> Table1Row(std::string a, std::string b, int32_t e) {
  return {std::move(a), std::move(b),         uint8_t{1},       int16_t{2}, e,
          e / 4.0,      jet::DateTime{40000}, jet::Currency{e}, e % 2 == 0};
}

TEST_F(RowWriter, RefusesBadValuesBeforeChangingAnything) {
  const size_t original_rows = Database::Open(path())->GetTableDef("Table1")->row_count;
  {
    auto db = Database::OpenForWriting(path());
    const std::vector<Value> good = Table1Row("a1", "b", 3);
    const RowId first = db->InsertRow("Table1", good);
    const RowId second = db->InsertRow("Table1", Table1Row("a2", "b", 4));
    struct Case {
      const char* name;
      int column;  // -1: the row one column short
      Value value;
      int32_t error;
    };
    for (const Case& c : std::vector<Case>{{"wrong type", 2, int32_t{1}, 3464},
                                           {"text too long", 0, std::string(51, 'x'), 3163},
                                           {"one column short", -1, Value(), 3464},
                                           {"key taken", 0, std::string("a1"), 3022},
                                           {"key Null", 0, Value(), 3058}}) {
      SCOPED_TRACE(c.name);
      std::vector<Value> row = Table1Row("a3", "b", 5);
      if (c.column < 0) {
        row.pop_back();
      } else {
        row[static_cast<size_t>(c.column)] = c.value;
      }
      EXPECT_EQ(ErrorOf([&] { db->InsertRow("Table1", row); }), c.error);
      EXPECT_EQ(ErrorOf([&] { db->UpdateRow("Table1", second, row); }), c.error);
    }
    EXPECT_EQ(db->ReadRow("Table1", first), good);
    // A statement rolled back takes its rows and the row count with it.
    db->BeginStatement();
    db->InsertRow("Table1", Table1Row("a3", "b", 5));
    db->InsertRow("Table1", Table1Row("a4", "b", 6));
    db->RollbackStatement();
  }
  auto db = Database::Open(path());
  EXPECT_EQ(db->GetTableDef("Table1")->row_count, original_rows + 2);
  EXPECT_EQ(ScanAll(*db, "Table1").size(), original_rows + 2);
}

TEST_F(RowWriter, UpdatesKeepTheRowIdAndOverflowWhenThePageIsFull) {
  std::vector<RowId> ids;
  const std::vector<Value> grown = Table1Row(std::string(50, 'h'), std::string(100, 'g'), -6);
  {
    auto db = Database::OpenForWriting(path());
    db->BeginStatement();
    // Short rows until a second page is in use, so the first one is full.
    std::set<uint32_t> pages;
    for (int i = 0; pages.size() < 2; ++i) {
      ids.push_back(db->InsertRow("Table1", Table1Row("r" + std::to_string(i), "", i)));
      pages.insert(ids.back().page);
    }
    db->CommitStatement();
    // A row of the full page grows twice (its data must move away), another shrinks.
    db->UpdateRow("Table1", ids[0], Table1Row(std::string(50, 'g'), std::string(100, 'g'), -5));
    db->UpdateRow("Table1", ids[0], grown);
    db->UpdateRow("Table1", ids[1], Table1Row("s", "", -7));
  }
  auto db = Database::Open(path());
  const auto rows = ScanAll(*db, "Table1");
  EXPECT_EQ(rows.size(), db->GetTableDef("Table1")->row_count);
  std::set<std::pair<uint32_t, uint16_t>> scanned;
  for (const auto& [id, values] : rows) {
    EXPECT_TRUE(scanned.insert({id.page, id.row}).second) << "row reported twice";
    EXPECT_EQ(db->ReadRow("Table1", id), values);
  }
  EXPECT_TRUE(scanned.count({ids[0].page, ids[0].row}));
  EXPECT_EQ(db->ReadRow("Table1", ids[0]), grown);
  EXPECT_EQ(db->ReadRow("Table1", ids[1])[0], Value(std::string("s")));
}

// Pages freed by deleted rows are used again: deleting every row and inserting as many again
// does not grow the file.
TEST_F(RowWriter, PagesOfDeletedRowsAreUsedAgain) {
  auto fill = [](Database& db, const std::string& prefix) {
    db.BeginStatement();
    for (int i = 0; i < 300; ++i) {
      db.InsertRow("Table1", Table1Row(prefix + std::to_string(i), std::string(90, 'e'), i));
    }
    db.CommitStatement();
  };
  uintmax_t size_after_first_fill = 0;
  {
    auto db = Database::OpenForWriting(path());
    fill(*db, std::string(30, 'd'));
    size_after_first_fill = fs::file_size(path());
    for (int round = 0; round < 2; ++round) {
      const auto all = ScanAll(*db, "Table1");
      db->BeginStatement();
      for (const auto& row : all) db->DeleteRow("Table1", row.first);
      db->CommitStatement();
      EXPECT_TRUE(ScanAll(*db, "Table1").empty());
      EXPECT_EQ(db->GetTableDef("Table1")->row_count, 0u);
      EXPECT_NE(ErrorOf([&] { db->DeleteRow("Table1", all.back().first); }), 0);
      fill(*db, std::string(30, 'n'));
    }
  }
  EXPECT_LE(fs::file_size(path()), size_after_first_fill);
  auto db = Database::Open(path());
  const auto rows = ScanAll(*db, "Table1");
  ASSERT_EQ(rows.size(), 300u);
  for (int i = 0; i < 300; ++i) EXPECT_EQ(rows[static_cast<size_t>(i)].second[4], Value(i));
}

// fixedNumericTestV2003.mdb, test: col1 Memo, col2..col7 Numeric(18, 0). Long values on one page
// and chained keep their pages when other fields change (a new memo must not take them), and
// free them when replaced, for the next long value to take.
TEST_F(RowWriter, PagesOfReplacedLongValuesAreUsedAgain) {
  const std::string path = dir_.File("fixedNumeric.mdb");
  testsupport::CopySample("jet4/fixedNumericTestV2003.mdb", path);
  auto row_of = [](const std::string& memo, uint64_t n) {
    jet::Decimal d;
    d.mantissa = n;
    d.precision = 18;
    return std::vector<Value>{memo, Value(), Value(), Value(), Value(), Value(), d};
  };
  std::vector<std::string> memos;
  for (const auto& [piece, times] : std::vector<std::pair<std::string, size_t>>{
           {"Grüße ", 700}, {"日本語", 1500}, {"Lorem ipsum dolor ", 4000}, {"日", 30000}}) {
    memos.emplace_back();
    for (size_t i = 0; i < times; ++i) memos.back() += piece;
  }
  std::vector<RowId> ids;
  uintmax_t size_before = 0;
  {
    auto db = Database::OpenForWriting(path);
    for (size_t i = 0; i < memos.size(); ++i)
      ids.push_back(db->InsertRow("test", row_of(memos[i], i)));
    for (size_t i = 0; i < memos.size(); ++i)
      db->UpdateRow("test", ids[i], row_of(memos[i], 100 + i));
    db->DeleteRow("test", db->InsertRow("test", row_of(std::string(80000, 'n'), 0)));
    size_before = fs::file_size(path);
    for (int round = 0; round < 3; ++round) {
      for (size_t i = 0; i < memos.size(); ++i) {
        db->UpdateRow("test", ids[i], row_of("ersetzt", i));
        db->UpdateRow("test", ids[i], row_of(memos[i], i));
      }
    }
  }
  EXPECT_LE(fs::file_size(path), size_before + 2 * 4096);
  auto db = Database::Open(path);
  for (size_t i = 0; i < memos.size(); ++i) {
    EXPECT_EQ(db->ReadRow("test", ids[i]), row_of(memos[i], i)) << "memo " << i;
  }
}

}  // namespace
