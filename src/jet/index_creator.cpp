#include "jet/index_creator.h"

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "error/errors.h"
#include "jet/byte_writer.h"
#include "jet/catalog.h"
#include "jet/catalog_rows.h"
#include "jet/data_page_writer.h"
#include "jet/index_bulk_load.h"
#include "jet/index_key.h"
#include "jet/name_fold.h"
#include "jet/schema_pages.h"
#include "jet/table_page_allocator.h"
#include "jet/tdef_page.h"
#include "jet/tdef_writer.h"

namespace jet {
namespace {

// The entries the table's rows make in the new index, in its order (key bytes, then row), checked
// against its rules. Nothing but the entries themselves is kept, however many rows there are.
std::vector<IndexEntry> BuildEntries(Database& db, const TableDef& def, const IndexDef& index,
                                     const std::vector<IndexKeyColumn>& keys) {
  std::vector<IndexEntry> entries;
  bool has_yes_no = false;
  for (const IndexColumn& ic : index.columns) {
    has_yes_no |= def.columns[static_cast<size_t>(ic.column)].type == ColumnType::kBoolean;
  }
  for (auto c = db.Scan(def.name); c->Valid(); c->Next()) {
    IndexEntry e;
    e.row = c->row_id();
    bool all_null = true;
    bool any_null = false;
    std::vector<Value> values;
    for (const IndexColumn& ic : index.columns) {
      Value v = c->value(ic.column);
      bool yes_no = def.columns[static_cast<size_t>(ic.column)].type == ColumnType::kBoolean;
      bool null = IsNull(v) && !yes_no;
      any_null |= null;
      all_null &= null;
      values.push_back(IsNull(v) && yes_no ? Value(false) : std::move(v));
    }
    if ((index.primary || index.required) && any_null) {
      throw errors::IndexNull();
    }
    if (index.ignore_nulls && all_null) continue;
    e.key = EncodeIndexKey(keys, values, JetVersion::kJet4);
    entries.push_back(std::move(e));
  }
  std::sort(entries.begin(), entries.end(), [](const IndexEntry& a, const IndexEntry& b) {
    if (a.key != b.key) return a.key < b.key;
    return std::tie(a.row.page, a.row.row) < std::tie(b.row.page, b.row.row);
  });
  if (index.unique || index.primary) {
    // Rows whose columns are all Null may share that key (a Yes/No column is never Null, and a
    // value's key starts with another flag than a Null's).
    std::optional<std::string> all_null_key;
    if (!has_yes_no) {
      all_null_key = EncodeIndexKey(keys, std::vector<Value>(keys.size()), JetVersion::kJet4);
    }
    for (size_t i = 1; i < entries.size(); ++i) {
      if (entries[i].key == entries[i - 1].key && entries[i].key != all_null_key) {
        throw errors::DuplicateKey();
      }
    }
  }
  return entries;
}

// A usage-map row for the new index: beside the table's maps when their page has room.
RowPointer AddIndexMap(Pager& pager, GlobalPages& global, RowPointer table_map, uint32_t root) {
  std::vector<uint8_t> probe(usage_map::kInlineBitmapOffset + usage_map::kNewMapBitmapBytes);
  if (table_map.page != 0 && RowFits(pager.Page(table_map.page), probe.size()) &&
      RowCount(pager.Page(table_map.page), JetVersion::kJet4) < data_page::kMaxRows) {
    return AddUsageMapRow(pager, table_map.page, root);
  }
  uint32_t page = global.Allocate();
  InitDataPage(pager.Modify(page), 0);
  return AddUsageMapRow(pager, page, root);
}

}  // namespace

void CreateIndexInFile(Pager& pager, Database& db, const std::string& table,
                       const IndexDef& index) {
  TableLayout layout = ReadUserTableForChange(pager, db, table);
  const uint32_t tdef_page = layout.tdef_page;
  const TableDef& def = *layout.def;
  for (const IndexDef& existing : def.indexes) {
    if (SameName(existing.name, index.name)) throw errors::IndexNameTaken(def.name, index.name);
    if (existing.primary && index.primary) throw errors::PrimaryKeyExists();
  }
  CheckIndexColumns(def, index);
  std::vector<IndexKeyColumn> keys;
  for (const IndexColumn& c : index.columns) {
    const ColumnDef& column = def.columns[static_cast<size_t>(c.column)];
    keys.push_back({column.type, c.ascending, column.scale});
  }
  std::vector<IndexEntry> entries = BuildEntries(db, def, index, keys);
  uint32_t distinct = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i == 0 || entries[i].key != entries[i - 1].key) ++distinct;
  }

  GlobalPages global(pager);
  RealIndexPlan real;
  real.columns = index.columns;
  real.flags = RealIndexFlags(index);
  real.root_page = global.Allocate();
  real.pages = AddIndexMap(pager, global, layout.used_pages, real.root_page);

  TablePageAllocator table_pages(pager, layout.used_pages, layout.free_pages);
  IndexPageAllocator index_pages(pager, table_pages, real.pages);
  BulkLoadIndex(pager, index_pages, JetVersion::kJet4, real.root_page, tdef_page,
                std::move(entries));

  std::vector<uint32_t> chain;
  std::vector<uint8_t> old_definition = ReadTableDefinitionBytes(pager, tdef_page, &chain);
  size_t real_number = layout.real_index_pages.size();
  std::vector<uint8_t> definition = AddIndexToDefinition(old_definition, index, real, def);
  PutU32(definition,
         tdef::kJet4.real_index_entries + real_number * tdef::kJet4.real_index_entry_size +
             tdef::kRealIndexKeyCount,
         distinct);
  WriteTableDefinition(
      pager, definition, chain, [&] { return global.Allocate(); },
      [&](uint32_t page) { global.Free(page); });
}

}  // namespace jet
