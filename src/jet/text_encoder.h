#ifndef QUORLA_JET_TEXT_ENCODER_H_
#define QUORLA_JET_TEXT_ENCODER_H_

// Text into Jet 4's stored form: UCS-2 little endian, or, where the column allows it and it
// saves room, the compressed form (0xFF 0xFE, then runs of one-byte characters and of two-byte
// characters, a 0x00 byte switching between them, starting with one-byte).

#include <cstdint>
#include <string>
#include <vector>

namespace jet {

// UTF-8 to UTF-16 code units; invalid UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);

// The number of UTF-16 code units Utf8ToUtf16 gives for `text`.
size_t Utf16Length(const std::string& text);

// The stored bytes of `units`; compressed when `compressible`, shorter that way and possible (no
// character with a zero low byte).
std::vector<uint8_t> EncodeJet4Text(const std::u16string& units, bool compressible);
// The same, appended to `out`.
void AppendJet4Text(std::vector<uint8_t>& out, const std::u16string& units, bool compressible);
// The same for UTF-8 text.
void AppendJet4TextFromUtf8(std::vector<uint8_t>& out, const std::string& text, bool compressible);

}  // namespace jet

#endif  // QUORLA_JET_TEXT_ENCODER_H_
