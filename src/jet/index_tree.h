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
};

// Opens a cursor over the index whose root page is `root_page`. The cursor reads pages through
// `pages`, which must outlive it.
std::unique_ptr<IndexCursor> OpenIndexTree(PageReader& pages, JetVersion version,
                                           uint32_t root_page,
                                           std::vector<IndexKeyColumn> columns);

}  // namespace jet

#endif  // QUORLA_JET_INDEX_TREE_H_
