#ifndef QUORLA_JET_INDEX_BULK_LOAD_H_
#define QUORLA_JET_INDEX_BULK_LOAD_H_

// Building a whole index B-tree of a Jet 4 file at once from its entries, sorted beforehand: the
// leaves are filled one after the other, then each level above, up to the root. Far cheaper than
// adding the entries one by one, and the tree has the shape IndexWriter keeps (index_writer.h),
// so later changes go through IndexWriter as usual. Works inside an open pager transaction.

#include <cstdint>
#include <vector>

#include "jet/database.h"
#include "jet/index_page.h"
#include "jet/page_allocator.h"
#include "jet/pager.h"

namespace jet {

// Writes `entries` (ordered by key bytes, then row; no entry twice) as the tree whose root is
// page `root_page` of the table whose definition is on `table_page`. The root must be changeable
// in the open transaction; the other pages come from `allocator`. The entries' keys are given up
// as their pages are written. Jet 3 files give Error 3343.
void BulkLoadIndex(Pager& pager, PageAllocator& allocator, JetVersion version, uint32_t root_page,
                   uint32_t table_page, std::vector<IndexEntry> entries);

}  // namespace jet

#endif  // QUORLA_JET_INDEX_BULK_LOAD_H_
