#include "jet/header.h"

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "jet/byte_order.h"
#include "jet/rc4.h"

namespace jet {
namespace {

constexpr char kJetFormatId[] = "Standard Jet DB";
constexpr char kAceFormatId[] = "Standard ACE DB";

bool HasFormatId(std::span<const uint8_t> page0, const char* id) {
  return std::memcmp(page0.data() + header::kFormatIdOffset, id, header::kFormatIdLength) == 0;
}

// The Jet 4 password bytes are XORed with the integer part of the creation date, repeated.
std::array<uint8_t, 4> PasswordMask(std::span<const uint8_t> unmasked) {
  double date = ReadDouble(unmasked, header::kCreationDateOffset);
  int32_t whole = 0;
  if (std::isfinite(date) && date > INT32_MIN && date < INT32_MAX) {
    whole = static_cast<int32_t>(std::floor(date));
  }
  uint32_t bits = static_cast<uint32_t>(whole);
  return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
          static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
}

bool PasswordSet(std::span<const uint8_t> unmasked, JetVersion version) {
  bool jet4 = version == JetVersion::kJet4;
  size_t length = jet4 ? header::kPasswordLengthJet4 : header::kPasswordLengthJet3;
  std::array<uint8_t, 4> mask{};
  if (jet4) mask = PasswordMask(unmasked);
  for (size_t i = 0; i < length; ++i) {
    if ((unmasked[header::kPasswordOffset + i] ^ mask[i % mask.size()]) != 0) return true;
  }
  return false;
}

}  // namespace

HeaderVerdict ParseHeader(std::span<const uint8_t> page0, Header& out) {
  if (page0.size() < header::kMinimumLength) return HeaderVerdict::kNotJet;
  if (ReadU32(page0, header::kMagicOffset) != header::kMagic) return HeaderVerdict::kNotJet;
  uint8_t version = page0[header::kVersionOffset];
  if (HasFormatId(page0, kAceFormatId)) return HeaderVerdict::kAce;
  if (!HasFormatId(page0, kJetFormatId)) return HeaderVerdict::kNotJet;
  if (version > header::kVersionJet4) return HeaderVerdict::kAce;

  Header h;
  h.version = version == header::kVersionJet3 ? JetVersion::kJet3 : JetVersion::kJet4;
  h.page_size = h.version == JetVersion::kJet3 ? header::kPageSizeJet3 : header::kPageSizeJet4;

  std::vector<uint8_t> unmasked(page0.begin(), page0.begin() + header::kMinimumLength);
  size_t masked_length =
      h.version == JetVersion::kJet3 ? header::kMaskedLengthJet3 : header::kMaskedLengthJet4;
  const uint32_t k = header::kMaskKey;
  const std::array<uint8_t, 4> key = {static_cast<uint8_t>(k), static_cast<uint8_t>(k >> 8),
                                      static_cast<uint8_t>(k >> 16), static_cast<uint8_t>(k >> 24)};
  Rc4Apply(key, std::span<uint8_t>(unmasked).subspan(header::kMaskedOffset, masked_length));

  h.code_page = ReadU16(unmasked, header::kCodePageOffset);
  h.database_key = ReadU32(unmasked, header::kDatabaseKeyOffset);
  h.has_password = PasswordSet(unmasked, h.version);
  out = h;
  return HeaderVerdict::kJet;
}

}  // namespace jet
