#ifndef QUORLA_JET_ROW_CODEC_H_
#define QUORLA_JET_ROW_CODEC_H_

// One stored row, decoded. Layout: the number of columns the row was written with, the fixed
// columns, the variable columns, then from the end backwards: the null mask (one bit per column
// number, 1 = present; Yes/No values are the bit itself), the count of variable columns and their
// offsets (Jet 4: 2 bytes each; Jet 3: 1 byte each plus a jump table adding 256 per jump).

#include <optional>
#include <vector>

#include "jet/byte_order.h"
#include "jet/tdef_page.h"
#include "jet/value.h"

namespace jet {

namespace row {
inline constexpr size_t kColumnCountSizeJet3 = 1;
inline constexpr size_t kColumnCountSizeJet4 = 2;
inline constexpr size_t kJumpSegment = 256;
inline constexpr size_t kCurrencySize = 8;
inline constexpr size_t kNumericSize = 17;
inline constexpr uint8_t kNumericNegative = 0x80;
inline constexpr size_t kGuidSize = 16;
}  // namespace row

// The places of one row's columns. The row's bytes must stay alive while the view is used.
class RowView {
 public:
  // Parses the row's header and offset tables; a format error when they do not fit the row.
  RowView(ByteSpan row, JetVersion version, const TableLayout& layout);
  // The same, keeping the offsets in `spare`'s buffer (a scan passes back the last row's).
  RowView(ByteSpan row, JetVersion version, const TableLayout& layout,
          std::vector<uint16_t>&& spare);
  // Hands the offsets buffer over for the next row's view.
  std::vector<uint16_t> ReleaseBuffer() && { return std::move(var_offsets_); }

  // The stored bytes of column `position` (index in TableDef::columns), or nullopt for Null.
  // Yes/No columns have no bytes: see Flag().
  std::optional<ByteSpan> Bytes(size_t position) const;
  // The null-mask bit of column `position` (false beyond the row's columns).
  bool Flag(size_t position) const;

 private:
  ByteSpan row_;
  JetVersion version_;
  const TableLayout& layout_;
  size_t column_count_ = 0;
  ByteSpan null_mask_;
  std::vector<uint16_t> var_offsets_;  // var_count + 1 entries; the last ends the variable data
};

// The bytes a fixed column takes in a row (text and binary: the column's size).
size_t FixedColumnSize(const ColumnDef& c);

// Decodes column `position` of the row. Memo and OLE values are read through `pages`.
Value DecodeColumn(const RowView& row, size_t position, const TableLayout& layout,
                   JetVersion version, PageReader& pages);
// The same into `out`; text reuses the buffer of the string `out` holds.
void DecodeColumnInto(const RowView& row, size_t position, const TableLayout& layout,
                      JetVersion version, PageReader& pages, Value& out);

}  // namespace jet

#endif  // QUORLA_JET_ROW_CODEC_H_
