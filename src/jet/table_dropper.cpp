#include "jet/table_dropper.h"

#include <set>

#include "error/errors.h"
#include "jet/catalog.h"
#include "jet/catalog_rows.h"
#include "jet/data_page_writer.h"
#include "jet/index_page.h"
#include "jet/schema_pages.h"
#include "jet/tdef_page.h"
#include "jet/tdef_writer.h"
#include "jet/usage_map_writer.h"

namespace jet {
namespace {

// The pages a usage map marks that are the table's (`accept`), and the bitmap pages of a
// reference map.
template <typename Accept>
void CollectMap(Pager& pager, RowPointer map, Accept&& accept, std::set<uint32_t>& out) {
  if (map.page == 0) return;
  UsageMapWriter reader(pager, map, nullptr);
  for (uint32_t page : reader.Pages(pager.page_count())) {
    if (page > 1 && accept(pager.Page(page))) out.insert(page);
  }
  ByteSpan row = RowAt(pager, JetVersion::kJet4, map);
  if (row.empty() || row[0] != usage_map::kReference) return;
  for (size_t at = usage_map::kReferenceFirstPointer; at + 4 <= row.size(); at += 4) {
    uint32_t bitmap = ReadU32(row, at);
    if (bitmap > 1 && bitmap < pager.page_count()) out.insert(bitmap);
  }
}

}  // namespace

void DropTableFromFile(Pager& pager, Database& db, const std::string& name) {
  std::vector<ObjectRow> rows = ReadObjectRows(db);
  std::optional<ObjectRow> object = FindTableObject(rows, name);
  bool local = object && object->type == catalog::kTypeLocalTable;
  bool linked = object && (object->type == catalog::kTypeLinkedTable ||
                           object->type == catalog::kTypeLinkedOdbc);
  if (!local && !linked) throw errors::TableDoesNotExist(name);
  if ((object->flags & catalog::kSystemObjectMask) != 0) {
    throw errors::ReadOnly();
  }
  if (InRelationship(db, object->name)) throw errors::InRelationship();
  DeleteAccessControlEntries(db, object->id);
  if (linked) {
    db.DeleteRow(catalog::kObjectsTable, object->row);
    return;
  }

  uint32_t tdef_page = static_cast<uint32_t>(object->id) & catalog::kIdPageMask;
  TableLayout layout = ReadTableLayout(pager, JetVersion::kJet4, tdef_page, object->name);
  std::vector<uint32_t> chain;
  ReadTableDefinitionBytes(pager, tdef_page, &chain);

  std::set<uint32_t> pages(chain.begin(), chain.end());
  auto data_of_table = [&](ByteSpan p) {
    return p[0] == page_type::kData && ReadU32(p, data_page::kOwnerOffset) == tdef_page;
  };
  auto index_of_table = [&](ByteSpan p) {
    return IsIndexPage(p) &&
           ReadU32(p, IndexPageLayoutFor(JetVersion::kJet4).table_page_offset) == tdef_page;
  };
  CollectMap(pager, layout.used_pages, data_of_table, pages);
  CollectMap(pager, layout.free_pages, data_of_table, pages);
  std::vector<RowPointer> maps = {layout.used_pages, layout.free_pages};
  for (RowPointer map : layout.real_index_pages) {
    CollectMap(pager, map, index_of_table, pages);
    maps.push_back(map);
  }
  for (const IndexDef& index : layout.def->indexes) {
    if (index.root_page > 1 && index.root_page < pager.page_count() &&
        index_of_table(pager.Page(index.root_page))) {
      pages.insert(index.root_page);
    }
  }

  db.DeleteRow(catalog::kObjectsTable, object->row);
  GlobalPages global(pager);
  std::set<uint32_t> map_pages;
  std::set<std::pair<uint32_t, uint8_t>> deleted;
  for (RowPointer map : maps) {
    if (map.page == 0 || pages.count(map.page) || !deleted.insert({map.page, map.row}).second) {
      continue;
    }
    DeleteUsageMapRow(pager, map);
    map_pages.insert(map.page);
  }
  for (uint32_t page : pages) global.Free(page);
  // A usage-map page with nothing left on it, and no other table's, goes too.
  for (uint32_t page : map_pages) {
    ByteSpan p = pager.Page(page);
    if (p[0] != page_type::kData) continue;
    uint32_t owner = ReadU32(p, data_page::kOwnerOffset);
    if (owner != 0 && owner != tdef_page) continue;
    bool empty = true;
    for (const PageRow& r : ReadPageRows(p)) empty &= r.deleted();
    if (empty) global.Free(page);
  }
}

}  // namespace jet
