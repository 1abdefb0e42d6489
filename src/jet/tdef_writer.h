#ifndef QUORLA_JET_TDEF_WRITER_H_
#define QUORLA_JET_TDEF_WRITER_H_

// Writing Jet 4 table definitions (the reverse of tdef_page.h): the definition of a new table,
// a new index added to an existing definition, and laying a definition out over its chain of
// pages (the first page whole, each further page after an 8-byte header).

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "jet/data_page.h"
#include "jet/database.h"
#include "jet/pager.h"
#include "jet/tdef_page.h"

namespace jet {

namespace tdef {
inline constexpr size_t kDefinitionLengthOffset = 8;
inline constexpr size_t kFreeSpaceOffset = 2;
inline constexpr size_t kTableNumberOffset = 12;  // a constant Access writes
inline constexpr uint32_t kTableNumber = 1625;
inline constexpr uint32_t kIndexNumber = 1923;
inline constexpr uint8_t kTableTypeUser = 0x4e;
inline constexpr size_t kColumnSortOrder = 11;  // text columns: 4 bytes of collation
inline constexpr size_t kColumnNumberAgain = 9;
inline constexpr uint8_t kIndexAccess2000 = 0x80;  // set on every index Access 2000 writes
inline constexpr size_t kTrailerSize = 2;          // 0xffff: no column usage maps follow
}  // namespace tdef

// One physical index of a new definition.
struct RealIndexPlan {
  std::vector<IndexColumn> columns;  // positions in TableDef::columns
  uint8_t flags = 0;                 // tdef::kIndexUnique, kIndexIgnoreNulls, kIndexRequired
  uint32_t root_page = 0;
  RowPointer pages;  // the index's usage map row
};

struct TableDefinitionPlan {
  const TableDef* def = nullptr;  // columns in order (numbered 0..n-1) and logical indexes
  std::vector<RealIndexPlan> real;
  std::vector<size_t> logical_real;  // parallel to def->indexes: the physical index of each
  RowPointer used_pages;
  RowPointer free_pages;
  uint32_t last_autonumber = 0;
  int32_t autonumber_increment = 1;
  std::array<uint8_t, 4> text_sort_order{};  // as the file's other text columns carry it
};

// Skips `count` names (length-prefixed UTF-16) of a definition from `at`; throws past its end.
size_t SkipDefinitionNames(const std::vector<uint8_t>& definition, size_t at, size_t count);

// Where the parts of a definition that adding or removing an index moves begin and end.
struct IndexParts {
  uint32_t logical = 0;      // logical index count
  uint32_t reals = 0;        // physical index count
  size_t counts_end = 0;     // after the physical indexes' entry counts: the column entries
  size_t real_start = 0;     // the physical index entries, after the column names
  size_t logical_start = 0;  // the logical index entries
  size_t logical_end = 0;    // the logical index names
  size_t names_end = 0;      // after the index names
  size_t end = 0;            // the recorded length (or the names' end and the trailer)
};
IndexParts FindIndexParts(const std::vector<uint8_t>& definition);

// The definition's bytes as one run (page header included, not yet split over pages).
std::vector<uint8_t> EncodeTableDefinition(const TableDefinitionPlan& plan);

// `definition` (a whole run as ReadTableDefinitionBytes gives it) with one more logical index,
// which gets a physical index of its own; every other byte is kept.
std::vector<uint8_t> AddIndexToDefinition(const std::vector<uint8_t>& definition,
                                          const IndexDef& index, const RealIndexPlan& real,
                                          const TableDef& table);

// `definition` with one more logical index, over its existing physical index number `real`.
std::vector<uint8_t> AddLogicalIndexToDefinition(const std::vector<uint8_t>& definition,
                                                 const IndexDef& index, uint32_t real);

// After logical index `removed` left the definition on page `related_page`, the relationship
// entries of `definition` that number that table's later indexes point one lower. Returns whether
// any changed.
bool RenumberRelatedIndexes(std::vector<uint8_t>& definition, uint32_t related_page,
                            uint32_t removed);

// The bytes of the definition starting at `first_page` as one run, and the pages of its chain.
std::vector<uint8_t> ReadTableDefinitionBytes(PageReader& pages, uint32_t first_page,
                                              std::vector<uint32_t>* chain);

// Writes `definition` over the pages of `chain` (first page first), taking pages from
// `new_page` when it needs more and giving back the ones it no longer needs to `free_page`.
void WriteTableDefinition(Pager& pager, const std::vector<uint8_t>& definition,
                          std::vector<uint32_t> chain, const std::function<uint32_t()>& new_page,
                          const std::function<void(uint32_t)>& free_page);

// One column's entry in a definition, and its name as definitions store names.
std::vector<uint8_t> EncodeColumnEntry(const ColumnDef& column, size_t var_index,
                                       size_t fixed_offset, const TableDefinitionPlan& plan);
void AppendColumnName(std::vector<uint8_t>& out, const std::string& name);

// The fixed-part size of a column type (0 for variable and Yes/No columns), and the length its
// definition records.
size_t FixedDataSize(const ColumnDef& column);
uint16_t DefinedLength(const ColumnDef& column);

}  // namespace jet

#endif  // QUORLA_JET_TDEF_WRITER_H_
