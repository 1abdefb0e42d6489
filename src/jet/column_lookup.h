#ifndef QUORLA_JET_COLUMN_LOOKUP_H_
#define QUORLA_JET_COLUMN_LOOKUP_H_

#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "jet/database.h"

namespace jet {

// The position of the column called `name`, names compared as Jet compares them; -1 if none.
int FindColumn(const std::vector<ColumnDef>& columns, std::string_view name);
inline int FindColumn(const TableDef& def, std::string_view name) {
  return FindColumn(def.columns, name);
}

// The cursor's value in `column` when it is stored as a T; nothing for Null, another type or a
// column the table lacks (-1).
template <typename T>
std::optional<T> ValueAs(TableCursor& cursor, int column) {
  if (column < 0) return std::nullopt;
  Value v = cursor.value(column);
  if (T* x = std::get_if<T>(&v)) return std::move(*x);
  return std::nullopt;
}

}  // namespace jet

#endif  // QUORLA_JET_COLUMN_LOOKUP_H_
