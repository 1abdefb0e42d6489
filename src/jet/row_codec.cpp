#include "jet/row_codec.h"

#include "jet/long_value.h"
#include "jet/text_codec.h"

namespace jet {
namespace {

void ReadJet4Offsets(ByteSpan row, size_t mask_size, std::vector<uint16_t>& out) {
  if (row.size() < mask_size + 2) ThrowCorrupt("row too short");
  size_t count_at = row.size() - mask_size - 2;
  size_t count = ReadU16(row, count_at);
  if ((count + 1) * 2 > count_at) ThrowCorrupt("variable column count");
  out.resize(count + 1);
  for (size_t i = 0; i <= count; ++i) out[i] = ReadU16(row, count_at - 2 - 2 * i);
}

void ReadJet3Offsets(ByteSpan row, size_t mask_size, std::vector<uint16_t>& out) {
  if (row.size() < mask_size + 1) ThrowCorrupt("row too short");
  size_t last = row.size() - 1;
  size_t count = ReadU8(row, last - mask_size);
  size_t jumps = last / row::kJumpSegment;
  if (last < mask_size + jumps + 1) ThrowCorrupt("row too short for its jump table");
  size_t column_pointer = last - mask_size - jumps - 1;
  // The number of jumps follows the row's size; the last one may be a dummy.
  if (jumps > 0 &&
      (column_pointer < count || (column_pointer - count) / row::kJumpSegment < jumps)) {
    --jumps;
  }
  if (column_pointer < count) ThrowCorrupt("variable column count");
  out.resize(count + 1);
  size_t jumps_used = 0;
  for (size_t i = 0; i <= count; ++i) {
    while (jumps_used < jumps && i == ReadU8(row, last - mask_size - jumps_used - 1)) {
      ++jumps_used;
    }
    out[i] =
        static_cast<uint16_t>(ReadU8(row, column_pointer - i) + jumps_used * row::kJumpSegment);
  }
}

Decimal DecodeNumeric(ByteSpan b, const ColumnDef& c) {
  Decimal d;
  d.negative = (ReadU8(b, 0) & row::kNumericNegative) != 0;
  d.precision = c.precision;
  d.scale = c.scale;
  // Four little-endian 32-bit words, the most significant first.
  for (size_t word = 0; word < 4; ++word) {
    d.mantissa = (d.mantissa << 32) | ReadU32(b, 1 + 4 * word);
  }
  return d;
}

Guid DecodeGuid(ByteSpan b) {
  Guid g;
  ByteSpan s = Slice(b, 0, row::kGuidSize);
  std::copy(s.begin(), s.end(), g.begin());
  return g;
}

}  // namespace

size_t FixedColumnSize(const ColumnDef& c) {
  switch (c.type) {
    case ColumnType::kByte:
      return 1;
    case ColumnType::kInteger:
      return 2;
    case ColumnType::kLong:
    case ColumnType::kSingle:
    case ColumnType::kComplex:
      return 4;
    case ColumnType::kCurrency:
    case ColumnType::kDouble:
    case ColumnType::kDateTime:
      return 8;
    case ColumnType::kGuid:
      return row::kGuidSize;
    case ColumnType::kNumeric:
      return row::kNumericSize;
    default:
      return c.size;
  }
}

RowView::RowView(ByteSpan row, JetVersion version, const TableLayout& layout)
    : RowView(row, version, layout, std::vector<uint16_t>()) {}

RowView::RowView(ByteSpan row, JetVersion version, const TableLayout& layout,
                 std::vector<uint16_t>&& spare)
    : row_(row), version_(version), layout_(layout), var_offsets_(std::move(spare)) {
  // The offsets are read over the last row's in place: rows of one table mostly have as many.
  bool jet3 = version == JetVersion::kJet3;
  column_count_ = jet3 ? ReadU8(row, 0) : ReadU16(row, 0);
  size_t mask_size = (column_count_ + 7) / 8;
  size_t header = jet3 ? row::kColumnCountSizeJet3 : row::kColumnCountSizeJet4;
  if (row.size() < header + mask_size) ThrowCorrupt("row shorter than its null mask");
  null_mask_ = row.subspan(row.size() - mask_size);
  if (layout.var_columns > 0) {
    if (jet3) {
      ReadJet3Offsets(row, mask_size, var_offsets_);
    } else {
      ReadJet4Offsets(row, mask_size, var_offsets_);
    }
    for (size_t i = 0; i + 1 < var_offsets_.size(); ++i) {
      if (var_offsets_[i] > var_offsets_[i + 1]) ThrowCorrupt("variable offsets out of order");
    }
    if (var_offsets_.back() > row.size()) ThrowCorrupt("variable data past the row");
  } else {
    var_offsets_.clear();
  }
}

bool RowView::Flag(size_t position) const {
  size_t number = static_cast<size_t>(layout_.places[position].number);
  if (number >= column_count_) return false;
  return (null_mask_[number / 8] >> (number % 8)) & 1;
}

std::optional<ByteSpan> RowView::Bytes(size_t position) const {
  if (!Flag(position)) return std::nullopt;
  const ColumnPlace& place = layout_.places[position];
  if (place.fixed) {
    size_t header =
        version_ == JetVersion::kJet3 ? row::kColumnCountSizeJet3 : row::kColumnCountSizeJet4;
    return Slice(row_, header + place.fixed_offset,
                 FixedColumnSize(layout_.def->columns[position]));
  }
  size_t index = static_cast<size_t>(place.var_index);
  if (index + 1 >= var_offsets_.size()) return std::nullopt;
  return row_.subspan(var_offsets_[index], var_offsets_[index + 1] - var_offsets_[index]);
}

Value DecodeColumn(const RowView& row, size_t position, const TableLayout& layout,
                   JetVersion version, PageReader& pages) {
  const ColumnDef& c = layout.def->columns[position];
  if (c.type == ColumnType::kBoolean) return row.Flag(position);
  std::optional<ByteSpan> stored = row.Bytes(position);
  if (!stored) return std::monostate{};
  ByteSpan b = *stored;
  switch (c.type) {
    case ColumnType::kByte:
      return ReadU8(b, 0);
    case ColumnType::kInteger:
      return static_cast<int16_t>(ReadU16(b, 0));
    case ColumnType::kLong:
    case ColumnType::kComplex:
      return static_cast<int32_t>(ReadU32(b, 0));
    case ColumnType::kCurrency:
      return Currency{static_cast<int64_t>(ReadU64(b, 0))};
    case ColumnType::kSingle:
      return ReadFloat(b, 0);
    case ColumnType::kDouble:
      return ReadDouble(b, 0);
    case ColumnType::kDateTime:
      return DateTime{ReadDouble(b, 0)};
    case ColumnType::kGuid:
      return DecodeGuid(b);
    case ColumnType::kNumeric:
      return DecodeNumeric(b, c);
    case ColumnType::kText:
      return DecodeText(b, version);
    case ColumnType::kMemo: {
      std::vector<uint8_t> bytes = ReadLongValue(pages, version, b);
      return DecodeText(bytes, version);
    }
    case ColumnType::kOle:
      return ReadLongValue(pages, version, b);
    default:
      return jet::Bytes(b.begin(), b.end());
  }
}

void DecodeColumnInto(const RowView& row, size_t position, const TableLayout& layout,
                      JetVersion version, PageReader& pages, Value& out) {
  const ColumnDef& c = layout.def->columns[position];
  if (c.type == ColumnType::kText) {
    std::optional<ByteSpan> stored = row.Bytes(position);
    if (!stored) {
      out = std::monostate{};
      return;
    }
    if (!std::holds_alternative<std::string>(out)) out = std::string();
    DecodeTextInto(*stored, version, std::get<std::string>(out));
    return;
  }
  out = DecodeColumn(row, position, layout, version, pages);
}

}  // namespace jet
