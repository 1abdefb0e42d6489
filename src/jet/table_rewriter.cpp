#include "jet/table_rewriter.h"

#include <memory>

#include "jet/schema_pages.h"
#include "jet/table_writer.h"
#include "jet/tdef_writer.h"

namespace jet {

void RewriteTable(Pager& pager, Database& db, const TableLayout& layout, const DefinitionEdit& edit,
                  const RowMapping& map) {
  const TableDef& def = *layout.def;
  std::vector<RowId> ids;
  std::vector<std::vector<Value>> rows;
  for (auto c = db.Scan(def.name); c->Valid(); c->Next()) {
    std::vector<Value> values;
    values.reserve(def.columns.size());
    for (size_t i = 0; i < def.columns.size(); ++i) values.push_back(c->value(static_cast<int>(i)));
    ids.push_back(c->row_id());
    rows.push_back(map(std::move(values)));
  }

  {
    TableWriter old_rows(pager, std::make_shared<TableLayout>(layout));
    for (RowId id : ids) old_rows.Delete(id);
  }
  {
    std::vector<uint32_t> chain;
    std::vector<uint8_t> definition = ReadTableDefinitionBytes(pager, layout.tdef_page, &chain);
    definition = edit(definition);
    GlobalPages global(pager);
    WriteTableDefinition(
        pager, definition, chain, [&] { return global.Allocate(); },
        [&](uint32_t page) { global.Free(page); });
  }
  auto changed = std::make_shared<TableLayout>(
      ReadTableLayout(pager, JetVersion::kJet4, layout.tdef_page, def.name));
  TableWriter new_rows(pager, changed);
  for (std::vector<Value>& row : rows) new_rows.Insert(std::move(row));
}

}  // namespace jet
