#include "editing/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <array>

namespace editing {

namespace {
constexpr char16_t kUndefined = 0;
constexpr int kC1First = 0x80;
constexpr int kC1Last = 0x9F;

// Windows-1252 at 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC,     kUndefined, 0x201A, 0x0192, 0x201E, 0x2026,     0x2020, 0x2021,
    0x02C6,     0x2030,     0x0160, 0x2039, 0x0152, kUndefined, 0x017D, kUndefined,
    kUndefined, 0x2018,     0x2019, 0x201C, 0x201D, 0x2022,     0x2013, 0x2014,
    0x02DC,     0x2122,     0x0161, 0x203A, 0x0153, kUndefined, 0x017E, 0x0178};

constexpr int kByteRange = 0x100;

QChar FromCp1252(unsigned char b) {
  if (b >= kC1First && b <= kC1Last) {
    const char16_t c = kCp1252High[b - kC1First];
    return QChar(c == kUndefined ? char16_t{b} : c);  // undefined bytes pass through
  }
  return QChar(char16_t{b});
}

// The byte for a character, or -1 when Windows-1252 has none.
int ToCp1252(QChar c) {
  const char16_t u = c.unicode();
  if (u < kC1First || (u > kC1Last && u < kByteRange)) return u;
  for (int i = 0; i < static_cast<int>(kCp1252High.size()); ++i) {
    if (kCp1252High[static_cast<size_t>(i)] == u && u != kUndefined) return kC1First + i;
  }
  return -1;
}
}  // namespace

QString DecodeQueryText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError()) return text;
  text.clear();
  text.reserve(bytes.size());
  for (char b : bytes) text += FromCp1252(static_cast<unsigned char>(b));
  return text;
}

QByteArray EncodeQueryText(const QString& text) {
  QByteArray out;
  out.reserve(text.size());
  for (QChar c : text) {
    const int b = ToCp1252(c);
    if (b < 0) return text.toUtf8();
    out += static_cast<char>(b);
  }
  return out;
}

}  // namespace editing
