#ifndef QUORLA_QUERY_RECORD_CODEC_H_
#define QUORLA_QUERY_RECORD_CODEC_H_

#include <cstddef>
#include <vector>

#include "jet/value.h"

namespace query {

// A record as bytes: each value as its type tag and its bytes, text and binary with their
// length in front, one value after the other. Records are kept this way because it is compact
// and because it can go to disk and come back unchanged.

// The number of bytes PackRecord writes for `row`. Throws Overflow for a text or binary value
// longer than 4 GiB.
size_t PackedRecordSize(const std::vector<jet::Value>& row);
// Writes `row` at `out`, which has room for PackedRecordSize(row) bytes; returns the end.
std::byte* PackRecord(const std::vector<jet::Value>& row, std::byte* out);
// The value in column `col` of the record packed in [begin, end), Null beyond its last value.
jet::Value UnpackValue(const std::byte* begin, const std::byte* end, size_t col);

}  // namespace query

#endif  // QUORLA_QUERY_RECORD_CODEC_H_
