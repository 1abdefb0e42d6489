#include "jet/index_page.h"

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

uint32_t ReadBe(const std::string& bytes, size_t offset, size_t width) {
  uint32_t value = 0;
  for (size_t i = 0; i < width; ++i) {
    value = value << 8 | static_cast<uint8_t>(bytes[offset + i]);
  }
  return value;
}

// Splits the full bytes of an entry into key, row pointer and (intermediate) child pointer.
IndexEntry SplitEntry(const std::string& full, bool leaf, uint32_t number) {
  const size_t trailer = kIndexRowPointerSize + (leaf ? 0 : kIndexChildPointerSize);
  if (full.size() < trailer) ThrowDamagedIndexPage(number, "Eintrag zu kurz");
  const size_t key_size = full.size() - trailer;
  IndexEntry entry;
  entry.row.page = ReadBe(full, key_size, 3);
  entry.row.row = static_cast<uint16_t>(static_cast<uint8_t>(full[key_size + 3]));
  if (!leaf) entry.child = ReadBe(full, key_size + kIndexRowPointerSize, kIndexChildPointerSize);
  entry.key.assign(full, 0, key_size);
  return entry;
}

}  // namespace

const IndexPageLayout& IndexPageLayoutFor(JetVersion version) {
  return version == JetVersion::kJet3 ? kJet3IndexPageLayout : kJet4IndexPageLayout;
}

void ThrowDamagedIndexPage(uint32_t number, const char* what) {
  throw Error(err::kUnrecognizedFormat, "Nicht erkanntes Datenbankformat: Indexseite " +
                                            std::to_string(number) + " ist beschädigt (" + what +
                                            ").");
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
  result.prev_page = ReadLe32(page, layout.prev_page_offset);
  result.next_page = ReadLe32(page, layout.next_page_offset);
  result.tail_page = ReadLe32(page, layout.tail_page_offset);
  const size_t prefix_len = layout.prefix_len_size == 1 ? page[layout.prefix_len_offset]
                                                        : ReadLe16(page, layout.prefix_len_offset);
  const size_t area = page.size() - entries_start;

  std::string prefix;
  size_t start = 0;
  for (size_t byte = 0; byte < layout.entry_mask_size; ++byte) {
    const uint8_t mask = page[layout.entry_mask_offset + byte];
    if (mask == 0) continue;
    for (int bit = 0; bit < 8; ++bit) {
      if ((mask & (1u << bit)) == 0) continue;
      const size_t end = byte * 8 + static_cast<size_t>(bit);
      if (end > area) ThrowDamagedIndexPage(number, "Eintrag hinter dem Seitenende");
      const auto* first = page.data() + entries_start + start;
      std::string full;
      if (result.entries.empty()) {
        full.assign(first, first + (end - start));
        if (prefix_len > full.size()) ThrowDamagedIndexPage(number, "Präfix länger als Eintrag");
        prefix = full.substr(0, prefix_len);
      } else {
        full.reserve(prefix.size() + (end - start));
        full = prefix;
        full.append(first, first + (end - start));
      }
      result.entries.push_back(SplitEntry(std::move(full), result.leaf, number));
      start = end;
    }
  }
  return result;
}

}  // namespace jet
