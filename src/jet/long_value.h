#ifndef QUORLA_JET_LONG_VALUE_H_
#define QUORLA_JET_LONG_VALUE_H_

// Memo and OLE values. In the row, a 12-byte reference: the length with two flag bits on top, a
// row pointer and 4 unused bytes. The data follows the reference (inline), fills one row of a
// long-value page, or runs through a chain of such rows, each starting with the next one's pointer.

#include <cstdint>
#include <vector>

#include "jet/data_page.h"

namespace jet {

namespace long_value {
inline constexpr size_t kReferenceSize = 12;
inline constexpr size_t kLengthOffset = 0;
inline constexpr uint32_t kLengthMask = 0x3fffffff;
inline constexpr size_t kFlagsOffset = 3;
inline constexpr uint8_t kInline = 0x80;
inline constexpr uint8_t kSinglePage = 0x40;
inline constexpr size_t kPointerOffset = 4;
inline constexpr size_t kChainNextSize = 4;
}  // namespace long_value

// The bytes of the long value whose reference is `reference`. A length beyond the file's size,
// a broken or cyclic chain gives a format error.
std::vector<uint8_t> ReadLongValue(PageReader& pages, JetVersion version, ByteSpan reference);

}  // namespace jet

#endif  // QUORLA_JET_LONG_VALUE_H_
