#ifndef QUORLA_JET_INDEX_TREE_H_
#define QUORLA_JET_INDEX_TREE_H_

// Reading one index B-tree (intermediate and leaf pages) of a table.

#include <memory>
#include <vector>

#include "jet/database.h"
#include "jet/page_reader.h"

namespace jet {

struct IndexKeyColumn {
  ColumnType type = ColumnType::kLong;
  bool ascending = true;
  uint8_t scale = 0;  // Numeric (Decimal) columns: the column's scale; keys are stored at it
};

// Opens a cursor over the index whose root page is `root_page`. The cursor reads pages through
// `pages`, which must outlive it. Keys given to SeekGE/CompareKey are encoded as Access encodes
// them (index_key.h); text columns are taken to use the General sort order (its Access 97 form
// in Jet 3 files). A key may give the first columns only. Damaged pages, cycles
// in page links and trees deeper than any real one give Error 3343; the cursor never loops
// forever. Throws Error 3343 when the root is not an index page.
std::unique_ptr<IndexCursor> OpenIndexTree(PageReader& pages, JetVersion version,
                                           uint32_t root_page, std::vector<IndexKeyColumn> columns);

}  // namespace jet

#endif  // QUORLA_JET_INDEX_TREE_H_
