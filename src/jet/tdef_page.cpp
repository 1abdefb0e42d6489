#include "jet/tdef_page.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

#include "jet/text_codec.h"

namespace jet {
namespace {

// The definition's bytes: the first page whole, then each chained page after its header.
std::vector<uint8_t> ReadDefinitionBytes(PageReader& pages, uint32_t first_page) {
  std::vector<uint8_t> bytes;
  std::unordered_set<uint32_t> seen;
  uint32_t page_number = first_page;
  while (page_number != 0) {
    if (!seen.insert(page_number).second) ThrowCorrupt("cycle in a table definition chain");
    ByteSpan page = pages.Page(page_number);
    if (page[0] != page_type::kTableDef) ThrowCorrupt("not a table definition page");
    size_t skip = bytes.empty() ? 0 : tdef::kContinuationHeader;
    bytes.insert(bytes.end(), page.begin() + static_cast<std::ptrdiff_t>(skip), page.end());
    page_number = ReadU32(page, tdef::kNextPageOffset);
  }
  return bytes;
}

// Reads names stored one after the other (length, then text), advancing `at`.
std::string ReadName(ByteSpan bytes, size_t& at, JetVersion version, size_t length_size) {
  size_t length = length_size == 1 ? ReadU8(bytes, at) : ReadU16(bytes, at);
  at += length_size;
  ByteSpan text = Slice(bytes, at, length);
  at += length;
  return DecodeText(text, version);
}

struct RawColumn {
  ColumnDef def;
  ColumnPlace place;
};

std::vector<RawColumn> ReadColumns(ByteSpan bytes, const tdef::Layout& l, JetVersion version,
                                   size_t count, size_t& at) {
  std::vector<RawColumn> columns(count);
  for (size_t i = 0; i < count; ++i) {
    ByteSpan entry = Slice(bytes, at + i * l.column_entry_size, l.column_entry_size);
    RawColumn& c = columns[i];
    c.def.type = static_cast<ColumnType>(ReadU8(entry, l.column_type));
    c.def.column_number = ReadU16(entry, l.column_number);
    c.def.size = ReadU16(entry, l.column_length);
    uint8_t flags = ReadU8(entry, l.column_flags);
    c.def.fixed = (flags & tdef::kColumnFixed) != 0;
    c.def.nullable = (flags & tdef::kColumnNullable) != 0;
    c.def.autonumber = (flags & tdef::kColumnAutoLong) != 0;
    c.def.guid_autonumber = (flags & tdef::kColumnAutoGuid) != 0;
    if (l.column_ext_flags != 0) {
      c.def.compressed_unicode =
          (ReadU8(entry, l.column_ext_flags) & tdef::kExtCompressedUnicode) != 0;
    }
    if (c.def.type == ColumnType::kNumeric) {
      c.def.precision = ReadU8(entry, l.column_precision);
      c.def.scale = ReadU8(entry, l.column_scale);
    }
    c.place.number = c.def.column_number;
    c.place.var_index = ReadU16(entry, l.column_var_index);
    c.place.fixed_offset = ReadU16(entry, l.column_fixed_offset);
    c.place.fixed = c.def.fixed;
  }
  at += count * l.column_entry_size;
  for (RawColumn& c : columns) c.def.name = ReadName(bytes, at, version, l.name_length_size);
  return columns;
}

struct RealIndex {
  std::vector<std::pair<uint16_t, bool>> columns;  // column number, ascending
  uint32_t first_page = 0;
  RowPointer pages;
  uint8_t flags = 0;
};

std::vector<RealIndex> ReadRealIndexes(ByteSpan bytes, const tdef::Layout& l, size_t count,
                                       size_t& at) {
  std::vector<RealIndex> result(count);
  for (size_t i = 0; i < count; ++i) {
    ByteSpan entry = Slice(bytes, at + i * l.real_index_size, l.real_index_size);
    for (size_t slot = 0; slot < tdef::kIndexColumnSlots; ++slot) {
      size_t o = l.real_index_columns + slot * tdef::kIndexColumnSlotSize;
      uint16_t number = ReadU16(entry, o);
      if (number == tdef::kNoColumn) continue;
      result[i].columns.emplace_back(number, ReadU8(entry, o + 2) == tdef::kAscending);
    }
    result[i].first_page = ReadU32(entry, l.real_index_first_page);
    result[i].pages = DecodeRowPointer(ReadU32(entry, l.real_index_pages));
    result[i].flags = ReadU8(entry, l.real_index_flags);
  }
  at += count * l.real_index_size;
  return result;
}

}  // namespace

TableLayout ReadTableLayout(PageReader& pages, JetVersion version, uint32_t first_page,
                            const std::string& name) {
  const tdef::Layout& l = version == JetVersion::kJet3 ? tdef::kJet3 : tdef::kJet4;
  std::vector<uint8_t> owned = ReadDefinitionBytes(pages, first_page);
  ByteSpan bytes(owned);

  TableLayout layout;
  layout.tdef_page = first_page;
  auto def = std::make_shared<TableDef>();
  def->name = name;
  def->row_count = ReadU32(bytes, l.row_count);
  size_t column_count = ReadU16(bytes, l.columns);
  layout.var_columns = ReadU16(bytes, l.var_columns);
  size_t logical_count = ReadU32(bytes, l.logical_indexes);
  size_t real_count = ReadU32(bytes, l.real_indexes);
  layout.used_pages = DecodeRowPointer(ReadU32(bytes, l.used_pages));
  layout.free_pages = DecodeRowPointer(ReadU32(bytes, l.free_pages));
  layout.max_columns = ReadU16(bytes, l.max_columns);
  // The entries must fit the definition's bytes; larger counts are damage.
  uint64_t needed =
      static_cast<uint64_t>(real_count) * (l.real_index_entry_size + l.real_index_size) +
      static_cast<uint64_t>(column_count) * l.column_entry_size +
      static_cast<uint64_t>(logical_count) * l.logical_index_size;
  if (needed > bytes.size()) ThrowCorrupt("absurd counts in a table definition");

  size_t at = l.real_index_entries + real_count * l.real_index_entry_size;
  std::vector<RawColumn> columns = ReadColumns(bytes, l, version, column_count, at);
  std::vector<RealIndex> real = ReadRealIndexes(bytes, l, real_count, at);

  std::stable_sort(columns.begin(), columns.end(), [](const RawColumn& a, const RawColumn& b) {
    return a.def.column_number < b.def.column_number;
  });
  for (RawColumn& c : columns) {
    def->columns.push_back(c.def);
    layout.places.push_back(c.place);
  }
  auto position_of = [&](uint16_t number) -> int {
    for (size_t i = 0; i < def->columns.size(); ++i) {
      if (def->columns[i].column_number == number) return static_cast<int>(i);
    }
    ThrowCorrupt("index on a column that does not exist");
  };

  for (const RealIndex& r : real) layout.real_index_pages.push_back(r.pages);
  std::vector<IndexDef> indexes(logical_count);
  for (size_t i = 0; i < logical_count; ++i) {
    ByteSpan entry = Slice(bytes, at + i * l.logical_index_size, l.logical_index_size);
    uint32_t real_number = ReadU32(entry, l.logical_index_real);
    if (real_number >= real.size()) ThrowCorrupt("logical index without its physical index");
    const RealIndex& r = real[real_number];
    IndexDef& index = indexes[i];
    uint8_t type = ReadU8(entry, l.logical_index_type);
    index.primary = type == tdef::kIndexPrimary;
    index.foreign_key = type == tdef::kIndexForeign;
    index.number = static_cast<int>(ReadU32(entry, l.logical_index_number));
    const uint32_t related_index = ReadU32(entry, l.logical_index_related_index);
    if (index.foreign_key && related_index != tdef::kNoRelatedIndex) {
      IndexReference& ref = index.reference.emplace();
      ref.referenced_side =
          ReadU8(entry, l.logical_index_related_kind) == tdef::kRelatedKindReferenced;
      ref.related_index = static_cast<int>(related_index);
      ref.related_table_page = ReadU32(entry, l.logical_index_related_page);
      ref.cascade_updates =
          (ReadU8(entry, l.logical_index_cascade_updates) & tdef::kCascadeUpdates) != 0;
      const uint8_t deletes = ReadU8(entry, l.logical_index_cascade_deletes);
      ref.cascade_deletes = (deletes & tdef::kCascadeDeletes) != 0;
      ref.cascade_null = (deletes & tdef::kCascadeNull) != 0;
    }
    index.unique = (r.flags & tdef::kIndexUnique) != 0 || index.primary;
    index.ignore_nulls = (r.flags & tdef::kIndexIgnoreNulls) != 0;
    index.required = (r.flags & tdef::kIndexRequired) != 0 || index.primary;
    index.root_page = r.first_page;
    std::vector<IndexKeyColumn> keys;
    for (auto [number, ascending] : r.columns) {
      int position = position_of(number);
      index.columns.push_back({position, ascending});
      const ColumnDef& column = def->columns[static_cast<size_t>(position)];
      keys.push_back({column.type, ascending, column.scale});
    }
    layout.index_keys.push_back(std::move(keys));
    layout.real_index.push_back(real_number);
  }
  at += logical_count * l.logical_index_size;
  for (IndexDef& index : indexes) index.name = ReadName(bytes, at, version, l.name_length_size);
  def->indexes = std::move(indexes);
  layout.def = std::move(def);
  return layout;
}

}  // namespace jet
