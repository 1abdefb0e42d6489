#include "jet/column_dropper.h"

#include "error/errors.h"
#include "jet/catalog_rows.h"
#include "jet/column_change.h"
#include "jet/table_properties.h"
#include "jet/table_rewriter.h"
#include "jet/tdef_column_edit.h"

namespace jet {

void DropColumnFromFile(Pager& pager, Database& db, const std::string& table,
                        const std::string& column) {
  TableLayout layout = ReadUserTableForChange(pager, db, table);
  const TableDef& def = *layout.def;
  const size_t position = ColumnToChange(db, def, column);
  for (const IndexDef& index : def.indexes) {
    for (const IndexColumn& c : index.columns) {
      if (static_cast<size_t>(c.column) == position) throw errors::FieldInIndex();
    }
  }
  if (def.columns.size() == 1) throw errors::FieldInIndex();
  const int number = def.columns[position].column_number;

  RewriteTable(
      pager, db, layout,
      [&](const std::vector<uint8_t>& definition) {
        std::optional<size_t> entry = FindColumnEntry(definition, number);
        if (!entry) ThrowCorrupt("the column's entry is missing from its table definition");
        std::vector<RowPointer> maps;
        std::vector<uint8_t> changed = RemoveColumnEntry(definition, *entry, &maps);
        DeleteLongValueMaps(pager, layout, maps);
        return changed;
      },
      [&](std::vector<Value> values) {
        values.erase(values.begin() + static_cast<std::ptrdiff_t>(position));
        return values;
      });
  RemoveColumnPropertiesOf(db, def.name, def.columns[position].name);
}

}  // namespace jet
