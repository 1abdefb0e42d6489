#ifndef QUORLA_JET_TDEF_COLUMN_EDIT_H_
#define QUORLA_JET_TDEF_COLUMN_EDIT_H_

// Edits of the column part of a Jet 4 table definition (a whole run as ReadTableDefinitionBytes
// gives it): removing a column's entry and name, or putting a new entry in its place. Every other
// byte is kept. A Memo or OLE column Access wrote may have an entry in the list of long-value page
// maps after the index names (column number, then its two usage-map rows); that entry goes with
// the column, and the maps it named are handed back for the caller to delete.

#include <cstdint>
#include <optional>
#include <vector>

#include "jet/data_page.h"

namespace jet {

namespace tdef {
inline constexpr size_t kLongValueMapEntrySize = 10;  // column number, used map, free map
inline constexpr uint16_t kEndOfLongValueMaps = 0xffff;
}  // namespace tdef

// The place of the column numbered `number` among the definition's column entries.
std::optional<size_t> FindColumnEntry(const std::vector<uint8_t>& definition, int number);

// The definition without the column entry at `position` and its name. `freed_maps` receives the
// usage-map rows of the column's long-value map entry, if it had one.
std::vector<uint8_t> RemoveColumnEntry(const std::vector<uint8_t>& definition, size_t position,
                                       std::vector<RowPointer>* freed_maps);

// The definition with `entry` in place of the column entry at `position` (the name stays). The
// column's long-value map entry goes as for RemoveColumnEntry, or stays when `freed_maps` is null.
std::vector<uint8_t> ReplaceColumnEntry(const std::vector<uint8_t>& definition, size_t position,
                                        const std::vector<uint8_t>& entry,
                                        std::vector<RowPointer>* freed_maps);

}  // namespace jet

#endif  // QUORLA_JET_TDEF_COLUMN_EDIT_H_
