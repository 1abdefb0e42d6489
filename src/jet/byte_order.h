#ifndef QUORLA_JET_BYTE_ORDER_H_
#define QUORLA_JET_BYTE_ORDER_H_

// Little-endian reads from a byte span. Every read is bounds-checked: reading past the end of the
// span throws the engine's format error (3343), so damaged offsets never reach memory outside it.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "jet/format_error.h"

namespace jet {

using ByteSpan = std::span<const uint8_t>;

// The `length` bytes at `offset`, or a format error when they do not lie inside `bytes`.
inline ByteSpan Slice(ByteSpan bytes, size_t offset, size_t length) {
  if (offset > bytes.size() || length > bytes.size() - offset) ThrowCorrupt("read past end");
  return bytes.subspan(offset, length);
}

inline uint8_t ReadU8(ByteSpan b, size_t offset) {
  return Slice(b, offset, 1)[0];
}

inline uint16_t ReadU16(ByteSpan b, size_t offset) {
  ByteSpan s = Slice(b, offset, 2);
  return static_cast<uint16_t>(s[0] | (s[1] << 8));
}

inline uint32_t ReadU24(ByteSpan b, size_t offset) {
  ByteSpan s = Slice(b, offset, 3);
  return static_cast<uint32_t>(s[0]) | (static_cast<uint32_t>(s[1]) << 8) |
         (static_cast<uint32_t>(s[2]) << 16);
}

inline uint32_t ReadU32(ByteSpan b, size_t offset) {
  ByteSpan s = Slice(b, offset, 4);
  return static_cast<uint32_t>(s[0]) | (static_cast<uint32_t>(s[1]) << 8) |
         (static_cast<uint32_t>(s[2]) << 16) | (static_cast<uint32_t>(s[3]) << 24);
}

inline uint64_t ReadU64(ByteSpan b, size_t offset) {
  return static_cast<uint64_t>(ReadU32(b, offset)) |
         (static_cast<uint64_t>(ReadU32(b, offset + 4)) << 32);
}

inline double ReadDouble(ByteSpan b, size_t offset) {
  uint64_t bits = ReadU64(b, offset);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

inline float ReadFloat(ByteSpan b, size_t offset) {
  uint32_t bits = ReadU32(b, offset);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

}  // namespace jet

#endif  // QUORLA_JET_BYTE_ORDER_H_
