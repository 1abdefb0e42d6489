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
//
// Use: for each physical index of a table, a new row goes in with Insert(key, row); a deleted row
// comes out with Remove(old key, row); an updated row whose key or row pointer changed is a Remove
// of the old entry and an Insert of the new one. A unique index asks ContainsKey(key, row) before
// (on update, naming the row itself). The writer keeps nothing between calls but what its
// IndexPageCache checks against the pager's version stamps, so it stays right across Commit and
// Rollback of the pager; a failing call may have changed some pages, which the caller undoes by
// rolling the transaction back.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/index_page.h"
#include "jet/index_page_cache.h"
#include "jet/index_tree.h"
#include "jet/page_allocator.h"
#include "jet/pager.h"

namespace jet {

class IndexWriter {
 public:
  // The B-tree of one physical index whose root page is `root_page`; the root keeps its page
  // number when it splits. `pager`, `allocator` and `cache` (when given: decoded pages kept
  // between calls and writers) must outlive the writer. Jet 3 files give Error 3343; a root that
  // is no index page gives Error 3343.
  IndexWriter(Pager& pager, PageAllocator& allocator, JetVersion version, uint32_t root_page,
              std::vector<IndexKeyColumn> columns, IndexPageCache* cache = nullptr);

  // Adds the entry (key, row). `key` comes from EncodeIndexKey (index_key.h). Adding an entry
  // that is already there gives Error 3343. Returns whether other entries had the key already.
  bool Insert(const std::string& key, RowId row);
  // Removes the entry (key, row); Error 3343 when the index has no such entry. Returns whether
  // other entries keep the key.
  bool Remove(const std::string& key, RowId row);
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
  // Page `number` to read; valid until the next View or Load.
  const IndexPage& View(uint32_t number);
  // Page `number` to change (a copy; a leaf leaves the cache until stored again).
  IndexPage Load(uint32_t number);
  void Write(const IndexPage& page);
  // Whether the entry before position `before_end` or the one at `after_begin` of `leaf` has
  // `key`; past either end of the leaf, the neighbouring leaf's entry in the chain. Equal keys
  // lie together, so this tells whether any entry outside [before_end, after_begin) has it.
  bool KeyAround(const IndexPage& leaf, size_t before_end, size_t after_begin,
                 const std::string& key);
  // The leaf where entries with (key, row) are or belong, read only. `through_tails`, when
  // given, tells whether every page above it was left through its tail.
  uint32_t FindLeaf(const std::string& key, RowId row, bool* through_tails = nullptr);
  // Insert and Remove when only the leaf changes (no split or merge, not its last entry, which
  // the pages above record, but for a new last entry of the last leaf): with a cache, the leaf
  // alone is taken, changed and stored. The result as Insert's or Remove's; none when the full way
  // is needed (nothing changed then).
  std::optional<bool> InsertInLeaf(const std::string& key, RowId row);
  std::optional<bool> RemoveInLeaf(const std::string& key, RowId row);
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
  // Moves the entries of the leaf before path's leaf (same parent) into it when both are sparse,
  // and frees that page.
  void MergeLeafIntoNext(Path& path);
  // Pulls a root's only child into the root.
  void ShrinkRoot();

  Pager& pager_;
  PageAllocator& allocator_;
  JetVersion version_;
  uint32_t root_page_;
  std::vector<IndexKeyColumn> columns_;
  IndexPageCache* cache_;
  IndexPage scratch_;  // what View returns without a cache
};

// Makes page `page` the empty root (a leaf without entries) of a new index of the table whose
// definition is on page `table_page`. The page must be changeable in the open transaction.
void WriteEmptyIndexRoot(Pager& pager, JetVersion version, uint32_t page, uint32_t table_page);

}  // namespace jet

#endif  // QUORLA_JET_INDEX_WRITER_H_
