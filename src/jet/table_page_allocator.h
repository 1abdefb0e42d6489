#ifndef QUORLA_JET_TABLE_PAGE_ALLOCATOR_H_
#define QUORLA_JET_TABLE_PAGE_ALLOCATOR_H_

// Pages for one table of a Jet 4 file. The database's global usage map (row 0 of page 1) marks
// the free pages of the file; a page is taken from there (or appended to the file) and recorded
// in the table's map of owned pages, and given back the other way. A page marked free in the
// global map but lying outside its window is never handed out: such marks are not trusted.
// Data pages with room for rows are also listed in the table's free-space map.

#include <cstdint>
#include <memory>
#include <optional>

#include "jet/page_allocator.h"
#include "jet/pager.h"
#include "jet/usage_map_writer.h"

namespace jet {

namespace global_map {
inline constexpr RowPointer kRow = {1, 0};
}

class TablePageAllocator : public PageAllocator {
 public:
  // `owned` and `free_space` are the rows of the table's two usage maps.
  TablePageAllocator(Pager& pager, RowPointer owned, RowPointer free_space);

  uint32_t Allocate() override;
  void Free(uint32_t page) override;

  // A page taken from the file that is not among the table's owned pages (a usage map's bitmap
  // page, a long-value or index page).
  uint32_t AllocateUnowned();
  // Gives back a page AllocateUnowned handed out.
  void FreeUnowned(uint32_t page);

  UsageMapWriter& owned() { return owned_; }
  UsageMapWriter& free_space() { return free_space_; }

 private:
  Pager& pager_;
  UsageMapWriter global_;
  UsageMapWriter owned_;
  UsageMapWriter free_space_;
};

// Pages of one index of the table: recorded in the index's own usage map, not among the table's
// owned pages (readers take those for row pages).
class IndexPageAllocator : public PageAllocator {
 public:
  // `map` is the row of the index's usage map (page 0: the index has none).
  IndexPageAllocator(Pager& pager, TablePageAllocator& table, RowPointer map);

  uint32_t Allocate() override;
  void Free(uint32_t page) override;

 private:
  TablePageAllocator& table_;
  std::optional<UsageMapWriter> map_;
};

}  // namespace jet

#endif  // QUORLA_JET_TABLE_PAGE_ALLOCATOR_H_
