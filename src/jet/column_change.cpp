#include "jet/column_change.h"

#include <algorithm>

#include "error/errors.h"
#include "jet/column_lookup.h"
#include "jet/name_fold.h"
#include "jet/relationships.h"
#include "jet/schema_pages.h"
#include "jet/tdef_writer.h"

namespace jet {

size_t ColumnToChange(Database& db, const TableDef& def, const std::string& column) {
  const int found = FindColumn(def, column);
  if (found < 0) throw errors::ItemNotFound();
  const size_t position = static_cast<size_t>(found);
  for (const Relationship& r : ReadRelationships(db)) {
    auto names = [&](const std::string& table, const std::vector<std::string>& columns) {
      if (!SameName(table, def.name)) return false;
      for (const std::string& c : columns) {
        if (SameName(c, column)) return true;
      }
      return false;
    };
    if (names(r.table, r.columns) || names(r.referenced_table, r.referenced_columns)) {
      throw errors::InRelationship();
    }
  }
  return position;
}

RowSpaceInUse RowSpaceOf(const TableLayout& layout) {
  RowSpaceInUse space;
  space.var_slots = layout.var_columns;
  for (size_t i = 0; i < layout.def->columns.size(); ++i) {
    const ColumnPlace& p = layout.places[i];
    if (p.fixed) {
      space.fixed_end =
          std::max(space.fixed_end, p.fixed_offset + FixedDataSize(layout.def->columns[i]));
    } else {
      space.var_slots = std::max(space.var_slots, static_cast<size_t>(p.var_index) + 1);
    }
  }
  return space;
}

void DeleteLongValueMaps(Pager& pager, const TableLayout& layout,
                         const std::vector<RowPointer>& maps) {
  for (RowPointer map : maps) {
    bool table_map = (map.page == layout.used_pages.page && map.row == layout.used_pages.row) ||
                     (map.page == layout.free_pages.page && map.row == layout.free_pages.row);
    if (map.page != 0 && map.page < pager.page_count() && !table_map) {
      DeleteUsageMapRow(pager, map);
    }
  }
}

}  // namespace jet
