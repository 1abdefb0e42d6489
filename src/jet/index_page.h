#ifndef QUORLA_JET_INDEX_PAGE_H_
#define QUORLA_JET_INDEX_PAGE_H_

// Decoding of one page of an index B-tree.
//
// An index page (type 0x03 intermediate, 0x04 leaf) holds a bitmap that marks where each entry
// ends, followed by the entries themselves. Every entry after the first may omit a prefix shared
// with the first entry of the page; its length is recorded in the page header. A full entry is
// the encoded key, a row pointer (3-byte page, 1-byte row, big-endian) and, on intermediate pages,
// a 4-byte big-endian child page. An intermediate entry carries the key of the last entry of its
// child. Pages of one level are chained by previous/next links; an intermediate page may name a
// "tail" child that holds entries after its last entry.
//
// Page header: type, 0x01, free bytes after the entries (uint16), the owning table's definition
// page (uint32), four zero bytes, previous/next/tail links, prefix length, and one byte that is
// 1 on intermediate pages and 0 on leaf pages. Access compresses only a page whose entries would
// not fit otherwise; the shared prefix is then what the keys (not the row pointers) of the page's
// first and last entries have in common.
//
// DecodeIndexPage promises: every offset it reads lies inside the page; a page that cannot be an
// index page (wrong type, entries past the page end, entry too short) gives Error 3343.
// EncodeIndexPage is its inverse: decoding its bytes gives the same page.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "jet/database.h"

namespace jet {

inline constexpr uint8_t kIndexIntermediatePageType = 0x03;
inline constexpr uint8_t kIndexLeafPageType = 0x04;

// Byte positions in the page header of an index page, per file version.
struct IndexPageLayout {
  size_t page_size;
  size_t free_space_offset;         // uint16 little-endian: bytes after the last entry
  size_t table_page_offset;         // uint32 little-endian: definition page of the owning table
  size_t prev_page_offset;          // uint32 little-endian
  size_t next_page_offset;          // uint32 little-endian
  size_t tail_page_offset;          // uint32 little-endian
  size_t prefix_len_offset;         // little-endian: bytes shared with the page's first entry
  size_t prefix_len_size;           // 2 in Jet 4; 1 in Jet 3
  size_t intermediate_flag_offset;  // 1 on intermediate pages, 0 on leaf pages
  size_t entry_mask_offset;         // start of the entry bitmap
  size_t entry_mask_size;           // bytes in the bitmap; entries start right after it
};

inline constexpr IndexPageLayout kJet4IndexPageLayout{4096, 2, 4, 12, 16, 20, 24, 2, 26, 27, 453};
inline constexpr IndexPageLayout kJet3IndexPageLayout{2048, 2, 4, 8, 12, 16, 20, 1, 21, 22, 226};

const IndexPageLayout& IndexPageLayoutFor(JetVersion version);

// Bytes after the key: 3-byte page and 1-byte row of the row pointer.
inline constexpr size_t kIndexRowPointerSize = 4;
// Bytes after the row pointer on intermediate pages: the child page number.
inline constexpr size_t kIndexChildPointerSize = 4;

struct IndexEntry {
  std::string key;     // encoded key bytes, compared bytewise (unsigned)
  RowId row;           // row the entry points at
  uint32_t child = 0;  // intermediate pages: page holding entries up to this one
};

struct IndexPage {
  uint32_t number = 0;
  bool leaf = false;
  uint32_t table_page = 0;  // definition page of the table the index belongs to
  uint32_t prev_page = 0;   // 0: none
  uint32_t next_page = 0;   // 0: none
  uint32_t tail_page = 0;   // intermediate pages: 0 when there is no tail child
  std::vector<IndexEntry> entries;
};

// True when `page` has an index page type (intermediate or leaf).
bool IsIndexPage(std::span<const uint8_t> page);

// Decodes the index page `number` whose bytes are `page`.
IndexPage DecodeIndexPage(std::span<const uint8_t> page, JetVersion version, uint32_t number);

// Bytes available for the entries of one page.
size_t IndexEntryArea(JetVersion version);

// Whether `page` fits on one page of `version`.
bool IndexPageFits(const IndexPage& page, JetVersion version);

// The bytes of `page` (its number is not stored). Throws std::logic_error when the entries do not
// fit; the unused end of the page is zero.
std::vector<uint8_t> EncodeIndexPage(const IndexPage& page, JetVersion version);

// Error 3343 for damage found in index page `number`.
[[noreturn]] void ThrowDamagedIndexPage(uint32_t number, const char* what);

}  // namespace jet

#endif  // QUORLA_JET_INDEX_PAGE_H_
