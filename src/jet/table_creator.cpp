#include "jet/table_creator.h"

#include <unordered_set>

#include "error/errors.h"
#include "jet/byte_writer.h"
#include "jet/catalog.h"
#include "jet/catalog_rows.h"
#include "jet/name_fold.h"
#include "jet/schema_pages.h"
#include "jet/table_properties.h"
#include "jet/tdef_page.h"
#include "jet/tdef_writer.h"

namespace jet {
namespace {

constexpr size_t kMaxColumns = 255;
constexpr size_t kMaxIndexes = 32;

void CheckTable(const TableDef& def) {
  if (def.columns.empty()) throw errors::SyntaxInCreateTable();
  if (def.columns.size() > kMaxColumns) throw errors::TooManyFields();
  std::unordered_set<std::string> names;
  for (const ColumnDef& c : def.columns) {
    if (!names.insert(FoldName(c.name)).second) throw errors::FieldDefinedTwice(c.name);
  }
  if (def.indexes.size() > kMaxIndexes) throw errors::Reserved("zu viele Indizes");
  std::unordered_set<std::string> index_names;
  bool primary = false;
  for (const IndexDef& index : def.indexes) {
    if (!index_names.insert(FoldName(index.name)).second) {
      throw errors::IndexNameTaken(def.name, index.name);
    }
    if (index.primary && primary) throw errors::PrimaryKeyExists();
    primary |= index.primary;
    CheckIndexColumns(def, index);
  }
}

// Physical indexes: logical indexes with the same columns and rules share one.
void PlanIndexes(const TableDef& def, TableDefinitionPlan& plan) {
  for (const IndexDef& index : def.indexes) {
    RealIndexPlan real;
    real.columns = index.columns;
    real.flags = RealIndexFlags(index);
    size_t found = plan.real.size();
    for (size_t i = 0; i < plan.real.size(); ++i) {
      const RealIndexPlan& r = plan.real[i];
      bool same = r.flags == real.flags && r.columns.size() == real.columns.size();
      for (size_t k = 0; same && k < r.columns.size(); ++k) {
        same = r.columns[k].column == real.columns[k].column &&
               r.columns[k].ascending == real.columns[k].ascending;
      }
      if (same) found = i;
    }
    if (found == plan.real.size()) plan.real.push_back(std::move(real));
    plan.logical_real.push_back(found);
  }
}

}  // namespace

void CreateTableInFile(Pager& pager, Database& db, const NewTable& table) {
  TableDef def = table.def;
  for (size_t i = 0; i < def.columns.size(); ++i) {
    ColumnDef& c = def.columns[i];
    c.column_number = static_cast<int>(i);
    c.fixed = FixedDataSize(c) > 0 || c.type == ColumnType::kBoolean;
    if (c.type == ColumnType::kBoolean) c.nullable = true;  // Yes/No is never Null
  }
  CheckTable(def);
  std::vector<ObjectRow> rows = ReadObjectRows(db);
  if (FindTableObject(rows, def.name)) throw errors::TableExists(def.name);

  GlobalPages global(pager);
  TableDefinitionPlan plan;
  plan.def = &def;
  // The last value given out: the first autonumber is one step past it.
  plan.last_autonumber = static_cast<uint32_t>(table.first_autonumber) -
                         static_cast<uint32_t>(table.autonumber_increment);
  plan.autonumber_increment = table.autonumber_increment;
  plan.text_sort_order = TextSortOrder(pager);
  PlanIndexes(def, plan);

  const uint32_t tdef_page = AllocateNewTablePages(pager, global, plan);
  WriteTableDefinition(
      pager, EncodeTableDefinition(plan), {tdef_page}, [&] { return global.Allocate(); },
      [&](uint32_t page) { global.Free(page); });
  InsertTableObject(db, rows, def.name, tdef_page);
  for (const ColumnDef& c : def.columns) {
    if (!c.nullable) SetRequiredProperty(db, def.name, c.name, true);
  }
}

}  // namespace jet
