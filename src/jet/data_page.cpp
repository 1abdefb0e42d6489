#include "jet/data_page.h"

namespace jet {
namespace {

size_t RowCountOffset(JetVersion version) {
  return version == JetVersion::kJet3 ? data_page::kRowCountOffsetJet3
                                      : data_page::kRowCountOffsetJet4;
}

}  // namespace

uint16_t RowCount(ByteSpan page, JetVersion version) {
  size_t at = RowCountOffset(version);
  uint16_t count = ReadU16(page, at);
  if (at + data_page::kRowOffsetSize * (count + 1) > page.size()) ThrowCorrupt("row count");
  return count;
}

RowSlot LocateRow(ByteSpan page, JetVersion version, uint16_t row) {
  size_t table = RowCountOffset(version) + data_page::kRowOffsetSize;
  uint16_t raw = ReadU16(page, table + data_page::kRowOffsetSize * row);
  RowSlot slot;
  bool moved = (raw & data_page::kMovedFlag) != 0;
  bool overflow = (raw & data_page::kOverflowFlag) != 0;
  slot.deleted = moved && overflow;
  slot.overflow = overflow && !moved;
  slot.moved = moved && !overflow;
  slot.start = raw & data_page::kOffsetMask;
  slot.end = row == 0 ? page.size()
                      : ReadU16(page, table + data_page::kRowOffsetSize * (row - 1)) &
                            data_page::kOffsetMask;
  if (slot.deleted) return slot;
  size_t header_end = table + data_page::kRowOffsetSize * RowCount(page, version);
  if (slot.start < header_end || slot.start >= slot.end || slot.end > page.size()) {
    ThrowCorrupt("row outside its page");
  }
  return slot;
}

ByteSpan RowAt(PageReader& pages, JetVersion version, RowPointer pointer) {
  ByteSpan page = pages.Page(pointer.page);
  if (page[0] != page_type::kData) ThrowCorrupt("row pointer to a page that is not a data page");
  if (pointer.row >= RowCount(page, version)) ThrowCorrupt("row pointer past the row count");
  RowSlot slot = LocateRow(page, version, pointer.row);
  if (slot.deleted) ThrowCorrupt("row pointer to a deleted row");
  return page.subspan(slot.start, slot.end - slot.start);
}

}  // namespace jet
