#ifndef QUORLA_JET_TABLE_DEF_H_
#define QUORLA_JET_TABLE_DEF_H_

// Table definition pages (TDEF): the columns, indexes and usage maps of one table, possibly spread
// over a chain of pages. Besides the public TableDef, the layout says where each column lives in
// a row.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "jet/data_page.h"
#include "jet/database.h"
#include "jet/index_tree.h"

namespace jet {

namespace tdef {
inline constexpr size_t kNextPageOffset = 4;
inline constexpr size_t kContinuationHeader = 8;  // bytes of a chained page before its data

struct Layout {
  size_t row_count;
  size_t table_type;
  size_t max_columns;
  size_t var_columns;
  size_t columns;
  size_t logical_indexes;
  size_t real_indexes;
  size_t used_pages;
  size_t real_index_entries;  // start of the per-index row counts
  size_t real_index_entry_size;
  size_t column_entry_size;
  size_t column_type;
  size_t column_number;
  size_t column_var_index;
  size_t column_precision;
  size_t column_scale;
  size_t column_flags;
  size_t column_ext_flags;  // 0: none
  size_t column_fixed_offset;
  size_t column_length;
  size_t name_length_size;
  size_t real_index_size;
  size_t real_index_columns;  // offset of the ten (column, order) pairs
  size_t real_index_first_page;
  size_t real_index_flags;
  size_t logical_index_size;
  size_t logical_index_number;
  size_t logical_index_real;
  size_t logical_index_type;
};

inline constexpr Layout kJet3 = {12, 20, 21, 23, 25, 27, 31, 35, 43, 8,  18, 0, 1, 3, 9,
                                 10, 13, 0,  14, 16, 1,  39, 0,  34, 38, 20, 0, 4, 19};
inline constexpr Layout kJet4 = {16, 40, 41, 43, 45, 47, 51, 55, 63, 12, 25, 0, 5, 7, 11,
                                 12, 15, 16, 21, 23, 2,  52, 4,  38, 42, 28, 4, 8, 23};

inline constexpr size_t kIndexColumnSlots = 10;
inline constexpr size_t kIndexColumnSlotSize = 3;
inline constexpr uint16_t kNoColumn = 0xffff;
inline constexpr uint8_t kAscending = 0x01;

inline constexpr uint8_t kColumnFixed = 0x01;
inline constexpr uint8_t kColumnNullable = 0x02;
inline constexpr uint8_t kColumnAutoLong = 0x04;
inline constexpr uint8_t kColumnAutoGuid = 0x40;
inline constexpr uint8_t kExtCompressedUnicode = 0x01;

inline constexpr uint8_t kIndexUnique = 0x01;
inline constexpr uint8_t kIndexIgnoreNulls = 0x02;
inline constexpr uint8_t kIndexRequired = 0x08;
inline constexpr uint8_t kIndexPrimary = 0x01;
inline constexpr uint8_t kIndexForeign = 0x02;
}  // namespace tdef

// Where one column of TableDef::columns lives in a row.
struct ColumnPlace {
  int number = 0;           // bit in the null mask
  int var_index = 0;        // entry in the variable offset table (variable columns)
  size_t fixed_offset = 0;  // offset in the fixed part (fixed columns)
  bool fixed = false;
};

struct TableLayout {
  std::shared_ptr<TableDef> def;
  std::vector<ColumnPlace> places;  // parallel to def->columns
  uint32_t tdef_page = 0;
  size_t var_columns = 0;  // variable columns the definition records (rows keep an offset table)
  RowPointer used_pages;
  std::vector<std::vector<IndexKeyColumn>> index_keys;  // parallel to def->indexes
};

// Reads the definition starting at `first_page`, named `name`. Damage gives a format error; the
// reading is bounded by the file's size (a chain of pages visits each page at most once).
TableLayout ReadTableLayout(PageReader& pages, JetVersion version, uint32_t first_page,
                            const std::string& name);

}  // namespace jet

#endif  // QUORLA_JET_TABLE_DEF_H_
