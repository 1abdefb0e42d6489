#ifndef QUORLA_JET_USAGE_MAP_H_
#define QUORLA_JET_USAGE_MAP_H_

// Usage maps: the bitmaps that say which pages a table (or index) owns. A map is a row holding
// either the bitmap itself with its first page (inline), or pointers to bitmap pages (reference).

#include <cstdint>
#include <vector>

#include "jet/data_page.h"

namespace jet {

namespace usage_map {
inline constexpr uint8_t kInline = 0x00;
inline constexpr uint8_t kReference = 0x01;
inline constexpr size_t kInlineStartOffset = 1;
inline constexpr size_t kInlineBitmapOffset = 5;
inline constexpr size_t kReferenceFirstPointer = 1;
inline constexpr size_t kBitmapPageHeader = 4;

// The bitmap page of pointer `slot` of a reference map, or 0 when there is none. Access leaves
// unused pointers 0, but some files carry values with the top bit set there (0xFFFFFF80 in the
// global map of testRefGlobalV2000.mdb); other readers take those as absent too.
inline uint32_t BitmapPage(ByteSpan map, size_t slot) {
  const size_t at = kReferenceFirstPointer + 4 * slot;
  const uint32_t page = static_cast<uint32_t>(map[at]) | static_cast<uint32_t>(map[at + 1]) << 8 |
                        static_cast<uint32_t>(map[at + 2]) << 16 |
                        static_cast<uint32_t>(map[at + 3]) << 24;
  return (page & 0x80000000u) != 0 ? 0 : page;
}
}  // namespace usage_map

// The pages the map at `map_row` marks, in ascending order. Pages past the end of the file and
// unknown map types are format errors. The result never exceeds the file's page count.
std::vector<uint32_t> ReadUsageMap(PageReader& pages, JetVersion version, RowPointer map_row);

}  // namespace jet

#endif  // QUORLA_JET_USAGE_MAP_H_
