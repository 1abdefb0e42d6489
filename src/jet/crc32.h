#ifndef QUORLA_JET_CRC32_H_
#define QUORLA_JET_CRC32_H_

#include <cstdint>
#include <span>

namespace jet {

// CRC-32 (IEEE 802.3, as zlib), continued from `crc` (0 to start).
uint32_t Crc32(std::span<const uint8_t> bytes, uint32_t crc = 0);

}  // namespace jet

#endif  // QUORLA_JET_CRC32_H_
