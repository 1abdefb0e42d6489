// FormatNumber, FormatCurrency, FormatPercent and FormatDateTime: a number or date in the regional
// settings, with the options VBA gives them. Tristate options take -1 (True), 0 (False) and -2
// (vbUseDefault: the regional settings).

#include <string>

#include "jetsql/date_format.h"
#include "jetsql/functions/format.h"
#include "jetsql/functions/function_support.h"
#include "jetsql/regional_settings.h"
#include "jetsql/value_convert.h"

namespace jetsql::fn {

namespace {

constexpr int64_t kUseDefault = -2;
constexpr int64_t kDefaultDigits = -1;
constexpr int kNumberDigits = 2;

// FormatDateTime's named formats.
constexpr int64_t kGeneralDate = 0;
constexpr int64_t kLongDate = 1;
constexpr int64_t kShortDate = 2;
constexpr int64_t kLongTime = 3;
constexpr int64_t kShortTime = 4;

bool Tristate(const Args& args, int i, bool fallback) {
  if (args.is_null(i)) return fallback;
  int64_t v = args.integer(i);
  return v == kUseDefault ? fallback : v != 0;
}

// The style of arguments 1..4: digits after the decimal, leading digit, parentheses, grouping.
NumberStyle StyleOf(const Args& args, int default_digits, bool default_parens) {
  NumberStyle style;
  int64_t digits = args.is_null(1) ? kDefaultDigits : args.integer(1);
  if (digits < kDefaultDigits || digits > 255) ThrowInvalidArgument();
  style.decimals = digits == kDefaultDigits ? default_digits : static_cast<int>(digits);
  style.leading_digit = Tristate(args, 2, true);
  style.parens = Tristate(args, 3, default_parens);
  style.group = Tristate(args, 4, true);
  return style;
}

jet::Value FormatNumberFn(const Args& args) {
  if (args.is_null(0)) return std::monostate{};
  NumberStyle style = StyleOf(args, kNumberDigits, false);
  return FormatNumberWith(args.number(0), SignedPattern(NumberPattern(style), style.parens));
}

jet::Value FormatPercentFn(const Args& args) {
  if (args.is_null(0)) return std::monostate{};
  NumberStyle style = StyleOf(args, kNumberDigits, false);
  return FormatNumberWith(args.number(0), SignedPattern(NumberPattern(style) + "%", style.parens));
}

jet::Value FormatCurrencyFn(const Args& args) {
  if (args.is_null(0)) return std::monostate{};
  const CurrencySettings& c = Regional().currency;
  NumberStyle style = StyleOf(args, c.digits, c.negative_parens);
  return FormatNumberWith(args.number(0), CurrencyPattern(style, c.symbol));
}

jet::Value FormatDateTimeFn(const Args& args) {
  if (args.is_null(0)) return std::monostate{};
  int64_t named = args.is_null(1) ? kGeneralDate : args.integer(1);
  double serial = ValueToDate(args.value(0));
  const DateSettings& d = Regional().date;
  switch (named) {
    case kGeneralDate:
      return GeneralDateText(serial);
    case kLongDate:
      return FormatDate(serial, d.long_date);
    case kShortDate:
      return FormatDate(serial, d.short_date);
    case kLongTime:
      return FormatDate(serial, d.long_time);
    case kShortTime:
      return FormatDate(serial, "hh:nn");
    default:
      ThrowInvalidArgument();
  }
}

constexpr ScalarFunction kNamedFormats[] = {
    {"jet_formatnumber", FormatNumberFn, false},
    {"jet_formatpercent", FormatPercentFn, false},
    {"jet_formatcurrency", FormatCurrencyFn, false},
    {"jet_formatdatetime", FormatDateTimeFn, false},
};

}  // namespace

std::span<const ScalarFunction> NamedFormatFunctions() {
  return kNamedFormats;
}

}  // namespace jetsql::fn
