#ifndef QUORLA_JET_TABLE_PAGE_ALLOCATOR_H_
#define QUORLA_JET_TABLE_PAGE_ALLOCATOR_H_

// Pages for one table of a Jet 4 file. The database's global usage map (row 0 of page 1) marks
// the free pages of the file; a page is taken from there (or appended to the file) and recorded
// in the table's map of owned pages, and given back the other way. A page marked free in the
// global map but lying outside its window is never handed out: such marks are not trusted.
// Data pages with room for rows are also listed in the table's free-space map.

#include <cstdint>
#include <memory>

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

  // A page taken from the file that belongs to no table (a usage map's bitmap page).
  uint32_t AllocateUnowned();

  UsageMapWriter& owned() { return owned_; }
  UsageMapWriter& free_space() { return free_space_; }

 private:
  Pager& pager_;
  UsageMapWriter global_;
  UsageMapWriter owned_;
  UsageMapWriter free_space_;
};

}  // namespace jet

#endif  // QUORLA_JET_TABLE_PAGE_ALLOCATOR_H_
