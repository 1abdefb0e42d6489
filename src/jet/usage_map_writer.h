#ifndef QUORLA_JET_USAGE_MAP_WRITER_H_
#define QUORLA_JET_USAGE_MAP_WRITER_H_

// Changing a usage map in place (its row keeps its length). An inline map whose window cannot
// take a page moves its window when all its pages fit the new one, else becomes a reference map;
// a reference map gets a new bitmap page when a page falls in a range it has none for.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "jet/pager.h"
#include "jet/usage_map.h"

namespace jet {

class UsageMapWriter {
 public:
  // `new_bitmap_page` returns a page (already changeable through the pager) for a reference
  // map's bitmap; it is only called by Add. Without it the map keeps its window and bitmap
  // pages, and Add leaves pages outside them unmarked.
  UsageMapWriter(Pager& pager, RowPointer row, std::function<uint32_t()> new_bitmap_page);

  bool Contains(uint32_t page);
  // Marks `page`; moves the window or turns reference as needed.
  void Add(uint32_t page);
  // Clears `page`'s mark; a page outside the map is left alone.
  void Remove(uint32_t page);
  // Marked pages below `limit`, ascending (marks past the limit are ignored, not damage).
  std::vector<uint32_t> Pages(uint32_t limit);
  // The last `count` marked pages below `limit`, descending; cheaper than Pages for a long map.
  std::vector<uint32_t> LastPages(uint32_t limit, size_t count);

 private:
  std::span<uint8_t> Row();  // the map's row, changeable
  std::optional<size_t> BitOffset(std::span<uint8_t> row, uint32_t page, uint32_t* bitmap_page);
  void Rewrite(const std::vector<uint32_t>& pages);
  // Calls `visit(bitmap, first page it maps)` for each bitmap of the map that starts below
  // `limit`, in page order or, with `backwards`, the reverse, until `visit` returns false.
  void VisitBitmaps(uint32_t limit, bool backwards,
                    const std::function<bool(ByteSpan, uint64_t)>& visit);

  Pager& pager_;
  RowPointer row_;
  std::function<uint32_t()> new_bitmap_page_;
};

}  // namespace jet

#endif  // QUORLA_JET_USAGE_MAP_WRITER_H_
