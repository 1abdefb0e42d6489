#ifndef QUORLA_QUERY_PACKED_ROWS_H_
#define QUORLA_QUERY_PACKED_ROWS_H_

#include <cstddef>
#include <vector>

#include "jet/value.h"
#include "query/page_block.h"

namespace query {

// The records of a result, packed one after the other into a single block of their own: each
// value as its type tag and its bytes, text and binary with their length in front. The grid
// keeps its result this way because it is compact, and because it leaves the program's heap
// when replaced; records held as many small heap objects would stay interleaved with the next
// result's and keep the heap at the size of both.
class PackedRows {
 public:
  PackedRows() = default;
  // Packs `rows`; they are released as they are packed.
  explicit PackedRows(std::vector<std::vector<jet::Value>> rows);

  size_t size() const { return row_count_; }
  // The value in column `col` of record `row`, Null beyond the end of the record.
  jet::Value At(size_t row, size_t col) const;

 private:
  const std::byte* RowStart(size_t row) const;

  PageBlock block_;  // the start of each record and one past the last, then the records
  size_t row_count_ = 0;
};

}  // namespace query

#endif  // QUORLA_QUERY_PACKED_ROWS_H_
