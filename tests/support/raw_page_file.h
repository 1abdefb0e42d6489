#ifndef QUORLA_TESTS_SUPPORT_RAW_PAGE_FILE_H_
#define QUORLA_TESTS_SUPPORT_RAW_PAGE_FILE_H_

// Test-only page reader over a whole unencrypted Jet file held in memory, so that index code can
// be tested on real files without the engine's file layer.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/page_reader.h"

namespace quorla_test {

class RawPageFile : public jet::PageReader {
 public:
  // Reads the file; the version comes from the header page. Throws std::runtime_error.
  explicit RawPageFile(const std::string& path);

  jet::JetVersion version() const { return version_; }
  size_t page_size() const override { return page_size_; }
  uint32_t page_count() const override { return static_cast<uint32_t>(bytes_.size() / page_size_); }
  std::span<const uint8_t> Page(uint32_t number) override;

 private:
  std::vector<uint8_t> bytes_;
  size_t page_size_ = 4096;
  jet::JetVersion version_ = jet::JetVersion::kJet4;
};

// One physical index of a table, read from its definition pages.
struct RawIndex {
  uint32_t root_page = 0;
  uint8_t flags = 0;         // 0x01 unique, 0x02 ignore nulls
  std::vector<int> columns;  // positions in RawTable::columns
  std::vector<bool> ascending;
};

struct RawColumn {
  std::string name;  // ASCII names only (others are replaced by '?')
  uint8_t type = 0;
  int number = 0;
  uint8_t scale = 0;
};

struct RawTable {
  uint32_t tdef_page = 0;
  uint32_t row_count = 0;          // as recorded
  std::vector<RawColumn> columns;  // in definition order
  std::vector<RawIndex> indexes;
};

// Every table definition of a Jet 3 or Jet 4 file (pages of type 0x02 that start a definition).
std::vector<RawTable> ReadRawTables(RawPageFile& file);

}  // namespace quorla_test

#endif  // QUORLA_TESTS_SUPPORT_RAW_PAGE_FILE_H_
