#include "jet/general_sort.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "jet/general_sort_codes.h"
#include "jet/utf8.h"

namespace jet {

namespace {

using general_sort::kSortCodeRunCount;
using general_sort::kSortCodeRuns;
using general_sort::SortCodeRun;
using general_sort::SortKind;

// Section markers inside a key.
constexpr uint8_t kEndOfText = 0x01;  // after the inline codes, and between later sections
constexpr uint8_t kEndOfKey = 0x00;   // last byte of every key
constexpr uint8_t kNoAccent = 0x02;   // accent code of a character without an accent
// Unprintable characters: big-endian (kUnprintableBase + kUnprintableStep * position) with the
// top bit set, a separator, then the character's code.
constexpr int kUnprintableBase = 7;
constexpr int kUnprintableStep = 4;
constexpr int kUnprintablePositionFlag = 0x8000;
constexpr uint8_t kUnprintableSeparator = 0x06;
// Flag section: two-bit flags, three to a byte, each byte starting with kFlagByteStart.
constexpr uint8_t kFlagByteStart = 0x80;
constexpr uint8_t kFlagTrailingDefault = 0x03;  // flags of this value at the end are dropped
constexpr std::array<uint8_t, 5> kFlagSectionEnd{0xFF, 0x02, 0x80, 0xFF, 0x80};
constexpr uint8_t kFlagsBeforeUnprintables = 0xFF;

// Surrogates are not in the table; their inline codes are computed from the code unit.
constexpr char16_t kHighSurrogateFirst = 0xD800;
constexpr char16_t kLowSurrogateFirst = 0xDC00;
constexpr char16_t kLowSurrogateLast = 0xDFFF;
constexpr int kHighSurrogateOffset = 10238;
constexpr uint8_t kSurrogateAccent = 0x3F;
constexpr int kLowSurrogateBlock = 1024;
constexpr int kLowSurrogateBand = 254;

// The code a character contributes, resolved from its run.
struct CharCode {
  SortKind kind = SortKind::kIgnored;
  uint8_t inline_size = 0;
  uint32_t inline_code = 0;
  uint8_t extra_size = 0;
  uint16_t extra_code = 0;
  uint8_t flag = 0;
};

const SortCodeRun& FindRun(char16_t c) {
  // Latin-1 is looked up directly, the rest by binary search over the runs.
  static const std::array<uint16_t, 256> latin1 = [] {
    std::array<uint16_t, 256> index{};
    size_t run = 0;
    for (size_t c = 0; c < index.size(); ++c) {
      while (kSortCodeRuns[run].first + kSortCodeRuns[run].length <= c) ++run;
      index[c] = static_cast<uint16_t>(run);
    }
    return index;
  }();
  if (c < latin1.size()) return kSortCodeRuns[latin1[c]];
  const SortCodeRun* end = kSortCodeRuns + kSortCodeRunCount;
  const SortCodeRun* it = std::upper_bound(
      kSortCodeRuns, end, c, [](char16_t v, const SortCodeRun& r) { return v < r.first; });
  return *(it - 1);
}

CharCode LookUp(char16_t c) {
  CharCode code;
  if (c >= kHighSurrogateFirst && c <= kLowSurrogateLast) {
    int value;
    if (c < kLowSurrogateFirst) {
      value = c - kHighSurrogateOffset;
    } else {
      // Low surrogates: the offset shrinks by two for each band of a 1024-unit block.
      const int in_block = (c - kLowSurrogateFirst) % kLowSurrogateBlock;
      int offset = 9992;
      if (in_block >= 8) offset -= 2;
      if (in_block >= 8 + kLowSurrogateBand) offset -= 2;
      if (in_block >= 8 + 2 * kLowSurrogateBand) offset -= 2;
      if (in_block >= 8 + 3 * kLowSurrogateBand) offset -= 2;
      value = c - offset;
    }
    code.kind = SortKind::kAccented;
    code.inline_size = 2;
    code.inline_code = static_cast<uint32_t>(value);
    code.extra_size = 1;
    code.extra_code = kSurrogateAccent;
    return code;
  }
  const SortCodeRun& run = FindRun(c);
  code.kind = run.kind;
  code.inline_size = run.inline_size;
  code.inline_code = run.inline_code + static_cast<uint32_t>(run.step) * (c - run.first);
  code.extra_size = run.extra_size;
  code.extra_code = run.extra_code;
  code.flag = run.flag;
  return code;
}

void AppendBigEndian(std::string& out, uint32_t value, int size) {
  for (int i = size - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string GeneralSortKey(std::u16string_view text) {
  std::string key;
  key.reserve(text.size() + 2);
  std::string accents;  // extra section: one accent code per inline character
  bool accents_started = false;
  size_t accent_chars = 0;  // inline characters the accent section accounts for
  size_t accent_lead = 0;   // modifier bytes written before any accent
  std::string unprintables;
  std::vector<uint8_t> flags;
  size_t position = 0;  // inline characters so far

  for (char16_t c : text) {
    const CharCode code = LookUp(c);
    const size_t here = position;
    if (code.inline_size > 0) {
      AppendBigEndian(key, code.inline_code, code.inline_size);
      ++position;
    }
    switch (code.kind) {
      case SortKind::kIgnored:
      case SortKind::kPlain:
        break;
      case SortKind::kAccented:
      case SortKind::kAccentedFlagged:
      case SortKind::kModifier: {
        const bool has_accent = code.kind != SortKind::kModifier && code.extra_size > 0;
        if (has_accent || code.kind == SortKind::kModifier) {
          if (accent_chars < here) {
            accents.append(here - accent_chars, static_cast<char>(kNoAccent));
            accent_chars = here;
          }
          if (has_accent) {
            AppendBigEndian(accents, code.extra_code, code.extra_size);
            ++accent_chars;
          } else if (!accents.empty()) {
            accents.back() = static_cast<char>(static_cast<uint8_t>(accents.back()) +
                                               static_cast<uint8_t>(code.extra_code));
          } else {
            accents.push_back(static_cast<char>(code.extra_code));
            accent_lead = 1;
          }
          accents_started = true;
        }
        if (code.kind == SortKind::kAccentedFlagged) flags.push_back(code.flag);
        break;
      }
      case SortKind::kUnprintable: {
        size_t slot = here;
        if (accents_started) slot = accents.size() + (here - accent_chars) - accent_lead;
        const int marker = (kUnprintableBase + kUnprintableStep * static_cast<int>(slot)) |
                           kUnprintablePositionFlag;
        AppendBigEndian(unprintables, static_cast<uint32_t>(marker) & 0xFFFF, 2);
        unprintables.push_back(static_cast<char>(kUnprintableSeparator));
        AppendBigEndian(unprintables, code.extra_code, code.extra_size);
        break;
      }
    }
  }

  key.push_back(static_cast<char>(kEndOfText));
  while (!accents.empty() && static_cast<uint8_t>(accents.back()) <= kNoAccent) accents.pop_back();
  const bool has_flags = !flags.empty();
  const bool has_unprintables = !unprintables.empty();
  key += accents;
  if (has_flags || has_unprintables) {
    key.push_back(static_cast<char>(kEndOfText));
    key.push_back(static_cast<char>(kEndOfText));
    if (has_flags) {
      while (!flags.empty() && flags.back() == kFlagTrailingDefault) flags.pop_back();
      uint8_t byte = kFlagByteStart;
      int used = 0;
      for (uint8_t flag : flags) {
        byte = static_cast<uint8_t>(byte | flag << ((2 - used) * 2));
        if (++used == 3) {
          key.push_back(static_cast<char>(byte));
          byte = kFlagByteStart;
          used = 0;
        }
      }
      if (used > 0) key.push_back(static_cast<char>(byte));
      key.append(kFlagSectionEnd.begin(), kFlagSectionEnd.end());
      if (has_unprintables) key.push_back(static_cast<char>(kFlagsBeforeUnprintables));
    }
    if (has_unprintables) {
      key.push_back(static_cast<char>(kEndOfText));
      key += unprintables;
    }
  }
  key.push_back(static_cast<char>(kEndOfKey));
  return key;
}

bool SortsAfterEnd(char16_t c) {
  const CharCode code = LookUp(c);
  if (code.inline_size == 0) return false;
  const uint32_t first_byte = code.inline_code >> (8 * (code.inline_size - 1));
  return first_byte > kEndOfText;
}

int CompareGeneral(std::u16string_view a, std::u16string_view b) {
  // Keys start with the inline codes of all characters. While both texts hold characters with
  // one-byte inline codes and nothing else, the first differing code decides.
  size_t i = 0;
  for (; i < a.size() && i < b.size(); ++i) {
    const CharCode ca = LookUp(a[i]);
    const CharCode cb = LookUp(b[i]);
    if (ca.kind != SortKind::kPlain || cb.kind != SortKind::kPlain || ca.inline_size != 1 ||
        cb.inline_size != 1) {
      break;
    }
    if (ca.inline_code != cb.inline_code) return ca.inline_code < cb.inline_code ? -1 : 1;
  }
  if (i == a.size() && i == b.size()) return 0;
  // One text ended with the same codes so far: the other sorts after it if its next character
  // has a code there, in place of the shorter text's end-of-text marker.
  if (i == b.size() && SortsAfterEnd(a[i])) return 1;
  if (i == a.size() && SortsAfterEnd(b[i])) return -1;
  const int c = GeneralSortKey(a).compare(GeneralSortKey(b));
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t length = 0;
  for (size_t i = 0; i < text.size(); i += length) {
    char32_t c = DecodeUtf8(text, i, &length);
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::string GeneralSortKeyUtf8(std::string_view text) {
  return GeneralSortKey(Utf8ToUtf16(text));
}

int CompareGeneralUtf8(std::string_view a, std::string_view b) {
  return CompareGeneral(Utf8ToUtf16(a), Utf8ToUtf16(b));
}

}  // namespace jet
