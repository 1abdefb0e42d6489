#include "jet/index_page.h"

#include "jet/format_error.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace jet {

namespace {

uint32_t ReadLe32(std::span<const uint8_t> page, size_t offset) {
  return static_cast<uint32_t>(page[offset]) | static_cast<uint32_t>(page[offset + 1]) << 8 |
         static_cast<uint32_t>(page[offset + 2]) << 16 |
         static_cast<uint32_t>(page[offset + 3]) << 24;
}

uint16_t ReadLe16(std::span<const uint8_t> page, size_t offset) {
  return static_cast<uint16_t>(page[offset] | page[offset + 1] << 8);
}

// The stored bytes of one entry: the first `shared` come from the page's first entry (the
// shared prefix), the rest from the entry's own bytes.
struct StoredEntry {
  const uint8_t* prefix;
  size_t shared;
  const uint8_t* own;
  size_t size;  // full size, prefix included

  uint8_t At(size_t i) const { return i < shared ? prefix[i] : own[i - shared]; }
  uint32_t ReadBe(size_t offset, size_t width) const {
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) value = value << 8 | At(offset + i);
    return value;
  }
};

// Splits the full bytes of an entry into key, row pointer and (intermediate) child pointer.
IndexEntry SplitEntry(const StoredEntry& full, bool leaf, uint32_t number) {
  const size_t trailer = kIndexRowPointerSize + (leaf ? 0 : kIndexChildPointerSize);
  if (full.size < trailer) ThrowDamagedIndexPage(number, "Eintrag zu kurz");
  const size_t key_size = full.size - trailer;
  IndexEntry entry;
  entry.row.page = full.ReadBe(key_size, 3);
  entry.row.row = static_cast<uint16_t>(full.At(key_size + 3));
  if (!leaf) entry.child = full.ReadBe(key_size + kIndexRowPointerSize, kIndexChildPointerSize);
  const size_t from_prefix = std::min(full.shared, key_size);
  entry.key.reserve(key_size);
  entry.key.assign(reinterpret_cast<const char*>(full.prefix), from_prefix);
  entry.key.append(reinterpret_cast<const char*>(full.own), key_size - from_prefix);
  return entry;
}

void WriteLe(std::vector<uint8_t>& page, size_t offset, uint32_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) page[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The row pointer (and child pointer) that follow an entry's key; returns their size.
size_t EntryTrailer(const IndexEntry& entry, bool leaf, uint8_t (&out)[8]) {
  out[0] = static_cast<uint8_t>(entry.row.page >> 16);
  out[1] = static_cast<uint8_t>(entry.row.page >> 8);
  out[2] = static_cast<uint8_t>(entry.row.page);
  out[3] = static_cast<uint8_t>(entry.row.row);
  if (leaf) return kIndexRowPointerSize;
  for (size_t i = 0; i < kIndexChildPointerSize; ++i) {
    out[4 + i] = static_cast<uint8_t>(entry.child >> (8 * (kIndexChildPointerSize - 1 - i)));
  }
  return kIndexRowPointerSize + kIndexChildPointerSize;
}

size_t UncompressedSize(const IndexPage& page) {
  const size_t trailer = kIndexRowPointerSize + (page.leaf ? 0 : kIndexChildPointerSize);
  size_t total = 0;
  for (const IndexEntry& e : page.entries) total += e.key.size() + trailer;
  return total;
}

// Bytes every entry after the first leaves out: none while the entries fit uncompressed.
size_t SharedPrefix(const IndexPage& page, size_t area) {
  if (page.entries.size() < 2 || UncompressedSize(page) <= area) return 0;
  const std::string& first = page.entries.front().key;
  const std::string& last = page.entries.back().key;
  size_t shared = 0;
  while (shared < first.size() && shared < last.size() && first[shared] == last[shared]) ++shared;
  return shared;
}

}  // namespace

size_t IndexEntryArea(JetVersion version) {
  const IndexPageLayout& layout = IndexPageLayoutFor(version);
  return std::min(layout.page_size - layout.entry_mask_offset - layout.entry_mask_size,
                  layout.entry_mask_size * 8 - 1);
}

bool IndexPageFits(const IndexPage& page, JetVersion version) {
  const size_t area = IndexEntryArea(version);
  const size_t total = UncompressedSize(page);
  if (total <= area) return true;
  return total - SharedPrefix(page, area) * (page.entries.size() - 1) <= area;
}

std::vector<uint8_t> EncodeIndexPage(const IndexPage& page, JetVersion version) {
  const IndexPageLayout& layout = IndexPageLayoutFor(version);
  const size_t area = IndexEntryArea(version);
  const size_t entries_start = layout.entry_mask_offset + layout.entry_mask_size;
  const size_t prefix = SharedPrefix(page, area);

  std::vector<uint8_t> out(layout.page_size);
  out[0] = page.leaf ? kIndexLeafPageType : kIndexIntermediatePageType;
  out[1] = 0x01;
  WriteLe(out, layout.table_page_offset, page.table_page, 4);
  WriteLe(out, layout.prev_page_offset, page.prev_page, 4);
  WriteLe(out, layout.next_page_offset, page.next_page, 4);
  WriteLe(out, layout.tail_page_offset, page.tail_page, 4);
  WriteLe(out, layout.prefix_len_offset, static_cast<uint32_t>(prefix), layout.prefix_len_size);
  out[layout.intermediate_flag_offset] = page.leaf ? 0 : 1;

  size_t used = 0;
  for (size_t i = 0; i < page.entries.size(); ++i) {
    const IndexEntry& entry = page.entries[i];
    uint8_t trailer[8];
    const size_t trailer_size = EntryTrailer(entry, page.leaf, trailer);
    const size_t key_size = entry.key.size();
    const size_t skip = i == 0 ? 0 : prefix;
    const size_t size = key_size + trailer_size - skip;
    if (used + size > area) throw std::logic_error("index page entries do not fit");
    uint8_t* at = out.data() + entries_start + used;
    if (skip < key_size) {
      std::memcpy(at, entry.key.data() + skip, key_size - skip);
      at += key_size - skip;
    }
    const size_t trailer_skip = skip > key_size ? skip - key_size : 0;
    std::memcpy(at, trailer + trailer_skip, trailer_size - trailer_skip);
    used += size;
    out[layout.entry_mask_offset + used / 8] |= static_cast<uint8_t>(1u << (used % 8));
  }
  WriteLe(out, layout.free_space_offset,
          static_cast<uint32_t>(layout.page_size - entries_start - used), 2);
  return out;
}

const IndexPageLayout& IndexPageLayoutFor(JetVersion version) {
  return version == JetVersion::kJet3 ? kJet3IndexPageLayout : kJet4IndexPageLayout;
}

void ThrowDamagedIndexPage(uint32_t, const char* what) {
  ThrowCorrupt(what);
}

bool IsIndexPage(std::span<const uint8_t> page) {
  return !page.empty() && (page[0] == kIndexIntermediatePageType || page[0] == kIndexLeafPageType);
}

IndexPage DecodeIndexPage(std::span<const uint8_t> page, JetVersion version, uint32_t number) {
  const IndexPageLayout& layout = IndexPageLayoutFor(version);
  const size_t entries_start = layout.entry_mask_offset + layout.entry_mask_size;
  if (page.size() <= entries_start) ThrowDamagedIndexPage(number, "Seite zu klein");
  if (!IsIndexPage(page)) ThrowDamagedIndexPage(number, "keine Indexseite");

  IndexPage result;
  result.number = number;
  result.leaf = page[0] == kIndexLeafPageType;
  result.table_page = ReadLe32(page, layout.table_page_offset);
  result.prev_page = ReadLe32(page, layout.prev_page_offset);
  result.next_page = ReadLe32(page, layout.next_page_offset);
  result.tail_page = ReadLe32(page, layout.tail_page_offset);
  const size_t prefix_len = layout.prefix_len_size == 1 ? page[layout.prefix_len_offset]
                                                        : ReadLe16(page, layout.prefix_len_offset);
  const size_t area = page.size() - entries_start;

  size_t entry_count = 0;
  for (size_t byte = 0; byte < layout.entry_mask_size; ++byte) {
    // Bits are sparse (one per entry of several bytes): clearing them one by one is quickest.
    for (unsigned m = page[layout.entry_mask_offset + byte]; m != 0; m &= m - 1) ++entry_count;
  }
  result.entries.reserve(entry_count);
  const uint8_t* first_entry = page.data() + entries_start;
  size_t start = 0;
  for (size_t byte = 0; byte < layout.entry_mask_size; ++byte) {
    const uint8_t mask = page[layout.entry_mask_offset + byte];
    if (mask == 0) continue;
    for (int bit = 0; bit < 8; ++bit) {
      if ((mask & (1u << bit)) == 0) continue;
      const size_t end = byte * 8 + static_cast<size_t>(bit);
      if (end > area) ThrowDamagedIndexPage(number, "Eintrag hinter dem Seitenende");
      StoredEntry full{first_entry, 0, page.data() + entries_start + start, end - start};
      if (result.entries.empty()) {
        if (prefix_len > full.size) ThrowDamagedIndexPage(number, "Präfix länger als Eintrag");
      } else {
        full.shared = prefix_len;
        full.size += prefix_len;
      }
      result.entries.push_back(SplitEntry(full, result.leaf, number));
      start = end;
    }
  }
  return result;
}

}  // namespace jet
