#include "jet/column_adder.h"

#include "error/errors.h"
#include "jet/byte_writer.h"
#include "jet/catalog.h"
#include "jet/catalog_rows.h"
#include "jet/column_change.h"
#include "jet/name_fold.h"
#include "jet/schema_pages.h"
#include "jet/table_properties.h"
#include "jet/tdef_page.h"
#include "jet/tdef_writer.h"

namespace jet {
namespace {

const tdef::Layout& L = tdef::kJet4;
constexpr size_t kMaxColumns = 255;

}  // namespace

void AddColumnInFile(Pager& pager, Database& db, const std::string& table, ColumnDef column) {
  TableLayout layout = ReadUserTableForChange(pager, db, table);
  const uint32_t tdef_page = layout.tdef_page;
  const TableDef& def = *layout.def;
  for (const ColumnDef& c : def.columns) {
    if (SameName(c.name, column.name)) throw errors::FieldDefinedTwice(column.name);
  }
  if (def.columns.size() >= kMaxColumns || layout.max_columns >= kMaxColumns) {
    throw errors::TooManyFields();
  }
  if ((column.autonumber || column.guid_autonumber) && def.row_count > 0) {
    throw errors::OperationNotSupported("ALTER TABLE ADD COUNTER");
  }

  // The new column goes after every number, slot and byte the rows may already use.
  column.column_number = static_cast<int>(layout.max_columns);
  if (column.type == ColumnType::kBoolean) column.nullable = true;
  bool variable = FixedDataSize(column) == 0 && column.type != ColumnType::kBoolean;
  const auto [fixed_end, var_slots] = RowSpaceOf(layout);
  TableDefinitionPlan plan;
  TableDef single;
  single.columns.push_back(column);
  plan.def = &single;
  plan.text_sort_order = TextSortOrder(pager);
  std::vector<uint8_t> entry =
      EncodeColumnEntry(column, variable ? var_slots : 0, variable ? 0 : fixed_end, plan);

  std::vector<uint32_t> chain;
  std::vector<uint8_t> b = ReadTableDefinitionBytes(pager, tdef_page, &chain);
  size_t columns = ReadU16(b, L.columns);
  size_t reals = ReadU32(b, L.real_indexes);
  size_t entries_end =
      L.real_index_entries + reals * L.real_index_entry_size + columns * L.column_entry_size;
  size_t names_end = entries_end;
  for (size_t i = 0; i < columns; ++i) names_end += 2 + ReadU16(b, names_end);
  if (names_end > b.size()) ThrowCorrupt("table definition names past its end");
  size_t recorded = ReadU32(b, tdef::kDefinitionLengthOffset);
  size_t end = recorded > names_end && recorded <= b.size() ? recorded : b.size();

  std::vector<uint8_t> out(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(entries_end));
  out.insert(out.end(), entry.begin(), entry.end());
  out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(entries_end),
             b.begin() + static_cast<std::ptrdiff_t>(names_end));
  AppendColumnName(out, column.name);
  out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(names_end),
             b.begin() + static_cast<std::ptrdiff_t>(end));
  PutU16(out, L.columns, static_cast<uint16_t>(columns + 1));
  PutU16(out, L.max_columns, static_cast<uint16_t>(layout.max_columns + 1));
  if (variable) PutU16(out, L.var_columns, static_cast<uint16_t>(var_slots + 1));
  PutU32(out, tdef::kDefinitionLengthOffset, static_cast<uint32_t>(out.size()));

  GlobalPages global(pager);
  WriteTableDefinition(
      pager, out, chain, [&] { return global.Allocate(); },
      [&](uint32_t page) { global.Free(page); });
  if (!column.nullable) SetRequiredProperty(db, def.name, column.name, true);
}

}  // namespace jet
