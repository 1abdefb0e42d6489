#ifndef QUORLA_JET_INDEX_PAGE_CACHE_H_
#define QUORLA_JET_INDEX_PAGE_CACHE_H_

// Decoded index pages, kept while a statement changes many rows of one table: decoding a page
// costs far more than checking that its bytes are still those it was decoded from. An entry is
// used only while the page's bytes are unchanged, so the cache stays right whoever changes the
// page and across commit and rollback.

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "jet/database.h"
#include "jet/index_page.h"

namespace jet {

class IndexPageCache {
 public:
  explicit IndexPageCache(size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  // The page `number` decoded from `bytes`, its current bytes. The reference stays valid until
  // the next Get or Put of the same page, or the next Trim.
  const IndexPage& Get(std::span<const uint8_t> bytes, JetVersion version, uint32_t number);
  // As Get, for a page about to be changed: the cached page is handed over, not copied.
  IndexPage Take(std::span<const uint8_t> bytes, JetVersion version, uint32_t number);
  // Records that `bytes` (just written) decode to `page`.
  void Put(std::span<const uint8_t> bytes, const IndexPage& page);
  void Put(std::span<const uint8_t> bytes, IndexPage&& page);
  // Forgets everything when more than the capacity is kept.
  void Trim();

  static constexpr size_t kDefaultCapacity = 4096;

 private:
  struct Cached {
    std::vector<uint8_t> bytes;
    IndexPage page;
  };
  size_t capacity_;
  std::unordered_map<uint32_t, Cached> pages_;
};

}  // namespace jet

#endif  // QUORLA_JET_INDEX_PAGE_CACHE_H_
