#include "jet/index_key.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "jet/general_sort.h"
#include "jet/general_sort97.h"

namespace jet {

namespace {

constexpr int64_t kCurrencyScale = Currency::kScale;
constexpr size_t kDecimalMantissaBytes = 16;
constexpr uint8_t kDecimalNegativeSign = 0x80;
constexpr uint8_t kDecimalNegativeKeySign = 0x00;
constexpr uint8_t kDecimalPositiveKeySign = 0xFF;
// Binary and GUID keys: 8-byte segments, each followed by a length byte; kSegmentContinues
// means more segments follow.
constexpr size_t kBinarySegment = 8;
constexpr uint8_t kSegmentContinues = 9;
constexpr size_t kGuidBytes = 16;
constexpr uint8_t kSignBit = 0x80;

[[noreturn]] void ThrowMismatch() {
  throw errors::CriteriaTypeMismatch();
}

void AppendBigEndian(std::string& out, uint64_t value, int size) {
  for (int i = size - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void Invert(std::string& bytes, size_t from) {
  for (size_t i = from; i < bytes.size(); ++i) bytes[i] = static_cast<char>(~bytes[i]);
}

unsigned __int128 Pow10(int n) {
  unsigned __int128 v = 1;
  for (int i = 0; i < n; ++i) v *= 10;
  return v;
}

// Whole numbers only; nullopt when the value is not a whole number.
std::optional<int64_t> AsInteger(const Value& v) {
  if (auto* b = std::get_if<bool>(&v)) return *b ? -1 : 0;
  if (auto* x = std::get_if<uint8_t>(&v)) return *x;
  if (auto* x = std::get_if<int16_t>(&v)) return *x;
  if (auto* x = std::get_if<int32_t>(&v)) return *x;
  if (auto* x = std::get_if<Currency>(&v)) {
    if (x->scaled % kCurrencyScale != 0) return std::nullopt;
    return x->scaled / kCurrencyScale;
  }
  auto from_double = [](double d) -> std::optional<int64_t> {
    // 2^63 is exactly representable; anything at or past it does not fit.
    constexpr double kLimit = 9223372036854775808.0;
    if (!std::isfinite(d) || d != std::trunc(d) || d >= kLimit || d < -kLimit) return std::nullopt;
    return static_cast<int64_t>(d);
  };
  if (auto* x = std::get_if<float>(&v)) return from_double(*x);
  if (auto* x = std::get_if<double>(&v)) return from_double(*x);
  if (auto* x = std::get_if<Decimal>(&v)) {
    const unsigned __int128 p = Pow10(x->scale);
    if (x->mantissa % p != 0) return std::nullopt;
    const unsigned __int128 whole = x->mantissa / p;
    if (whole > static_cast<unsigned __int128>(std::numeric_limits<int64_t>::max())) {
      return std::nullopt;
    }
    return x->negative ? -static_cast<int64_t>(whole) : static_cast<int64_t>(whole);
  }
  return std::nullopt;
}

std::optional<double> AsDouble(const Value& v) {
  if (auto* x = std::get_if<float>(&v)) return *x;
  if (auto* x = std::get_if<double>(&v)) return *x;
  if (auto* x = std::get_if<DateTime>(&v)) return x->days;
  if (auto* x = std::get_if<Currency>(&v)) {
    return static_cast<double>(x->scaled) / static_cast<double>(kCurrencyScale);
  }
  if (auto* x = std::get_if<Decimal>(&v)) {
    const double m = static_cast<double>(x->mantissa) / static_cast<double>(Pow10(x->scale));
    return x->negative ? -m : m;
  }
  if (auto i = AsInteger(v)) return static_cast<double>(*i);
  return std::nullopt;
}

int64_t IntegerInRange(const Value& v, int64_t min, int64_t max) {
  const std::optional<int64_t> i = AsInteger(v);
  if (!i || *i < min || *i > max) ThrowMismatch();
  return *i;
}

// Two's complement, big-endian, sign bit flipped so that byte order is numeric order.
void AppendSigned(std::string& out, int64_t value, int size) {
  const size_t start = out.size();
  AppendBigEndian(out, static_cast<uint64_t>(value), size);
  out[start] = static_cast<char>(static_cast<uint8_t>(out[start]) ^ kSignBit);
}

// IEEE bits, big-endian: positive numbers get the sign bit set, negative numbers are inverted.
void AppendFloating(std::string& out, uint64_t bits, int size) {
  const size_t start = out.size();
  AppendBigEndian(out, bits, size);
  if (static_cast<uint8_t>(out[start]) & kSignBit) {
    Invert(out, start);
  } else {
    out[start] = static_cast<char>(static_cast<uint8_t>(out[start]) ^ kSignBit);
  }
}

void AppendCurrency(std::string& out, const Value& v) {
  int64_t scaled;
  if (auto* c = std::get_if<Currency>(&v)) {
    scaled = c->scaled;
  } else if (auto i = AsInteger(v)) {
    if (*i > std::numeric_limits<int64_t>::max() / kCurrencyScale ||
        *i < std::numeric_limits<int64_t>::min() / kCurrencyScale) {
      ThrowMismatch();
    }
    scaled = *i * kCurrencyScale;
  } else {
    const std::optional<double> d = AsDouble(v);
    if (!d) ThrowMismatch();
    const double s = *d * static_cast<double>(kCurrencyScale);
    if (!std::isfinite(s) || s != std::round(s) || std::fabs(s) >= 9.2e18) ThrowMismatch();
    scaled = static_cast<int64_t>(s);
  }
  AppendSigned(out, scaled, sizeof(int64_t));
}

// Decimal keys: a sign byte and the unscaled magnitude at the column's scale, big-endian. Access
// 2000-2003 writes them so that descending indexes keep negative numbers first.
void AppendDecimal(std::string& out, const Value& v, const IndexKeyColumn& column) {
  Decimal d;
  if (auto* x = std::get_if<Decimal>(&v)) {
    d = *x;
  } else if (auto i = AsInteger(v)) {
    d.negative = *i < 0;
    d.mantissa = d.negative ? static_cast<unsigned __int128>(-(*i + 1)) + 1
                            : static_cast<unsigned __int128>(*i);
    d.scale = 0;
  } else if (auto* c = std::get_if<Currency>(&v)) {
    d.negative = c->scaled < 0;
    d.mantissa = d.negative ? static_cast<unsigned __int128>(-(c->scaled + 1)) + 1
                            : static_cast<unsigned __int128>(c->scaled);
    d.scale = 4;
  } else {
    ThrowMismatch();
  }
  constexpr int kMaxScale = 28;
  if (column.scale > kMaxScale || d.scale > kMaxScale) ThrowMismatch();
  if (d.scale < column.scale) {
    const unsigned __int128 p = Pow10(column.scale - d.scale);
    constexpr unsigned __int128 kMax96 = (static_cast<unsigned __int128>(1) << 96) - 1;
    if (d.mantissa > kMax96 / p) ThrowMismatch();
    d.mantissa *= p;
  } else if (d.scale > column.scale) {
    const unsigned __int128 p = Pow10(d.scale - column.scale);
    if (d.mantissa % p != 0) ThrowMismatch();
    d.mantissa /= p;
  }
  const bool negative = d.negative && d.mantissa != 0;
  const size_t start = out.size();
  out.push_back(static_cast<char>(negative ? kDecimalNegativeSign : 0));
  AppendBigEndian(out, static_cast<uint64_t>(d.mantissa >> 64), 8);
  AppendBigEndian(out, static_cast<uint64_t>(d.mantissa), 8);
  static_assert(kDecimalMantissaBytes == 16);
  if (negative == column.ascending) Invert(out, start);
  out[start] = static_cast<char>(negative ? kDecimalNegativeKeySign : kDecimalPositiveKeySign);
}

// Binary data in 8-byte segments; a descending column inverts all but the continuation bytes.
void AppendBinary(std::string& out, std::string_view data, bool ascending) {
  size_t pos = 0;
  while (data.size() - pos > kBinarySegment) {
    const size_t start = out.size();
    out.append(data.substr(pos, kBinarySegment));
    if (!ascending) Invert(out, start);
    out.push_back(static_cast<char>(kSegmentContinues));
    pos += kBinarySegment;
  }
  if (pos < data.size()) {
    const size_t start = out.size();
    const size_t rest = data.size() - pos;
    out.append(data.substr(pos));
    out.append(kBinarySegment - rest, '\0');
    out.push_back(static_cast<char>(rest));
    if (!ascending) Invert(out, start);
  }
}

std::optional<Guid> ParseGuid(std::string_view text) {
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, braces optional; the first three groups are stored
  // little-endian.
  if (text.size() >= 2 && text.front() == '{' && text.back() == '}') {
    text = text.substr(1, text.size() - 2);
  }
  std::string hex;
  for (char c : text) {
    if (c == '-') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    hex.push_back(c);
  }
  if (hex.size() != 2 * kGuidBytes) return std::nullopt;
  std::array<uint8_t, kGuidBytes> big{};
  for (size_t i = 0; i < kGuidBytes; ++i) {
    big[i] = static_cast<uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
  }
  Guid stored = big;
  std::reverse(stored.begin(), stored.begin() + 4);
  std::reverse(stored.begin() + 4, stored.begin() + 6);
  std::reverse(stored.begin() + 6, stored.begin() + 8);
  return stored;
}

void AppendGuid(std::string& out, const Value& v, bool ascending) {
  Guid g;
  if (auto* x = std::get_if<Guid>(&v)) {
    g = *x;
  } else if (auto* s = std::get_if<std::string>(&v)) {
    auto parsed = ParseGuid(*s);
    if (!parsed) ThrowMismatch();
    g = *parsed;
  } else {
    ThrowMismatch();
  }
  // The key holds the GUID in its written (big-endian) order.
  std::reverse(g.begin(), g.begin() + 4);
  std::reverse(g.begin() + 4, g.begin() + 6);
  std::reverse(g.begin() + 6, g.begin() + 8);
  AppendBinary(out, std::string_view(reinterpret_cast<const char*>(g.data()), g.size()), ascending);
}

void AppendText(std::string& out, const Value& v, bool ascending, JetVersion version) {
  const std::string* s = std::get_if<std::string>(&v);
  if (!s) ThrowMismatch();
  std::u16string text = Utf8ToUtf16(*s);
  if (text.size() > kIndexTextMaxChars) text.resize(kIndexTextMaxChars);
  while (!text.empty() && text.back() == u' ') text.pop_back();
  const size_t start = out.size();
  if (version == JetVersion::kJet3) {
    out += General97SortKey(text);
    if (!ascending) Invert(out, start);
    return;
  }
  out += GeneralSortKey(text);
  if (!ascending) {
    // Jet 4 ends a descending text with one more end-of-key byte after the inverted key.
    Invert(out, start);
    out.push_back('\0');
  }
}

}  // namespace

void AppendIndexKey(std::string& out, const IndexKeyColumn& column, const Value& value,
                    JetVersion version) {
  const bool asc = column.ascending;
  if (column.type == ColumnType::kBoolean) {
    bool b = false;
    if (auto* x = std::get_if<bool>(&value)) {
      b = *x;
    } else if (!IsNull(value)) {
      const std::optional<double> d = AsDouble(value);
      if (!d) ThrowMismatch();
      b = *d != 0;
    }
    out.push_back(static_cast<char>(asc ? kIndexAscendingFlag : kIndexDescendingFlag));
    const uint8_t code = b ? kIndexTrueAscending : kIndexFalseAscending;
    out.push_back(static_cast<char>(asc ? code : static_cast<uint8_t>(~code)));
    return;
  }
  if (IsNull(value)) {
    out.push_back(static_cast<char>(asc ? kIndexAscendingNullFlag : kIndexDescendingNullFlag));
    return;
  }
  out.push_back(static_cast<char>(asc ? kIndexAscendingFlag : kIndexDescendingFlag));
  const size_t start = out.size();
  switch (column.type) {
    case ColumnType::kByte:
      out.push_back(static_cast<char>(IntegerInRange(value, 0, 255)));
      break;
    case ColumnType::kInteger:
      AppendSigned(out, IntegerInRange(value, INT16_MIN, INT16_MAX), sizeof(int16_t));
      break;
    case ColumnType::kLong:
      AppendSigned(out, IntegerInRange(value, INT32_MIN, INT32_MAX), sizeof(int32_t));
      break;
    case ColumnType::kCurrency:
      AppendCurrency(out, value);
      break;
    case ColumnType::kSingle: {
      const std::optional<double> d = AsDouble(value);
      if (!d) ThrowMismatch();
      AppendFloating(out, std::bit_cast<uint32_t>(static_cast<float>(*d)), sizeof(float));
      break;
    }
    case ColumnType::kDouble:
    case ColumnType::kDateTime: {
      const std::optional<double> d = AsDouble(value);
      if (!d) ThrowMismatch();
      AppendFloating(out, std::bit_cast<uint64_t>(*d), sizeof(double));
      break;
    }
    case ColumnType::kNumeric:
      AppendDecimal(out, value, column);
      return;  // the sign byte already carries the order
    case ColumnType::kGuid:
      AppendGuid(out, value, asc);
      return;
    case ColumnType::kBinary: {
      const Bytes* b = std::get_if<Bytes>(&value);
      if (!b) ThrowMismatch();
      AppendBinary(out, std::string_view(reinterpret_cast<const char*>(b->data()), b->size()), asc);
      return;
    }
    case ColumnType::kText:
    case ColumnType::kMemo:
      AppendText(out, value, asc, version);
      return;
    default:
      ThrowMismatch();
  }
  if (!asc) Invert(out, start);
}

std::string EncodeIndexKey(const std::vector<IndexKeyColumn>& columns,
                           const std::vector<Value>& values, JetVersion version) {
  if (values.size() > columns.size()) ThrowMismatch();
  std::string key;
  for (size_t i = 0; i < values.size(); ++i) AppendIndexKey(key, columns[i], values[i], version);
  return key;
}

}  // namespace jet
