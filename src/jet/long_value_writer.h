#ifndef QUORLA_JET_LONG_VALUE_WRITER_H_
#define QUORLA_JET_LONG_VALUE_WRITER_H_

// Writing and freeing Memo and OLE values (layout in long_value.h). Small values stay inline in
// the row; larger ones take one row of a long-value page, the largest a chain of such rows.

#include <cstdint>
#include <vector>

#include "jet/long_value.h"
#include "jet/pager.h"
#include "jet/table_page_allocator.h"

namespace jet {

namespace long_value {
inline constexpr size_t kMaxInline = 64;     // bytes of data kept in the row itself
inline constexpr size_t kMaxRowData = 4076;  // bytes of one long-value row
}  // namespace long_value

// The reference (followed by the data when inline) to store in the row for `data`; writes the
// long-value rows when not inline.
std::vector<uint8_t> WriteLongValue(Pager& pager, TablePageAllocator& allocator, ByteSpan data,
                                    bool allow_inline);

// Frees the long-value rows a reference leads to (nothing for inline values); a long-value page
// left without live rows goes back to the allocator.
void FreeLongValue(Pager& pager, TablePageAllocator& allocator, ByteSpan reference);

// Deletes row `at` of a data page; a page left without live rows is freed. Returns whether the
// page was freed.
bool DeleteRowAt(Pager& pager, TablePageAllocator& allocator, RowPointer at);

}  // namespace jet

#endif  // QUORLA_JET_LONG_VALUE_WRITER_H_
