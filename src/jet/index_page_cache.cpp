#include "jet/index_page_cache.h"

#include <algorithm>

namespace jet {

const IndexPage& IndexPageCache::Get(std::span<const uint8_t> bytes, JetVersion version,
                                     uint32_t number) {
  Cached& cached = pages_[number];
  if (cached.bytes.size() == bytes.size() &&
      std::equal(bytes.begin(), bytes.end(), cached.bytes.begin())) {
    return cached.page;
  }
  try {
    cached.page = DecodeIndexPage(bytes, version, number);
  } catch (...) {
    pages_.erase(number);
    throw;
  }
  cached.bytes.assign(bytes.begin(), bytes.end());
  return cached.page;
}

IndexPage IndexPageCache::Take(std::span<const uint8_t> bytes, JetVersion version,
                               uint32_t number) {
  auto found = pages_.find(number);
  if (found == pages_.end()) return DecodeIndexPage(bytes, version, number);
  Cached cached = std::move(found->second);
  pages_.erase(found);
  if (cached.bytes.size() == bytes.size() &&
      std::equal(bytes.begin(), bytes.end(), cached.bytes.begin())) {
    return std::move(cached.page);
  }
  return DecodeIndexPage(bytes, version, number);
}

void IndexPageCache::Put(std::span<const uint8_t> bytes, const IndexPage& page) {
  Cached& cached = pages_[page.number];
  cached.bytes.assign(bytes.begin(), bytes.end());
  cached.page = page;
}

void IndexPageCache::Put(std::span<const uint8_t> bytes, IndexPage&& page) {
  Cached& cached = pages_[page.number];
  cached.bytes.assign(bytes.begin(), bytes.end());
  cached.page = std::move(page);
}

void IndexPageCache::Trim() {
  if (pages_.size() > capacity_) pages_.clear();
}

}  // namespace jet
