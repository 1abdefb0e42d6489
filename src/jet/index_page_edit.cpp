#include "jet/index_page_edit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "jet/index_page.h"

namespace jet {
namespace {

const IndexPageLayout& kLayout = kJet4IndexPageLayout;
constexpr size_t kEntriesStart =
    kJet4IndexPageLayout.entry_mask_offset + kJet4IndexPageLayout.entry_mask_size;

uint16_t ReadLe16(std::span<const uint8_t> page, size_t offset) {
  return static_cast<uint16_t>(page[offset] | page[offset + 1] << 8);
}

void WriteLe16(std::span<uint8_t> page, size_t offset, size_t value) {
  page[offset] = static_cast<uint8_t>(value);
  page[offset + 1] = static_cast<uint8_t>(value >> 8);
}

// Where each entry ends, counted from the start of the entries; empty when the bitmap does not
// mark exactly `count` entries within the area.
std::vector<size_t> EntryEnds(std::span<const uint8_t> page, size_t count) {
  std::vector<size_t> ends;
  ends.reserve(count);
  const size_t area = IndexEntryArea(JetVersion::kJet4);
  for (size_t byte = 0; byte < kLayout.entry_mask_size; ++byte) {
    for (unsigned m = page[kLayout.entry_mask_offset + byte]; m != 0; m &= m - 1) {
      const size_t end = byte * 8 + static_cast<size_t>(__builtin_ctz(m));
      if (end > area || ends.size() == count) return {};
      ends.push_back(end);
    }
  }
  if (ends.size() != count) return {};
  return ends;
}

void SetBit(std::span<uint8_t> page, size_t end, bool on) {
  uint8_t& b = page[kLayout.entry_mask_offset + end / 8];
  const auto bit = static_cast<uint8_t>(1u << (end % 8));
  b = on ? static_cast<uint8_t>(b | bit) : static_cast<uint8_t>(b & ~bit);
}

bool LooksLikeLeaf(std::span<const uint8_t> page) {
  return page.size() == kLayout.page_size && page[0] == kIndexLeafPageType;
}

}  // namespace

bool InsertLeafEntryInPlace(std::span<uint8_t> page, size_t count, size_t pos,
                            const std::string& key, RowId row) {
  if (!LooksLikeLeaf(page) || pos == 0 || pos > count) return false;
  const size_t prefix = ReadLe16(page, kLayout.prefix_len_offset);
  if (key.size() < prefix) return false;
  const std::vector<size_t> ends = EntryEnds(page, count);
  if (ends.empty() || ends.front() < prefix) return false;
  // The first entry is stored whole: its first bytes are the prefix.
  if (prefix > 0 && std::memcmp(key.data(), page.data() + kEntriesStart, prefix) != 0) {
    return false;
  }
  const size_t size = key.size() - prefix + kIndexRowPointerSize;
  const size_t used = ends.back();
  if (used + size > IndexEntryArea(JetVersion::kJet4)) return false;

  uint8_t* entries = page.data() + kEntriesStart;
  const size_t start = ends[pos - 1];
  std::memmove(entries + start + size, entries + start, used - start);
  std::memcpy(entries + start, key.data() + prefix, key.size() - prefix);
  uint8_t* pointer = entries + start + key.size() - prefix;
  pointer[0] = static_cast<uint8_t>(row.page >> 16);
  pointer[1] = static_cast<uint8_t>(row.page >> 8);
  pointer[2] = static_cast<uint8_t>(row.page);
  pointer[3] = static_cast<uint8_t>(row.row);
  for (size_t i = pos; i < count; ++i) SetBit(page, ends[i], false);
  SetBit(page, start + size, true);
  for (size_t i = pos; i < count; ++i) SetBit(page, ends[i] + size, true);
  WriteLe16(page, kLayout.free_space_offset, kLayout.page_size - kEntriesStart - used - size);
  return true;
}

bool RemoveLeafEntryInPlace(std::span<uint8_t> page, size_t count, size_t pos) {
  if (!LooksLikeLeaf(page) || pos == 0 || pos >= count) return false;
  const std::vector<size_t> ends = EntryEnds(page, count);
  if (ends.empty()) return false;
  const size_t start = ends[pos - 1];
  const size_t size = ends[pos] - start;
  const size_t used = ends.back();

  uint8_t* entries = page.data() + kEntriesStart;
  std::memmove(entries + start, entries + ends[pos], used - ends[pos]);
  std::fill(entries + used - size, entries + used, 0);
  for (size_t i = pos; i < count; ++i) SetBit(page, ends[i], false);
  for (size_t i = pos + 1; i < count; ++i) SetBit(page, ends[i] - size, true);
  WriteLe16(page, kLayout.free_space_offset, kLayout.page_size - kEntriesStart - used + size);
  return true;
}

}  // namespace jet
