#ifndef QUORLA_JET_TDEF_PAGE_H_
#define QUORLA_JET_TDEF_PAGE_H_

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
  size_t free_pages;
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
  size_t real_index_pages;    // row pointer to the index's usage map
  size_t real_index_first_page;
  size_t real_index_flags;
  size_t logical_index_size;
  size_t logical_index_number;
  size_t logical_index_real;
  size_t logical_index_type;
  // A relationship's index entry: the related table's kind, index and definition page, cascades.
  size_t logical_index_related_kind;
  size_t logical_index_related_index;
  size_t logical_index_related_page;
  size_t logical_index_cascade_updates;
  size_t logical_index_cascade_deletes;
};

inline constexpr Layout kJet3 = {.row_count = 12,
                                 .table_type = 20,
                                 .max_columns = 21,
                                 .var_columns = 23,
                                 .columns = 25,
                                 .logical_indexes = 27,
                                 .real_indexes = 31,
                                 .used_pages = 35,
                                 .free_pages = 39,
                                 .real_index_entries = 43,
                                 .real_index_entry_size = 8,
                                 .column_entry_size = 18,
                                 .column_type = 0,
                                 .column_number = 1,
                                 .column_var_index = 3,
                                 .column_precision = 9,
                                 .column_scale = 10,
                                 .column_flags = 13,
                                 .column_ext_flags = 0,
                                 .column_fixed_offset = 14,
                                 .column_length = 16,
                                 .name_length_size = 1,
                                 .real_index_size = 39,
                                 .real_index_columns = 0,
                                 .real_index_pages = 30,
                                 .real_index_first_page = 34,
                                 .real_index_flags = 38,
                                 .logical_index_size = 20,
                                 .logical_index_number = 0,
                                 .logical_index_real = 4,
                                 .logical_index_type = 19,
                                 .logical_index_related_kind = 8,
                                 .logical_index_related_index = 9,
                                 .logical_index_related_page = 13,
                                 .logical_index_cascade_updates = 17,
                                 .logical_index_cascade_deletes = 18};
inline constexpr Layout kJet4 = {.row_count = 16,
                                 .table_type = 40,
                                 .max_columns = 41,
                                 .var_columns = 43,
                                 .columns = 45,
                                 .logical_indexes = 47,
                                 .real_indexes = 51,
                                 .used_pages = 55,
                                 .free_pages = 59,
                                 .real_index_entries = 63,
                                 .real_index_entry_size = 12,
                                 .column_entry_size = 25,
                                 .column_type = 0,
                                 .column_number = 5,
                                 .column_var_index = 7,
                                 .column_precision = 11,
                                 .column_scale = 12,
                                 .column_flags = 15,
                                 .column_ext_flags = 16,
                                 .column_fixed_offset = 21,
                                 .column_length = 23,
                                 .name_length_size = 2,
                                 .real_index_size = 52,
                                 .real_index_columns = 4,
                                 .real_index_pages = 34,
                                 .real_index_first_page = 38,
                                 .real_index_flags = 46,
                                 .logical_index_size = 28,
                                 .logical_index_number = 4,
                                 .logical_index_real = 8,
                                 .logical_index_type = 23,
                                 .logical_index_related_kind = 12,
                                 .logical_index_related_index = 13,
                                 .logical_index_related_page = 17,
                                 .logical_index_cascade_updates = 21,
                                 .logical_index_cascade_deletes = 22};

inline constexpr size_t kNextAutonumberJet4 = 20;   // the last long autonumber handed out
inline constexpr size_t kAutonumberIncrement = 24;  // int32: the step, 1 unless COUNTER(seed, step)
inline constexpr size_t kRealIndexKeyCount = 4;     // in a real index entry: its distinct keys
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
inline constexpr uint8_t kRelatedKindReferenced = 0x01;  // this table is the referenced side
inline constexpr uint8_t kRelatedKindReferring = 0x02;
inline constexpr uint32_t kNoRelatedIndex = 0xffffffff;
inline constexpr uint8_t kCascadeUpdates = 0x01;  // in the cascade-updates byte
inline constexpr uint8_t kCascadeDeletes = 0x01;  // in the cascade-deletes byte
inline constexpr uint8_t kCascadeNull = 0x02;     // in the cascade-deletes byte
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
  size_t max_columns = 0;  // column count of new rows (deleted columns included)
  RowPointer used_pages;
  RowPointer free_pages;                                // the map of pages with room for rows
  std::vector<std::vector<IndexKeyColumn>> index_keys;  // parallel to def->indexes
  std::vector<size_t> real_index;            // parallel to def->indexes: the physical index of each
  std::vector<RowPointer> real_index_pages;  // per physical index: its usage map
};

// Reads the definition starting at `first_page`, named `name`. Damage gives a format error; the
// reading is bounded by the file's size (a chain of pages visits each page at most once).
TableLayout ReadTableLayout(PageReader& pages, JetVersion version, uint32_t first_page,
                            const std::string& name);

}  // namespace jet

#endif  // QUORLA_JET_TDEF_PAGE_H_
