#ifndef QUORLA_TESTS_SUPPORT_INDEX_PAGE_BUILDER_H_
#define QUORLA_TESTS_SUPPORT_INDEX_PAGE_BUILDER_H_

// Test-only: builds Jet 4 index pages in memory and serves them through a PageReader, so that
// page decoding and the cursor can be tried on trees of any shape, damaged ones included.

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "jet/error.h"
#include "jet/page_reader.h"

namespace testsupport {

inline constexpr size_t kJet4PageSize = 4096;

struct BuiltEntry {
  std::string key;
  uint32_t row_page = 1;
  uint8_t row = 0;
  uint32_t child = 0;  // intermediate pages only
};

struct BuiltPage {
  bool leaf = true;
  uint32_t prev = 0, next = 0, tail = 0;
  size_t prefix = 0;  // bytes the entries after the first leave out
  std::vector<BuiltEntry> entries;
};

// The bytes of a Jet 4 index page.
std::vector<uint8_t> BuildIndexPage(const BuiltPage& page);

// Pages by number; page 0 and missing pages are blank; page_count is one past the highest page.
class MemoryPages : public jet::PageReader {
 public:
  void Put(uint32_t number, std::vector<uint8_t> bytes) { pages_[number] = std::move(bytes); }
  void PutIndex(uint32_t number, const BuiltPage& page) { Put(number, BuildIndexPage(page)); }
  size_t page_size() const override { return kJet4PageSize; }
  uint32_t page_count() const override { return pages_.empty() ? 1 : pages_.rbegin()->first + 1; }
  std::span<const uint8_t> Page(uint32_t number) override;

 private:
  std::map<uint32_t, std::vector<uint8_t>> pages_;
  std::vector<uint8_t> blank_ = std::vector<uint8_t>(kJet4PageSize);
};

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_INDEX_PAGE_BUILDER_H_
