#include "jet/name_fold.h"

namespace jet {
namespace {

char32_t FoldChar(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (c < 0x80) return c;
  if (c >= 0xc0 && c <= 0xde && c != 0xd7) return c + 0x20;    // Latin-1
  if (c >= 0x100 && c <= 0x137 && (c & 1) == 0) return c + 1;  // Latin Extended-A
  if (c >= 0x139 && c <= 0x148 && (c & 1) == 1) return c + 1;
  if (c >= 0x14a && c <= 0x177 && (c & 1) == 0) return c + 1;
  if (c == 0x178) return 0xff;
  if (c >= 0x179 && c <= 0x17e && (c & 1) == 1) return c + 1;
  if (c >= 0x391 && c <= 0x3ab && c != 0x3a2) return c + 0x20;  // Greek
  if (c >= 0x400 && c <= 0x40f) return c + 0x50;                // Cyrillic
  if (c >= 0x410 && c <= 0x42f) return c + 0x20;
  return c;
}

void Append(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xc0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3f));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xe0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (c & 0x3f));
  } else {
    out += static_cast<char>(0xf0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (c & 0x3f));
  }
}

}  // namespace

std::string FoldName(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    bool valid = length > 0 && i + length <= s.size();
    for (size_t k = 1; valid && k < length; ++k) {
      valid = (static_cast<unsigned char>(s[i + k]) & 0xc0) == 0x80;
    }
    if (!valid) {
      out += s[i++];
      continue;
    }
    char32_t c = length == 1 ? b : b & (0x7f >> length);
    for (size_t k = 1; k < length; ++k)
      c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3f);
    Append(out, FoldChar(c));
    i += length;
  }
  return out;
}

}  // namespace jet
