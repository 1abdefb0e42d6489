#ifndef QUORLA_JET_VALUE_H_
#define QUORLA_JET_VALUE_H_

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace jet {

// Column types as the file records them.
enum class ColumnType : uint8_t {
  kBoolean = 0x01,   // Yes/No, stored in the null mask
  kByte = 0x02,      // unsigned 8 bit
  kInteger = 0x03,   // signed 16 bit
  kLong = 0x04,      // signed 32 bit
  kCurrency = 0x05,  // signed 64 bit, scaled by 10,000
  kSingle = 0x06,
  kDouble = 0x07,
  kDateTime = 0x08,  // double: days since 1899-12-30, fraction = time of day
  kBinary = 0x09,
  kText = 0x0A,
  kOle = 0x0B,  // long binary
  kMemo = 0x0C,  // long text
  kGuid = 0x0F,  // replication id
  kNumeric = 0x10,  // Decimal: 96-bit mantissa with precision and scale
  kComplex = 0x12,
};

// Exact decimal: value = (negative ? -1 : 1) * mantissa / 10^scale.
struct Decimal {
  bool negative = false;
  unsigned __int128 mantissa = 0;  // at most 96 bits used
  uint8_t precision = 18;
  uint8_t scale = 0;
  bool operator==(const Decimal&) const = default;
};

// Currency is kept exact as an integer number of ten-thousandths.
struct Currency {
  static constexpr int64_t kScale = 10000;
  int64_t scaled = 0;
  bool operator==(const Currency&) const = default;
};

// A date as Jet stores it: a double counting days since 1899-12-30. For negative values the
// fraction is still a positive time of day (-1.25 is 1899-12-29 06:00).
struct DateTime {
  double days = 0;
  bool operator==(const DateTime&) const = default;
};

using Guid = std::array<uint8_t, 16>;  // bytes as stored
using Bytes = std::vector<uint8_t>;

// One typed value. Text and memo are UTF-8 strings; binary and OLE are bytes.
// std::monostate is Null.
using Value = std::variant<std::monostate, bool, uint8_t, int16_t, int32_t, Currency, float, double,
                           DateTime, Bytes, std::string, Guid, Decimal>;

inline bool IsNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

}  // namespace jet

#endif  // QUORLA_JET_VALUE_H_
