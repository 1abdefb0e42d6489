#include "jet/data_page_writer.h"

#include <algorithm>

#include "jet/byte_writer.h"
#include "jet/error.h"

namespace jet {
namespace {

size_t UsedBytes(const std::vector<PageRow>& rows) {
  size_t used = data_page::kHeaderSizeJet4 + data_page::kRowOffsetSize * rows.size();
  for (const PageRow& r : rows) used += r.bytes.size();
  return used;
}

constexpr size_t kOffsetTable = data_page::kRowCountOffsetJet4 + data_page::kRowOffsetSize;

size_t OffsetAt(size_t row) {
  return kOffsetTable + data_page::kRowOffsetSize * row;
}

bool DeletedOffset(uint16_t raw) {
  return (raw & data_page::kDeletedFlags) == data_page::kDeletedFlags;
}

// Where the rows of a page laid out as WritePageRows lays them out (each row ending where the
// one before it starts, deleted rows empty, no gaps) begin; nullopt for a page laid out
// otherwise. On such a page a row is added or removed in place with the same result.
std::optional<size_t> PackedDataStart(ByteSpan page) {
  uint16_t count = RowCount(page, JetVersion::kJet4);
  size_t header_end = OffsetAt(count);
  size_t end = page.size();
  for (uint16_t i = 0; i < count; ++i) {
    uint16_t raw = ReadU16(page, OffsetAt(i));
    size_t start = raw & data_page::kOffsetMask;
    if (start > end || start < header_end || (DeletedOffset(raw) && start != end)) {
      return std::nullopt;
    }
    end = start;
  }
  return end;
}

}  // namespace

void InitDataPage(std::span<uint8_t> page, uint32_t owner) {
  std::fill(page.begin(), page.end(), 0);
  page[0] = page_type::kData;
  page[1] = data_page::kPageSignature;
  PutU32(page, data_page::kOwnerOffset, owner);
  PutU16(page, data_page::kFreeSpaceOffset,
         static_cast<uint16_t>(page.size() - data_page::kHeaderSizeJet4));
}

std::vector<PageRow> ReadPageRows(ByteSpan page) {
  uint16_t count = RowCount(page, JetVersion::kJet4);
  std::vector<PageRow> rows(count);
  for (uint16_t i = 0; i < count; ++i) {
    RowSlot slot = LocateRow(page, JetVersion::kJet4, i);
    PageRow& r = rows[i];
    if (slot.deleted) {
      r.flags = data_page::kDeletedFlags;
      continue;
    }
    r.flags = slot.overflow ? data_page::kOverflowFlag
                            : (slot.moved ? data_page::kMovedFlag : uint16_t{0});
    r.bytes.assign(page.begin() + static_cast<std::ptrdiff_t>(slot.start),
                   page.begin() + static_cast<std::ptrdiff_t>(slot.end));
  }
  return rows;
}

bool RowsFit(const std::vector<PageRow>& rows, size_t page_size) {
  return rows.size() <= data_page::kMaxRows && UsedBytes(rows) <= page_size;
}

void WritePageRows(std::span<uint8_t> page, const std::vector<PageRow>& rows) {
  if (!RowsFit(rows, page.size())) throw errors::Internal("Interner Fehler: Seite voll.");
  size_t table = data_page::kRowCountOffsetJet4 + data_page::kRowOffsetSize;
  std::fill(page.begin() + data_page::kRowCountOffsetJet4, page.end(), 0);
  PutU16(page, data_page::kRowCountOffsetJet4, static_cast<uint16_t>(rows.size()));
  size_t end = page.size();
  for (size_t i = 0; i < rows.size(); ++i) {
    const PageRow& r = rows[i];
    size_t start = end - r.bytes.size();
    std::copy(r.bytes.begin(), r.bytes.end(), page.begin() + static_cast<std::ptrdiff_t>(start));
    PutU16(page, table + data_page::kRowOffsetSize * i, static_cast<uint16_t>(start | r.flags));
    end = start;
  }
  PutU16(page, data_page::kFreeSpaceOffset, static_cast<uint16_t>(page.size() - UsedBytes(rows)));
}

size_t PageFreeSpace(ByteSpan page) {
  return ReadU16(page, data_page::kFreeSpaceOffset);
}

bool RowFits(ByteSpan page, size_t size) {
  return RowCount(page, JetVersion::kJet4) < data_page::kMaxRows &&
         PageFreeSpace(page) >= size + data_page::kRowOffsetSize;
}

std::optional<uint8_t> AddPageRow(std::span<uint8_t> page, std::vector<uint8_t> bytes,
                                  uint16_t flags) {
  if (std::optional<size_t> data = PackedDataStart(page)) {
    uint16_t count = RowCount(page, JetVersion::kJet4);
    size_t header_end = OffsetAt(count + 1u);
    if (count >= data_page::kMaxRows || *data < header_end + bytes.size()) return std::nullopt;
    size_t start = *data - bytes.size();
    std::copy(bytes.begin(), bytes.end(), page.begin() + static_cast<std::ptrdiff_t>(start));
    PutU16(page, OffsetAt(count), static_cast<uint16_t>(start | flags));
    PutU16(page, data_page::kRowCountOffsetJet4, static_cast<uint16_t>(count + 1));
    PutU16(page, data_page::kFreeSpaceOffset, static_cast<uint16_t>(start - header_end));
    return static_cast<uint8_t>(count);
  }
  std::vector<PageRow> rows = ReadPageRows(page);
  rows.push_back({flags, std::move(bytes)});
  if (!RowsFit(rows, page.size())) return std::nullopt;
  WritePageRows(page, rows);
  return static_cast<uint8_t>(rows.size() - 1);
}

bool RemovePageRow(std::span<uint8_t> page, uint16_t row) {
  uint16_t count = RowCount(page, JetVersion::kJet4);
  if (row >= count) ThrowCorrupt("row pointer past the row count");
  bool live = false;
  for (uint16_t i = 0; i < count && !live; ++i) {
    live = i != row && !DeletedOffset(ReadU16(page, OffsetAt(i)));
  }
  if (!live) return false;
  std::optional<size_t> data = PackedDataStart(page);
  if (!data) {
    std::vector<PageRow> rows = ReadPageRows(page);
    rows[row].flags = data_page::kDeletedFlags;
    rows[row].bytes.clear();
    WritePageRows(page, rows);
    return true;
  }
  size_t start = ReadU16(page, OffsetAt(row)) & data_page::kOffsetMask;
  size_t end = row == 0 ? page.size() : ReadU16(page, OffsetAt(row - 1u)) & data_page::kOffsetMask;
  size_t length = end - start;
  // The rows after it move up by its length, closing the gap.
  auto base = page.begin();
  std::copy_backward(base + static_cast<std::ptrdiff_t>(*data),
                     base + static_cast<std::ptrdiff_t>(start),
                     base + static_cast<std::ptrdiff_t>(end));
  std::fill(base + static_cast<std::ptrdiff_t>(*data),
            base + static_cast<std::ptrdiff_t>(*data + length), 0);
  for (uint16_t i = row + 1u; i < count; ++i) {
    size_t at = OffsetAt(i);
    PutU16(page, at, static_cast<uint16_t>(ReadU16(page, at) + length));
  }
  PutU16(page, OffsetAt(row), static_cast<uint16_t>(end | data_page::kDeletedFlags));
  PutU16(page, data_page::kFreeSpaceOffset,
         static_cast<uint16_t>(*data + length - OffsetAt(count)));
  return true;
}

}  // namespace jet
