#ifndef QUORLA_JET_TEXT_CODEC_H_
#define QUORLA_JET_TEXT_CODEC_H_

// Text as Jet stores it, decoded to UTF-8. Jet 4 stores UCS-2 (little endian), optionally in its
// compressed form: a 0xFF 0xFE marker, then runs of one-byte characters (Latin-1) and two-byte
// characters, a 0x00 byte switching between them, starting with one-byte. Jet 3 stores text in
// the code page of the machine that wrote it; the file does not say which, so cp1252 is assumed.

#include <string>

#include "jet/byte_order.h"
#include "jet/database.h"

namespace jet {

// UCS-2/UTF-16LE to UTF-8; unpaired surrogates become U+FFFD, an odd last byte is dropped.
std::string Utf16LeToUtf8(ByteSpan bytes);

// Jet 4 text, compressed or not.
std::string DecodeJet4Text(ByteSpan bytes);

// Windows-1252 to UTF-8 (undefined bytes map to the C1 control of the same value).
std::string Cp1252ToUtf8(ByteSpan bytes);

// Text of a file of the given version.
std::string DecodeText(ByteSpan bytes, JetVersion version);
// The same into `out`, whose buffer is reused: a scan decoding row after row allocates rarely.
void DecodeTextInto(ByteSpan bytes, JetVersion version, std::string& out);

}  // namespace jet

#endif  // QUORLA_JET_TEXT_CODEC_H_
