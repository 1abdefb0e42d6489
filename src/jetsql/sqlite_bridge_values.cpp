// Values between jet::Value and SQLite's storage classes, by the convention of sqlite_bridge.h.

#include <cmath>
#include <limits>

#include "jetsql/date_util.h"
#include "jetsql/sqlite_bridge.h"
#include "jetsql/value_convert.h"

namespace jetsql {

namespace {

// Writes a jet::Value through one of SQLite's two families of setters (bind / result).
template <typename Sink>
void Emit(const jet::Value& value, Sink& sink) {
  struct Visitor {
    Sink& sink;
    void operator()(std::monostate) const { sink.Null(); }
    void operator()(bool b) const { sink.Int(b ? -1 : 0); }
    void operator()(uint8_t x) const { sink.Int(x); }
    void operator()(int16_t x) const { sink.Int(x); }
    void operator()(int32_t x) const { sink.Int(x); }
    void operator()(jet::Currency c) const { sink.Int(c.scaled); }
    void operator()(float f) const { sink.Real(f); }
    void operator()(double d) const { sink.Real(d); }
    void operator()(jet::DateTime d) const { sink.Real(d.days); }
    void operator()(const jet::Bytes& b) const { sink.Blob(b); }
    void operator()(const std::string& s) const { sink.Text(s); }
    void operator()(const jet::Guid& g) const { sink.Text(GuidText(g)); }
    void operator()(const jet::Decimal& d) const { sink.Text(DecimalText(d)); }
  };
  std::visit(Visitor{sink}, value);
}

struct BindSink {
  sqlite3_stmt* stmt;
  int index;
  void Null() { sqlite3_bind_null(stmt, index); }
  void Int(int64_t v) { sqlite3_bind_int64(stmt, index, v); }
  void Real(double v) { sqlite3_bind_double(stmt, index, v); }
  void Text(const std::string& s) {
    sqlite3_bind_text64(stmt, index, s.data(), s.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  }
  void Blob(const jet::Bytes& b) {
    // An empty vector may have no buffer, and SQLite binds a null pointer as Null.
    if (b.empty()) {
      sqlite3_bind_zeroblob(stmt, index, 0);
    } else {
      sqlite3_bind_blob64(stmt, index, b.data(), b.size(), SQLITE_TRANSIENT);
    }
  }
};

struct ResultSink {
  sqlite3_context* ctx;
  void Null() { sqlite3_result_null(ctx); }
  void Int(int64_t v) { sqlite3_result_int64(ctx, v); }
  void Real(double v) { sqlite3_result_double(ctx, v); }
  void Text(const std::string& s) {
    sqlite3_result_text64(ctx, s.data(), s.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  }
  void Blob(const jet::Bytes& b) {
    // A zero-length blob must still be a blob, not Null.
    if (b.empty()) {
      sqlite3_result_zeroblob(ctx, 0);
    } else {
      sqlite3_result_blob64(ctx, b.data(), b.size(), SQLITE_TRANSIENT);
    }
  }
};

std::string TextOf(sqlite3_value* v) {
  const unsigned char* p = sqlite3_value_text(v);
  int n = sqlite3_value_bytes(v);
  return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
}

jet::Bytes BytesOf(sqlite3_value* v) {
  const auto* p = static_cast<const uint8_t*>(sqlite3_value_blob(v));
  int n = sqlite3_value_bytes(v);
  return p ? jet::Bytes(p, p + n) : jet::Bytes();
}

// A number from any storage class (text must be numeric), for the numeric Jet types.
double NumberOf(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      return static_cast<double>(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
      return sqlite3_value_double(v);
    case SQLITE_TEXT: {
      std::string s = TextOf(v);
      if (auto n = ParseNumberText(s)) return *n;
      if (auto d = ParseDateText(s)) return *d;
      ThrowTypeMismatch();
    }
    default:
      ThrowTypeMismatch();
  }
}

template <typename Int>
Int IntegralOf(sqlite3_value* v) {
  int64_t i;
  if (sqlite3_value_type(v) == SQLITE_INTEGER) {
    i = sqlite3_value_int64(v);
  } else {
    double d = BankersRound(NumberOf(v));
    if (!(d >= -9.2e18 && d <= 9.2e18)) ThrowOverflow();
    i = static_cast<int64_t>(d);
  }
  if (i < std::numeric_limits<Int>::min() || i > std::numeric_limits<Int>::max()) ThrowOverflow();
  return static_cast<Int>(i);
}

}  // namespace

void BindJetValue(sqlite3_stmt* stmt, int index, const jet::Value& value) {
  BindSink sink{stmt, index};
  Emit(value, sink);
}

void ResultJetValue(sqlite3_context* ctx, const jet::Value& value) {
  ResultSink sink{ctx};
  Emit(value, sink);
}

jet::Value ReadJetValue(sqlite3_value* value, jet::ColumnType type) {
  int storage = sqlite3_value_type(value);
  if (storage == SQLITE_NULL) return std::monostate{};
  switch (type) {
    case jet::ColumnType::kBoolean:
      if (storage == SQLITE_INTEGER) return sqlite3_value_int64(value) != 0;
      if (storage == SQLITE_FLOAT) return sqlite3_value_double(value) != 0;
      return ValueToBool(TextOf(value));
    case jet::ColumnType::kByte:
      return IntegralOf<uint8_t>(value);
    case jet::ColumnType::kInteger:
      return IntegralOf<int16_t>(value);
    case jet::ColumnType::kLong:
      return IntegralOf<int32_t>(value);
    case jet::ColumnType::kCurrency:
      if (storage == SQLITE_INTEGER) return jet::Currency{sqlite3_value_int64(value)};
      if (storage == SQLITE_FLOAT) {
        double d = BankersRound(sqlite3_value_double(value));
        if (!(std::fabs(d) < 9.2e18)) ThrowOverflow();
        return jet::Currency{static_cast<int64_t>(d)};
      }
      return jet::Currency{ValueToCurrency(TextOf(value))};
    case jet::ColumnType::kSingle: {
      double d = NumberOf(value);
      if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) ThrowOverflow();
      return static_cast<float>(d);
    }
    case jet::ColumnType::kDouble:
      return NumberOf(value);
    case jet::ColumnType::kDateTime:
      if (storage == SQLITE_TEXT) return jet::DateTime{ValueToDate(TextOf(value))};
      return jet::DateTime{NumberOf(value)};
    case jet::ColumnType::kText:
    case jet::ColumnType::kMemo:
      switch (storage) {
        case SQLITE_INTEGER:
          return std::to_string(sqlite3_value_int64(value));
        case SQLITE_FLOAT:
          return DoubleText(sqlite3_value_double(value));
        default:
          return TextOf(value);
      }
    case jet::ColumnType::kBinary:
    case jet::ColumnType::kOle:
    case jet::ColumnType::kComplex:
      if (storage == SQLITE_BLOB) return BytesOf(value);
      {
        std::string s = TextOf(value);
        return jet::Bytes(s.begin(), s.end());
      }
    case jet::ColumnType::kGuid: {
      if (storage == SQLITE_BLOB && sqlite3_value_bytes(value) == 16) {
        jet::Guid g{};
        jet::Bytes b = BytesOf(value);
        std::copy(b.begin(), b.end(), g.begin());
        return g;
      }
      if (auto g = ParseGuidText(TextOf(value))) return *g;
      ThrowTypeMismatch();
    }
    case jet::ColumnType::kNumeric: {
      std::string s = storage == SQLITE_FLOAT ? DoubleText(sqlite3_value_double(value), 15, '.')
                                              : TextOf(value);
      if (auto d = ParseDecimalText(s)) return *d;
      if (storage == SQLITE_TEXT) {
        if (auto n = ParseNumberText(s)) {
          if (auto d = ParseDecimalText(DoubleText(*n, 15, '.'))) return *d;
        }
      }
      ThrowTypeMismatch();
    }
  }
  // Unknown codes (0 = untyped): by storage class.
  switch (storage) {
    case SQLITE_INTEGER: {
      int64_t i = sqlite3_value_int64(value);
      if (i >= std::numeric_limits<int32_t>::min() && i <= std::numeric_limits<int32_t>::max())
        return static_cast<int32_t>(i);
      return static_cast<double>(i);
    }
    case SQLITE_FLOAT:
      return sqlite3_value_double(value);
    case SQLITE_BLOB:
      return BytesOf(value);
    default:
      return TextOf(value);
  }
}

}  // namespace jetsql
