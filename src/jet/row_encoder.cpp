#include "jet/row_encoder.h"

#include <algorithm>
#include <cstring>

#include "jet/byte_writer.h"
#include "jet/data_page_writer.h"
#include "jet/row_codec.h"
#include "jet/text_encoder.h"

namespace jet {
namespace {

[[noreturn]] void ThrowTypeMismatch() {
  throw errors::CriteriaTypeMismatch();
}

bool OfColumnType(ColumnType type, const Value& v) {
  switch (type) {
    case ColumnType::kBoolean:
      return std::holds_alternative<bool>(v);
    case ColumnType::kByte:
      return std::holds_alternative<uint8_t>(v);
    case ColumnType::kInteger:
      return std::holds_alternative<int16_t>(v);
    case ColumnType::kLong:
    case ColumnType::kComplex:
      return std::holds_alternative<int32_t>(v);
    case ColumnType::kCurrency:
      return std::holds_alternative<Currency>(v);
    case ColumnType::kSingle:
      return std::holds_alternative<float>(v);
    case ColumnType::kDouble:
      return std::holds_alternative<double>(v);
    case ColumnType::kDateTime:
      return std::holds_alternative<DateTime>(v);
    case ColumnType::kText:
    case ColumnType::kMemo:
      return std::holds_alternative<std::string>(v);
    case ColumnType::kBinary:
    case ColumnType::kOle:
      return std::holds_alternative<Bytes>(v);
    case ColumnType::kGuid:
      return std::holds_alternative<Guid>(v);
    case ColumnType::kNumeric:
      return std::holds_alternative<Decimal>(v);
  }
  return false;
}

unsigned __int128 Pow10(int n) {
  unsigned __int128 r = 1;
  for (int i = 0; i < n; ++i) r *= 10;
  return r;
}

// The mantissa of `d` at `scale`, rounded half away from zero; Error 3349 beyond `precision`.
unsigned __int128 Rescale(const Decimal& d, uint8_t scale, uint8_t precision) {
  unsigned __int128 m = d.mantissa;
  const unsigned __int128 limit = (static_cast<unsigned __int128>(1) << 96);
  if (d.scale < scale) {
    for (int i = d.scale; i < scale; ++i) {
      if (m > limit) break;
      m *= 10;
    }
  } else if (d.scale > scale) {
    unsigned __int128 div = Pow10(d.scale - scale);
    unsigned __int128 q = m / div;
    if ((m % div) * 2 >= div) ++q;
    m = q;
  }
  if (m >= limit || (precision > 0 && precision <= 38 && m >= Pow10(precision))) {
    throw errors::NumericOverflow();
  }
  return m;
}

std::vector<uint8_t> TextBytes(const ColumnDef& c, const std::string& text) {
  std::vector<uint8_t> out;
  AppendJet4TextFromUtf8(out, text, c.compressed_unicode);
  return out;
}

// Appends the bytes of a value of a fixed or variable (not long) column to `out`.
void AppendValueBytes(std::vector<uint8_t>& out, const ColumnDef& c, const Value& v) {
  switch (c.type) {
    case ColumnType::kByte:
      out.push_back(std::get<uint8_t>(v));
      break;
    case ColumnType::kInteger:
      AppendU16(out, static_cast<uint16_t>(std::get<int16_t>(v)));
      break;
    case ColumnType::kLong:
    case ColumnType::kComplex:
      AppendU32(out, static_cast<uint32_t>(std::get<int32_t>(v)));
      break;
    case ColumnType::kCurrency: {
      uint64_t bits = static_cast<uint64_t>(std::get<Currency>(v).scaled);
      AppendU32(out, static_cast<uint32_t>(bits));
      AppendU32(out, static_cast<uint32_t>(bits >> 32));
      break;
    }
    case ColumnType::kSingle: {
      float f = std::get<float>(v);
      uint32_t bits;
      std::memcpy(&bits, &f, sizeof bits);
      AppendU32(out, bits);
      break;
    }
    case ColumnType::kDouble:
    case ColumnType::kDateTime: {
      double d = c.type == ColumnType::kDouble ? std::get<double>(v) : std::get<DateTime>(v).days;
      uint64_t bits;
      std::memcpy(&bits, &d, sizeof bits);
      AppendU32(out, static_cast<uint32_t>(bits));
      AppendU32(out, static_cast<uint32_t>(bits >> 32));
      break;
    }
    case ColumnType::kGuid: {
      const Guid& g = std::get<Guid>(v);
      out.insert(out.end(), g.begin(), g.end());
      break;
    }
    case ColumnType::kNumeric: {
      const Decimal& d = std::get<Decimal>(v);
      unsigned __int128 m = Rescale(d, c.scale, c.precision);
      out.push_back(d.negative && m != 0 ? row::kNumericNegative : 0);
      for (int word = 3; word >= 0; --word) {
        AppendU32(out, static_cast<uint32_t>(m >> (32 * word)));
      }
      break;
    }
    case ColumnType::kText:
      AppendJet4TextFromUtf8(out, std::get<std::string>(v), !c.fixed && c.compressed_unicode);
      break;
    case ColumnType::kBinary: {
      const Bytes& b = std::get<Bytes>(v);
      out.insert(out.end(), b.begin(), b.end());
      break;
    }
    default:
      ThrowTypeMismatch();
  }
}

bool IsLong(ColumnType t) {
  return t == ColumnType::kMemo || t == ColumnType::kOle;
}

}  // namespace

void ThrowRecordTooLarge() {
  throw errors::RecordTooLarge();
}

void CheckRowValues(const TableLayout& layout, const std::vector<Value>& values) {
  const std::vector<ColumnDef>& columns = layout.def->columns;
  if (values.size() != columns.size()) ThrowTypeMismatch();
  for (size_t i = 0; i < columns.size(); ++i) {
    const ColumnDef& c = columns[i];
    const Value& v = values[i];
    if (IsNull(v)) {
      if (c.type != ColumnType::kBoolean && !c.nullable) {
        throw errors::RequiredNull(layout.def->name, c.name);
      }
      continue;
    }
    if (!OfColumnType(c.type, v)) ThrowTypeMismatch();
    bool too_long = false;
    if (c.type == ColumnType::kText) {
      too_long = Utf16Length(std::get<std::string>(v)) * 2 > c.size;
    } else if (c.type == ColumnType::kBinary) {
      too_long = std::get<Bytes>(v).size() > c.size;
    } else if (c.type == ColumnType::kNumeric) {
      Rescale(std::get<Decimal>(v), c.scale, c.precision);
    }
    if (too_long) {
      throw errors::FieldTooSmall();
    }
  }
}

std::vector<uint8_t> LongValueData(const ColumnDef& column, const Value& value) {
  if (column.type == ColumnType::kMemo) return TextBytes(column, std::get<std::string>(value));
  const Bytes& b = std::get<Bytes>(value);
  return {b.begin(), b.end()};
}

std::vector<uint8_t> EncodeRow(const TableLayout& layout, size_t column_count,
                               const std::vector<Value>& values,
                               const std::vector<std::vector<uint8_t>>& long_refs,
                               const std::vector<std::optional<ByteSpan>>* stored) {
  auto stored_bytes = [&](size_t i) -> const std::optional<ByteSpan>* {
    return stored != nullptr && (*stored)[i].has_value() ? &(*stored)[i] : nullptr;
  };
  const std::vector<ColumnDef>& columns = layout.def->columns;
  for (const ColumnPlace& p : layout.places) {
    column_count = std::max(column_count, static_cast<size_t>(p.number) + 1);
  }
  std::vector<uint8_t> mask((column_count + 7) / 8, 0);
  auto mark = [&](size_t i) {
    size_t n = static_cast<size_t>(layout.places[i].number);
    mask[n / 8] |= static_cast<uint8_t>(1u << (n % 8));
  };

  std::vector<uint8_t> row;
  row.reserve(256);
  std::vector<uint8_t> bytes;  // one fixed value's, reused
  AppendU16(row, static_cast<uint16_t>(column_count));
  const size_t header = row::kColumnCountSizeJet4;
  size_t fixed_end = header;
  for (size_t i = 0; i < columns.size(); ++i) {
    const ColumnDef& c = columns[i];
    const ColumnPlace& p = layout.places[i];
    if (c.type == ColumnType::kBoolean) {
      if (!IsNull(values[i]) && std::get<bool>(values[i])) mark(i);
      continue;
    }
    if (!p.fixed) continue;
    size_t width = FixedColumnSize(c);
    size_t at = header + p.fixed_offset;
    fixed_end = std::max(fixed_end, at + width);
    if (row.size() < at + width) row.resize(at + width, 0);
    if (IsNull(values[i])) continue;
    mark(i);
    bytes.clear();
    if (const std::optional<ByteSpan>* kept = stored_bytes(i)) {
      bytes.assign((*kept)->begin(), (*kept)->end());
    } else {
      AppendValueBytes(bytes, c, values[i]);
    }
    if (c.type == ColumnType::kText) {
      // Fixed text is padded with spaces to the column's size.
      while (bytes.size() + 2 <= width) {
        bytes.push_back(' ');
        bytes.push_back(0);
      }
    }
    bytes.resize(width, 0);
    std::copy(bytes.begin(), bytes.end(), row.begin() + static_cast<std::ptrdiff_t>(at));
  }
  row.resize(fixed_end, 0);

  if (layout.var_columns > 0) {
    // Which column fills each variable slot.
    std::vector<int> slot_column(layout.var_columns, -1);
    for (size_t i = 0; i < columns.size(); ++i) {
      const ColumnPlace& p = layout.places[i];
      if (p.fixed || columns[i].type == ColumnType::kBoolean) continue;
      if (static_cast<size_t>(p.var_index) < slot_column.size()) {
        slot_column[static_cast<size_t>(p.var_index)] = static_cast<int>(i);
      }
    }
    std::vector<uint16_t> offsets;
    offsets.reserve(layout.var_columns + 1);
    for (int i : slot_column) {
      offsets.push_back(static_cast<uint16_t>(row.size()));
      if (i < 0 || IsNull(values[static_cast<size_t>(i)])) continue;
      size_t k = static_cast<size_t>(i);
      mark(k);
      if (IsLong(columns[k].type)) {
        row.insert(row.end(), long_refs[k].begin(), long_refs[k].end());
      } else if (const std::optional<ByteSpan>* kept = stored_bytes(k)) {
        row.insert(row.end(), (*kept)->begin(), (*kept)->end());
      } else {
        AppendValueBytes(row, columns[k], values[k]);
      }
      if (row.size() > data_page::kMaxRowSize) ThrowRecordTooLarge();
    }
    offsets.push_back(static_cast<uint16_t>(row.size()));
    // The offset table runs backwards from the count: the end of the data comes first.
    for (size_t i = offsets.size(); i-- > 0;) AppendU16(row, offsets[i]);
    AppendU16(row, static_cast<uint16_t>(layout.var_columns));
  }
  row.insert(row.end(), mask.begin(), mask.end());
  if (row.size() > data_page::kMaxRowSize) ThrowRecordTooLarge();
  return row;
}

}  // namespace jet
