#include "jet/schema_pages.h"

#include <algorithm>

#include "error/errors.h"
#include "jet/byte_writer.h"
#include "jet/catalog.h"
#include "jet/data_page_writer.h"
#include "jet/index_writer.h"
#include "jet/tdef_page.h"
#include "jet/tdef_writer.h"

namespace jet {
namespace {

constexpr std::array<uint8_t, 4> kGeneralSortOrder = {0x09, 0x04, 0x00, 0x00};  // 1033, version 0

}  // namespace

GlobalPages::GlobalPages(Pager& pager)
    : pager_(pager), allocator_(pager, {}, {}), global_(pager, global_map::kRow, nullptr) {}

uint32_t GlobalPages::Allocate() {
  return allocator_.AllocateUnowned();
}

void GlobalPages::Free(uint32_t page) {
  std::span<uint8_t> bytes = pager_.Modify(page);
  std::fill(bytes.begin(), bytes.end(), 0);
  global_.Add(page);
}

RowPointer AddUsageMapRow(Pager& pager, uint32_t page, std::optional<uint32_t> first) {
  std::vector<uint8_t> row(usage_map::kInlineBitmapOffset + usage_map::kNewMapBitmapBytes, 0);
  row[0] = usage_map::kInline;
  if (first) {
    PutU32(row, usage_map::kInlineStartOffset, *first);
    row[usage_map::kInlineBitmapOffset] = 0x01;
  }
  std::optional<uint8_t> number = AddPageRow(pager.Modify(page), std::move(row), 0);
  if (!number) throw errors::Internal("Interner Fehler: Seite der Belegungstabellen voll.");
  return {page, *number};
}

uint32_t AllocateNewTablePages(Pager& pager, GlobalPages& global, TableDefinitionPlan& plan) {
  const uint32_t tdef_page = global.Allocate();
  const uint32_t map_page = global.Allocate();
  InitDataPage(pager.Modify(map_page), 0);
  plan.used_pages = AddUsageMapRow(pager, map_page, std::nullopt);
  plan.free_pages = AddUsageMapRow(pager, map_page, std::nullopt);
  for (RealIndexPlan& r : plan.real) {
    r.root_page = global.Allocate();
    WriteEmptyIndexRoot(pager, JetVersion::kJet4, r.root_page, tdef_page);
    r.pages = AddUsageMapRow(pager, map_page, r.root_page);
  }
  return tdef_page;
}

void DeleteUsageMapRow(Pager& pager, RowPointer map) {
  std::span<uint8_t> page = pager.Modify(map.page);
  if (page[0] != page_type::kData) return;
  std::vector<PageRow> rows = ReadPageRows(page);
  if (map.row >= rows.size()) return;
  rows[map.row].flags = data_page::kDeletedFlags;
  rows[map.row].bytes.clear();
  WritePageRows(page, rows);
}

std::array<uint8_t, 4> TextSortOrder(PageReader& pages) {
  std::vector<uint8_t> b =
      ReadTableDefinitionBytes(pages, catalog::kObjectsDefinitionPage, nullptr);
  const tdef::Layout& l = tdef::kJet4;
  size_t columns = ReadU16(b, l.columns);
  size_t at = l.real_index_entries + ReadU32(b, l.real_indexes) * l.real_index_entry_size;
  for (size_t i = 0; i < columns; ++i, at += l.column_entry_size) {
    if (at + l.column_entry_size > b.size()) break;
    if (b[at + l.column_type] != static_cast<uint8_t>(ColumnType::kText)) continue;
    std::array<uint8_t, 4> order;
    std::copy_n(b.begin() + static_cast<std::ptrdiff_t>(at + tdef::kColumnSortOrder), 4,
                order.begin());
    if (order[0] != 0 || order[1] != 0) return order;
  }
  return kGeneralSortOrder;
}

uint8_t RealIndexFlags(const IndexDef& index) {
  uint8_t flags = 0;
  if (index.unique || index.primary) flags |= tdef::kIndexUnique;
  if (index.ignore_nulls) flags |= tdef::kIndexIgnoreNulls;
  if (index.required || index.primary) flags |= tdef::kIndexRequired;
  return flags;
}

void CheckIndexColumns(const TableDef& table, const IndexDef& index) {
  if (index.columns.empty() || index.columns.size() > tdef::kIndexColumnSlots) {
    throw errors::ItemNotFound();
  }
  for (const IndexColumn& c : index.columns) {
    if (c.column < 0 || static_cast<size_t>(c.column) >= table.columns.size()) {
      throw errors::ItemNotFound();
    }
  }
}

}  // namespace jet
