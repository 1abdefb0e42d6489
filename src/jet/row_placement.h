#ifndef QUORLA_JET_ROW_PLACEMENT_H_
#define QUORLA_JET_ROW_PLACEMENT_H_

// Finding room for a new row among a table's pages: the pages its free-space map lists (the most
// recent first, a few of them), else a new page from the allocator. Long-value pages are listed
// in the free-space map but not among the table's owned pages.

#include <cstdint>
#include <vector>

#include "jet/data_page.h"
#include "jet/pager.h"
#include "jet/table_page_allocator.h"

namespace jet {

// Adds the row to a page whose owner field is `owner` (the table's definition page, or
// data_page::kLongValueOwner) and returns where it went. `avoid` (when nonzero) is not used.
RowPointer PlaceRow(Pager& pager, TablePageAllocator& allocator, uint32_t owner,
                    std::vector<uint8_t> bytes, uint16_t flags, uint32_t avoid = 0);

}  // namespace jet

#endif  // QUORLA_JET_ROW_PLACEMENT_H_
