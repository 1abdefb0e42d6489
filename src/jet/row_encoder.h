#ifndef QUORLA_JET_ROW_ENCODER_H_
#define QUORLA_JET_ROW_ENCODER_H_

// Values into a stored Jet 4 row: the inverse of row_codec.h. The row's column count is the
// table's highest column count, the fixed part keeps room for every fixed column (Null or not),
// the variable part and its offset table cover every variable slot the definition records, and
// Yes/No values live in the null mask.

#include <cstdint>
#include <optional>
#include <vector>

#include "jet/byte_order.h"
#include "jet/tdef_page.h"
#include "jet/value.h"

namespace jet {

// Checks `values` against the table's columns: Error 3464 for a value not of its column's type,
// 3163 for text or binary longer than the column allows, 3314 for Null in a required column
// (Yes/No columns take Null as No; autonumbers must be assigned before).
void CheckRowValues(const TableLayout& layout, const std::vector<Value>& values);

// The bytes a Memo or OLE value keeps in its long-value storage.
std::vector<uint8_t> LongValueData(const ColumnDef& column, const Value& value);

// The stored row. `long_refs` holds, for each Memo/OLE column that is not Null, the reference
// (and inline data) WriteLongValue returned; other entries are ignored. `stored`, when given,
// holds for some other columns (not Yes/No) bytes a row already stores for their values, taken
// as they are instead of encoding the value again.
std::vector<uint8_t> EncodeRow(const TableLayout& layout, size_t column_count,
                               const std::vector<Value>& values,
                               const std::vector<std::vector<uint8_t>>& long_refs,
                               const std::vector<std::optional<ByteSpan>>* stored = nullptr);

// Error 3047: the row is larger than a page can hold.
[[noreturn]] void ThrowRecordTooLarge();

}  // namespace jet

#endif  // QUORLA_JET_ROW_ENCODER_H_
