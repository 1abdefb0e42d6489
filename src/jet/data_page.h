#ifndef QUORLA_JET_DATA_PAGE_H_
#define QUORLA_JET_DATA_PAGE_H_

// Data pages: a header, a table of row offsets growing down from the header, and the rows growing
// up from the end of the page. Long-value pages share the layout. A row pointer (used by overflow
// rows, long values and usage maps) packs the row number in its low byte and the page above it.

#include <cstddef>
#include <cstdint>

#include "jet/byte_order.h"
#include "jet/database.h"
#include "jet/page_reader.h"

namespace jet {

namespace page_type {
inline constexpr uint8_t kData = 0x01;
inline constexpr uint8_t kTableDef = 0x02;
inline constexpr uint8_t kIndexNode = 0x03;
inline constexpr uint8_t kIndexLeaf = 0x04;
inline constexpr uint8_t kUsageMap = 0x05;
}  // namespace page_type

namespace data_page {
inline constexpr size_t kOwnerOffset = 4;  // table definition page that owns the data page
inline constexpr size_t kRowCountOffsetJet3 = 8;
inline constexpr size_t kRowCountOffsetJet4 = 12;
inline constexpr size_t kRowOffsetSize = 2;
// Flags on a row's offset. Both set: deleted. Only kOverflowFlag: the row holds a pointer to the
// row's data elsewhere. Only kMovedFlag: the data an overflow pointer leads to.
inline constexpr uint16_t kMovedFlag = 0x8000;
inline constexpr uint16_t kOverflowFlag = 0x4000;
inline constexpr uint16_t kOffsetMask = 0x1fff;
inline constexpr size_t kRowPointerSize = 4;
}  // namespace data_page

// Where one row lies on its page: bytes [start, end).
struct RowSlot {
  size_t start = 0;
  size_t end = 0;
  bool deleted = false;
  bool overflow = false;  // holds a row pointer to the row's data
  bool moved = false;     // data of a row whose pointer lies elsewhere
};

// Number of rows recorded on a data page; a format error when the offset table would not fit.
uint16_t RowCount(ByteSpan page, JetVersion version);

// The slot of row `row` (< RowCount). A live row whose bounds leave the page is a format error;
// deleted rows are returned without checking their bounds.
RowSlot LocateRow(ByteSpan page, JetVersion version, uint16_t row);

struct RowPointer {
  uint32_t page = 0;
  uint8_t row = 0;
};
inline RowPointer DecodeRowPointer(uint32_t packed) {
  return {packed >> 8, static_cast<uint8_t>(packed & 0xff)};
}

// The bytes of the row `pointer` names, whatever its flags, checking that the page is a data page.
// The span lives in `pages`' buffer: valid until the next page read.
ByteSpan RowAt(PageReader& pages, JetVersion version, RowPointer pointer);

}  // namespace jet

#endif  // QUORLA_JET_DATA_PAGE_H_
