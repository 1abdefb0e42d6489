#ifndef QUORLA_JETSQL_ROW_ADDRESS_H_
#define QUORLA_JETSQL_ROW_ADDRESS_H_

// A Jet row's address as one SQLite integer: the data page above, the row number on it below.
// Every virtual table also has a hidden column of this name that yields the address, so a
// statement that changes rows can select the addresses of the rows it means.

#include <cstdint>

#include "jet/database.h"

namespace jetsql {

// No Jet field name can contain a control character, so this never hides a real field.
inline constexpr const char* kRowAddressColumn = "\x01row_address";
inline constexpr int kRowAddressPageShift = 16;

inline int64_t PackRowAddress(jet::RowId id) {
  return (static_cast<int64_t>(id.page) << kRowAddressPageShift) | id.row;
}

inline jet::RowId UnpackRowAddress(int64_t address) {
  return {static_cast<uint32_t>(address >> kRowAddressPageShift),
          static_cast<uint16_t>(address & 0xFFFF)};
}

}  // namespace jetsql

#endif  // QUORLA_JETSQL_ROW_ADDRESS_H_
