#include "jet/index_page_cache.h"

namespace jet {

const IndexPage& IndexPageCache::Get(Pager& pager, JetVersion version, uint32_t number) {
  const uint64_t stamp = pager.Version(number);
  auto [it, added] = pages_.try_emplace(number);
  Cached& cached = it->second;
  if (!added && cached.stamp == stamp) return cached.page;
  try {
    cached.page = DecodeIndexPage(pager.Page(number), version, number);
  } catch (...) {
    pages_.erase(number);
    throw;
  }
  cached.stamp = stamp;
  return cached.page;
}

IndexPage IndexPageCache::Take(Pager& pager, JetVersion version, uint32_t number) {
  auto found = pages_.find(number);
  if (found == pages_.end()) return DecodeIndexPage(pager.Page(number), version, number);
  Cached cached = std::move(found->second);
  pages_.erase(found);
  if (cached.stamp == pager.Version(number)) return std::move(cached.page);
  return DecodeIndexPage(pager.Page(number), version, number);
}

void IndexPageCache::Put(const Pager& pager, const IndexPage& page) {
  Cached& cached = pages_[page.number];
  cached.stamp = pager.Version(page.number);
  cached.page = page;
}

void IndexPageCache::Put(const Pager& pager, IndexPage&& page) {
  Cached& cached = pages_[page.number];
  cached.stamp = pager.Version(page.number);
  cached.page = std::move(page);
}

void IndexPageCache::Trim() {
  if (pages_.size() > capacity_) pages_.clear();
}

}  // namespace jet
