#include "jet/text_encoder.h"

#include <algorithm>

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

// Appends the compressed form of `units` (none with a zero low byte); returns out's new size.
size_t AppendPacked(std::vector<uint8_t>& out, const std::u16string& units) {
  out.push_back(kMarker0);
  out.push_back(kMarker1);
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
        out.push_back(kSwitch);
        one_byte_mode = true;
      }
      for (size_t k = 0; k < run; ++k) out.push_back(static_cast<uint8_t>(units[i + k]));
      i += run;
      continue;
    }
    if (one_byte_mode) {
      out.push_back(kSwitch);
      one_byte_mode = false;
    }
    // Two-byte units up to the next run worth switching back for.
    while (i < units.size()) {
      size_t ahead = 0;
      while (i + ahead < units.size() && OneByte(units[i + ahead])) ++ahead;
      if (ahead > 2 || (ahead > 0 && i + ahead == units.size())) break;
      size_t take = ahead > 0 ? ahead : 1;
      for (size_t k = 0; k < take; ++k) {
        out.push_back(static_cast<uint8_t>(units[i + k]));
        out.push_back(static_cast<uint8_t>(units[i + k] >> 8));
      }
      i += take;
    }
  }
  return out.size();
}

// Calls `emit` with each UTF-16 unit of `text`; invalid sequences give U+FFFD. Never more units
// than bytes.
template <typename Emit>
void ForEachUtf16Unit(const std::string& text, Emit&& emit) {
  size_t i = 0;
  auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  while (i < text.size()) {
    uint8_t b = byte(i);
    char32_t c = 0;
    size_t extra = 0;
    if (b < 0x80) {
      emit(static_cast<char16_t>(b));
      ++i;
      continue;
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
      emit(kReplacement);
      ++i;
      continue;
    }
    if (i + extra >= text.size()) {
      emit(kReplacement);
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
      emit(kReplacement);
      ++i;
      continue;
    }
    i += extra + 1;
    if (c >= 0x10000 && c <= 0x10ffff) {
      c -= 0x10000;
      emit(static_cast<char16_t>(0xd800 + (c >> 10)));
      emit(static_cast<char16_t>(0xdc00 + (c & 0x3ff)));
    } else if (c > 0x10ffff) {
      emit(kReplacement);
    } else {
      emit(static_cast<char16_t>(c));
    }
  }
}

}  // namespace

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out(text.size(), u'\0');
  size_t n = 0;
  ForEachUtf16Unit(text, [&](char16_t u) { out[n++] = u; });
  out.resize(n);
  return out;
}

size_t Utf16Length(const std::string& text) {
  size_t n = 0;
  ForEachUtf16Unit(text, [&](char16_t) { ++n; });
  return n;
}

std::vector<uint8_t> EncodeJet4Text(const std::u16string& units, bool compressible) {
  std::vector<uint8_t> out;
  AppendJet4Text(out, units, compressible);
  return out;
}

void AppendJet4Text(std::vector<uint8_t>& out, const std::u16string& units, bool compressible) {
  const size_t start = out.size();
  // A zero byte switches modes wherever a character starts, so a two-byte character whose low
  // byte is zero (U+0100, U+4E00...) cannot be stored compressed, nor can U+0000.
  if (compressible && !units.empty() &&
      std::none_of(units.begin(), units.end(), [](char16_t u) { return (u & 0xff) == 0; })) {
    if (AppendPacked(out, units) - start < units.size() * 2) return;
    out.resize(start);  // no shorter than plain
  }
  out.reserve(start + units.size() * 2);
  for (char16_t u : units) {
    out.push_back(static_cast<uint8_t>(u));
    out.push_back(static_cast<uint8_t>(u >> 8));
  }
}

void AppendJet4TextFromUtf8(std::vector<uint8_t>& out, const std::string& text, bool compressible) {
  // Plain ASCII (no U+0000) needs no decoding: compressed it is the bytes themselves.
  bool ascii = std::all_of(text.begin(), text.end(),
                           [](char c) { return static_cast<unsigned char>(c) - 1u < 0x7fu; });
  if (!ascii) {
    AppendJet4Text(out, Utf8ToUtf16(text), compressible);
    return;
  }
  if (compressible && text.size() > 2) {  // shorter than plain only past two characters
    out.push_back(kMarker0);
    out.push_back(kMarker1);
    out.insert(out.end(), text.begin(), text.end());
    return;
  }
  out.reserve(out.size() + text.size() * 2);
  for (char c : text) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(0);
  }
}

}  // namespace jet
