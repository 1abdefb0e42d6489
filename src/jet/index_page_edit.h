#ifndef QUORLA_JET_INDEX_PAGE_EDIT_H_
#define QUORLA_JET_INDEX_PAGE_EDIT_H_

// Adding or removing one entry of a stored Jet 4 leaf page in place: the entries after it move,
// the entry bitmap and free space follow, the page's shared prefix stays. Far cheaper than
// encoding the whole page again; the result decodes to the same entries.

#include <cstddef>
#include <span>
#include <string>

#include "jet/database.h"

namespace jet {

// Puts the entry (key, row) at position `pos` (0 < pos <= count) of the leaf `page` holding
// `count` entries, all of which begin with the page's prefix. False, with the page unchanged,
// when the page does not look so or the entry does not fit with the prefix it has.
bool InsertLeafEntryInPlace(std::span<uint8_t> page, size_t count, size_t pos,
                            const std::string& key, RowId row);

// Takes out entry `pos` (0 < pos < count) of the leaf `page` holding `count` entries. False,
// with the page unchanged, when the page does not look so.
bool RemoveLeafEntryInPlace(std::span<uint8_t> page, size_t count, size_t pos);

}  // namespace jet

#endif  // QUORLA_JET_INDEX_PAGE_EDIT_H_
