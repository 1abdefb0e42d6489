#include "jet/table_page_allocator.h"

#include <algorithm>

#include "jet/error.h"

namespace jet {

TablePageAllocator::TablePageAllocator(Pager& pager, RowPointer owned, RowPointer free_space)
    : pager_(pager),
      // A page freed outside the global map's window stays unused rather than moving the window.
      global_(pager, global_map::kRow, nullptr),
      owned_(pager, owned, [this] { return AllocateUnowned(); }),
      free_space_(pager, free_space, [this] { return AllocateUnowned(); }) {}

uint32_t TablePageAllocator::AllocateUnowned() {
  std::vector<uint32_t> free = global_.Pages(pager_.page_count());
  // Pages 0 and 1 (header and global map) are never free, whatever the map says.
  auto usable = std::find_if(free.begin(), free.end(), [](uint32_t p) { return p > 1; });
  uint32_t page;
  if (usable != free.end()) {
    page = *usable;
    std::span<uint8_t> bytes = pager_.Modify(page);
    std::fill(bytes.begin(), bytes.end(), 0);
  } else {
    page = pager_.Append();
  }
  global_.Remove(page);
  return page;
}

uint32_t TablePageAllocator::Allocate() {
  uint32_t page = AllocateUnowned();
  owned_.Add(page);
  return page;
}

void TablePageAllocator::Free(uint32_t page) {
  owned_.Remove(page);
  FreeUnowned(page);
}

void TablePageAllocator::FreeUnowned(uint32_t page) {
  free_space_.Remove(page);
  std::span<uint8_t> bytes = pager_.Modify(page);
  std::fill(bytes.begin(), bytes.end(), 0);
  global_.Add(page);
}

IndexPageAllocator::IndexPageAllocator(Pager& pager, TablePageAllocator& table, RowPointer map)
    : table_(table) {
  if (map.page != 0) map_.emplace(pager, map, [this] { return table_.AllocateUnowned(); });
}

uint32_t IndexPageAllocator::Allocate() {
  uint32_t page = table_.AllocateUnowned();
  if (map_) map_->Add(page);
  return page;
}

void IndexPageAllocator::Free(uint32_t page) {
  if (map_) map_->Remove(page);
  table_.FreeUnowned(page);
}

}  // namespace jet
