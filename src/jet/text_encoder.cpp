#include "jet/text_encoder.h"

namespace jet {
namespace {

constexpr uint8_t kMarker0 = 0xff;
constexpr uint8_t kMarker1 = 0xfe;
constexpr uint8_t kSwitch = 0x00;
constexpr char16_t kReplacement = 0xfffd;

// A unit that may be stored as one byte: Latin-1 except 0, which is the mode switch.
bool OneByte(char16_t u) {
  return u != 0 && u <= 0xff;
}

}  // namespace

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  while (i < text.size()) {
    uint8_t b = byte(i);
    char32_t c = 0;
    size_t extra = 0;
    if (b < 0x80) {
      c = b;
    } else if ((b & 0xe0) == 0xc0) {
      c = b & 0x1f;
      extra = 1;
    } else if ((b & 0xf0) == 0xe0) {
      c = b & 0x0f;
      extra = 2;
    } else if ((b & 0xf8) == 0xf0) {
      c = b & 0x07;
      extra = 3;
    } else {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    if (i + extra >= text.size()) {
      out.push_back(kReplacement);
      break;
    }
    bool valid = true;
    for (size_t k = 1; k <= extra; ++k) {
      if ((byte(i + k) & 0xc0) != 0x80) {
        valid = false;
        break;
      }
      c = (c << 6) | (byte(i + k) & 0x3f);
    }
    if (!valid) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    i += extra + 1;
    if (c >= 0x10000 && c <= 0x10ffff) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xd800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xdc00 + (c & 0x3ff)));
    } else if (c > 0x10ffff) {
      out.push_back(kReplacement);
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::vector<uint8_t> EncodeJet4Text(const std::u16string& units, bool compressible) {
  std::vector<uint8_t> plain;
  plain.reserve(units.size() * 2);
  for (char16_t u : units) {
    plain.push_back(static_cast<uint8_t>(u));
    plain.push_back(static_cast<uint8_t>(u >> 8));
  }
  if (!compressible || units.empty()) return plain;

  std::vector<uint8_t> packed = {kMarker0, kMarker1};
  bool one_byte_mode = true;
  size_t i = 0;
  while (i < units.size()) {
    // The run of units that may stay one byte each, starting here.
    size_t run = 0;
    while (i + run < units.size() && OneByte(units[i + run])) ++run;
    if (run > 0 && (one_byte_mode || run > 2 || i + run == units.size())) {
      // Leaving two-byte mode costs a switch byte; worth it for a run longer than two units
      // (and at the end, where no switch back follows).
      if (!one_byte_mode) {
        packed.push_back(kSwitch);
        one_byte_mode = true;
      }
      for (size_t k = 0; k < run; ++k) packed.push_back(static_cast<uint8_t>(units[i + k]));
      i += run;
      continue;
    }
    if (one_byte_mode) {
      packed.push_back(kSwitch);
      one_byte_mode = false;
    }
    // Two-byte units up to the next run worth switching back for.
    while (i < units.size()) {
      size_t ahead = 0;
      while (i + ahead < units.size() && OneByte(units[i + ahead])) ++ahead;
      if (ahead > 2 || (ahead > 0 && i + ahead == units.size())) break;
      size_t take = ahead > 0 ? ahead : 1;
      for (size_t k = 0; k < take; ++k) {
        packed.push_back(static_cast<uint8_t>(units[i + k]));
        packed.push_back(static_cast<uint8_t>(units[i + k] >> 8));
      }
      i += take;
    }
  }
  if (packed.size() < plain.size()) return packed;
  return plain;
}

}  // namespace jet
