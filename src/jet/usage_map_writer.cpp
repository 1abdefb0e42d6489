#include "jet/usage_map_writer.h"

#include <algorithm>

#include "jet/byte_writer.h"
#include "jet/error.h"

namespace jet {
namespace {

constexpr uint8_t kBitmapPageSignature = 0x01;

uint64_t PagesPerBitmap(size_t page_size) {
  return (page_size - usage_map::kBitmapPageHeader) * 8;
}

}  // namespace

UsageMapWriter::UsageMapWriter(Pager& pager, RowPointer row,
                               std::function<uint32_t()> new_bitmap_page)
    : pager_(pager), row_(row), new_bitmap_page_(std::move(new_bitmap_page)) {}

std::span<uint8_t> UsageMapWriter::Row() {
  std::span<uint8_t> page = pager_.Modify(row_.page);
  if (page[0] != page_type::kData || row_.row >= RowCount(page, JetVersion::kJet4)) {
    ThrowCorrupt("usage map row missing");
  }
  RowSlot slot = LocateRow(page, JetVersion::kJet4, row_.row);
  if (slot.deleted || slot.end - slot.start < usage_map::kInlineBitmapOffset) {
    ThrowCorrupt("usage map row too short");
  }
  return page.subspan(slot.start, slot.end - slot.start);
}

// Offset of `page`'s bit, counted in bits from the start of the byte span holding the bitmap:
// the row itself (inline) or the bitmap page `*bitmap_page` (reference; 0 when it has none yet).
std::optional<size_t> UsageMapWriter::BitOffset(std::span<uint8_t> row, uint32_t page,
                                                uint32_t* bitmap_page) {
  *bitmap_page = 0;
  if (row[0] == usage_map::kInline) {
    uint32_t start = ReadU32(row, usage_map::kInlineStartOffset);
    uint64_t bits = (row.size() - usage_map::kInlineBitmapOffset) * 8;
    if (page < start || page - start >= bits) return std::nullopt;
    return usage_map::kInlineBitmapOffset * 8 + (page - start);
  }
  if (row[0] != usage_map::kReference) ThrowCorrupt("unknown usage map type");
  uint64_t per = PagesPerBitmap(pager_.page_size());
  uint64_t slot = page / per;
  size_t at = usage_map::kReferenceFirstPointer + 4 * slot;
  if (at + 4 > row.size()) return std::nullopt;
  *bitmap_page = usage_map::BitmapPage(row, slot);
  return usage_map::kBitmapPageHeader * 8 + page % per;
}

bool UsageMapWriter::Contains(uint32_t page) {
  std::span<const uint8_t> row = Row();
  std::vector<uint8_t> copy(row.begin(), row.end());
  uint32_t bitmap_page = 0;
  std::optional<size_t> bit = BitOffset(copy, page, &bitmap_page);
  if (!bit) return false;
  if (copy[0] == usage_map::kInline) return (copy[*bit / 8] >> (*bit % 8)) & 1;
  if (bitmap_page == 0) return false;
  ByteSpan bitmap = pager_.Page(bitmap_page);
  return (bitmap[*bit / 8] >> (*bit % 8)) & 1;
}

void UsageMapWriter::Remove(uint32_t page) {
  std::span<uint8_t> row = Row();
  uint32_t bitmap_page = 0;
  std::optional<size_t> bit = BitOffset(row, page, &bitmap_page);
  if (!bit) return;
  if (row[0] == usage_map::kInline) {
    row[*bit / 8] &= static_cast<uint8_t>(~(1u << (*bit % 8)));
    return;
  }
  if (bitmap_page == 0) return;
  std::span<uint8_t> bitmap = pager_.Modify(bitmap_page);
  bitmap[*bit / 8] &= static_cast<uint8_t>(~(1u << (*bit % 8)));
}

void UsageMapWriter::Add(uint32_t page) {
  std::span<uint8_t> row = Row();
  uint32_t bitmap_page = 0;
  std::optional<size_t> bit = BitOffset(row, page, &bitmap_page);
  if (bit && row[0] == usage_map::kInline) {
    row[*bit / 8] |= static_cast<uint8_t>(1u << (*bit % 8));
    return;
  }
  bool fixed = !new_bitmap_page_;
  if (fixed && (!bit || bitmap_page == 0)) return;
  if (bit) {
    if (bitmap_page == 0) {
      bitmap_page = new_bitmap_page_();
      std::span<uint8_t> fresh = pager_.Modify(bitmap_page);
      std::fill(fresh.begin(), fresh.end(), 0);
      fresh[0] = page_type::kUsageMap;
      fresh[1] = kBitmapPageSignature;
      uint64_t slot = page / PagesPerBitmap(pager_.page_size());
      PutU32(Row(), usage_map::kReferenceFirstPointer + 4 * slot, bitmap_page);
    }
    std::span<uint8_t> bitmap = pager_.Modify(bitmap_page);
    bitmap[*bit / 8] |= static_cast<uint8_t>(1u << (*bit % 8));
    return;
  }
  if (row[0] != usage_map::kInline) {
    throw errors::Internal("Interner Fehler: Seite außerhalb der Belegungstabelle.");
  }
  std::vector<uint32_t> pages = Pages(UINT32_MAX);
  pages.push_back(page);
  std::sort(pages.begin(), pages.end());
  Rewrite(pages);
}

void UsageMapWriter::VisitBitmaps(uint32_t limit, bool backwards,
                                  const std::function<bool(ByteSpan, uint64_t)>& visit) {
  // A copy: reading a bitmap page may move the map's own page out of the cache.
  std::span<const uint8_t> row = Row();
  const std::vector<uint8_t> copy(row.begin(), row.end());
  if (copy[0] == usage_map::kInline) {
    visit(ByteSpan(copy).subspan(usage_map::kInlineBitmapOffset),
          ReadU32(copy, usage_map::kInlineStartOffset));
    return;
  }
  if (copy[0] != usage_map::kReference) ThrowCorrupt("unknown usage map type");
  const uint64_t per = PagesPerBitmap(pager_.page_size());
  const size_t pointers = copy.size() < usage_map::kReferenceFirstPointer
                              ? 0
                              : (copy.size() - usage_map::kReferenceFirstPointer) / 4;
  for (size_t k = 0; k < pointers; ++k) {
    const size_t i = backwards ? pointers - 1 - k : k;
    const uint32_t bitmap_page = usage_map::BitmapPage(copy, i);
    if (bitmap_page == 0 || i * per >= limit) continue;
    ByteSpan p = pager_.Page(bitmap_page);
    if (p[0] != page_type::kUsageMap) ThrowCorrupt("usage map page of the wrong type");
    if (!visit(p.subspan(usage_map::kBitmapPageHeader), i * per)) return;
  }
}

std::vector<uint32_t> UsageMapWriter::Pages(uint32_t limit) {
  std::vector<uint32_t> out;
  VisitBitmaps(limit, false, [&](ByteSpan bitmap, uint64_t first) {
    for (size_t byte = 0; byte < bitmap.size(); ++byte) {
      if (bitmap[byte] == 0) continue;
      for (int b = 0; b < 8; ++b) {
        if (!((bitmap[byte] >> b) & 1)) continue;
        uint64_t p = first + byte * 8 + static_cast<uint64_t>(b);
        if (p < limit) out.push_back(static_cast<uint32_t>(p));
      }
    }
    return true;
  });
  return out;
}

std::vector<uint32_t> UsageMapWriter::LastPages(uint32_t limit, size_t count) {
  std::vector<uint32_t> out;
  VisitBitmaps(limit, true, [&](ByteSpan bitmap, uint64_t first) {
    // Bytes wholly at or past the limit are not looked at.
    const size_t below = limit <= first ? 0 : static_cast<size_t>((limit - first + 7) / 8);
    for (size_t byte = std::min(bitmap.size(), below); byte-- > 0 && out.size() < count;) {
      if (bitmap[byte] == 0) continue;
      for (int b = 7; b >= 0 && out.size() < count; --b) {
        if (!((bitmap[byte] >> b) & 1)) continue;
        uint64_t p = first + byte * 8 + static_cast<uint64_t>(b);
        if (p < limit) out.push_back(static_cast<uint32_t>(p));
      }
    }
    return out.size() < count;
  });
  return out;
}

// Writes the inline map again for `pages` (ascending): in a window starting at the first page
// when they fit one, else as a reference map.
void UsageMapWriter::Rewrite(const std::vector<uint32_t>& pages) {
  std::span<uint8_t> row = Row();
  uint64_t bits = (row.size() - usage_map::kInlineBitmapOffset) * 8;
  std::fill(row.begin(), row.end(), 0);
  if (pages.empty() || pages.back() - pages.front() < bits) {
    row[0] = usage_map::kInline;
    uint32_t start = pages.empty() ? 0 : pages.front() / 8 * 8;
    if (!pages.empty() && pages.back() - start >= bits) start = pages.front();
    PutU32(row, usage_map::kInlineStartOffset, start);
    for (uint32_t p : pages) {
      size_t bit = usage_map::kInlineBitmapOffset * 8 + (p - start);
      row[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
    }
    return;
  }
  row[0] = usage_map::kReference;
  for (uint32_t p : pages) Add(p);
}

}  // namespace jet
