#include "jet/column_lookup.h"

#include "jet/name_fold.h"

namespace jet {

int FindColumn(const std::vector<ColumnDef>& columns, std::string_view name) {
  const std::string folded = FoldName(name);
  for (size_t i = 0; i < columns.size(); ++i) {
    if (FoldName(columns[i].name) == folded) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace jet
