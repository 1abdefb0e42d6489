#ifndef QUORLA_JET_TABLE_SCAN_H_
#define QUORLA_JET_TABLE_SCAN_H_

// Reading a table's rows: a forward scan over the data pages its usage map marks, and the
// lookup of one row by its id. Deleted rows are skipped. A row that grew too large for its page
// was moved: its old place holds a pointer to its data. The scan returns a moved row at that
// first address (the one its index entries name) and passes over its data where it lies, or the
// other way round (MovedRows); both ids read the same row through ReadRowBytes.

#include <memory>
#include <vector>

#include "jet/database.h"
#include "jet/row_codec.h"

namespace jet {

// Where a scan reports a moved row: at its first address (what index entries name), or where its
// data lies (the order mdbtools lists rows in, which the catalogue keeps).
enum class MovedRows { kAtFirstAddress, kWhereDataLies };

// A scan over `layout`'s table. `pages` must outlive the cursor.
std::unique_ptr<TableCursor> OpenTableScan(PageReader& pages, JetVersion version,
                                           std::shared_ptr<const TableLayout> layout,
                                           MovedRows moved = MovedRows::kAtFirstAddress);

// The bytes of the row `id`, following an overflow pointer. Throws Error 3167 when the row is
// deleted or does not exist, a format error when the page does not belong to the table.
std::vector<uint8_t> ReadRowBytes(PageReader& pages, JetVersion version, const TableLayout& layout,
                                  RowId id);
// The same into `out`, reusing its buffer.
void ReadRowBytesInto(PageReader& pages, JetVersion version, const TableLayout& layout, RowId id,
                      std::vector<uint8_t>& out);

// Rows of `layout`'s table by id, decoded column by column. `pages` must outlive the reader.
std::unique_ptr<RowReader> OpenTableRowReader(PageReader& pages, JetVersion version,
                                              std::shared_ptr<const TableLayout> layout);

}  // namespace jet

#endif  // QUORLA_JET_TABLE_SCAN_H_
