#include "jet/name_fold.h"

#include "jet/utf8.h"

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

}  // namespace

std::string FoldName(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t length = 0;
  for (size_t i = 0; i < s.size(); i += length) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {  // ASCII: no decoding needed
      out += static_cast<char>(b >= 'A' && b <= 'Z' ? b + 0x20 : b);
      length = 1;
      continue;
    }
    bool valid = true;
    char32_t c = DecodeUtf8(s, i, &length, &valid);
    if (valid) {
      AppendUtf8(out, FoldChar(c));
    } else {
      out += s[i];  // invalid bytes pass through unchanged
    }
  }
  return out;
}

}  // namespace jet
