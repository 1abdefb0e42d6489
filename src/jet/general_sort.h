#ifndef QUORLA_JET_GENERAL_SORT_H_
#define QUORLA_JET_GENERAL_SORT_H_

// Access's "General" text order (Jet 4, Access 2000-2003): case-insensitive; accented letters
// sort with their base letter and after it when the texts are otherwise equal; control characters
// count only when the texts are otherwise equal; a few characters (NUL among them) are ignored.
//
// GeneralSortKey promises: comparing two keys bytewise (unsigned, shorter prefix first) orders
// the texts exactly as CompareGeneral does, and the key is the one an ascending Jet 4 text index
// stores for the text (without the leading column flag byte, and without the index's truncation
// to 255 characters or its removal of trailing spaces). Every UTF-16 code unit, unpaired
// surrogates included, has a defined key, so the order is total and consistent.

#include <string>
#include <string_view>

namespace jet {

std::string GeneralSortKey(std::u16string_view text);

// <0, 0, >0 as `a` sorts before, with or after `b`.
int CompareGeneral(std::u16string_view a, std::u16string_view b);

// Whether `c` adds a code to the first section of every key it is part of: then any text followed
// by `c` sorts after the text alone.
bool SortsAfterEnd(char16_t c);

// The same for UTF-8 text (invalid sequences count as U+FFFD).
std::string GeneralSortKeyUtf8(std::string_view text);
int CompareGeneralUtf8(std::string_view a, std::string_view b);

// UTF-8 to UTF-16; invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace jet

#endif  // QUORLA_JET_GENERAL_SORT_H_
