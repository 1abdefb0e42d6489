#include "jet/text_codec.h"

#include <array>

#include "jet/utf8.h"

namespace jet {
namespace {

constexpr uint8_t kCompressedMarker0 = 0xff;
constexpr uint8_t kCompressedMarker1 = 0xfe;

bool IsHighSurrogate(char16_t u) {
  return u >= 0xd800 && u <= 0xdbff;
}
bool IsLowSurrogate(char16_t u) {
  return u >= 0xdc00 && u <= 0xdfff;
}

std::string UnitsToUtf8(const std::u16string& units) {
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    char16_t u = units[i];
    if (IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xd800) << 10) +
                          (static_cast<char32_t>(units[i + 1]) - 0xdc00));
      ++i;
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      AppendUtf8(out, kReplacementChar);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

// Code points of cp1252's 0x80-0x9F row; zero where the code page leaves the byte undefined.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};

}  // namespace

std::string Utf16LeToUtf8(ByteSpan bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return UnitsToUtf8(units);
}

std::string DecodeJet4Text(ByteSpan bytes) {
  if (bytes.size() < 2 || bytes[0] != kCompressedMarker0 || bytes[1] != kCompressedMarker1) {
    return Utf16LeToUtf8(bytes);
  }
  std::u16string units;
  units.reserve(bytes.size());
  bool one_byte = true;
  size_t i = 2;
  while (i < bytes.size()) {
    if (bytes[i] == 0) {
      one_byte = !one_byte;
      ++i;
    } else if (one_byte) {
      units.push_back(bytes[i]);
      ++i;
    } else if (i + 1 < bytes.size()) {
      units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
      i += 2;
    } else {
      break;
    }
  }
  return UnitsToUtf8(units);
}

std::string Cp1252ToUtf8(ByteSpan bytes) {
  std::u16string units(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    uint8_t b = bytes[i];
    bool high_row = b >= 0x80 && b < 0xa0 && kCp1252High[b - 0x80] != 0;
    units[i] = high_row ? kCp1252High[b - 0x80] : b;
  }
  return UnitsToUtf8(units);
}

std::string DecodeText(ByteSpan bytes, JetVersion version) {
  return version == JetVersion::kJet3 ? Cp1252ToUtf8(bytes) : DecodeJet4Text(bytes);
}

}  // namespace jet
