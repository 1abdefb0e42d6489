#ifndef QUORLA_JETSQL_TEXT_UTIL_H_
#define QUORLA_JETSQL_TEXT_UTIL_H_

// Text as the Jet functions see it: a sequence of characters (Unicode code points), with the case
// mapping and "General" ordering Access uses for European text.

#include <string>
#include <string_view>

#include "jet/utf8.h"

namespace jetsql {

using jet::AppendUtf8;  // jet/utf8.h
using jet::U32ToUtf8;
using jet::Utf8ToU32;

char32_t UpperChar(char32_t c);
char32_t LowerChar(char32_t c);
std::u32string UpperText(std::u32string_view text);
std::u32string LowerText(std::u32string_view text);

// The letter a character is sorted with in General order (lower case, accents removed): 'Ä' -> 'a'.
// Characters without a base letter map to their lower case.
char32_t BaseLetter(char32_t c);

// Compares two UTF-8 texts in Access's General order, the order of the engine's text indexes
// (jet/general_sort.h): case never matters; letters with accents sort with their base letter and
// after it only when everything else is equal. Returns <0, 0, >0.
int CompareGeneral(std::string_view a, std::string_view b);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_TEXT_UTIL_H_
