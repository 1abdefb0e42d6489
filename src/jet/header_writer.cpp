#include "jet/header_writer.h"

#include <array>
#include <cmath>
#include <cstring>

#include "jet/byte_writer.h"
#include "jet/header.h"
#include "jet/rc4.h"

namespace jet {
namespace {

constexpr char kJetFormatId[] = "Standard Jet DB";

// The start of the masked part and the words after it, as every Access 2000 file carries them;
// readers look at neither.
constexpr std::array<uint8_t, 24> kMaskedPreamble = {
    0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
    0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
constexpr size_t kEngineBuildOffset = 0x98;
constexpr uint32_t kEngineBuild = 0x0654;
constexpr size_t kEngineVersionOffset = 0x9c;
constexpr char kEngineVersion[] = "4.0";

void PutDouble(std::span<uint8_t> b, size_t offset, double v) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  PutU64(b, offset, bits);
}

}  // namespace

std::vector<uint8_t> EncodeJet4Header(DateTime created, size_t page_size) {
  std::vector<uint8_t> page(page_size, 0);
  PutU32(page, header::kMagicOffset, header::kMagic);
  std::memcpy(page.data() + header::kFormatIdOffset, kJetFormatId, header::kFormatIdLength);
  page[header::kVersionOffset] = header::kVersionJet4;

  std::copy(kMaskedPreamble.begin(), kMaskedPreamble.end(),
            page.begin() + static_cast<std::ptrdiff_t>(header::kMaskedOffset));
  PutU16(page, header::kCodePageOffset, header::kCodePageWestern);
  PutU32(page, header::kDatabaseKeyOffset, 0);
  // An empty password is stored as the mask alone: the whole days of the creation date.
  uint32_t mask = static_cast<uint32_t>(static_cast<int32_t>(std::floor(created.days)));
  for (size_t i = 0; i < header::kPasswordLengthJet4; i += 4) {
    PutU32(page, header::kPasswordOffset + i, mask);
  }
  PutU16(page, header::kSortOrderOffset, header::kSortOrderGeneral);
  PutDouble(page, header::kCreationDateOffset, created.days);

  const uint32_t k = header::kMaskKey;
  const std::array<uint8_t, 4> key = {static_cast<uint8_t>(k), static_cast<uint8_t>(k >> 8),
                                      static_cast<uint8_t>(k >> 16), static_cast<uint8_t>(k >> 24)};
  Rc4Apply(key, std::span<uint8_t>(page).subspan(header::kMaskedOffset, header::kMaskedLengthJet4));

  PutU32(page, kEngineBuildOffset, kEngineBuild);
  std::memcpy(page.data() + kEngineVersionOffset, kEngineVersion, sizeof kEngineVersion);
  return page;
}

}  // namespace jet
