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

// UTF-16 units to UTF-8, written straight into a buffer sized for the worst case (three bytes a
// unit): on the stack for short texts, so that the result is allocated once at its size (or not
// at all, when short enough to live inside the string). Unpaired surrogates become U+FFFD.
class Utf8Builder {
 public:
  explicit Utf8Builder(size_t max_units) {
    if (max_units * 3 > sizeof local_) {
      heap_.resize(max_units * 3);
      begin_ = heap_.data();
    } else {
      begin_ = local_;
    }
    end_ = begin_;
  }
  Utf8Builder(const Utf8Builder&) = delete;
  Utf8Builder& operator=(const Utf8Builder&) = delete;

  void Add(char16_t u) {
    if (high_ != 0) {
      char16_t high = high_;
      high_ = 0;
      if (IsLowSurrogate(u)) {
        Put(0x10000 + ((static_cast<char32_t>(high) - 0xd800) << 10) +
            (static_cast<char32_t>(u) - 0xdc00));
        return;
      }
      Put(kReplacementChar);
    }
    if (u < 0x80) {
      *end_++ = static_cast<char>(u);
    } else if (IsHighSurrogate(u)) {
      high_ = u;
    } else {
      Put(IsLowSurrogate(u) ? kReplacementChar : u);
    }
  }

  std::string Finish() && {
    if (high_ != 0) Put(kReplacementChar);
    if (begin_ == local_) return std::string(begin_, end_);
    heap_.resize(static_cast<size_t>(end_ - begin_));
    return std::move(heap_);
  }

 private:
  void Put(char32_t c) {
    if (c < 0x80) {
      *end_++ = static_cast<char>(c);
    } else if (c < 0x800) {
      *end_++ = static_cast<char>(0xC0 | (c >> 6));
      *end_++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      *end_++ = static_cast<char>(0xE0 | (c >> 12));
      *end_++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *end_++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *end_++ = static_cast<char>(0xF0 | (c >> 18));
      *end_++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      *end_++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *end_++ = static_cast<char>(0x80 | (c & 0x3F));
    }
  }

  char local_[384];
  std::string heap_;
  char* begin_;
  char* end_;
  char16_t high_ = 0;  // a high surrogate waiting for its low half
};

// Code points of cp1252's 0x80-0x9F row; zero where the code page leaves the byte undefined.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};

}  // namespace

std::string Utf16LeToUtf8(ByteSpan bytes) {
  const size_t count = bytes.size() / 2;
  Utf8Builder out(count);
  for (size_t i = 0; i < count; ++i) {
    out.Add(static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
  }
  return std::move(out).Finish();
}

std::string DecodeJet4Text(ByteSpan bytes) {
  if (bytes.size() < 2 || bytes[0] != kCompressedMarker0 || bytes[1] != kCompressedMarker1) {
    return Utf16LeToUtf8(bytes);
  }
  Utf8Builder out(bytes.size());
  bool one_byte = true;
  size_t i = 2;
  while (i < bytes.size()) {
    if (bytes[i] == 0) {
      one_byte = !one_byte;
      ++i;
    } else if (one_byte) {
      out.Add(bytes[i]);
      ++i;
    } else if (i + 1 < bytes.size()) {
      out.Add(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
      i += 2;
    } else {
      break;
    }
  }
  return std::move(out).Finish();
}

std::string Cp1252ToUtf8(ByteSpan bytes) {
  Utf8Builder out(bytes.size());
  for (uint8_t b : bytes) {
    bool high_row = b >= 0x80 && b < 0xa0 && kCp1252High[b - 0x80] != 0;
    out.Add(high_row ? kCp1252High[b - 0x80] : b);
  }
  return std::move(out).Finish();
}

std::string DecodeText(ByteSpan bytes, JetVersion version) {
  return version == JetVersion::kJet3 ? Cp1252ToUtf8(bytes) : DecodeJet4Text(bytes);
}

}  // namespace jet
