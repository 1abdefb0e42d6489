#ifndef QUORLA_JET_INDEX_CHECK_H_
#define QUORLA_JET_INDEX_CHECK_H_

// Structural check of one index B-tree, for tests and for checking a file after a crash: every
// page decodes, entries are ordered within and across pages, each intermediate entry equals the
// last entry below its child, intermediate pages with several children name the last as tail,
// all leaves lie at one depth, each level is one chain of previous/next links, and every page
// names the same table.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/page_reader.h"

namespace jet {

struct IndexCheckResult {
  std::vector<std::string> problems;  // empty: the tree is sound (at most the first 100)
  uint64_t entries = 0;               // leaf entries seen
  uint32_t pages = 0;                 // pages of the tree
  uint32_t depth = 0;                 // levels (1: the root is a leaf)
};

IndexCheckResult CheckIndex(PageReader& pages, JetVersion version, uint32_t root_page);

}  // namespace jet

#endif  // QUORLA_JET_INDEX_CHECK_H_
