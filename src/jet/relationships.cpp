#include "jet/relationships.h"

#include <optional>

#include "jet/column_lookup.h"
#include "jet/name_fold.h"

namespace jet {
namespace {

// MSysRelationships' columns, by the names Access gives them.
constexpr const char* kNameColumn = "szRelationship";
constexpr const char* kTableColumn = "szObject";
constexpr const char* kColumnColumn = "szColumn";
constexpr const char* kReferencedTableColumn = "szReferencedObject";
constexpr const char* kReferencedColumnColumn = "szReferencedColumn";
constexpr const char* kPlaceColumn = "icolumn";
constexpr const char* kCountColumn = "ccolumn";
constexpr const char* kFlagsColumn = "grbit";

// A relationship's columns can only be as many as an index has.
constexpr int32_t kMaxColumns = 10;

std::optional<int32_t> Number(TableCursor& cursor, int column) {
  if (column < 0) return std::nullopt;
  Value v = cursor.value(column);
  if (auto* n = std::get_if<int32_t>(&v)) return *n;
  if (auto* n = std::get_if<int16_t>(&v)) return *n;
  if (auto* n = std::get_if<uint8_t>(&v)) return *n;
  return std::nullopt;
}

// A relationship while its rows are read.
struct Gathered {
  Relationship relationship;
  int32_t count = 0;
  std::vector<bool> seen;
  bool broken = false;
};

bool HasRelationshipsTable(Database& db) {
  for (const CatalogEntry& t : db.Tables()) {
    if (SameName(t.name, kRelationshipsTable) && !t.linked) return true;
  }
  return false;
}

}  // namespace

std::vector<Relationship> ReadRelationships(Database& db) {
  if (!HasRelationshipsTable(db)) return {};
  auto def = db.GetTableDef(kRelationshipsTable);
  const int name_at = FindColumn(*def, kNameColumn);
  const int table_at = FindColumn(*def, kTableColumn);
  const int column_at = FindColumn(*def, kColumnColumn);
  const int referenced_table_at = FindColumn(*def, kReferencedTableColumn);
  const int referenced_column_at = FindColumn(*def, kReferencedColumnColumn);
  const int place_at = FindColumn(*def, kPlaceColumn);
  const int count_at = FindColumn(*def, kCountColumn);
  const int flags_at = FindColumn(*def, kFlagsColumn);

  std::vector<Gathered> gathered;
  for (auto cursor = db.Scan(def->name); cursor->Valid(); cursor->Next()) {
    auto name = ValueAs<std::string>(*cursor, name_at);
    auto table = ValueAs<std::string>(*cursor, table_at);
    auto column = ValueAs<std::string>(*cursor, column_at);
    auto referenced_table = ValueAs<std::string>(*cursor, referenced_table_at);
    auto referenced_column = ValueAs<std::string>(*cursor, referenced_column_at);
    auto place = Number(*cursor, place_at);
    auto count = Number(*cursor, count_at);
    auto flags = Number(*cursor, flags_at);
    if (!name) continue;
    Gathered* g = nullptr;
    for (Gathered& candidate : gathered) {
      if (SameName(candidate.relationship.name, *name)) g = &candidate;
    }
    if (!g) {
      g = &gathered.emplace_back();
      g->relationship.name = *name;
      if (table) g->relationship.table = *table;
      if (referenced_table) g->relationship.referenced_table = *referenced_table;
      g->relationship.flags = static_cast<uint32_t>(flags.value_or(0));
      g->count = count.value_or(0);
      if (g->count < 1 || g->count > kMaxColumns) {
        g->broken = true;
        continue;
      }
      g->relationship.columns.resize(static_cast<size_t>(g->count));
      g->relationship.referenced_columns.resize(static_cast<size_t>(g->count));
      g->seen.assign(static_cast<size_t>(g->count), false);
    }
    if (g->broken) continue;
    const bool fits = table && referenced_table && column && referenced_column && place &&
                      count == g->count && *place >= 0 && *place < g->count &&
                      SameName(*table, g->relationship.table) &&
                      SameName(*referenced_table, g->relationship.referenced_table) &&
                      !g->seen[static_cast<size_t>(*place)];
    if (!fits) {
      g->broken = true;
      continue;
    }
    const auto i = static_cast<size_t>(*place);
    g->seen[i] = true;
    g->relationship.columns[i] = *column;
    g->relationship.referenced_columns[i] = *referenced_column;
  }

  std::vector<Relationship> out;
  for (Gathered& g : gathered) {
    bool whole = !g.broken;
    for (bool s : g.seen) whole = whole && s;
    if (whole) out.push_back(std::move(g.relationship));
  }
  return out;
}

std::vector<std::vector<Value>> RelationshipRows(const Relationship& relationship,
                                                 const TableDef& def) {
  std::vector<std::vector<Value>> rows;
  const auto count = static_cast<int32_t>(relationship.columns.size());
  for (int32_t i = 0; i < count; ++i) {
    std::vector<Value> row(def.columns.size());
    auto set = [&](const char* name, Value v) {
      const int at = FindColumn(def, name);
      if (at >= 0) row[static_cast<size_t>(at)] = std::move(v);
    };
    const auto pair = static_cast<size_t>(i);
    set(kNameColumn, relationship.name);
    set(kTableColumn, relationship.table);
    set(kColumnColumn, relationship.columns[pair]);
    set(kReferencedTableColumn, relationship.referenced_table);
    set(kReferencedColumnColumn, relationship.referenced_columns[pair]);
    set(kPlaceColumn, i);
    set(kCountColumn, count);
    set(kFlagsColumn, static_cast<int32_t>(relationship.flags));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace jet
