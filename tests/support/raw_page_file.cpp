#include "support/raw_page_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>

namespace quorla_test {

namespace {

constexpr size_t kVersionOffset = 0x14;
constexpr size_t kJet3PageSize = 2048;
constexpr size_t kJet4PageSize = 4096;
constexpr uint8_t kTableDefPageType = 0x02;

// Jet 4 table definition layout.
constexpr size_t kTdefNextPage = 4;
constexpr size_t kTdefContinuationHeader = 8;
constexpr size_t kTdefRowCount = 16;
constexpr size_t kTdefNumColumns = 45;
constexpr size_t kTdefNumRealIndexes = 51;
constexpr size_t kTdefRealIndexInfo = 63;
constexpr size_t kRealIndexInfoSize = 12;
constexpr size_t kColumnDefSize = 25;
constexpr size_t kColumnType = 0;
constexpr size_t kColumnNumber = 5;
constexpr size_t kColumnScale = 12;
constexpr size_t kIndexColumnSlots = 10;
constexpr size_t kRealIndexDefSize = 52;
constexpr size_t kRealIndexRootOffset = 4 + 3 * kIndexColumnSlots + 4;
constexpr size_t kRealIndexFlagsOffset = kRealIndexRootOffset + 4;
constexpr uint16_t kNoColumn = 0xFFFF;

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int width) {
  if (at + width > b.size()) throw std::runtime_error("table definition too short");
  uint32_t v = 0;
  for (int i = width - 1; i >= 0; --i) v = v << 8 | b[at + i];
  return v;
}

}  // namespace

RawPageFile::RawPageFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (bytes_.size() <= kVersionOffset) throw std::runtime_error("file too short");
  version_ = bytes_[kVersionOffset] == 0 ? jet::JetVersion::kJet3 : jet::JetVersion::kJet4;
  page_size_ = version_ == jet::JetVersion::kJet3 ? kJet3PageSize : kJet4PageSize;
}

std::span<const uint8_t> RawPageFile::Page(uint32_t number) {
  if (number >= page_count()) {
    throw jet::Error(jet::err::kUnrecognizedFormat, "page past the end");
  }
  return std::span<const uint8_t>(bytes_.data() + size_t{number} * page_size_, page_size_);
}

std::vector<RawTable> ReadRawTables(RawPageFile& file) {
  // Continuation pages of a definition are also of type 0x02; leave them out.
  std::set<uint32_t> continuations;
  for (uint32_t p = 1; p < file.page_count(); ++p) {
    auto page = file.Page(p);
    if (page[0] != kTableDefPageType) continue;
    const uint32_t next = page[4] | page[5] << 8 | page[6] << 16 | uint32_t{page[7]} << 24;
    if (next != 0) continuations.insert(next);
  }
  std::vector<RawTable> tables;
  for (uint32_t p = 1; p < file.page_count(); ++p) {
    auto page = file.Page(p);
    if (page[0] != kTableDefPageType || continuations.count(p)) continue;
    std::vector<uint8_t> def(page.begin(), page.end());
    uint32_t next = static_cast<uint32_t>(Le(def, kTdefNextPage, 4));
    for (int guard = 0; next != 0 && guard < 64; ++guard) {
      auto more = file.Page(next);
      def.insert(def.end(), more.begin() + kTdefContinuationHeader, more.end());
      next = more[4] | more[5] << 8 | more[6] << 16 | uint32_t{more[7]} << 24;
    }
    try {
      RawTable table;
      table.tdef_page = p;
      table.row_count = Le(def, kTdefRowCount, 4);
      const size_t num_cols = Le(def, kTdefNumColumns, 2);
      const size_t num_real = Le(def, kTdefNumRealIndexes, 4);
      if (num_cols > 255 || num_real > 64) continue;
      size_t at = kTdefRealIndexInfo + num_real * kRealIndexInfoSize;
      for (size_t c = 0; c < num_cols; ++c, at += kColumnDefSize) {
        RawColumn col;
        col.type = static_cast<uint8_t>(Le(def, at + kColumnType, 1));
        col.number = static_cast<int>(Le(def, at + kColumnNumber, 2));
        col.scale = static_cast<uint8_t>(Le(def, at + kColumnScale, 1));
        table.columns.push_back(col);
      }
      for (auto& col : table.columns) {
        const size_t len = Le(def, at, 2);
        at += 2;
        for (size_t i = 0; i + 1 < len; i += 2) {
          const uint32_t ch = Le(def, at + i, 2);
          col.name.push_back(ch < 0x80 ? static_cast<char>(ch) : '?');
        }
        at += len;
      }
      for (size_t i = 0; i < num_real; ++i, at += kRealIndexDefSize) {
        RawIndex index;
        for (size_t s = 0; s < kIndexColumnSlots; ++s) {
          const uint32_t number = Le(def, at + 4 + 3 * s, 2);
          if (number == kNoColumn) continue;
          auto it = std::find_if(table.columns.begin(), table.columns.end(),
                                 [&](const RawColumn& c) { return c.number == int(number); });
          if (it == table.columns.end()) throw std::runtime_error("unknown index column");
          index.columns.push_back(static_cast<int>(it - table.columns.begin()));
          index.ascending.push_back(Le(def, at + 4 + 3 * s + 2, 1) == 1);
        }
        index.root_page = Le(def, at + kRealIndexRootOffset, 4);
        index.flags = static_cast<uint8_t>(Le(def, at + kRealIndexFlagsOffset, 1));
        table.indexes.push_back(index);
      }
      tables.push_back(std::move(table));
    } catch (const std::runtime_error&) {
      // not a definition this reader understands
    }
  }
  return tables;
}

}  // namespace quorla_test
