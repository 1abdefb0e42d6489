#ifndef QUORLA_JET_UTF8_H_
#define QUORLA_JET_UTF8_H_

// The program's one UTF-8 decoder and encoder. Text is UTF-8 everywhere above the file format.

#include <string>
#include <string_view>

namespace jet {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes the character that starts at byte `i` of `text` (i < text.size()) and sets `*length`
// to its length in bytes. A malformed sequence (bad lead byte, cut short, overlong, a surrogate,
// past U+10FFFF) is one kReplacementChar up to the first byte that does not fit, and sets
// `*valid`, when given, to false.
char32_t DecodeUtf8(std::string_view text, size_t i, size_t* length, bool* valid = nullptr);

// Appends the UTF-8 form of `c`; a value past U+10FFFF becomes kReplacementChar.
void AppendUtf8(std::string& out, char32_t c);

// Whole texts: malformed bytes become kReplacementChar, never an error.
std::u32string Utf8ToU32(std::string_view text);
std::string U32ToUtf8(std::u32string_view text);

}  // namespace jet

#endif  // QUORLA_JET_UTF8_H_
