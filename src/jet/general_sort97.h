#ifndef QUORLA_JET_GENERAL_SORT97_H_
#define QUORLA_JET_GENERAL_SORT97_H_

// The "General" text order of Access 97 (Jet 3 text indexes): case-insensitive, accented letters
// next to their base letters. Characters outside the single-byte range that Windows-1252 does
// not know are ignored.
//
// General97SortKey promises: the key an ascending Jet 3 text index stores for the text (without
// the column flag byte, the index's truncation to 255 characters and its removal of trailing
// spaces); comparing keys bytewise orders texts as Access 97 does.

#include <string>
#include <string_view>

namespace jet {

std::string General97SortKey(std::u16string_view text);

}  // namespace jet

#endif  // QUORLA_JET_GENERAL_SORT97_H_
