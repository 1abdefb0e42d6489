#ifndef QUORLA_JET_HEADER_H_
#define QUORLA_JET_HEADER_H_

// The database definition page (page 0): format version, page size, database key, code page and
// whether a database password is set. Part of the page is masked with a fixed RC4 key.

#include <cstddef>
#include <cstdint>
#include <span>

#include "jet/database.h"

namespace jet {

namespace header {
inline constexpr size_t kMagicOffset = 0x00;
inline constexpr uint32_t kMagic = 0x00000100;
inline constexpr size_t kFormatIdOffset = 0x04;  // "Standard Jet DB" / "Standard ACE DB"
inline constexpr size_t kFormatIdLength = 15;
inline constexpr size_t kVersionOffset = 0x14;
inline constexpr uint8_t kVersionJet3 = 0x00;
inline constexpr uint8_t kVersionJet4 = 0x01;
inline constexpr size_t kMaskedOffset = 0x18;
inline constexpr size_t kMaskedLengthJet3 = 126;
inline constexpr size_t kMaskedLengthJet4 = 128;
inline constexpr uint32_t kMaskKey = 0x6b39dac7;
inline constexpr size_t kCodePageOffset = 0x3c;
inline constexpr size_t kDatabaseKeyOffset = 0x3e;
inline constexpr size_t kPasswordOffset = 0x42;
inline constexpr size_t kPasswordLengthJet3 = 20;
inline constexpr size_t kPasswordLengthJet4 = 40;
inline constexpr size_t kCreationDateOffset = 0x72;  // Jet 4: masks the password
// Bytes of page 0 that ParseHeader needs.
inline constexpr size_t kMinimumLength = kMaskedOffset + kMaskedLengthJet4;
inline constexpr size_t kPageSizeJet3 = 2048;
inline constexpr size_t kPageSizeJet4 = 4096;
}  // namespace header

struct Header {
  JetVersion version = JetVersion::kJet4;
  size_t page_size = header::kPageSizeJet4;
  uint32_t database_key = 0;  // 0: pages are not encrypted
  uint16_t code_page = 0;
  bool has_password = false;
};

enum class HeaderVerdict { kJet, kNotJet, kAce };

// Decodes the start of page 0 (at least header::kMinimumLength bytes; fewer gives kNotJet).
// `verdict` says whether the bytes are a Jet 3/4 header at all; `out` is valid only for kJet.
HeaderVerdict ParseHeader(std::span<const uint8_t> page0, Header& out);

}  // namespace jet

#endif  // QUORLA_JET_HEADER_H_
