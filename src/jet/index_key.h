#ifndef QUORLA_JET_INDEX_KEY_H_
#define QUORLA_JET_INDEX_KEY_H_

// Encoding of values into index keys as Access writes them, so that a search key compares
// bytewise (unsigned) with the keys stored in index pages.
//
// Each column starts with a flag byte: 0x7F ascending or 0x80 descending for a value, 0x00
// ascending or 0xFF descending for Null (Yes/No columns have no Null: it counts as No). Numbers
// are big-endian with the sign handled so that byte order is numeric order; a descending column
// inverts the value's bytes. Text uses the General order (general_sort.h; Jet 3 files its Access 97
// form, general_sort97.h), cut to 255 characters with trailing spaces removed.
//
// A value may be of another type than the column when it converts exactly (an Integer for a Long
// column, a whole Double for a Long column, a Long for a Double column, text for a GUID column...);
// otherwise EncodeIndexKey throws Error 3464.

#include <string>
#include <vector>

#include "jet/index_tree.h"
#include "jet/value.h"

namespace jet {

inline constexpr uint8_t kIndexAscendingFlag = 0x7F;
inline constexpr uint8_t kIndexDescendingFlag = 0x80;
inline constexpr uint8_t kIndexAscendingNullFlag = 0x00;
inline constexpr uint8_t kIndexDescendingNullFlag = 0xFF;
inline constexpr uint8_t kIndexTrueAscending = 0x00;
inline constexpr uint8_t kIndexFalseAscending = 0xFF;
// Text keys hold at most this many characters.
inline constexpr size_t kIndexTextMaxChars = 255;

// Appends the key of one column value to `out`.
void AppendIndexKey(std::string& out, const IndexKeyColumn& column, const Value& value,
                    JetVersion version = JetVersion::kJet4);

// The key of the first values.size() columns (values.size() <= columns.size()).
std::string EncodeIndexKey(const std::vector<IndexKeyColumn>& columns,
                           const std::vector<Value>& values,
                           JetVersion version = JetVersion::kJet4);

}  // namespace jet

#endif  // QUORLA_JET_INDEX_KEY_H_
