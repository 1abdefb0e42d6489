#ifndef QUORLA_JET_DATA_PAGE_WRITER_H_
#define QUORLA_JET_DATA_PAGE_WRITER_H_

// Changing the rows of a Jet 4 data page (table rows and long-value rows alike). A page is read
// into its list of rows, changed, and laid out again: rows packed down from the end of the page in
// row-number order, the offset table after the header, and the free-space field recording what is
// left. Deleted rows keep their row number but no bytes, so their space is returned at once.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "jet/data_page.h"

namespace jet {

namespace data_page {
inline constexpr size_t kFreeSpaceOffset = 2;
inline constexpr size_t kHeaderSizeJet4 = 14;
inline constexpr uint8_t kPageSignature = 0x01;  // second header byte of a data page
// The owner field of long-value pages holds "LVAL" instead of a table definition page.
inline constexpr uint32_t kLongValueOwner = 0x4c41564c;
inline constexpr size_t kMaxRows = 255;      // a row pointer keeps the row number in one byte
inline constexpr size_t kMaxRowSize = 4060;  // of a table row (Jet 4)
inline constexpr uint16_t kDeletedFlags = kMovedFlag | kOverflowFlag;
}  // namespace data_page

struct PageRow {
  uint16_t flags = 0;  // kMovedFlag / kOverflowFlag as in the offset table
  std::vector<uint8_t> bytes;
  bool deleted() const { return flags == data_page::kDeletedFlags; }
};

// Makes `page` an empty data page of `owner` (a table definition page or kLongValueOwner).
void InitDataPage(std::span<uint8_t> page, uint32_t owner);

// The page's rows; deleted rows come back without bytes.
std::vector<PageRow> ReadPageRows(ByteSpan page);

// Whether `rows` fit a page of `page_size` bytes.
bool RowsFit(const std::vector<PageRow>& rows, size_t page_size);

// Lays `rows` out on `page` (header bytes before the row count are kept). They must fit.
void WritePageRows(std::span<uint8_t> page, const std::vector<PageRow>& rows);

// Free bytes as the page's header records them.
size_t PageFreeSpace(ByteSpan page);

// Adds a row at the end of the page's row list; its number, or nullopt when it does not fit.
std::optional<uint8_t> AddPageRow(std::span<uint8_t> page, std::vector<uint8_t> bytes,
                                  uint16_t flags);

// Marks row `row` deleted and gives its bytes back to the page; false, leaving the page as it
// is, when no other row of the page is left (the caller frees the page instead).
bool RemovePageRow(std::span<uint8_t> page, uint16_t row);

// Whether a page with this much free space can take a new row of `size` bytes.
bool RowFits(ByteSpan page, size_t size);

}  // namespace jet

#endif  // QUORLA_JET_DATA_PAGE_WRITER_H_
