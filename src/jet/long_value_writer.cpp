#include "jet/long_value_writer.h"

#include <algorithm>

#include "jet/byte_writer.h"
#include "jet/data_page_writer.h"
#include "jet/row_placement.h"

namespace jet {
namespace {

std::vector<uint8_t> Reference(size_t length, uint8_t flags, uint32_t pointer) {
  std::vector<uint8_t> ref(long_value::kReferenceSize, 0);
  PutU32(ref, long_value::kLengthOffset, static_cast<uint32_t>(length));
  ref[long_value::kFlagsOffset] |= flags;
  PutU32(ref, long_value::kPointerOffset, pointer);
  return ref;
}

}  // namespace

std::vector<uint8_t> WriteLongValue(Pager& pager, TablePageAllocator& allocator, ByteSpan data,
                                    bool allow_inline) {
  using namespace long_value;
  if (allow_inline && data.size() <= kMaxInline) {
    std::vector<uint8_t> ref = Reference(data.size(), kInline, 0);
    ref.insert(ref.end(), data.begin(), data.end());
    return ref;
  }
  if (data.size() <= kMaxRowData) {
    RowPointer at = PlaceRow(pager, allocator, data_page::kLongValueOwner,
                             std::vector<uint8_t>(data.begin(), data.end()), 0);
    return Reference(data.size(), kSinglePage, EncodeRowPointer(at.page, at.row));
  }
  // A chain, written from its end so that each link knows the next one.
  const size_t chunk = kMaxRowData - kChainNextSize;
  size_t links = (data.size() + chunk - 1) / chunk;
  uint32_t next = 0;
  for (size_t i = links; i-- > 0;) {
    size_t from = i * chunk;
    size_t take = std::min(chunk, data.size() - from);
    std::vector<uint8_t> row;
    row.reserve(kChainNextSize + take);
    AppendU32(row, next);
    row.insert(row.end(), data.begin() + static_cast<std::ptrdiff_t>(from),
               data.begin() + static_cast<std::ptrdiff_t>(from + take));
    RowPointer at = PlaceRow(pager, allocator, data_page::kLongValueOwner, std::move(row), 0);
    next = EncodeRowPointer(at.page, at.row);
  }
  return Reference(data.size(), 0, next);
}

bool DeleteRowAt(Pager& pager, TablePageAllocator& allocator, RowPointer at) {
  if (!RemovePageRow(pager.Modify(at.page), at.row)) {
    allocator.Free(at.page);
    return true;
  }
  allocator.free_space().Add(at.page);
  return false;
}

void FreeLongValue(Pager& pager, TablePageAllocator& allocator, ByteSpan reference) {
  using namespace long_value;
  uint8_t flags = ReadU8(reference, kFlagsOffset);
  if (flags & kInline) return;
  size_t length = ReadU32(reference, kLengthOffset) & kLengthMask;
  RowPointer at = DecodeRowPointer(ReadU32(reference, kPointerOffset));
  if (flags & kSinglePage) {
    DeleteRowAt(pager, allocator, at);
    return;
  }
  size_t seen = 0;
  size_t links = 0;
  while (seen < length) {
    if (++links > pager.page_count() + 1u) ThrowCorrupt("cycle in a long value chain");
    ByteSpan row = RowAt(pager, JetVersion::kJet4, at);
    if (row.size() <= kChainNextSize) ThrowCorrupt("empty link in a long value chain");
    uint32_t following = ReadU32(row, 0);
    seen += row.size() - kChainNextSize;
    DeleteRowAt(pager, allocator, at);
    if (seen < length) {
      if (following == 0) ThrowCorrupt("long value chain ends early");
      at = DecodeRowPointer(following);
    }
  }
}

}  // namespace jet
