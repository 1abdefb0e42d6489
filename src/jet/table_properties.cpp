#include "jet/table_properties.h"

#include <functional>

#include "jet/catalog.h"
#include "jet/catalog_rows.h"
#include "jet/name_fold.h"
#include "jet/property_maps.h"

namespace jet {
namespace {

constexpr char kPropertiesColumn[] = "LvProp";

// Runs `change` on the table's properties (new ones when it has none) and stores them when it
// returns true.
void ChangeProperties(Database& db, const std::string& table,
                      const std::function<bool(PropertyMaps&, bool existed)>& change) {
  std::optional<ObjectRow> object = FindTableObject(ReadObjectRows(db), table);
  if (!object) return;
  std::shared_ptr<const TableDef> def = db.GetTableDef(catalog::kObjectsTable);
  size_t column = def->columns.size();
  for (size_t i = 0; i < def->columns.size(); ++i) {
    if (SameName(def->columns[i].name, kPropertiesColumn)) column = i;
  }
  if (column == def->columns.size()) return;
  std::vector<Value> values = db.ReadRow(catalog::kObjectsTable, object->row);
  PropertyMaps maps = NewPropertyMaps();
  const Bytes* stored = std::get_if<Bytes>(&values[column]);
  if (stored != nullptr && !stored->empty()) {
    std::optional<PropertyMaps> read = ParsePropertyMaps(*stored);
    if (!read) return;
    maps = std::move(*read);
  }
  if (!change(maps, stored != nullptr && !stored->empty())) return;
  values[column] = EncodePropertyMaps(maps);
  db.UpdateRow(catalog::kObjectsTable, object->row, std::move(values));
}

}  // namespace

void SetRequiredProperty(Database& db, const std::string& table, const std::string& column,
                         bool required) {
  ChangeProperties(db, table, [&](PropertyMaps& maps, bool existed) {
    if (!required && (!existed || !HasColumnProperties(maps, column))) return false;
    SetColumnRequired(maps, column, required);
    return true;
  });
}

void RemoveColumnPropertiesOf(Database& db, const std::string& table, const std::string& column) {
  ChangeProperties(db, table, [&](PropertyMaps& maps, bool existed) {
    return existed && RemoveColumnProperties(maps, column);
  });
}

}  // namespace jet
