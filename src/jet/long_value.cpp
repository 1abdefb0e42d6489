#include "jet/long_value.h"

#include <algorithm>
#include <set>

namespace jet {
namespace {
// Chained values grow as their links are read; a damaged length cannot reserve the file's size.
constexpr size_t kInitialReserve = 64 * 1024;
}  // namespace

std::vector<uint8_t> ReadLongValue(PageReader& pages, JetVersion version, ByteSpan reference) {
  using namespace long_value;
  uint32_t word = ReadU32(reference, kLengthOffset);
  uint8_t flags = ReadU8(reference, kFlagsOffset);
  size_t length = word & kLengthMask;
  if (length > static_cast<uint64_t>(pages.page_count()) * pages.page_size()) {
    ThrowCorrupt("long value longer than the file");
  }
  if (flags & kInline) {
    ByteSpan data = Slice(reference, kReferenceSize, length);
    return {data.begin(), data.end()};
  }
  RowPointer next = DecodeRowPointer(ReadU32(reference, kPointerOffset));
  if (flags & kSinglePage) {
    ByteSpan row = RowAt(pages, version, next);
    ByteSpan data = Slice(row, 0, length);
    return {data.begin(), data.end()};
  }
  std::vector<uint8_t> out;
  out.reserve(std::min(length, kInitialReserve));
  std::set<std::pair<uint32_t, uint8_t>> visited;
  // Every link adds at least one byte, so the walk ends after at most `length` links.
  while (out.size() < length) {
    if (!visited.insert({next.page, next.row}).second) ThrowCorrupt("cycle in a long value chain");
    ByteSpan row = RowAt(pages, version, next);
    if (row.size() <= kChainNextSize) ThrowCorrupt("empty link in a long value chain");
    uint32_t following = ReadU32(row, 0);
    ByteSpan data = row.subspan(kChainNextSize);
    size_t take = std::min(data.size(), length - out.size());
    out.insert(out.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(take));
    if (out.size() < length) {
      if (following == 0) ThrowCorrupt("long value chain ends early");
      next = DecodeRowPointer(following);
    }
  }
  return out;
}

}  // namespace jet
