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

// Table definition layouts (Jet 3, Jet 4).
struct TdefLayout {
  size_t row_count, num_columns, num_real_indexes, real_index_info, real_index_info_size;
  size_t column_def_size, column_type, column_number, column_scale;
  size_t name_length_size;  // Jet 3: 1-byte length and code-page bytes; Jet 4: 2 and UCS-2
  size_t real_index_def_size, real_index_columns;  // columns: 10 slots of number (2) and order
};
constexpr TdefLayout kJet4Tdef{16, 45, 51, 63, 12, 25, 0, 5, 12, 2, 52, 4};
constexpr TdefLayout kJet3Tdef{12, 25, 31, 43, 8, 18, 0, 1, 12, 1, 39, 0};
constexpr size_t kTdefNextPage = 4;
constexpr size_t kTdefContinuationHeader = 8;
constexpr size_t kIndexColumnSlots = 10;
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
    const TdefLayout& l = file.version() == jet::JetVersion::kJet3 ? kJet3Tdef : kJet4Tdef;
    try {
      RawTable table;
      table.tdef_page = p;
      table.row_count = Le(def, l.row_count, 4);
      const size_t num_cols = Le(def, l.num_columns, 2);
      const size_t num_real = Le(def, l.num_real_indexes, 4);
      if (num_cols > 255 || num_real > 64) continue;
      size_t at = l.real_index_info + num_real * l.real_index_info_size;
      for (size_t c = 0; c < num_cols; ++c, at += l.column_def_size) {
        RawColumn col;
        col.type = static_cast<uint8_t>(Le(def, at + l.column_type, 1));
        col.number = static_cast<int>(Le(def, at + l.column_number, 2));
        col.scale = static_cast<uint8_t>(Le(def, at + l.column_scale, 1));
        table.columns.push_back(col);
      }
      const size_t unit = l.name_length_size;  // bytes per character, too
      for (auto& col : table.columns) {
        const size_t len = Le(def, at, static_cast<int>(unit));
        at += unit;
        for (size_t i = 0; i + unit <= len; i += unit) {
          const uint32_t ch = Le(def, at + i, static_cast<int>(unit));
          col.name.push_back(ch < 0x80 ? static_cast<char>(ch) : '?');
        }
        at += len;
      }
      const size_t root_offset = l.real_index_columns + 3 * kIndexColumnSlots + 4;
      for (size_t i = 0; i < num_real; ++i, at += l.real_index_def_size) {
        RawIndex index;
        for (size_t s = 0; s < kIndexColumnSlots; ++s) {
          const size_t slot = at + l.real_index_columns + 3 * s;
          const uint32_t number = Le(def, slot, 2);
          if (number == kNoColumn) continue;
          auto it = std::find_if(table.columns.begin(), table.columns.end(),
                                 [&](const RawColumn& c) { return c.number == int(number); });
          if (it == table.columns.end()) throw std::runtime_error("unknown index column");
          index.columns.push_back(static_cast<int>(it - table.columns.begin()));
          index.ascending.push_back(Le(def, slot + 2, 1) == 1);
        }
        index.root_page = Le(def, at + root_offset, 4);
        index.flags = static_cast<uint8_t>(Le(def, at + root_offset + 4, 1));
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
