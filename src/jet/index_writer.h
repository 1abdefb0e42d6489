#ifndef QUORLA_JET_INDEX_WRITER_H_
#define QUORLA_JET_INDEX_WRITER_H_

// Changing one index B-tree of a Jet 4 file: adding and removing entries (key + row pointer),
// keeping pages ordered, splitting full pages and freeing empty ones. Works inside an open pager
// transaction; which entries go in and whether a key must be unique is the caller's business.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/index_tree.h"
#include "jet/page_allocator.h"
#include "jet/pager.h"

namespace jet {

class IndexWriter {
 public:
  // The B-tree of one physical index whose root page is `root_page`; the root keeps its page
  // number when it splits. `pager`, `allocator` must outlive the writer.
  IndexWriter(Pager& pager, PageAllocator& allocator, JetVersion version, uint32_t root_page,
              std::vector<IndexKeyColumn> columns);

  // Adds the entry (key, row). `key` comes from EncodeIndexKey (index_key.h).
  void Insert(const std::string& key, RowId row);
  // Removes the entry (key, row); Error 3343 when the index has no such entry.
  void Remove(const std::string& key, RowId row);
  // True when some entry has exactly `key`, not counting the entry of row `except`.
  bool ContainsKey(const std::string& key, std::optional<RowId> except = std::nullopt);

 private:
  Pager& pager_;
  PageAllocator& allocator_;
  JetVersion version_;
  uint32_t root_page_;
  std::vector<IndexKeyColumn> columns_;
};

}  // namespace jet

#endif  // QUORLA_JET_INDEX_WRITER_H_
