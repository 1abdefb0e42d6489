#ifndef QUORLA_JET_BYTE_WRITER_H_
#define QUORLA_JET_BYTE_WRITER_H_

// Little-endian stores into page buffers and growing byte strings: the writing side of
// byte_order.h.

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace jet {

inline void PutU16(std::span<uint8_t> b, size_t offset, uint16_t v) {
  b[offset] = static_cast<uint8_t>(v);
  b[offset + 1] = static_cast<uint8_t>(v >> 8);
}

inline void PutU32(std::span<uint8_t> b, size_t offset, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void PutU64(std::span<uint8_t> b, size_t offset, uint64_t v) {
  for (size_t i = 0; i < 8; ++i) b[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void AppendU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void AppendU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline uint32_t EncodeRowPointer(uint32_t page, uint8_t row) {
  return (page << 8) | row;
}

}  // namespace jet

#endif  // QUORLA_JET_BYTE_WRITER_H_
