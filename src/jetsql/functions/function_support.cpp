#include "jetsql/functions/function_support.h"

#include <cmath>
#include <limits>

#include "jetsql/functions/registry.h"
#include "jetsql/sqlite_bridge.h"
#include "jetsql/value_convert.h"

namespace jetsql::fn {

jet::ColumnType Args::type(int i) const {
  return static_cast<jet::ColumnType>(sqlite3_value_int(argv_[2 * i + 1]));
}

bool Args::is_null(int i) const {
  return sqlite3_value_type(argv_[2 * i]) == SQLITE_NULL ||
         sqlite3_value_int(argv_[2 * i + 1]) == kUntypedCode;
}

jet::Value Args::value(int i) const {
  if (is_null(i)) return std::monostate{};
  return ReadJetValue(argv_[2 * i], type(i));
}

int64_t Args::integer(int i) const {
  jet::Value v = value(i);
  if (const auto* x = std::get_if<int32_t>(&v)) return *x;
  if (const auto* x = std::get_if<int16_t>(&v)) return *x;
  if (const auto* x = std::get_if<uint8_t>(&v)) return *x;
  if (const auto* x = std::get_if<bool>(&v)) return *x ? -1 : 0;
  double d = BankersRound(ValueToDouble(v));
  if (!(d >= -9.2e18 && d <= 9.2e18)) ThrowOverflow();
  return static_cast<int64_t>(d);
}

std::string Args::text(int i) const {
  return ValueText(value(i));
}

double Args::number(int i) const {
  return ValueToDouble(value(i));
}

void ResultError(sqlite3_context* ctx, const jet::Error& error) {
  FailCall(ctx, error);
}

}  // namespace jetsql::fn
