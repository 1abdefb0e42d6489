// libFuzzer target: a whole database file from the fuzzer's bytes, opened and read the way
// quorla-sql reads it: catalogue, every table definition, every row and value (printed as CSV),
// a walk through every index, and the relationships. Any exception but jet::Error, any sanitizer
// report, hang or runaway allocation is a finding.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/database_file.h"
#include "jet/memory_file.h"
#include "jet/relationships.h"
#include "jet/saved_queries.h"
#include "jetsql/csv_format.h"

namespace {

// Bounds the work per input so that a large but valid file cannot look like a hang.
constexpr int kMaxRowsPerTable = 100000;
constexpr int kMaxIndexEntries = 100000;
// A small page cache, so that eviction happens even in small inputs.
constexpr size_t kCachePages = 8;

void ReadTable(jet::Database& db, const jet::CatalogEntry& entry) {
  std::shared_ptr<const jet::TableDef> def = db.GetTableDef(entry.name);
  const int columns = static_cast<int>(def->columns.size());
  std::string line;
  int rows = 0;
  for (auto cursor = db.Scan(entry.name); cursor->Valid() && rows < kMaxRowsPerTable;
       cursor->Next(), ++rows) {
    line.clear();
    for (int c = 0; c < columns; ++c) jetsql::AppendCsvField(cursor->value(c), line);
    (void)cursor->row_id();
  }
  for (size_t i = 0; i < def->indexes.size(); ++i) {
    try {
      auto index = db.OpenIndex(entry.name, static_cast<int>(i));
      index->SeekFirst();
      for (int n = 0; index->Valid() && n < kMaxIndexEntries; index->Next(), ++n) {
        (void)index->row_id();
      }
    } catch (const jet::Error&) {
      // A damaged index is reported like any other damage.
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    std::unique_ptr<jet::Database> db = jet::OpenDatabaseFile(
        jet::NewMemoryFile(std::vector<uint8_t>(data, data + size)), "fuzz.mdb", kCachePages);
    for (const jet::CatalogEntry& entry : db->Tables()) {
      try {
        ReadTable(*db, entry);
      } catch (const jet::Error&) {
        // The next table may still be readable.
      }
    }
    try {
      (void)jet::ReadRelationships(*db);
    } catch (const jet::Error&) {
      // A damaged MSysRelationships is refused like any other table.
    }
    try {
      (void)jet::ReadSavedQueries(*db);
    } catch (const jet::Error&) {
      // Damaged query definitions are refused like damaged tables.
    }
  } catch (const jet::Error&) {
    // Refusing a damaged file with a numbered error is the expected outcome.
  }
  return 0;
}
