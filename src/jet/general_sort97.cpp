#include "jet/general_sort97.h"

#include <algorithm>
#include <vector>

#include "jet/general_sort97_codes.h"

namespace jet {

namespace {

using namespace general_sort97;

constexpr uint8_t kEndOfKey = 0x00;           // ends a key without accents
constexpr uint8_t kAccentSectionBound = 0x0;  // nibble before and after the accent nibbles
constexpr uint8_t kNoAccent = 0x2;            // accent nibble of a significant letter
constexpr size_t kSingleByteChars = 256;

const SortCode97& LookUp(char16_t c) {
  if (c < kSingleByteChars) return kSortCodes97[c];
  const CharMapping97* end = kCharMappings97 + kCharMappingCount97;
  const CharMapping97* it = std::lower_bound(
      kCharMappings97, end, c, [](const CharMapping97& m, char16_t v) { return m.from < v; });
  // Unmapped code units sort as the ignored character 0.
  return kSortCodes97[it != end && it->from == c ? it->to : 0];
}

}  // namespace

std::string General97SortKey(std::u16string_view text) {
  std::string key;
  std::vector<uint8_t> nibbles;
  size_t pending = 0;  // significant letters since the last accent
  for (char16_t c : text) {
    const SortCode97& code = LookUp(c);
    for (int i = code.inline_size - 1; i >= 0; --i) {
      key.push_back(static_cast<char>((code.inline_code >> (8 * i)) & 0xFF));
    }
    if (code.kind == kSignificant97) {
      ++pending;
    } else if (code.kind == kAccented97) {
      if (nibbles.empty()) nibbles.push_back(kAccentSectionBound);
      nibbles.insert(nibbles.end(), pending, kNoAccent);
      pending = 0;
      nibbles.push_back(code.accent & 0x0F);
    }
  }
  if (nibbles.empty()) {
    key.push_back(static_cast<char>(kEndOfKey));
    return key;
  }
  nibbles.push_back(kAccentSectionBound);
  for (size_t i = 0; i < nibbles.size(); i += 2) {
    const uint8_t low = i + 1 < nibbles.size() ? nibbles[i + 1] : 0;
    key.push_back(static_cast<char>(nibbles[i] << 4 | low));
  }
  return key;
}

}  // namespace jet
