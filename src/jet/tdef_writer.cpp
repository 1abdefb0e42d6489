#include "jet/tdef_writer.h"

#include <algorithm>
#include <unordered_set>

#include "jet/byte_writer.h"
#include "jet/format_error.h"
#include "jet/row_codec.h"
#include "jet/tdef_page.h"
#include "jet/text_encoder.h"

namespace jet {
namespace {

const tdef::Layout& L = tdef::kJet4;
constexpr size_t kHeaderSize = 63;  // up to the per-index row counts

bool IsVariable(ColumnType t) {
  return t == ColumnType::kText || t == ColumnType::kBinary || t == ColumnType::kMemo ||
         t == ColumnType::kOle;
}
bool IsLong(ColumnType t) {
  return t == ColumnType::kMemo || t == ColumnType::kOle;
}

void AppendName(std::vector<uint8_t>& out, const std::string& name) {
  std::vector<uint8_t> text = EncodeJet4Text(Utf8ToUtf16(name), false);
  AppendU16(out, static_cast<uint16_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

uint32_t Packed(RowPointer p) {
  return EncodeRowPointer(p.page, p.row);
}

std::vector<uint8_t> RealIndexEntry(const RealIndexPlan& real, const TableDef& table) {
  std::vector<uint8_t> e(L.real_index_size, 0);
  PutU32(e, 0, tdef::kIndexNumber);
  for (size_t slot = 0; slot < tdef::kIndexColumnSlots; ++slot) {
    size_t o = L.real_index_columns + slot * tdef::kIndexColumnSlotSize;
    if (slot < real.columns.size()) {
      const IndexColumn& c = real.columns[slot];
      PutU16(e, o,
             static_cast<uint16_t>(table.columns[static_cast<size_t>(c.column)].column_number));
      e[o + 2] = c.ascending ? tdef::kAscending : 0;
    } else {
      PutU16(e, o, tdef::kNoColumn);
    }
  }
  PutU32(e, L.real_index_pages, Packed(real.pages));
  PutU32(e, L.real_index_first_page, real.root_page);
  e[L.real_index_flags] = static_cast<uint8_t>(real.flags | tdef::kIndexAccess2000);
  return e;
}

std::vector<uint8_t> LogicalIndexEntry(const IndexDef& index, uint32_t number, uint32_t real) {
  std::vector<uint8_t> e(L.logical_index_size, 0);
  PutU32(e, 0, tdef::kTableNumber);
  PutU32(e, L.logical_index_number, number);
  PutU32(e, L.logical_index_real, real);
  PutU32(e, L.logical_index_related_index, tdef::kNoRelatedIndex);
  if (index.reference) {
    const IndexReference& ref = *index.reference;
    e[L.logical_index_related_kind] =
        ref.referenced_side ? tdef::kRelatedKindReferenced : tdef::kRelatedKindReferring;
    PutU32(e, L.logical_index_related_index, static_cast<uint32_t>(ref.related_index));
    PutU32(e, L.logical_index_related_page, ref.related_table_page);
    e[L.logical_index_cascade_updates] = ref.cascade_updates ? tdef::kCascadeUpdates : 0;
    e[L.logical_index_cascade_deletes] =
        static_cast<uint8_t>((ref.cascade_deletes ? tdef::kCascadeDeletes : 0) |
                             (ref.cascade_null ? tdef::kCascadeNull : 0));
  }
  e[L.logical_index_type] = index.primary       ? tdef::kIndexPrimary
                            : index.foreign_key ? tdef::kIndexForeign
                                                : 0;
  return e;
}

std::vector<uint8_t> ColumnEntry(const ColumnDef& c, size_t var_index, size_t fixed_offset,
                                 const std::array<uint8_t, 4>& sort_order) {
  std::vector<uint8_t> e(L.column_entry_size, 0);
  e[L.column_type] = static_cast<uint8_t>(c.type);
  PutU32(e, 1, tdef::kTableNumber);
  PutU16(e, L.column_number, static_cast<uint16_t>(c.column_number));
  PutU16(e, L.column_var_index, static_cast<uint16_t>(var_index));
  PutU16(e, tdef::kColumnNumberAgain, static_cast<uint16_t>(c.column_number));
  if (c.type == ColumnType::kText || c.type == ColumnType::kMemo) {
    std::copy(sort_order.begin(), sort_order.end(), e.begin() + tdef::kColumnSortOrder);
  } else if (c.type == ColumnType::kNumeric) {
    e[L.column_precision] = c.precision;
    e[L.column_scale] = c.scale;
  }
  uint8_t flags = 0;
  if (!IsVariable(c.type)) flags |= tdef::kColumnFixed;
  if (c.nullable) flags |= tdef::kColumnNullable;
  if (c.autonumber) flags |= tdef::kColumnAutoLong;
  if (c.guid_autonumber) flags |= tdef::kColumnAutoGuid;
  e[L.column_flags] = flags;
  e[L.column_ext_flags] = c.compressed_unicode ? tdef::kExtCompressedUnicode : 0;
  PutU16(e, L.column_fixed_offset, static_cast<uint16_t>(fixed_offset));
  PutU16(e, L.column_length, DefinedLength(c));
  return e;
}

}  // namespace

size_t SkipDefinitionNames(const std::vector<uint8_t>& b, size_t at, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (at + 2 > b.size()) ThrowCorrupt("table definition names past its end");
    at += 2 + ReadU16(b, at);
  }
  if (at > b.size()) ThrowCorrupt("table definition names past its end");
  return at;
}

IndexParts FindIndexParts(const std::vector<uint8_t>& b) {
  IndexParts p;
  const size_t columns = ReadU16(b, L.columns);
  p.logical = ReadU32(b, L.logical_indexes);
  p.reals = ReadU32(b, L.real_indexes);
  p.counts_end = L.real_index_entries + p.reals * L.real_index_entry_size;
  p.real_start = SkipDefinitionNames(b, p.counts_end + columns * L.column_entry_size, columns);
  p.logical_start = p.real_start + p.reals * L.real_index_size;
  p.logical_end = p.logical_start + p.logical * L.logical_index_size;
  if (p.logical_end > b.size()) ThrowCorrupt("table definition indexes past its end");
  p.names_end = SkipDefinitionNames(b, p.logical_end, p.logical);
  const size_t recorded = ReadU32(b, tdef::kDefinitionLengthOffset);
  p.end = recorded >= p.names_end + tdef::kTrailerSize && recorded <= b.size()
              ? recorded
              : std::min(b.size(), p.names_end + tdef::kTrailerSize);
  return p;
}

std::vector<uint8_t> EncodeColumnEntry(const ColumnDef& column, size_t var_index,
                                       size_t fixed_offset, const TableDefinitionPlan& plan) {
  return ColumnEntry(column, var_index, fixed_offset, plan.text_sort_order);
}

void AppendColumnName(std::vector<uint8_t>& out, const std::string& name) {
  AppendName(out, name);
}

size_t FixedDataSize(const ColumnDef& column) {
  if (IsVariable(column.type) || column.type == ColumnType::kBoolean) return 0;
  return DefinedLength(column);
}

uint16_t DefinedLength(const ColumnDef& column) {
  switch (column.type) {
    case ColumnType::kBoolean:
      return 1;  // recorded as one byte, though the value lives in the null mask
    case ColumnType::kMemo:
    case ColumnType::kOle:
    case ColumnType::kComplex:
      return 0;
    default:
      return static_cast<uint16_t>(FixedColumnSize(column));
  }
}

std::vector<uint8_t> EncodeTableDefinition(const TableDefinitionPlan& plan) {
  const TableDef& def = *plan.def;
  std::vector<uint8_t> out(kHeaderSize, 0);
  out[0] = page_type::kTableDef;
  out[1] = 0x01;
  PutU32(out, tdef::kTableNumberOffset, tdef::kTableNumber);
  PutU32(out, tdef::kNextAutonumberJet4, plan.last_autonumber);
  PutU32(out, tdef::kAutonumberIncrement, static_cast<uint32_t>(plan.autonumber_increment));
  out[L.table_type] = tdef::kTableTypeUser;
  size_t var_count = 0;
  size_t long_count = 0;
  for (const ColumnDef& c : def.columns) {
    if (IsVariable(c.type)) ++var_count;
    if (IsLong(c.type)) ++long_count;
  }
  PutU16(out, L.max_columns, static_cast<uint16_t>(def.columns.size()));
  PutU16(out, L.var_columns, static_cast<uint16_t>(var_count));
  PutU16(out, L.columns, static_cast<uint16_t>(def.columns.size()));
  PutU32(out, L.logical_indexes, static_cast<uint32_t>(def.indexes.size()));
  PutU32(out, L.real_indexes, static_cast<uint32_t>(plan.real.size()));
  PutU32(out, L.used_pages, Packed(plan.used_pages));
  PutU32(out, L.free_pages, Packed(plan.free_pages));
  out.resize(out.size() + plan.real.size() * L.real_index_entry_size, 0);

  // Long values go after the other variable columns, as Access lays them out.
  size_t next_var = 0;
  size_t next_long = var_count - long_count;
  size_t next_fixed = 0;
  for (const ColumnDef& c : def.columns) {
    size_t var_index = 0;
    size_t fixed_offset = 0;
    if (IsLong(c.type)) {
      var_index = next_long++;
    } else if (IsVariable(c.type)) {
      var_index = next_var++;
    } else {
      fixed_offset = c.type == ColumnType::kBoolean ? 0 : next_fixed;
      next_fixed += FixedDataSize(c);
    }
    std::vector<uint8_t> e = ColumnEntry(c, var_index, fixed_offset, plan.text_sort_order);
    out.insert(out.end(), e.begin(), e.end());
  }
  for (const ColumnDef& c : def.columns) AppendName(out, c.name);
  for (const RealIndexPlan& r : plan.real) {
    std::vector<uint8_t> e = RealIndexEntry(r, def);
    out.insert(out.end(), e.begin(), e.end());
  }
  for (size_t i = 0; i < def.indexes.size(); ++i) {
    std::vector<uint8_t> e = LogicalIndexEntry(def.indexes[i], static_cast<uint32_t>(i),
                                               static_cast<uint32_t>(plan.logical_real[i]));
    out.insert(out.end(), e.begin(), e.end());
  }
  for (const IndexDef& index : def.indexes) AppendName(out, index.name);
  AppendU16(out, 0xffff);
  PutU32(out, tdef::kDefinitionLengthOffset, static_cast<uint32_t>(out.size()));
  return out;
}

std::vector<uint8_t> AddIndexToDefinition(const std::vector<uint8_t>& definition,
                                          const IndexDef& index, const RealIndexPlan& real,
                                          const TableDef& table) {
  const std::vector<uint8_t>& b = definition;
  const IndexParts p = FindIndexParts(b);
  std::vector<uint8_t> out;
  auto copy = [&](size_t from, size_t to) {
    out.insert(out.end(), b.begin() + from, b.begin() + to);
  };
  copy(0, p.counts_end);
  out.resize(out.size() + L.real_index_entry_size, 0);
  copy(p.counts_end, p.logical_start);
  std::vector<uint8_t> r = RealIndexEntry(real, table);
  out.insert(out.end(), r.begin(), r.end());
  copy(p.logical_start, p.logical_end);
  std::vector<uint8_t> l = LogicalIndexEntry(index, p.logical, p.reals);
  out.insert(out.end(), l.begin(), l.end());
  copy(p.logical_end, p.names_end);
  AppendName(out, index.name);
  copy(p.names_end, p.end);
  PutU32(out, L.logical_indexes, p.logical + 1);
  PutU32(out, L.real_indexes, p.reals + 1);
  PutU32(out, tdef::kDefinitionLengthOffset, static_cast<uint32_t>(out.size()));
  return out;
}

std::vector<uint8_t> AddLogicalIndexToDefinition(const std::vector<uint8_t>& definition,
                                                 const IndexDef& index, uint32_t real) {
  const IndexParts p = FindIndexParts(definition);
  if (real >= p.reals) ThrowCorrupt("logical index without its physical index");
  std::vector<uint8_t> out(definition.begin(),
                           definition.begin() + static_cast<std::ptrdiff_t>(p.logical_end));
  std::vector<uint8_t> l = LogicalIndexEntry(index, p.logical, real);
  out.insert(out.end(), l.begin(), l.end());
  out.insert(out.end(), definition.begin() + static_cast<std::ptrdiff_t>(p.logical_end),
             definition.begin() + static_cast<std::ptrdiff_t>(p.names_end));
  AppendName(out, index.name);
  out.insert(out.end(), definition.begin() + static_cast<std::ptrdiff_t>(p.names_end),
             definition.begin() + static_cast<std::ptrdiff_t>(p.end));
  PutU32(out, L.logical_indexes, p.logical + 1);
  PutU32(out, tdef::kDefinitionLengthOffset, static_cast<uint32_t>(out.size()));
  return out;
}

bool RenumberRelatedIndexes(std::vector<uint8_t>& definition, uint32_t related_page,
                            uint32_t removed) {
  const IndexParts p = FindIndexParts(definition);
  bool changed = false;
  for (uint32_t i = 0; i < p.logical; ++i) {
    size_t at = p.logical_start + i * L.logical_index_size;
    if (definition[at + L.logical_index_type] != tdef::kIndexForeign) continue;
    uint32_t related = ReadU32(definition, at + L.logical_index_related_index);
    if (related == tdef::kNoRelatedIndex || related <= removed) continue;
    if (ReadU32(definition, at + L.logical_index_related_page) != related_page) continue;
    PutU32(definition, at + L.logical_index_related_index, related - 1);
    changed = true;
  }
  return changed;
}

std::vector<uint8_t> ReadTableDefinitionBytes(PageReader& pages, uint32_t first_page,
                                              std::vector<uint32_t>* chain) {
  std::vector<uint8_t> bytes;
  std::unordered_set<uint32_t> seen;
  uint32_t number = first_page;
  while (number != 0) {
    if (!seen.insert(number).second) ThrowCorrupt("cycle in a table definition chain");
    ByteSpan page = pages.Page(number);
    if (page[0] != page_type::kTableDef) ThrowCorrupt("not a table definition page");
    size_t skip = bytes.empty() ? 0 : tdef::kContinuationHeader;
    bytes.insert(bytes.end(), page.begin() + static_cast<std::ptrdiff_t>(skip), page.end());
    if (chain) chain->push_back(number);
    number = ReadU32(page, tdef::kNextPageOffset);
  }
  return bytes;
}

void WriteTableDefinition(Pager& pager, const std::vector<uint8_t>& definition,
                          std::vector<uint32_t> chain, const std::function<uint32_t()>& new_page,
                          const std::function<void(uint32_t)>& free_page) {
  const size_t page_size = pager.page_size();
  const size_t more = page_size - tdef::kContinuationHeader;
  size_t needed = 1;
  if (definition.size() > page_size) needed += (definition.size() - page_size + more - 1) / more;
  while (chain.size() < needed) chain.push_back(new_page());
  for (size_t i = needed; i < chain.size(); ++i) free_page(chain[i]);
  chain.resize(needed);

  size_t at = 0;
  for (size_t i = 0; i < needed; ++i) {
    std::span<uint8_t> page = pager.Modify(chain[i]);
    std::fill(page.begin(), page.end(), 0);
    size_t start = i == 0 ? 0 : tdef::kContinuationHeader;
    size_t length = std::min(page_size - start, definition.size() - at);
    std::copy(definition.begin() + static_cast<std::ptrdiff_t>(at),
              definition.begin() + static_cast<std::ptrdiff_t>(at + length),
              page.begin() + static_cast<std::ptrdiff_t>(start));
    at += length;
    page[0] = page_type::kTableDef;
    page[1] = 0x01;
    size_t used = start + length;
    PutU16(page, tdef::kFreeSpaceOffset,
           static_cast<uint16_t>(page_size - used >= 8 ? page_size - used - 8 : 0));
    PutU32(page, tdef::kNextPageOffset, i + 1 < needed ? chain[i + 1] : 0);
  }
}

}  // namespace jet
