#ifndef QUORLA_JET_COLUMN_KIND_H_
#define QUORLA_JET_COLUMN_KIND_H_

// Groups of column types that the layers above treat alike.

#include "jet/value.h"

namespace jet {

// Byte, Integer, Long, Currency, Single, Double and Decimal: the types that hold a number.
inline bool IsNumberType(ColumnType type) {
  switch (type) {
    case ColumnType::kByte:
    case ColumnType::kInteger:
    case ColumnType::kLong:
    case ColumnType::kCurrency:
    case ColumnType::kSingle:
    case ColumnType::kDouble:
    case ColumnType::kNumeric:
      return true;
    default:
      return false;
  }
}

}  // namespace jet

#endif  // QUORLA_JET_COLUMN_KIND_H_
