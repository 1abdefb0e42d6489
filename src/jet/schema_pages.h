#ifndef QUORLA_JET_SCHEMA_PAGES_H_
#define QUORLA_JET_SCHEMA_PAGES_H_

// Page work shared by creating and dropping tables and indexes in a Jet 4 file: pages taken from
// and given back to the database's global usage map, usage-map rows of a new table or index, and
// facts a new definition copies from the file.

#include <array>
#include <cstdint>
#include <optional>

#include "jet/data_page.h"
#include "jet/database.h"
#include "jet/pager.h"
#include "jet/table_page_allocator.h"
#include "jet/tdef_writer.h"
#include "jet/usage_map_writer.h"

namespace jet {

namespace usage_map {
inline constexpr size_t kNewMapBitmapBytes = 64;  // the inline bitmap of a new map: 512 pages
}

// Pages of the file outside any table's maps (definition, usage-map and root pages).
class GlobalPages {
 public:
  explicit GlobalPages(Pager& pager);
  // A zeroed page, marked used.
  uint32_t Allocate();
  // Zeroes `page` and marks it free (a page outside the map's window stays unused).
  void Free(uint32_t page);

 private:
  Pager& pager_;
  TablePageAllocator allocator_;
  UsageMapWriter global_;
};

// Adds an inline usage map to data page `page`: empty, or holding `first` alone. Throws when the
// page is full.
RowPointer AddUsageMapRow(Pager& pager, uint32_t page, std::optional<uint32_t> first);

// Takes the pages of a new table from `global` and returns its definition page: that page, a
// page holding its usage maps (pages owned, pages with free space, one per physical index) and
// an empty root page per physical index of `plan`, whose page fields it fills in.
uint32_t AllocateNewTablePages(Pager& pager, GlobalPages& global, TableDefinitionPlan& plan);

// Marks the row `map` deleted on its page.
void DeleteUsageMapRow(Pager& pager, RowPointer map);

// The four collation bytes the catalogue's text columns carry (General sort order by default).
std::array<uint8_t, 4> TextSortOrder(PageReader& pages);

// The physical-index flags a logical index asks for.
uint8_t RealIndexFlags(const IndexDef& index);

// Throws 3265 when `index` names no column or a column `table` lacks, or more than ten.
void CheckIndexColumns(const TableDef& table, const IndexDef& index);

}  // namespace jet

#endif  // QUORLA_JET_SCHEMA_PAGES_H_
