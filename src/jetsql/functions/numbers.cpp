// Number functions: Int (floors), Fix (truncates), Abs, Sgn, Round (half to even), Sqr, Exp, Log,
// Sin, Cos, Tan, Atn, Rnd, Partition, RGB and QBColor. Int, Fix, Abs and Round keep the argument's
// type ("same" in registry.h); Currency and Decimal stay exact.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "jetsql/functions/function_support.h"
#include "jetsql/value_convert.h"

namespace jetsql::fn {

namespace {

enum class Rounding { kFloor, kTrunc, kHalfEven };

// Rounds an exact mantissa to `keep` decimals (of `scale`).
__int128 RoundExact(__int128 m, int scale, int keep, Rounding mode) {
  if (keep >= scale) return m;
  __int128 div = 1;
  for (int i = keep; i < scale; ++i) div *= 10;
  __int128 q = m / div, r = m % div;
  switch (mode) {
    case Rounding::kTrunc:
      break;
    case Rounding::kFloor:
      if (r < 0) --q;
      break;
    case Rounding::kHalfEven: {
      __int128 ar = r < 0 ? -r : r;
      if (ar * 2 > div || (ar * 2 == div && (q & 1))) q += m < 0 ? -1 : 1;
      break;
    }
  }
  return q * div;
}

// The "same" result: the argument's own type, text and Null as Double, Byte and Yes/No as Integer.
jet::Value Same(const jet::Value& v, double x) {
  if (std::holds_alternative<float>(v)) return static_cast<float>(x);
  if (std::holds_alternative<jet::DateTime>(v)) return jet::DateTime{x};
  if (!std::isfinite(x)) ThrowOverflow();
  return x;
}

jet::Value RoundValue(const jet::Value& v, int digits, Rounding mode) {
  if (std::holds_alternative<int32_t>(v) || std::holds_alternative<int16_t>(v)) return v;
  if (const auto* b = std::get_if<uint8_t>(&v)) return static_cast<int16_t>(*b);
  if (const auto* b = std::get_if<bool>(&v)) return static_cast<int16_t>(*b ? -1 : 0);
  if (const auto* c = std::get_if<jet::Currency>(&v)) {
    return jet::Currency{static_cast<int64_t>(RoundExact(c->scaled, 4, digits, mode))};
  }
  if (const auto* d = std::get_if<jet::Decimal>(&v)) {
    ExactNumber n = ToExact(*d);
    n.mantissa = RoundExact(n.mantissa, n.scale, digits, mode);
    // Drop the decimals that are now zero: Int(-12.34) is -13, not -13.00.
    while (n.scale > digits) {
      n.mantissa /= 10;
      --n.scale;
    }
    jet::Decimal out = ExactToDecimal(n);
    out.precision = d->precision;
    return out;
  }
  double x = ValueToDouble(v);
  double r;
  switch (mode) {
    case Rounding::kFloor:
      r = std::floor(x);
      break;
    case Rounding::kTrunc:
      r = std::trunc(x);
      break;
    default:
      r = RoundToDigits(x, digits);
  }
  return Same(v, r);
}

jet::Value Int(const Args& args) {
  return RoundValue(args.value(0), 0, Rounding::kFloor);
}
jet::Value Fix(const Args& args) {
  return RoundValue(args.value(0), 0, Rounding::kTrunc);
}

jet::Value Round(const Args& args) {
  int64_t digits = args.is_null(1) ? 0 : args.integer(1);
  if (digits < 0 || digits > 28) ThrowInvalidArgument();
  return RoundValue(args.value(0), static_cast<int>(digits), Rounding::kHalfEven);
}

jet::Value Abs(const Args& args) {
  jet::Value v = args.value(0);
  if (const auto* x = std::get_if<int32_t>(&v)) {
    if (*x == std::numeric_limits<int32_t>::min()) ThrowOverflow();
    return static_cast<int32_t>(std::abs(*x));
  }
  if (const auto* x = std::get_if<int16_t>(&v)) {
    if (*x == std::numeric_limits<int16_t>::min()) ThrowOverflow();
    return static_cast<int16_t>(std::abs(*x));
  }
  if (const auto* x = std::get_if<uint8_t>(&v)) return static_cast<int16_t>(*x);
  if (const auto* x = std::get_if<bool>(&v)) return static_cast<int16_t>(*x ? 1 : 0);
  if (const auto* c = std::get_if<jet::Currency>(&v)) {
    if (c->scaled == std::numeric_limits<int64_t>::min()) ThrowOverflow();
    return jet::Currency{c->scaled < 0 ? -c->scaled : c->scaled};
  }
  if (const auto* d = std::get_if<jet::Decimal>(&v)) {
    jet::Decimal out = *d;
    out.negative = false;
    return out;
  }
  return Same(v, std::fabs(ValueToDouble(v)));
}

jet::Value Sgn(const Args& args) {
  jet::Value v = args.value(0);
  if (IsExactType(v)) {
    __int128 m = ToExact(v).mantissa;
    return static_cast<int16_t>(m < 0 ? -1 : m > 0 ? 1 : 0);
  }
  double x = ValueToDouble(v);
  return static_cast<int16_t>(x < 0 ? -1 : x > 0 ? 1 : 0);
}

jet::Value Checked(double r) {
  if (std::isnan(r)) ThrowInvalidArgument();
  if (!std::isfinite(r)) ThrowOverflow();
  return r;
}

jet::Value Sqr(const Args& args) {
  double x = args.number(0);
  if (x < 0) ThrowInvalidArgument();
  return Checked(std::sqrt(x));
}

jet::Value Exp(const Args& args) {
  return Checked(std::exp(args.number(0)));
}

jet::Value Log(const Args& args) {
  double x = args.number(0);
  if (x <= 0) ThrowInvalidArgument();
  return Checked(std::log(x));
}

jet::Value Sin(const Args& args) {
  return Checked(std::sin(args.number(0)));
}
jet::Value Cos(const Args& args) {
  return Checked(std::cos(args.number(0)));
}
jet::Value Tan(const Args& args) {
  return Checked(std::tan(args.number(0)));
}
jet::Value Atn(const Args& args) {
  return Checked(std::atan(args.number(0)));
}

// Rnd: a 24-bit linear congruential generator. Rnd(x < 0) restarts from x's bits and so always
// gives the same number for the same x; Rnd(0) repeats the last number.
struct RandomState {
  uint32_t seed = 0x50000;
};

thread_local RandomState random_state;

constexpr uint32_t kRndMultiplier = 0x43FD43FD;
constexpr uint32_t kRndIncrement = 0xC39EC3;
constexpr uint32_t kRndMask = 0xFFFFFF;
constexpr float kRndScale = 16777216.0f;

jet::Value Rnd(const Args& args) {
  RandomState& st = random_state;
  if (!args.is_null(0)) {
    float x = static_cast<float>(args.number(0));
    if (x == 0) return static_cast<float>(st.seed) / kRndScale;
    if (x < 0) {
      uint32_t bits;
      std::memcpy(&bits, &x, sizeof bits);
      st.seed = (bits + (bits >> 24)) & kRndMask;
    }
  }
  st.seed = (st.seed * kRndMultiplier + kRndIncrement) & kRndMask;
  return static_cast<float>(st.seed) / kRndScale;
}

std::string PadLeft(const std::string& s, size_t width) {
  return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

// Partition(number, start, stop, interval): the range "lower:upper" that holds the number, both
// sides padded to the width of stop + 1 (or start - 1, if wider); "   : start-1" below the
// ranges and "stop+1:   " above them.
jet::Value Partition(const Args& args) {
  int64_t number = args.integer(0), start = args.integer(1), stop = args.integer(2),
          interval = args.integer(3);
  if (start < 0 || stop <= start || interval < 1) ThrowInvalidArgument();
  const std::string before = std::to_string(start - 1), after = std::to_string(stop + 1);
  const size_t width = std::max(before.size(), after.size());
  std::string lower, upper;
  if (number < start) {
    upper = before;
  } else if (number > stop) {
    lower = after;
  } else {
    int64_t low = interval == 1 ? number : start + (number - start) / interval * interval;
    lower = std::to_string(low);
    upper = std::to_string(std::min(low + interval - 1, stop));
  }
  return PadLeft(lower, width) + ":" + PadLeft(upper, width);
}

// RGB: the colour as a Long, red in the low byte; parts above 255 count as 255.
jet::Value Rgb(const Args& args) {
  int64_t parts[3];
  for (int i = 0; i < 3; ++i) {
    parts[i] = args.integer(i);
    if (parts[i] < 0) ThrowInvalidArgument();
    parts[i] = std::min<int64_t>(parts[i], 255);
  }
  return static_cast<int32_t>(parts[0] | parts[1] << 8 | parts[2] << 16);
}

// QBColor: the RGB value of one of the 16 colours of QuickBasic.
jet::Value QbColor(const Args& args) {
  static constexpr int32_t kColours[16] = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
      0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  int64_t n = args.integer(0);
  if (n < 0 || n > 15) ThrowInvalidArgument();
  return kColours[n];
}

constexpr ScalarFunction kNumbers[] = {
    {"jet_int", Int},        {"jet_fix", Fix},
    {"jet_abs", Abs},        {"jet_sgn", Sgn},
    {"jet_round", Round},    {"jet_sqr", Sqr},
    {"jet_exp", Exp},        {"jet_log", Log},
    {"jet_sin", Sin},        {"jet_cos", Cos},
    {"jet_tan", Tan},        {"jet_atn", Atn},
    {"jet_rnd", Rnd, false}, {"jet_partition", Partition},
    {"jet_rgb", Rgb},        {"jet_qbcolor", QbColor},
};

}  // namespace

std::span<const ScalarFunction> NumberFunctions() {
  return kNumbers;
}

}  // namespace jetsql::fn
