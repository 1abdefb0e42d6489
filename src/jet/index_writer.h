#ifndef QUORLA_JET_INDEX_WRITER_H_
#define QUORLA_JET_INDEX_WRITER_H_

// Changing one index B-tree of a Jet 4 file: adding and removing entries (key + row pointer),
// keeping pages ordered, splitting full pages and freeing empty ones. Works inside an open pager
// transaction; which entries go in and whether a key must be unique is the caller's business.
//
// Trees keep the shape Access gives them: entries ordered by key, then row pointer; an
// intermediate entry carries the key and row of the last entry below its child; an intermediate
// page with two or more children stores entries for all but the last, which it names as its
// tail; every level is one chain of previous/next links.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/index_page.h"
#include "jet/index_tree.h"
#include "jet/page_allocator.h"
#include "jet/pager.h"

namespace jet {

class IndexWriter {
 public:
  // The B-tree of one physical index whose root page is `root_page`; the root keeps its page
  // number when it splits. `pager` and `allocator` must outlive the writer. Jet 3 files give
  // Error 3343; a root that is no index page gives Error 3343.
  IndexWriter(Pager& pager, PageAllocator& allocator, JetVersion version, uint32_t root_page,
              std::vector<IndexKeyColumn> columns);

  // Adds the entry (key, row). `key` comes from EncodeIndexKey (index_key.h). Adding an entry
  // that is already there gives Error 3343.
  void Insert(const std::string& key, RowId row);
  // Removes the entry (key, row); Error 3343 when the index has no such entry.
  void Remove(const std::string& key, RowId row);
  // True when some entry has exactly `key`, not counting the entry of row `except`.
  bool ContainsKey(const std::string& key, std::optional<RowId> except = std::nullopt);

 private:
  // One page on the way from the root to a leaf. For intermediate pages `page.entries` lists
  // every child, the tail included (last); the tail's key and row are the last entry below it,
  // known only when a page above stores it (`last_known`).
  struct Step {
    IndexPage page;
    bool last_known = true;
    size_t slot = 0;  // intermediate pages: the child taken
  };
  using Path = std::vector<Step>;

  void CheckKey(const std::string& key) const;
  IndexPage Load(uint32_t number);
  // `bound`: the entry a page above stores for this page, if any.
  Step LoadStep(uint32_t number, const IndexEntry* bound);
  // Descends to the leaf where (key, row) is or belongs.
  Path Descend(const std::string& key, RowId row);
  // The last entry of the subtree under page `number`.
  IndexEntry LastEntryBelow(uint32_t number);
  template <typename Use>
  bool AsStored(Step& step, Use&& use);
  bool Fits(Step& step);
  void Store(Step& step);
  void StoreLinks(uint32_t number, std::optional<uint32_t> prev, std::optional<uint32_t> next);
  // The last entry of path[level] changed: carry its key and row to the pages above.
  void CarryLastUp(Path& path, size_t level);
  // Where to cut a page that no longer fits: entries before it go to a new page.
  size_t CutPoint(Step& step, size_t inserted);
  // path[level] no longer fits: splits it; `inserted` is where the entry that overflowed it went.
  void Split(Path& path, size_t level, size_t inserted);
  void SplitRoot(Path& path, size_t cut);
  // path[level] became empty: frees it and drops it from the page above.
  void RemoveEmpty(Path& path, size_t level);
  // Pulls a root's only child into the root.
  void ShrinkRoot();

  Pager& pager_;
  PageAllocator& allocator_;
  JetVersion version_;
  uint32_t root_page_;
  std::vector<IndexKeyColumn> columns_;
};

// Makes page `page` the empty root (a leaf without entries) of a new index of the table whose
// definition is on page `table_page`. The page must be changeable in the open transaction.
void WriteEmptyIndexRoot(Pager& pager, JetVersion version, uint32_t page, uint32_t table_page);

}  // namespace jet

#endif  // QUORLA_JET_INDEX_WRITER_H_
