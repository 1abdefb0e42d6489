// Writing rows into copies of real Access files and reading them back through the engine: every
// column type, Null, empty and maximal values, text compressed and not, long values inline, on one
// page and chained, updates that outgrow their page, deletes, and statements rolled back.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "jet/database.h"
#include "support/jet_samples.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using jet::Database;
using jet::RowId;
using jet::Value;

// Each test works on writable copies of sample files in a folder of its own.
class RowWriter : public testing::Test {
 protected:
  void SetUp() override {
    if (!testsupport::HaveSamples()) GTEST_SKIP() << "no sample files at " << QUORLA_SAMPLES_DIR;
  }
  std::string Copy(const std::string& relative) {
    const std::string path = dir_.File(fs::path(relative).filename().string());
    testsupport::CopySample(relative, path);
    return path;
  }

 private:
  testsupport::TempDir dir_;
};

struct ScannedRow {
  RowId id;
  std::vector<Value> values;
};

std::vector<ScannedRow> ScanAll(Database& db, const std::string& table) {
  std::vector<ScannedRow> rows;
  size_t columns = db.GetTableDef(table)->columns.size();
  for (auto c = db.Scan(table); c->Valid(); c->Next()) {
    ScannedRow r{c->row_id(), {}};
    for (size_t i = 0; i < columns; ++i) r.values.push_back(c->value(static_cast<int>(i)));
    rows.push_back(std::move(r));
  }
  return rows;
}

int32_t ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const jet::Error& e) {
    return e.number();
  }
  return 0;
}

std::string Repeat(const std::string& s, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += s;
  return out;
}

// testV2003.mdb, Table1: A Text(50), B Text(100), C Byte, D Integer, E Long, F Double,
// G DateTime, H Currency, I Yes/No; no indexes.
std::vector<Value> Table1Row(std::string a, std::string b, uint8_t c, int16_t d, int32_t e,
                             double f, double g, int64_t h, bool i) {
  return {std::move(a), std::move(b), c, d, e, f, jet::DateTime{g}, jet::Currency{h}, i};
}

TEST_F(RowWriter, InsertedRowsOfEveryFixedAndTextTypeReadBack) {
  const std::string path = Copy("jet4/testV2003.mdb");
  std::vector<std::vector<Value>> inserted = {
      Table1Row("", "", 0, 0, 0, 0.0, 0.0, 0, false),
      Table1Row(Repeat("x", 50), Repeat("Ü", 100), 255, 32767, 2147483647, 1.7976931348623157e308,
                2958465.999988426, INT64_MAX, true),
      Table1Row("Grüße aus Köln", "日本語のテキスト", 1, -32768, -2147483647 - 1, -4.9e-324,
                -657434.0, INT64_MIN, false),
      Table1Row("mixed Ωmega and ascii", "ab日cd本efgh語ijklmnop", 7, 1, -1, 0.1, 36526.5, -1,
                true),
  };
  size_t before = 0;
  std::vector<RowId> ids;
  {
    auto db = Database::OpenForWriting(path);
    ASSERT_TRUE(db->writable());
    before = ScanAll(*db, "Table1").size();
    // A row of Nulls but for A, the primary key.
    std::vector<Value> nulls(9);
    nulls[0] = std::string("nur A");
    inserted.push_back(nulls);
    for (const auto& row : inserted) ids.push_back(db->InsertRow("Table1", row));
  }
  auto db = Database::Open(path);
  std::vector<ScannedRow> rows = ScanAll(*db, "Table1");
  ASSERT_EQ(rows.size(), before + inserted.size());
  EXPECT_EQ(db->GetTableDef("Table1")->row_count, before + inserted.size());
  for (size_t i = 0; i < inserted.size(); ++i) {
    std::vector<Value> expected = inserted[i];
    if (jet::IsNull(expected[8])) expected[8] = false;  // Yes/No has no Null
    EXPECT_EQ(db->ReadRow("Table1", ids[i]), expected) << "row " << i;
    EXPECT_EQ(rows[before + i].id, ids[i]);
    EXPECT_EQ(rows[before + i].values, expected) << "row " << i;
  }
}

TEST_F(RowWriter, RefusesBadValuesBeforeChangingAnything) {
  const std::string path = Copy("jet4/testV2003.mdb");
  std::vector<uint8_t> original = quorla_test::ReadWholeFile(path);
  {
    auto db = Database::OpenForWriting(path);
    // A is the primary key.
    auto good = Table1Row("a1", "b", 1, 2, 3, 4, 5, 6, true);
    auto wrong_type = good;
    wrong_type[2] = int32_t{1};
    EXPECT_EQ(ErrorOf([&] { db->InsertRow("Table1", wrong_type); }), 3464);
    auto too_long = good;
    too_long[0] = Repeat("x", 51);
    EXPECT_EQ(ErrorOf([&] { db->InsertRow("Table1", too_long); }), 3163);
    auto too_few = good;
    too_few.pop_back();
    EXPECT_EQ(ErrorOf([&] { db->InsertRow("Table1", too_few); }), 3464);
    EXPECT_EQ(ErrorOf([&] { db->InsertRow("Table1", good); }), 0);
    EXPECT_EQ(ErrorOf([&] { db->InsertRow("Table1", good); }), 3022);
    auto no_key = good;
    no_key[0] = Value();
    EXPECT_EQ(ErrorOf([&] { db->InsertRow("Table1", no_key); }), 3058);
    db->BeginStatement();
    good[0] = std::string("a2");
    db->InsertRow("Table1", good);
    good[0] = std::string("a3");
    db->InsertRow("Table1", good);
    db->RollbackStatement();
    EXPECT_EQ(db->GetTableDef("Table1")->row_count, ScanAll(*db, "Table1").size());
  }
  auto db = Database::Open(path);
  size_t original_rows = Database::Open(std::string(QUORLA_SAMPLES_DIR) + "/jet4/testV2003.mdb")
                             ->GetTableDef("Table1")
                             ->row_count;
  EXPECT_EQ(db->GetTableDef("Table1")->row_count, original_rows + 1);
  EXPECT_EQ(ScanAll(*db, "Table1").size(), original_rows + 1);
  EXPECT_NE(quorla_test::ReadWholeFile(path), original);
}

TEST_F(RowWriter, UpdatesKeepTheRowIdAndOverflowWhenThePageIsFull) {
  const std::string path = Copy("jet4/testV2003.mdb");
  std::vector<RowId> ids;
  {
    auto db = Database::OpenForWriting(path);
    db->BeginStatement();
    // Short rows until a second page is in use, so the first one is full.
    std::set<uint32_t> pages;
    for (int i = 0; pages.size() < 2; ++i) {
      ids.push_back(
          db->InsertRow("Table1", Table1Row("r" + std::to_string(i), "", 1, 1, i, 0, 0, 0, false)));
      pages.insert(ids.back().page);
    }
    db->CommitStatement();
    // Grow a row of the full page: its data must move away.
    RowId grown = ids.front();
    db->UpdateRow("Table1", grown,
                  Table1Row(Repeat("g", 50), Repeat("日", 100), 9, 9, -5, 9, 9, 9, true));
    EXPECT_EQ(db->ReadRow("Table1", grown)[1], Value(Repeat("日", 100)));
    // Grow it further and shrink it back: still at its first address.
    db->UpdateRow("Table1", grown,
                  Table1Row(Repeat("h", 50), Repeat("語", 100), 9, 9, -6, 9, 9, 9, true));
    db->UpdateRow("Table1", ids[1], Table1Row("s", "", 1, 1, -7, 0, 0, 0, false));
  }
  auto db = Database::Open(path);
  std::vector<ScannedRow> rows = ScanAll(*db, "Table1");
  EXPECT_EQ(rows.size(), db->GetTableDef("Table1")->row_count);
  std::set<std::pair<uint32_t, uint16_t>> scanned;
  for (const auto& r : rows) {
    EXPECT_TRUE(scanned.insert({r.id.page, r.id.row}).second) << "row reported twice";
    EXPECT_EQ(db->ReadRow("Table1", r.id), r.values);
  }
  EXPECT_TRUE(scanned.count({ids[0].page, ids[0].row}));
  EXPECT_EQ(db->ReadRow("Table1", ids[0])[0], Value(Repeat("h", 50)));
  EXPECT_EQ(db->ReadRow("Table1", ids[0])[4], Value(int32_t{-6}));
  EXPECT_EQ(db->ReadRow("Table1", ids[1])[0], Value(std::string("s")));
}

TEST_F(RowWriter, DeletingEverythingAndInsertingAgain) {
  const std::string path = Copy("jet4/testV2003.mdb");
  uintmax_t size_after_first_fill = 0;
  {
    auto db = Database::OpenForWriting(path);
    db->BeginStatement();
    for (int i = 0; i < 300; ++i) {
      db->InsertRow("Table1", Table1Row(Repeat("d", 30) + std::to_string(i), Repeat("e", 90), 1, 2,
                                        i, 0, 0, 0, true));
    }
    db->CommitStatement();
    size_after_first_fill = fs::file_size(path);
    for (int round = 0; round < 2; ++round) {
      std::vector<ScannedRow> all = ScanAll(*db, "Table1");
      db->BeginStatement();
      for (const ScannedRow& r : all) db->DeleteRow("Table1", r.id);
      db->CommitStatement();
      EXPECT_TRUE(ScanAll(*db, "Table1").empty());
      EXPECT_EQ(db->GetTableDef("Table1")->row_count, 0u);
      EXPECT_NE(ErrorOf([&] { db->DeleteRow("Table1", all.back().id); }), 0);
      db->BeginStatement();
      for (int i = 0; i < 300; ++i) {
        db->InsertRow("Table1", Table1Row(Repeat("n", 30) + std::to_string(i), Repeat("m", 90), 1,
                                          2, i, 0, 0, 0, false));
      }
      db->CommitStatement();
    }
  }
  // The freed pages were used again.
  EXPECT_LE(fs::file_size(path), size_after_first_fill);
  auto db = Database::Open(path);
  std::vector<ScannedRow> rows = ScanAll(*db, "Table1");
  ASSERT_EQ(rows.size(), 300u);
  EXPECT_EQ(db->GetTableDef("Table1")->row_count, 300u);
  for (int i = 0; i < 300; ++i) EXPECT_EQ(rows[static_cast<size_t>(i)].values[4], Value(i));
}

// fixedNumericTestV2003.mdb, test: col1 Memo, col2..col7 Numeric(18, 0); no indexes.
TEST_F(RowWriter, MemosInlineOnOnePageAndChainedAndNumericValues) {
  const std::string path = Copy("jet4/fixedNumericTestV2003.mdb");
  auto decimal = [](bool negative, uint64_t mantissa) {
    jet::Decimal d;
    d.negative = negative;
    d.mantissa = mantissa;
    d.precision = 18;
    d.scale = 0;
    return Value(d);
  };
  std::vector<std::string> memos = {
      "",
      "kurz",
      Repeat("Grüße ", 700),               // 4200 bytes compressed
      Repeat("日本語", 1500),              // 9000 bytes, not compressible
      Repeat("Lorem ipsum dolor ", 4000),  // 72000 characters
      Repeat("x", 100) + Repeat("日", 30000) + Repeat("y", 100),
  };
  std::vector<RowId> ids;
  uint32_t pages_before_delete = 0;
  {
    auto db = Database::OpenForWriting(path);
    for (size_t i = 0; i < memos.size(); ++i) {
      ids.push_back(db->InsertRow(
          "test",
          {memos[i], decimal(false, 999999999999999999ull), decimal(true, 1), decimal(false, 0),
           Value(), decimal(true, 999999999999999999ull), decimal(false, i)}));
    }
    EXPECT_EQ(ErrorOf([&] {
                db->InsertRow("test", {Value(), decimal(false, 1000000000000000000ull), Value(),
                                       Value(), Value(), Value(), Value()});
              }),
              3349);
    for (size_t i = 0; i < memos.size(); ++i) {
      EXPECT_EQ(db->ReadRow("test", ids[i])[0], Value(memos[i])) << "memo " << i;
    }
    // Updates of other fields keep the long values' pages, which a new memo must not take.
    for (size_t i = 2; i < memos.size(); ++i) {
      std::vector<Value> row = db->ReadRow("test", ids[i]);
      row[6] = decimal(false, 100 + i);
      db->UpdateRow("test", ids[i], row);
      row[6] = decimal(false, i);
      db->UpdateRow("test", ids[i], row);
    }
    RowId extra = db->InsertRow(
        "test", {Repeat("neu ", 20000), Value(), Value(), Value(), Value(), Value(), Value()});
    for (size_t i = 2; i < memos.size(); ++i) {
      EXPECT_EQ(db->ReadRow("test", ids[i])[0], Value(memos[i])) << "memo " << i;
    }
    db->DeleteRow("test", extra);
    // Replacing the long memos by short ones and back frees and reuses their pages.
    pages_before_delete = static_cast<uint32_t>(fs::file_size(path) / 4096);
    for (int round = 0; round < 3; ++round) {
      for (size_t i = 2; i < memos.size(); ++i) {
        std::vector<Value> row = db->ReadRow("test", ids[i]);
        row[0] = std::string("ersetzt");
        db->UpdateRow("test", ids[i], row);
        row[0] = memos[i];
        db->UpdateRow("test", ids[i], row);
      }
    }
    db->DeleteRow("test", ids[1]);
  }
  EXPECT_LE(fs::file_size(path) / 4096, pages_before_delete + 2);
  auto db = Database::Open(path);
  std::vector<ScannedRow> rows = ScanAll(*db, "test");
  ASSERT_EQ(rows.size(), db->GetTableDef("test")->row_count);
  size_t found = 0;
  for (const ScannedRow& r : rows) {
    for (size_t i = 0; i < memos.size(); ++i) {
      if (i == 1 || !(r.id == ids[i])) continue;
      ++found;
      EXPECT_EQ(r.values[0], Value(memos[i])) << "memo " << i;
      EXPECT_EQ(r.values[1], decimal(false, 999999999999999999ull));
      EXPECT_EQ(r.values[2], decimal(true, 1));
      EXPECT_EQ(r.values[4], Value());
      EXPECT_EQ(r.values[6], decimal(false, i));
    }
  }
  EXPECT_EQ(found, memos.size() - 1);
}

// Every index of the table lists exactly the rows the scan finds (less the all-Null keys an
// ignore-nulls index leaves out), and the rows `sought` (and every 500th other) are found by
// their keys.
void ExpectIndexesMatchRows(Database& db, const std::string& table,
                            const std::set<std::pair<uint32_t, uint16_t>>& sought) {
  auto def = db.GetTableDef(table);
  std::vector<ScannedRow> rows = ScanAll(db, table);
  for (size_t n = 0; n < def->indexes.size(); ++n) {
    const jet::IndexDef& index = def->indexes[n];
    SCOPED_TRACE("index " + index.name);
    std::set<std::pair<uint32_t, uint16_t>> listed;
    auto cursor = db.OpenIndex(table, static_cast<int>(n));
    for (cursor->SeekFirst(); cursor->Valid(); cursor->Next()) {
      EXPECT_TRUE(listed.insert({cursor->row_id().page, cursor->row_id().row}).second);
    }
    size_t expected = 0;
    size_t seen = 0;
    for (const ScannedRow& r : rows) {
      std::vector<Value> key;
      bool all_null = true;
      for (const jet::IndexColumn& c : index.columns) {
        key.push_back(r.values[static_cast<size_t>(c.column)]);
        all_null &= jet::IsNull(key.back());
      }
      if (index.ignore_nulls && all_null) continue;
      ++expected;
      EXPECT_TRUE(listed.count({r.id.page, r.id.row})) << "row missing from the index";
      if (!sought.count({r.id.page, r.id.row}) && seen++ % 500 != 0) continue;
      bool found = false;
      for (cursor->SeekGE(key); cursor->Valid() && cursor->CompareKey(key) == 0; cursor->Next()) {
        if (cursor->row_id() == r.id) found = true;
      }
      EXPECT_TRUE(found) << "row not found by its key";
    }
    EXPECT_EQ(listed.size(), expected);
  }
}

// orders-100k.mdb: orders (OrderID autonumber primary key; idxKunde, idxBestelldatum) and
// artikel (primary key ArtikelNr).
TEST_F(RowWriter, IndexedTablesKeepEveryIndexCountAndAutonumber) {
  const std::string path = Copy("bench/orders-100k.mdb");
  std::vector<RowId> ids;
  {
    auto db = Database::OpenForWriting(path);
    auto def = db->GetTableDef("orders");
    ASSERT_EQ(def->columns.size(), 10u);
    auto order = [&](Value kunde, double day, Value memo) {
      return std::vector<Value>{
          Value(), int32_t{7},          int32_t{3},         2.5,  jet::Currency{12345},
          kunde,   std::string("Köln"), jet::DateTime{day}, true, memo};
    };
    db->BeginStatement();
    for (int i = 0; i < 50; ++i) {
      ids.push_back(db->InsertRow(
          "orders", order(i % 10 == 0 ? Value() : Value("Kunde Ärger " + std::to_string(i % 7)),
                          40000 + i, i % 3 ? Value() : Value(Repeat("Bemerkung ", 500)))));
    }
    db->CommitStatement();
    // The definition read before the statement is read again after it.
    EXPECT_EQ(db->GetTableDef("orders")->row_count, 100050u);
    EXPECT_EQ(db->ReadRow("orders", ids.front())[0], Value(int32_t{100001}));
    EXPECT_EQ(db->ReadRow("orders", ids.back())[0], Value(int32_t{100050}));
    // A taken primary key and a Null one are refused before anything changes.
    auto taken = order(Value("x"), 1, Value());
    taken[0] = int32_t{5};
    EXPECT_EQ(ErrorOf([&] { db->InsertRow("orders", taken); }), 3022);
    auto row = db->ReadRow("orders", ids[3]);
    row[0] = int32_t{6};
    EXPECT_EQ(ErrorOf([&] { db->UpdateRow("orders", ids[3], row); }), 3022);
    // Updates that change keys and grow the row; deletes of old and new rows.
    db->BeginStatement();
    for (size_t i = 0; i < ids.size(); i += 4) {
      auto r = db->ReadRow("orders", ids[i]);
      r[5] = std::string("Neuer Kunde ") + std::to_string(i);
      r[7] = jet::DateTime{30000.0 + static_cast<double>(i)};
      r[9] = Repeat("längere Bemerkung ", 300);
      db->UpdateRow("orders", ids[i], r);
    }
    std::vector<ScannedRow> first = ScanAll(*db, "orders");
    for (size_t i = 0; i < 40; ++i) db->DeleteRow("orders", first[i * 97].id);
    db->DeleteRow("orders", ids[1]);
    db->CommitStatement();
    auto artikel = db->ReadRow("artikel", ScanAll(*db, "artikel").front().id);
    EXPECT_EQ(ErrorOf([&] { db->InsertRow("artikel", artikel); }), 3022);
    // ArtikelNr is an autonumber too: Null takes the next one.
    artikel[0] = Value();
    RowId added = db->InsertRow("artikel", artikel);
    EXPECT_EQ(db->ReadRow("artikel", added)[0], Value(int32_t{26}));
  }
  auto db = Database::Open(path);
  std::set<std::pair<uint32_t, uint16_t>> changed;
  for (RowId id : ids) changed.insert({id.page, id.row});
  EXPECT_EQ(db->GetTableDef("orders")->row_count, 100000u + 50u - 41u);
  EXPECT_EQ(ScanAll(*db, "orders").size(), 100000u + 50u - 41u);
  EXPECT_EQ(db->GetTableDef("artikel")->row_count, 26u);
  ExpectIndexesMatchRows(*db, "orders", changed);
  ExpectIndexesMatchRows(*db, "artikel", {});
}

}  // namespace
