#include "jet/utf8.h"

namespace jet {

char32_t DecodeUtf8(std::string_view text, size_t i, size_t* length, bool* valid) {
  const unsigned char lead = static_cast<unsigned char>(text[i]);
  *length = 1;
  if (valid) *valid = true;
  if (lead < 0x80) return lead;
  const size_t extra = (lead & 0xE0) == 0xC0   ? 1
                       : (lead & 0xF0) == 0xE0 ? 2
                       : (lead & 0xF8) == 0xF0 ? 3
                                               : 0;
  char32_t c = lead & (0x3F >> extra);
  size_t j = i + 1;
  bool ok = extra > 0;
  for (size_t k = 0; ok && k < extra; ++k, ++j) {
    ok = j < text.size() && (static_cast<unsigned char>(text[j]) & 0xC0) == 0x80;
    if (ok) c = (c << 6) | (static_cast<unsigned char>(text[j]) & 0x3F);
  }
  static constexpr char32_t kMinForLength[] = {0, 0x80, 0x800, 0x10000};
  if (!ok || c < kMinForLength[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    if (valid) *valid = false;
    // A sequence cut short resumes at the first byte that did not fit.
    *length = extra > 0 && !ok ? j - 1 - i : extra > 0 ? extra + 1 : 1;
    return kReplacementChar;
  }
  *length = extra + 1;
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF) c = kReplacementChar;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::u32string Utf8ToU32(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  size_t length = 0;
  for (size_t i = 0; i < text.size(); i += length) out.push_back(DecodeUtf8(text, i, &length));
  return out;
}

std::string U32ToUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

}  // namespace jet
