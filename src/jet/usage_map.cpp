#include "jet/usage_map.h"

namespace jet {
namespace {

void CollectBits(ByteSpan bitmap, uint64_t first_page, uint32_t page_count,
                 std::vector<uint32_t>& out) {
  for (size_t byte = 0; byte < bitmap.size(); ++byte) {
    if (bitmap[byte] == 0) continue;
    for (int bit = 0; bit < 8; ++bit) {
      if ((bitmap[byte] & (1u << bit)) == 0) continue;
      uint64_t page = first_page + byte * 8 + static_cast<uint64_t>(bit);
      if (page >= page_count) ThrowCorrupt("usage map marks a page past the end");
      out.push_back(static_cast<uint32_t>(page));
    }
  }
}

}  // namespace

std::vector<uint32_t> ReadUsageMap(PageReader& pages, JetVersion version, RowPointer map_row) {
  std::vector<uint8_t> map;
  {
    ByteSpan row = RowAt(pages, version, map_row);
    map.assign(row.begin(), row.end());
  }
  std::vector<uint32_t> result;
  uint8_t type = ReadU8(map, 0);
  if (type == usage_map::kInline) {
    uint32_t first = ReadU32(map, usage_map::kInlineStartOffset);
    ByteSpan bitmap(map);
    CollectBits(bitmap.subspan(std::min(map.size(), usage_map::kInlineBitmapOffset)), first,
                pages.page_count(), result);
    return result;
  }
  if (type != usage_map::kReference) ThrowCorrupt("unknown usage map type");
  const uint64_t pages_per_bitmap = (pages.page_size() - usage_map::kBitmapPageHeader) * 8;
  size_t count = (map.size() - usage_map::kReferenceFirstPointer) / 4;
  for (size_t i = 0; i < count; ++i) {
    uint32_t bitmap_page = usage_map::BitmapPage(map, i);
    if (bitmap_page == 0) continue;
    ByteSpan page = pages.Page(bitmap_page);
    if (page[0] != page_type::kUsageMap) ThrowCorrupt("usage map page of the wrong type");
    CollectBits(page.subspan(usage_map::kBitmapPageHeader), i * pages_per_bitmap,
                pages.page_count(), result);
  }
  return result;
}

}  // namespace jet
