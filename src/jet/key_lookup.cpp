#include "jet/key_lookup.h"

#include <algorithm>
#include <optional>

#include "jet/index_key.h"

namespace jet {
namespace {

// The index of `def` whose first columns are `columns` in some order, and for each of those index
// columns its place in `columns`; a relationship's own index entry first, then the narrowest.
std::optional<std::pair<int, std::vector<size_t>>> IndexOver(const TableDef& def,
                                                             const std::vector<int>& columns) {
  std::optional<std::pair<int, std::vector<size_t>>> best;
  auto rank = [&](const IndexDef& index) {
    return std::make_pair(index.reference ? 0 : 1, index.columns.size());
  };
  for (size_t i = 0; i < def.indexes.size(); ++i) {
    const IndexDef& index = def.indexes[i];
    if (index.columns.size() < columns.size()) continue;
    std::vector<size_t> order;
    for (size_t k = 0; k < columns.size(); ++k) {
      auto at = std::find(columns.begin(), columns.end(), index.columns[k].column);
      if (at == columns.end()) break;
      const auto place = static_cast<size_t>(at - columns.begin());
      if (std::find(order.begin(), order.end(), place) != order.end()) break;
      order.push_back(place);
    }
    if (order.size() != columns.size()) continue;
    if (!best || rank(index) < rank(def.indexes[static_cast<size_t>(best->first)])) {
      best.emplace(static_cast<int>(i), std::move(order));
    }
  }
  return best;
}

IndexKeyColumn KeyColumnOf(const ColumnDef& column) {
  return {column.type, true, column.scale};
}

}  // namespace

bool SameKeyValue(const ColumnDef& column, const Value& a, const Value& b, JetVersion version) {
  if (IsNull(a) || IsNull(b)) return IsNull(a) && IsNull(b);
  try {
    std::string ka, kb;
    AppendIndexKey(ka, KeyColumnOf(column), a, version);
    AppendIndexKey(kb, KeyColumnOf(column), b, version);
    return ka == kb;
  } catch (const Error&) {
    // A type no index holds (memo, OLE): only equal values are the same.
    return a == b;
  }
}

std::vector<RowId> FindRowsByKey(Database& db, const TableDef& def, const std::vector<int>& columns,
                                 const std::vector<Value>& key, size_t limit) {
  std::vector<RowId> found;
  if (limit == 0) return found;
  if (auto index = IndexOver(def, columns)) {
    std::vector<Value> ordered;
    for (size_t place : index->second) ordered.push_back(key[place]);
    auto cursor = db.OpenIndex(def.name, index->first);
    for (cursor->SeekGE(ordered); cursor->Valid() && cursor->CompareKey(ordered) == 0;
         cursor->Next()) {
      found.push_back(cursor->row_id());
      if (found.size() >= limit) break;
    }
    return found;
  }
  const JetVersion version = db.version();
  for (auto cursor = db.Scan(def.name); cursor->Valid(); cursor->Next()) {
    bool same = true;
    for (size_t i = 0; i < columns.size() && same; ++i) {
      const ColumnDef& column = def.columns[static_cast<size_t>(columns[i])];
      same = SameKeyValue(column, cursor->value(columns[i]), key[i], version);
    }
    if (!same) continue;
    found.push_back(cursor->row_id());
    if (found.size() >= limit) break;
  }
  return found;
}

}  // namespace jet
