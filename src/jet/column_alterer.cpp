#include "jet/column_alterer.h"

#include "error/errors.h"
#include "jet/byte_writer.h"
#include "jet/catalog_rows.h"
#include "jet/column_change.h"
#include "jet/format_error.h"
#include "jet/schema_pages.h"
#include "jet/table_properties.h"
#include "jet/table_rewriter.h"
#include "jet/tdef_column_edit.h"
#include "jet/tdef_writer.h"

namespace jet {
namespace {

bool IsLong(ColumnType t) {
  return t == ColumnType::kMemo || t == ColumnType::kOle;
}

// Where the changed column lives in new rows.
struct NewPlace {
  size_t var_index = 0;
  size_t fixed_offset = 0;
  bool new_var_slot = false;
  size_t var_slots = 0;  // the definition's variable slots with a new one
  bool fixed = false;
};

NewPlace PlaceFor(const TableLayout& layout, size_t position, const ColumnDef& changed) {
  const TableDef& def = *layout.def;
  const ColumnDef& old = def.columns[position];
  const ColumnPlace& here = layout.places[position];
  const auto [fixed_end, var_slots] = RowSpaceOf(layout);
  const bool variable = FixedDataSize(changed) == 0 && changed.type != ColumnType::kBoolean;
  NewPlace place;
  place.fixed = !variable;
  const bool old_variable = !here.fixed;
  if (variable) {
    if (old_variable) {
      place.var_index = static_cast<size_t>(here.var_index);
    } else {
      place.var_index = var_slots;
      place.new_var_slot = true;
      place.var_slots = var_slots + 1;
    }
  } else if (changed.type != ColumnType::kBoolean) {
    bool fits = !old_variable && old.type != ColumnType::kBoolean &&
                FixedDataSize(changed) <= FixedDataSize(old);
    place.fixed_offset = fits ? here.fixed_offset : fixed_end;
  }
  return place;
}

}  // namespace

void AlterColumnInFile(Pager& pager, Database& db, const std::string& table,
                       const std::string& column, ColumnDef changed,
                       const ColumnValueConverter& convert) {
  TableLayout layout = ReadUserTableForChange(pager, db, table);
  const TableDef& def = *layout.def;
  const size_t position = ColumnToChange(db, def, column);
  const ColumnDef& old = def.columns[position];
  changed.name = old.name;
  changed.column_number = old.column_number;
  if (changed.type == ColumnType::kBoolean) changed.nullable = true;
  bool new_autonumber =
      (changed.autonumber && !old.autonumber) || (changed.guid_autonumber && !old.guid_autonumber);
  if (new_autonumber && def.row_count > 0) {
    throw errors::OperationNotSupported("ALTER TABLE ALTER COLUMN COUNTER");
  }
  if (IsLong(changed.type)) {
    for (const IndexDef& index : def.indexes) {
      for (const IndexColumn& c : index.columns) {
        if (static_cast<size_t>(c.column) == position) {
          throw errors::OperationNotSupported("ALTER TABLE ALTER COLUMN MEMO");
        }
      }
    }
  }

  const NewPlace place = PlaceFor(layout, position, changed);
  TableDefinitionPlan plan;
  TableDef single;
  single.columns.push_back(changed);
  plan.def = &single;
  plan.text_sort_order = TextSortOrder(pager);
  const std::vector<uint8_t> entry =
      EncodeColumnEntry(changed, place.var_index, place.fixed_offset, plan);
  const bool keeps_long_values = IsLong(old.type) && IsLong(changed.type);

  RewriteTable(
      pager, db, layout,
      [&](const std::vector<uint8_t>& definition) {
        std::optional<size_t> at = FindColumnEntry(definition, changed.column_number);
        if (!at) ThrowCorrupt("the column's entry is missing from its table definition");
        std::vector<RowPointer> maps;
        std::vector<uint8_t> out =
            ReplaceColumnEntry(definition, *at, entry, keeps_long_values ? nullptr : &maps);
        DeleteLongValueMaps(pager, layout, maps);
        if (place.new_var_slot) {
          PutU16(out, tdef::kJet4.var_columns, static_cast<uint16_t>(place.var_slots));
        }
        // Readers take a row's fixed columns to be its column count less its variable slots:
        // a column that turns fixed takes a column number of its own as well (as Access gives
        // a changed column a new number), so that count stays large enough.
        size_t fixed = 0;
        for (size_t i = 0; i < def.columns.size(); ++i) {
          fixed += i == position ? place.fixed : layout.places[i].fixed;
        }
        size_t needed = fixed + ReadU16(out, tdef::kJet4.var_columns);
        if (needed > ReadU16(out, tdef::kJet4.max_columns)) {
          PutU16(out, tdef::kJet4.max_columns, static_cast<uint16_t>(needed));
        }
        return out;
      },
      [&](std::vector<Value> values) {
        values[position] = convert(values[position], changed);
        return values;
      });
  SetRequiredProperty(db, def.name, changed.name, !changed.nullable);
}

}  // namespace jet
