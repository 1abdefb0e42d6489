// Aggregates: Sum (exact for Currency and Decimal, overflow-checked for whole numbers), Avg,
// First, Last, StDev, StDevP, Var, VarP. Count, Min and Max run on SQLite's own.

#include <cmath>
#include <limits>
#include <memory>

#include "jetsql/functions/function_support.h"
#include "jetsql/value_convert.h"

namespace jetsql::fn {

namespace {

using jet::ColumnType;

enum class SumKind { kNone, kLong, kCurrency, kDecimal, kDouble };

SumKind KindOf(ColumnType t) {
  switch (t) {
    case ColumnType::kBoolean:
    case ColumnType::kByte:
    case ColumnType::kInteger:
    case ColumnType::kLong:
      return SumKind::kLong;
    case ColumnType::kCurrency:
      return SumKind::kCurrency;
    case ColumnType::kNumeric:
      return SumKind::kDecimal;
    default:
      return SumKind::kDouble;
  }
}

// Sums exactly where the type allows it.
class Summer {
 public:
  void Add(const jet::Value& v, ColumnType t) {
    if (jet::IsNull(v)) return;
    if (kind_ == SumKind::kNone) kind_ = KindOf(t);
    ++count_;
    switch (kind_) {
      case SumKind::kLong:
      case SumKind::kCurrency:
      case SumKind::kDecimal:
        if (IsExactType(v)) {
          ExactNumber n = ToExact(v);
          Accumulate(n);
          break;
        }
        kind_ = SumKind::kDouble;
        [[fallthrough]];
      default:
        real_ += ValueToDouble(v);
    }
  }
  int64_t count() const { return count_; }
  SumKind kind() const { return kind_; }

  jet::Value Sum() const {
    if (count_ == 0) return std::monostate{};
    switch (kind_) {
      case SumKind::kLong:
        if (exact_ < std::numeric_limits<int32_t>::min() ||
            exact_ > std::numeric_limits<int32_t>::max())
          ThrowOverflow();
        return static_cast<int32_t>(exact_);
      case SumKind::kCurrency:
        return jet::Currency{ToCurrency(Scaled(4))};
      case SumKind::kDecimal:
        return ExactToDecimal({exact_, scale_});
      default:
        if (!std::isfinite(real_)) ThrowOverflow();
        return real_;
    }
  }

  jet::Value Average() const {
    if (count_ == 0) return std::monostate{};
    switch (kind_) {
      case SumKind::kCurrency: {
        __int128 s = Scaled(4);
        return jet::Currency{ToCurrency(DivideHalfEven(s, count_))};
      }
      case SumKind::kDecimal: {
        // Keep as many decimals as fit: scale up before dividing.
        int scale = scale_;
        __int128 s = exact_;
        while (scale < 20 && s < (static_cast<__int128>(1) << 100) / 10 &&
               s > -(static_cast<__int128>(1) << 100) / 10) {
          s *= 10;
          ++scale;
        }
        return ExactToDecimal({DivideHalfEven(s, count_), scale});
      }
      case SumKind::kLong:
        return static_cast<double>(exact_) / static_cast<double>(count_);
      default:
        return real_ / static_cast<double>(count_);
    }
  }

 private:
  void Accumulate(ExactNumber n) {
    if (scale_ < n.scale) {
      if (!ScaleUp(&exact_, n.scale - scale_)) ThrowOverflow();
      scale_ = n.scale;
    }
    __int128 m = n.mantissa;
    if (!ScaleUp(&m, scale_ - n.scale)) ThrowOverflow();
    if ((m > 0 && exact_ > kLimit - m) || (m < 0 && exact_ < -kLimit - m)) ThrowOverflow();
    exact_ += m;
  }
  __int128 Scaled(int scale) const {
    __int128 m = exact_;
    if (!ScaleUp(&m, scale - scale_)) ThrowOverflow();
    return m;
  }
  static __int128 DivideHalfEven(__int128 s, int64_t n) {
    __int128 q = s / n, r = s % n;
    __int128 ar = r < 0 ? -r : r;
    if (ar * 2 > n || (ar * 2 == n && (q & 1))) q += s < 0 ? -1 : 1;
    return q;
  }
  static int64_t ToCurrency(__int128 m) {
    if (m < std::numeric_limits<int64_t>::min() || m > std::numeric_limits<int64_t>::max())
      ThrowOverflow();
    return static_cast<int64_t>(m);
  }

  static constexpr __int128 kLimit = static_cast<__int128>(1) << 120;
  SumKind kind_ = SumKind::kNone;
  int64_t count_ = 0;
  __int128 exact_ = 0;
  int scale_ = 0;
  double real_ = 0;
};

class SumState : public AggregateState {
 public:
  void Step(const jet::Value& v, ColumnType t) override { sum_.Add(v, t); }
  jet::Value Final() override { return sum_.Sum(); }

 private:
  Summer sum_;
};

class AvgState : public AggregateState {
 public:
  void Step(const jet::Value& v, ColumnType t) override { sum_.Add(v, t); }
  jet::Value Final() override { return sum_.Average(); }

 private:
  Summer sum_;
};

class EdgeState : public AggregateState {
 public:
  explicit EdgeState(bool last) : last_(last) {}
  void Step(const jet::Value& v, ColumnType) override {
    if (!seen_ || last_) value_ = v;
    seen_ = true;
  }
  jet::Value Final() override { return value_; }

 private:
  bool last_;
  bool seen_ = false;
  jet::Value value_;
};

// Variance by Welford's method, stable for large offsets.
class SpreadState : public AggregateState {
 public:
  SpreadState(bool sample, bool root) : sample_(sample), root_(root) {}
  void Step(const jet::Value& v, ColumnType) override {
    if (jet::IsNull(v)) return;
    double x = ValueToDouble(v);
    ++n_;
    double delta = x - mean_;
    mean_ += delta / static_cast<double>(n_);
    m2_ += delta * (x - mean_);
  }
  jet::Value Final() override {
    int64_t divisor = sample_ ? n_ - 1 : n_;
    if (divisor <= 0) return std::monostate{};
    double var = m2_ / static_cast<double>(divisor);
    if (!std::isfinite(var)) ThrowOverflow();
    return root_ ? std::sqrt(var) : var;
  }

 private:
  bool sample_, root_;
  int64_t n_ = 0;
  double mean_ = 0, m2_ = 0;
};

constexpr AggregateFunction kAggregates[] = {
    {"jet_sum", []() -> std::unique_ptr<AggregateState> { return std::make_unique<SumState>(); }},
    {"jet_avg", []() -> std::unique_ptr<AggregateState> { return std::make_unique<AvgState>(); }},
    {"jet_first",
     []() -> std::unique_ptr<AggregateState> { return std::make_unique<EdgeState>(false); }},
    {"jet_last",
     []() -> std::unique_ptr<AggregateState> { return std::make_unique<EdgeState>(true); }},
    {"jet_stdev",
     []() -> std::unique_ptr<AggregateState> { return std::make_unique<SpreadState>(true, true); }},
    {"jet_stdevp",
     []() -> std::unique_ptr<AggregateState> {
       return std::make_unique<SpreadState>(false, true);
     }},
    {"jet_var",
     []() -> std::unique_ptr<AggregateState> {
       return std::make_unique<SpreadState>(true, false);
     }},
    {"jet_varp",
     []() -> std::unique_ptr<AggregateState> {
       return std::make_unique<SpreadState>(false, false);
     }},
};

}  // namespace

std::span<const AggregateFunction> AggregateFunctions() {
  return kAggregates;
}

}  // namespace jetsql::fn
