#ifndef QUORLA_JET_INDEX_PAGE_CACHE_H_
#define QUORLA_JET_INDEX_PAGE_CACHE_H_

// Decoded index pages, kept while a statement changes many rows of one table: decoding a page
// costs far more than the change itself. An entry is used only while the pager's version stamp
// of its page is the one it was decoded or stored at, so the cache stays right whoever changes
// the page through the pager, and across commit and rollback.

#include <cstdint>
#include <unordered_map>

#include "jet/database.h"
#include "jet/index_page.h"
#include "jet/pager.h"

namespace jet {

class IndexPageCache {
 public:
  explicit IndexPageCache(size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  // Page `number` of `pager`, decoded. The reference stays valid until the next Get, Take or
  // Put of the same page, or the next Trim.
  const IndexPage& Get(Pager& pager, JetVersion version, uint32_t number);
  // As Get, for a page about to be changed: the cached page is handed over, not copied.
  IndexPage Take(Pager& pager, JetVersion version, uint32_t number);
  // Records that page `page.number` of `pager`, as it is now, decodes to `page`.
  void Put(const Pager& pager, const IndexPage& page);
  void Put(const Pager& pager, IndexPage&& page);
  // Forgets everything when more than the capacity is kept.
  void Trim();

  static constexpr size_t kDefaultCapacity = 4096;

 private:
  struct Cached {
    uint64_t stamp = 0;
    IndexPage page;
  };
  size_t capacity_;
  std::unordered_map<uint32_t, Cached> pages_;
};

}  // namespace jet

#endif  // QUORLA_JET_INDEX_PAGE_CACHE_H_
