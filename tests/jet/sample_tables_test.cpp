// Every table of every sample file read through the engine: the scan reads to the end, user
// tables record their row count (a row whose data moved to another page, as in the overflow
// samples, is scanned once), a row read by its id equals the scanned row, and for every index
// a walk in key order visits exactly the rows of the scan (those with a key, in ignore-nulls
// indexes), each entry's stored key equals the key encoded from the row's values, and SeekGE on a
// row's key finds that row.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/index_key.h"
#include "support/jet_samples.h"

namespace {

using jet::Value;

struct RowIdLess {
  bool operator()(const jet::RowId& a, const jet::RowId& b) const {
    return a.page != b.page ? a.page < b.page : a.row < b.row;
  }
};

// Checks the rows and every index of one table; returns the number of index entries checked.
size_t CheckTable(jet::Database& db, const jet::CatalogEntry& table) {
  const std::string& name = table.name;
  const auto def = db.GetTableDef(name);
  std::map<jet::RowId, std::vector<Value>, RowIdLess> rows;
  for (auto scan = db.Scan(name); scan->Valid(); scan->Next()) {
    std::vector<Value> values;
    for (size_t c = 0; c < def->columns.size(); ++c) values.push_back(scan->value(int(c)));
    EXPECT_EQ(db.ReadRow(name, scan->row_id()), values);
    EXPECT_TRUE(rows.emplace(scan->row_id(), std::move(values)).second) << "row scanned twice";
  }
  // System tables may not keep their recorded row count current.
  if (!table.system) {
    EXPECT_EQ(rows.size(), def->row_count);
  }

  size_t checked = 0;
  for (size_t i = 0; i < def->indexes.size(); ++i) {
    const jet::IndexDef& index = def->indexes[i];
    SCOPED_TRACE(name + "." + index.name);
    auto key_of = [&](const std::vector<Value>& row) {
      std::vector<Value> key;
      for (const auto& c : index.columns) key.push_back(row[static_cast<size_t>(c.column)]);
      return key;
    };
    std::set<jet::RowId, RowIdLess> seen;
    size_t moved = 0;  // entries naming a row by its first place, which now points elsewhere
    auto cursor = db.OpenIndex(name, static_cast<int>(i));
    cursor->SeekFirst();
    for (; cursor->Valid(); cursor->Next()) {
      const jet::RowId id = cursor->row_id();
      auto row = rows.find(id);
      std::vector<Value> moved_values;
      if (row == rows.end()) {
        // A row that grew and moved keeps its id; the scan reports it where it lives now.
        moved_values = db.ReadRow(name, id);
        ++moved;
      }
      const std::vector<Value>& values = row == rows.end() ? moved_values : row->second;
      EXPECT_TRUE(seen.insert(id).second) << "row listed twice";
      // The full key of the entry is the key of the row's values.
      const int c = cursor->CompareKey(key_of(values));
      if (c != 0) {
        ADD_FAILURE() << "stored key differs from the row's key at " << id.page << ":" << id.row;
        return checked;
      }
      ++checked;
    }
    size_t unlisted = 0;
    for (const auto& [id, values] : rows) {
      if (seen.count(id)) continue;
      // Only an ignore-nulls index may leave out a row, and only one whose key is all Null;
      // moved rows appear in the scan under their new place.
      const auto key = key_of(values);
      const bool all_null =
          std::all_of(key.begin(), key.end(), [](const Value& v) { return jet::IsNull(v); });
      if (!(index.ignore_nulls && all_null)) ++unlisted;
    }
    EXPECT_EQ(unlisted, moved) << "rows missing from the index";

    // SeekGE on a sample of the rows' keys lands on equal keys, among which is the row.
    size_t step = std::max<size_t>(1, seen.size() / 50), n = 0;
    for (const jet::RowId& id : seen) {
      if (n++ % step != 0 || !rows.count(id)) continue;
      const auto key = key_of(rows.at(id));
      // A seek on the first column alone lands on an entry starting with it.
      const std::vector<Value> first(key.begin(), key.begin() + 1);
      cursor->SeekGE(first);
      EXPECT_TRUE(cursor->Valid() && cursor->CompareKey(first) == 0);
      cursor->SeekGE(key);
      bool found = false;
      for (size_t k = 0; cursor->Valid() && cursor->CompareKey(key) == 0 && k < rows.size(); ++k) {
        if (cursor->row_id() == id) {
          found = true;
          break;
        }
        cursor->Next();
      }
      EXPECT_TRUE(found) << "SeekGE did not find row " << id.page << ":" << id.row;
    }
  }
  return checked;
}

TEST(SampleTables, RowsAndIndexWalksMatchFullScansOnEverySample) {
  const auto files = testsupport::SampleFiles({"jet3", "jet4", "bench"});
  if (files.empty()) GTEST_SKIP() << "sample folder missing: " << QUORLA_SAMPLES_DIR;
  size_t total = 0;
  for (const testsupport::SampleFile& file : files) {
    const std::string& path = file.path;
    SCOPED_TRACE(path);
    std::unique_ptr<jet::Database> db;
    try {
      db = jet::Database::Open(path);
    } catch (const jet::Error& e) {
      ADD_FAILURE() << "cannot open: " << e.description();
      continue;
    }
    for (const jet::CatalogEntry& table : db->Tables()) {
      if (table.linked) continue;  // system tables included
      try {
        total += CheckTable(*db, table);
      } catch (const jet::Error& e) {
        ADD_FAILURE() << table.name << ": " << e.number() << " " << e.description();
      }
    }
  }
  EXPECT_GT(total, 100000u);
}

}  // namespace
