#include "support/index_page_builder.h"

namespace testsupport {

namespace {
constexpr size_t kPrev = 12, kNext = 16, kTail = 20, kPrefix = 24, kMask = 27, kEntries = 480;

void PutLe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
}  // namespace

std::vector<uint8_t> BuildIndexPage(const BuiltPage& page) {
  std::vector<uint8_t> b(kJet4PageSize);
  b[0] = page.leaf ? 0x04 : 0x03;
  b[1] = 0x01;
  PutLe32(b, kPrev, page.prev);
  PutLe32(b, kNext, page.next);
  PutLe32(b, kTail, page.tail);
  b[kPrefix] = static_cast<uint8_t>(page.prefix);
  b[kPrefix + 1] = static_cast<uint8_t>(page.prefix >> 8);
  size_t at = 0;
  for (size_t i = 0; i < page.entries.size(); ++i) {
    const BuiltEntry& e = page.entries[i];
    std::string full = e.key;
    full.push_back(static_cast<char>(e.row_page >> 16));
    full.push_back(static_cast<char>(e.row_page >> 8));
    full.push_back(static_cast<char>(e.row_page));
    full.push_back(static_cast<char>(e.row));
    if (!page.leaf) {
      for (int s = 24; s >= 0; s -= 8) full.push_back(static_cast<char>(e.child >> s));
    }
    const std::string stored = i == 0 ? full : full.substr(std::min(page.prefix, full.size()));
    for (char c : stored) b.at(kEntries + at++) = static_cast<uint8_t>(c);
    b[kMask + at / 8] |= static_cast<uint8_t>(1u << (at % 8));
  }
  return b;
}

std::span<const uint8_t> MemoryPages::Page(uint32_t number) {
  if (number >= page_count()) throw jet::Error(jet::err::kUnrecognizedFormat, "past the end");
  auto it = pages_.find(number);
  return it == pages_.end() ? std::span<const uint8_t>(blank_)
                            : std::span<const uint8_t>(it->second);
}

}  // namespace testsupport
