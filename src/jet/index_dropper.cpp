#include "jet/index_dropper.h"

#include <set>

#include "error/errors.h"
#include "jet/byte_writer.h"
#include "jet/catalog.h"
#include "jet/catalog_rows.h"
#include "jet/index_page.h"
#include "jet/name_fold.h"
#include "jet/schema_pages.h"
#include "jet/tdef_page.h"
#include "jet/tdef_writer.h"
#include "jet/usage_map_writer.h"

namespace jet {
namespace {

const tdef::Layout& L = tdef::kJet4;

// `definition` without logical index `logical`, and without physical index `real` when given.
std::vector<uint8_t> RemoveIndex(const std::vector<uint8_t>& b, size_t logical,
                                 std::optional<size_t> real) {
  const IndexParts p = FindIndexParts(b);
  std::vector<uint8_t> out;
  auto copy = [&](size_t from, size_t to) {
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(from),
               b.begin() + static_cast<std::ptrdiff_t>(to));
  };
  auto copy_without = [&](size_t start, size_t size, size_t count, std::optional<size_t> skip) {
    for (size_t i = 0; i < count; ++i) {
      if (skip && i == *skip) continue;
      copy(start + i * size, start + (i + 1) * size);
    }
  };
  copy(0, L.real_index_entries);
  copy_without(L.real_index_entries, L.real_index_entry_size, p.reals, real);
  copy(p.counts_end, p.real_start);
  copy_without(p.real_start, L.real_index_size, p.reals, real);
  size_t logical_start = out.size();
  copy_without(p.logical_start, L.logical_index_size, p.logical, logical);
  for (uint32_t i = 0; i + 1 < p.logical; ++i) {
    size_t at = logical_start + i * L.logical_index_size;
    PutU32(out, at + L.logical_index_number, i);
    uint32_t r = ReadU32(out, at + L.logical_index_real);
    if (real && r > *real) PutU32(out, at + L.logical_index_real, r - 1);
  }
  size_t at = p.logical_end;
  for (size_t i = 0; i < p.logical; ++i) {
    size_t next = at + 2 + ReadU16(b, at);
    if (i != logical) copy(at, next);
    at = next;
  }
  copy(p.names_end, p.end);
  PutU32(out, L.logical_indexes, p.logical - 1);
  PutU32(out, L.real_indexes, real ? p.reals - 1 : p.reals);
  PutU32(out, tdef::kDefinitionLengthOffset, static_cast<uint32_t>(out.size()));
  return out;
}

}  // namespace

void DropIndexFromFile(Pager& pager, Database& db, const std::string& table,
                       const std::string& index) {
  TableLayout layout = ReadUserTableForChange(pager, db, table);
  const std::vector<IndexDef>& indexes = layout.def->indexes;
  size_t logical = indexes.size();
  for (size_t i = 0; i < indexes.size(); ++i) {
    if (SameName(indexes[i].name, index)) logical = i;
  }
  if (logical == indexes.size()) throw errors::TableOrConstraintNotFound(index);
  if (InRelationship(db, layout.def->name)) throw errors::InRelationship();
  RemoveIndexFromFile(pager, layout, logical);
}

void RemoveIndexFromFile(Pager& pager, const TableLayout& layout, size_t logical) {
  const uint32_t tdef_page = layout.tdef_page;
  const std::vector<IndexDef>& indexes = layout.def->indexes;
  size_t real = layout.real_index[logical];
  bool shared = false;
  for (size_t i = 0; i < indexes.size(); ++i)
    shared |= i != logical && layout.real_index[i] == real;
  std::vector<uint32_t> chain;
  std::vector<uint8_t> definition = ReadTableDefinitionBytes(pager, tdef_page, &chain);
  definition = RemoveIndex(definition, logical, shared ? std::nullopt : std::optional(real));

  GlobalPages global(pager);
  if (!shared) {
    std::set<uint32_t> pages;
    auto of_table = [&](uint32_t page) {
      if (page <= 1 || page >= pager.page_count()) return false;
      ByteSpan p = pager.Page(page);
      return IsIndexPage(p) &&
             ReadU32(p, IndexPageLayoutFor(JetVersion::kJet4).table_page_offset) == tdef_page;
    };
    RowPointer map = layout.real_index_pages[real];
    if (map.page != 0) {
      UsageMapWriter reader(pager, map, nullptr);
      for (uint32_t page : reader.Pages(pager.page_count())) {
        if (of_table(page)) pages.insert(page);
      }
    }
    if (of_table(indexes[logical].root_page)) pages.insert(indexes[logical].root_page);
    if (map.page != 0) DeleteUsageMapRow(pager, map);
    for (uint32_t page : pages) global.Free(page);
  }
  WriteTableDefinition(
      pager, definition, chain, [&] { return global.Allocate(); },
      [&](uint32_t page) { global.Free(page); });
}

}  // namespace jet
