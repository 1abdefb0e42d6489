#include "jet/tdef_column_edit.h"

#include <algorithm>

#include "jet/byte_order.h"
#include "jet/byte_writer.h"
#include "jet/format_error.h"
#include "jet/tdef_page.h"
#include "jet/tdef_writer.h"

namespace jet {
namespace {

const tdef::Layout& L = tdef::kJet4;

// Where the parts of a definition start and end.
struct Regions {
  size_t columns = 0;
  size_t entries = 0;      // first column entry
  size_t names = 0;        // first column name
  size_t names_end = 0;    // first physical index entry
  size_t index_names = 0;  // first index name
  size_t maps = 0;         // long-value map entries (after the index names)
  size_t maps_end = 0;     // the end marker of that list, or the end
  size_t end = 0;          // the recorded length
};

Regions Locate(const std::vector<uint8_t>& b) {
  Regions r;
  r.columns = ReadU16(b, L.columns);
  uint32_t logical = ReadU32(b, L.logical_indexes);
  uint32_t reals = ReadU32(b, L.real_indexes);
  r.entries = L.real_index_entries + reals * L.real_index_entry_size;
  r.names = r.entries + r.columns * L.column_entry_size;
  r.names_end = SkipDefinitionNames(b, r.names, r.columns);
  r.index_names = r.names_end + reals * L.real_index_size + logical * L.logical_index_size;
  r.maps = SkipDefinitionNames(b, r.index_names, logical);
  size_t recorded = ReadU32(b, tdef::kDefinitionLengthOffset);
  r.end = recorded >= r.maps && recorded <= b.size() ? recorded : b.size();
  r.maps_end = r.maps;
  while (r.maps_end + 2 <= r.end && ReadU16(b, r.maps_end) != tdef::kEndOfLongValueMaps &&
         r.maps_end + tdef::kLongValueMapEntrySize <= r.end) {
    r.maps_end += tdef::kLongValueMapEntrySize;
  }
  return r;
}

RowPointer MapAt(const std::vector<uint8_t>& b, size_t at) {
  return DecodeRowPointer(ReadU32(b, at));
}

// `b` rebuilt with the column entry at `position` replaced by `entry` (none: removed with its
// name). The column's long-value map entry is left out unless `entry` is given and `freed` is not.
std::vector<uint8_t> Rebuild(const std::vector<uint8_t>& b, size_t position,
                             const std::vector<uint8_t>* entry, std::vector<RowPointer>* freed) {
  Regions r = Locate(b);
  if (position >= r.columns) ThrowCorrupt("no such column entry");
  const size_t at = r.entries + position * L.column_entry_size;
  const uint16_t number = ReadU16(b, at + L.column_number);
  std::vector<uint8_t> out;
  auto copy = [&](size_t from, size_t to) {
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(from),
               b.begin() + static_cast<std::ptrdiff_t>(to));
  };
  copy(0, at);
  if (entry) out.insert(out.end(), entry->begin(), entry->end());
  copy(at + L.column_entry_size, r.names);
  size_t name = r.names;
  for (size_t i = 0; i < r.columns; ++i) {
    size_t next = name + 2 + ReadU16(b, name);
    if (entry || i != position) copy(name, next);
    name = next;
  }
  copy(r.names_end, r.maps);
  const bool drop_maps = entry == nullptr || freed != nullptr;
  for (size_t m = r.maps; m < r.maps_end; m += tdef::kLongValueMapEntrySize) {
    if (drop_maps && ReadU16(b, m) == number) {
      if (freed) {
        freed->push_back(MapAt(b, m + 2));
        freed->push_back(MapAt(b, m + 6));
      }
      continue;
    }
    copy(m, m + tdef::kLongValueMapEntrySize);
  }
  copy(r.maps_end, r.end);
  if (!entry) PutU16(out, L.columns, static_cast<uint16_t>(r.columns - 1));
  PutU32(out, tdef::kDefinitionLengthOffset, static_cast<uint32_t>(out.size()));
  return out;
}

}  // namespace

std::optional<size_t> FindColumnEntry(const std::vector<uint8_t>& definition, int number) {
  Regions r = Locate(definition);
  for (size_t i = 0; i < r.columns; ++i) {
    size_t at = r.entries + i * L.column_entry_size;
    if (ReadU16(definition, at + L.column_number) == number) return i;
  }
  return std::nullopt;
}

std::vector<uint8_t> RemoveColumnEntry(const std::vector<uint8_t>& definition, size_t position,
                                       std::vector<RowPointer>* freed_maps) {
  return Rebuild(definition, position, nullptr, freed_maps);
}

std::vector<uint8_t> ReplaceColumnEntry(const std::vector<uint8_t>& definition, size_t position,
                                        const std::vector<uint8_t>& entry,
                                        std::vector<RowPointer>* freed_maps) {
  return Rebuild(definition, position, &entry, freed_maps);
}

}  // namespace jet
