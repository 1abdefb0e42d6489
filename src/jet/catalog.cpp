#include "jet/catalog.h"

#include <algorithm>

#include "jet/column_lookup.h"
#include "jet/format_error.h"
#include "jet/index_key.h"
#include "jet/name_fold.h"
#include "jet/table_scan.h"
#include "jet/tdef_page.h"

namespace jet {
namespace {}  // namespace

std::vector<CatalogTable> ReadCatalog(PageReader& pages, JetVersion version) {
  auto layout = std::make_shared<TableLayout>(
      ReadTableLayout(pages, version, catalog::kObjectsDefinitionPage, catalog::kObjectsTable));
  const TableDef& def = *layout->def;
  int id_column = FindColumn(def, "Id");
  int name_column = FindColumn(def, "Name");
  int type_column = FindColumn(def, "Type");
  int flags_column = FindColumn(def, "Flags");
  int database_column = FindColumn(def, "Database");
  int connect_column = FindColumn(def, "Connect");
  int foreign_name_column = FindColumn(def, "ForeignName");
  if (id_column < 0 || name_column < 0 || type_column < 0) {
    ThrowCorrupt("catalogue without its columns");
  }

  std::vector<CatalogTable> tables;
  // The catalogue lists tables in the order other readers show them.
  for (auto cursor = OpenTableScan(pages, version, layout, MovedRows::kWhereDataLies);
       cursor->Valid(); cursor->Next()) {
    int16_t type = ValueAs<int16_t>(*cursor, type_column).value_or(0);
    bool local = type == catalog::kTypeLocalTable;
    bool linked = type == catalog::kTypeLinkedTable || type == catalog::kTypeLinkedOdbc;
    if (!local && !linked) continue;
    CatalogTable t;
    t.entry.name = ValueAs<std::string>(*cursor, name_column).value_or("");
    uint32_t flags = static_cast<uint32_t>(ValueAs<int32_t>(*cursor, flags_column).value_or(0));
    if (type == catalog::kTypeLinkedTable) flags |= catalog::kAttachedTable;
    if (type == catalog::kTypeLinkedOdbc) flags |= catalog::kAttachedOdbc;
    t.entry.attributes = flags;
    t.entry.system = (flags & catalog::kSystemObjectMask) != 0;
    t.entry.linked = linked;
    if (local) {
      t.definition_page = static_cast<uint32_t>(ValueAs<int32_t>(*cursor, id_column).value_or(0)) &
                          catalog::kIdPageMask;
    } else {
      t.linked_database = ValueAs<std::string>(*cursor, database_column).value_or("");
      t.linked_table = ValueAs<std::string>(*cursor, foreign_name_column).value_or(t.entry.name);
      if (t.linked_database.empty()) {
        t.linked_database = ValueAs<std::string>(*cursor, connect_column).value_or("");
      }
    }
    tables.push_back(std::move(t));
  }
  SortByName(tables, version);
  return tables;
}

void SortByName(std::vector<CatalogTable>& tables, JetVersion version) {
  // Every table sits in the Tables container, so the index on (ParentId, Name) orders them by
  // the key of their name alone.
  const IndexKeyColumn name_column{ColumnType::kText, true};
  std::vector<std::pair<std::string, CatalogTable>> keyed;
  keyed.reserve(tables.size());
  for (CatalogTable& t : tables) {
    std::string key;
    AppendIndexKey(key, name_column, t.entry.name, version);
    keyed.emplace_back(std::move(key), std::move(t));
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < tables.size(); ++i) tables[i] = std::move(keyed[i].second);
}

}  // namespace jet
