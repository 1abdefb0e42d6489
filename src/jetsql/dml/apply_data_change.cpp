#include "jetsql/dml/apply_data_change.h"

#include <cmath>
#include <optional>
#include <unordered_set>

#include "jetsql/dml/column_value.h"
#include "jetsql/dml/referential_checks.h"
#include "jetsql/row_address.h"

namespace jetsql {
namespace {

// The address a row of the SELECT gives; none where an outer join found no row of the target.
std::optional<int64_t> AddressOf(const std::vector<jet::Value>& row, int column) {
  const jet::Value& v = row[static_cast<size_t>(column)];
  if (const double* d = std::get_if<double>(&v)) return static_cast<int64_t>(std::llround(*d));
  return std::nullopt;
}

int64_t Insert(const BoundDataChange& change, const std::vector<std::vector<jet::Value>>& rows,
               ReferentialWriter& writer) {
  const jet::TableDef& def = *change.table;
  for (const auto& row : rows) {
    std::vector<jet::Value> values(def.columns.size());
    for (size_t i = 0; i < change.fields.size(); ++i) {
      const auto field = static_cast<size_t>(change.fields[i]);
      values[field] = ValueForColumn(row[i], def.columns[field]);
    }
    writer.Insert(def.name, std::move(values));
  }
  return static_cast<int64_t>(rows.size());
}

// Each row changes once per target table even when a join reaches it several times; the last
// joined row's values win, as when Access writes them one after another.
int64_t Update(const BoundDataChange& change, const std::vector<std::vector<jet::Value>>& rows,
               jet::Database& database, ReferentialWriter& writer) {
  int64_t changed = 0;
  for (const auto& target : change.targets) {
    const jet::TableDef& def = *target.def;
    std::unordered_set<int64_t> seen;
    std::vector<bool> assigned(def.columns.size(), false);
    for (const auto& assignment : target.assignments) {
      assigned[static_cast<size_t>(assignment.first)] = true;
    }
    for (const auto& row : rows) {
      const std::optional<int64_t> address = AddressOf(row, target.address_column);
      if (!address) continue;
      if (seen.insert(*address).second) ++changed;
      const jet::RowId id = UnpackRowAddress(*address);
      std::vector<jet::Value> values = database.ReadRow(def.name, id);
      for (const auto& [field, column] : target.assignments) {
        values[static_cast<size_t>(field)] = ValueForColumn(
            row[static_cast<size_t>(column)], def.columns[static_cast<size_t>(field)]);
      }
      writer.UpdateColumns(def.name, id, std::move(values), assigned);
    }
  }
  return changed;
}

int64_t Delete(const BoundDataChange& change, const std::vector<std::vector<jet::Value>>& rows,
               ReferentialWriter& writer) {
  int64_t deleted = 0;
  for (const auto& target : change.targets) {
    std::unordered_set<int64_t> seen;
    for (const auto& row : rows) {
      const std::optional<int64_t> address = AddressOf(row, target.address_column);
      if (!address || !seen.insert(*address).second) continue;
      // A row that a cascade of an earlier one took along is not counted again.
      if (writer.Delete(target.def->name, UnpackRowAddress(*address))) ++deleted;
    }
  }
  return deleted;
}

}  // namespace

int64_t ApplyDataChange(const BoundDataChange& change,
                        const std::vector<std::vector<jet::Value>>& rows, jet::Database& database) {
  ReferentialWriter writer(database);
  switch (change.kind) {
    case BoundDataChange::Kind::kInsert:
      return Insert(change, rows, writer);
    case BoundDataChange::Kind::kUpdate:
      return Update(change, rows, database, writer);
    case BoundDataChange::Kind::kDelete:
      return Delete(change, rows, writer);
  }
  return 0;
}

}  // namespace jetsql
