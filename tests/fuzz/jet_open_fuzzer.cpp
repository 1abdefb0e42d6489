// libFuzzer target: a whole database file from the fuzzer's bytes, opened and read the way
// quorla-sql reads it: catalogue, every table definition, every row and value (printed as CSV),
// and a walk through every index. Any exception but jet::Error, any sanitizer report, hang or
// runaway allocation is a finding.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "jet/database.h"
#include "jetsql/csv_format.h"

namespace {

// Bounds the work per input so that a large but valid file cannot look like a hang.
constexpr int kMaxRowsPerTable = 100000;
constexpr int kMaxIndexEntries = 100000;

// The input lives in an in-memory file, opened by its /proc path like any other file.
const std::string& InputPath() {
  static const std::string path = [] {
    int fd = memfd_create("quorla-fuzz-input", 0);
    if (fd < 0) std::abort();
    return "/proc/self/fd/" + std::to_string(fd);
  }();
  return path;
}

void WriteInput(const uint8_t* data, size_t size) {
  int fd = std::stoi(InputPath().substr(InputPath().rfind('/') + 1));
  if (ftruncate(fd, 0) != 0) std::abort();
  size_t done = 0;
  while (done < size) {
    ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (n <= 0) std::abort();
    done += static_cast<size_t>(n);
  }
}

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
  WriteInput(data, size);
  try {
    std::unique_ptr<jet::Database> db = jet::Database::Open(InputPath());
    for (const jet::CatalogEntry& entry : db->Tables()) {
      try {
        ReadTable(*db, entry);
      } catch (const jet::Error&) {
        // The next table may still be readable.
      }
    }
  } catch (const jet::Error&) {
    // Refusing a damaged file with a numbered error is the expected outcome.
  }
  return 0;
}
