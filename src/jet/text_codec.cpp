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

// Writes UTF-16 units as UTF-8 into a string sized once for the worst case (3 bytes a unit; a
// surrogate pair takes 4 bytes for its two units) and cut to length at the end.
class Utf8Writer {
 public:
  Utf8Writer(std::string& out, size_t max_units) : out_(out) {
    out_.resize(max_units * 3);
    p_ = out_.data();
  }
  void Unit(char16_t u) {
    if (u < 0x80 && !pending_) {
      *p_++ = static_cast<char>(u);
      return;
    }
    if (pending_) {
      char16_t high = pending_;
      pending_ = 0;
      if (IsLowSurrogate(u)) {
        Put(0x10000 + ((static_cast<char32_t>(high) - 0xd800) << 10) +
            (static_cast<char32_t>(u) - 0xdc00));
        return;
      }
      Put(kReplacementChar);
    }
    if (u < 0x80) {
      *p_++ = static_cast<char>(u);
    } else if (IsHighSurrogate(u)) {
      pending_ = u;
    } else {
      Put(IsLowSurrogate(u) ? kReplacementChar : u);
    }
  }
  // Writes an ASCII character unless a high surrogate waits for its partner.
  bool Ascii(char c) {
    if (pending_) return false;
    *p_++ = c;
    return true;
  }
  void Finish() {
    if (pending_) Put(kReplacementChar);
    out_.resize(static_cast<size_t>(p_ - out_.data()));
  }

 private:
  void Put(char32_t c) {
    if (c < 0x800) {
      *p_++ = static_cast<char>(0xc0 | (c >> 6));
      *p_++ = static_cast<char>(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
      *p_++ = static_cast<char>(0xe0 | (c >> 12));
      *p_++ = static_cast<char>(0x80 | ((c >> 6) & 0x3f));
      *p_++ = static_cast<char>(0x80 | (c & 0x3f));
    } else {
      *p_++ = static_cast<char>(0xf0 | (c >> 18));
      *p_++ = static_cast<char>(0x80 | ((c >> 12) & 0x3f));
      *p_++ = static_cast<char>(0x80 | ((c >> 6) & 0x3f));
      *p_++ = static_cast<char>(0x80 | (c & 0x3f));
    }
  }

  std::string& out_;
  char* p_;
  char16_t pending_ = 0;
};

// Text of at most this many UTF-16 units is decoded into a buffer on the stack and copied into
// `out` once: growing `out` to the worst case first would clear bytes that are then overwritten.
constexpr size_t kShortTextUnits = 512;

// Writes `u` (not a surrogate) as UTF-8 at `p`; returns the end.
inline char* PutBmp(char* p, uint32_t u) {
  if (u < 0x80) {
    *p++ = static_cast<char>(u);
  } else if (u < 0x800) {
    *p++ = static_cast<char>(0xc0 | (u >> 6));
    *p++ = static_cast<char>(0x80 | (u & 0x3f));
  } else {
    *p++ = static_cast<char>(0xe0 | (u >> 12));
    *p++ = static_cast<char>(0x80 | ((u >> 6) & 0x3f));
    *p++ = static_cast<char>(0x80 | (u & 0x3f));
  }
  return p;
}

inline bool IsSurrogate(uint32_t u) {
  return u >= 0xd800 && u <= 0xdfff;
}

// Short UTF-16LE text without surrogates in one pass; false (and `out` untouched) otherwise.
bool ShortUtf16LeInto(ByteSpan bytes, std::string& out) {
  const size_t units = bytes.size() / 2;
  if (units > kShortTextUnits) return false;
  char buffer[kShortTextUnits * 3];
  char* p = buffer;
  const uint8_t* b = bytes.data();
  for (size_t i = 0; i < units; ++i) {
    uint32_t u = b[2 * i] | (static_cast<uint32_t>(b[2 * i + 1]) << 8);
    if (u < 0x80) {
      *p++ = static_cast<char>(u);
      continue;
    }
    if (IsSurrogate(u)) return false;
    p = PutBmp(p, u);
  }
  out.assign(buffer, static_cast<size_t>(p - buffer));
  return true;
}

// Short compressed Jet 4 text (after its marker) without surrogates in one pass; false (and `out`
// untouched) otherwise.
bool ShortCompressedInto(ByteSpan bytes, std::string& out) {
  if (bytes.size() > kShortTextUnits) return false;
  char buffer[kShortTextUnits * 3];
  char* p = buffer;
  bool one_byte = true;
  size_t i = 0;
  while (i < bytes.size()) {
    uint8_t c = bytes[i];
    if (c == 0) {
      one_byte = !one_byte;
      ++i;
    } else if (one_byte) {
      p = PutBmp(p, c);
      ++i;
    } else if (i + 1 < bytes.size()) {
      uint32_t u = c | (static_cast<uint32_t>(bytes[i + 1]) << 8);
      if (IsSurrogate(u)) return false;
      p = PutBmp(p, u);
      i += 2;
    } else {
      break;
    }
  }
  out.assign(buffer, static_cast<size_t>(p - buffer));
  return true;
}

void Utf16LeInto(ByteSpan bytes, std::string& out) {
  if (ShortUtf16LeInto(bytes, out)) return;
  const size_t units = bytes.size() / 2;
  const uint8_t* b = bytes.data();
  // Text that is ASCII throughout (most names, codes and numbers) is copied byte by byte.
  size_t ascii = 0;
  while (ascii < units && b[2 * ascii + 1] == 0 && b[2 * ascii] < 0x80) ++ascii;
  if (ascii == units) {
    out.resize(units);
    char* p = out.data();
    for (size_t i = 0; i < units; ++i) p[i] = static_cast<char>(b[2 * i]);
    return;
  }
  Utf8Writer w(out, units);
  for (size_t i = 0; i < ascii; ++i) w.Ascii(static_cast<char>(b[2 * i]));
  for (size_t i = 2 * ascii; i + 1 < bytes.size(); i += 2) {
    if (b[i + 1] == 0 && b[i] < 0x80 && w.Ascii(static_cast<char>(b[i]))) continue;
    w.Unit(static_cast<char16_t>(b[i] | (b[i + 1] << 8)));
  }
  w.Finish();
}

void Jet4TextInto(ByteSpan bytes, std::string& out) {
  if (bytes.size() < 2 || bytes[0] != kCompressedMarker0 || bytes[1] != kCompressedMarker1) {
    Utf16LeInto(bytes, out);
    return;
  }
  if (ShortCompressedInto(bytes.subspan(2), out)) return;
  Utf8Writer w(out, bytes.size() - 2);
  bool one_byte = true;
  size_t i = 2;
  while (i < bytes.size()) {
    if (bytes[i] == 0) {
      one_byte = !one_byte;
      ++i;
    } else if (one_byte) {
      w.Unit(bytes[i]);
      ++i;
    } else if (i + 1 < bytes.size()) {
      w.Unit(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
      i += 2;
    } else {
      break;
    }
  }
  w.Finish();
}

// Code points of cp1252's 0x80-0x9F row; zero where the code page leaves the byte undefined.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};

void Cp1252Into(ByteSpan bytes, std::string& out) {
  Utf8Writer w(out, bytes.size());
  for (uint8_t b : bytes) {
    bool high_row = b >= 0x80 && b < 0xa0 && kCp1252High[b - 0x80] != 0;
    w.Unit(high_row ? kCp1252High[b - 0x80] : b);
  }
  w.Finish();
}

}  // namespace

std::string Utf16LeToUtf8(ByteSpan bytes) {
  std::string out;
  Utf16LeInto(bytes, out);
  return out;
}

std::string DecodeJet4Text(ByteSpan bytes) {
  std::string out;
  Jet4TextInto(bytes, out);
  return out;
}

std::string Cp1252ToUtf8(ByteSpan bytes) {
  std::string out;
  Cp1252Into(bytes, out);
  return out;
}

std::string DecodeText(ByteSpan bytes, JetVersion version) {
  std::string out;
  DecodeTextInto(bytes, version, out);
  return out;
}

void DecodeTextInto(ByteSpan bytes, JetVersion version, std::string& out) {
  if (version == JetVersion::kJet3) {
    Cp1252Into(bytes, out);
  } else {
    Jet4TextInto(bytes, out);
  }
}

}  // namespace jet
