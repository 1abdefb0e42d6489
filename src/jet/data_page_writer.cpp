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
  std::vector<PageRow> rows = ReadPageRows(page);
  rows.push_back({flags, std::move(bytes)});
  if (!RowsFit(rows, page.size())) return std::nullopt;
  WritePageRows(page, rows);
  return static_cast<uint8_t>(rows.size() - 1);
}

}  // namespace jet
