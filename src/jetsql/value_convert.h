#ifndef QUORLA_JETSQL_VALUE_CONVERT_H_
#define QUORLA_JETSQL_VALUE_CONVERT_H_

// Conversions between jet::Value's alternatives as Access's expression service makes them
// (CStr, CDbl, implicit text-to-number). Text follows the regional settings (regional_settings.h),
// German by default: "1,5", dates as dd.mm.yyyy hh:nn:ss, Wahr/Falsch.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "jet/decimal_text.h"
#include "jet/error.h"
#include "jet/guid_text.h"
#include "jet/value.h"

namespace jetsql {

inline constexpr int64_t kCurrencyScale = jet::Currency::kScale;

// The runtime errors of value conversions (13, 6, 11, 5, 94).
[[noreturn]] void ThrowTypeMismatch();
[[noreturn]] void ThrowOverflow();
[[noreturn]] void ThrowDivisionByZero();
[[noreturn]] void ThrowInvalidArgument();
[[noreturn]] void ThrowInvalidNull();

// A whole text as a number: spaces around it, sign, digits, exponent, &H hex and &O octal, with
// the regional decimal and thousands separators ("1.234,5" in German); where the decimal
// separator is not '.', a text with a single '.' and no decimal separator ("1.5") reads the '.'
// as a decimal point, since SQL is written that way. Nothing if the text is not a number.
std::optional<double> ParseNumberText(std::string_view text);
// Val: the number at the start of the text, reading past spaces; 0 if there is none.
double ValNumber(std::string_view text);

using jet::GuidText;  // jet/guid_text.h
std::optional<jet::Guid> ParseGuidText(std::string_view text);
using jet::DecimalText;  // jet/decimal_text.h
std::optional<jet::Decimal> ParseDecimalText(std::string_view text);
double DecimalToDouble(const jet::Decimal& value);

// Rounds half to even, as CInt, CLng and Round do.
double BankersRound(double x);
double RoundToDigits(double x, int digits);

// Numbers as CStr writes them: up to `digits` significant digits, no trailing zeros, exponent
// form ("1E+16", "1,5E-07") for very large and very small numbers; `decimal` separates the
// fraction (',' for CStr, '.' for Str).
std::string DoubleText(double x, int digits = 15, char decimal = ',');
std::string CurrencyText(int64_t scaled, char decimal = ',');
// The general date (date_format.h).
std::string DateText(double serial);

bool IsNumericType(const jet::Value& v);
bool IsTextValue(const jet::Value& v);
// CStr. Null has no text; callers handle it first (this throws 94).
std::string ValueText(const jet::Value& v);
// CDbl for any value; text must be a number (or a date, which becomes its serial) else 13.
double ValueToDouble(const jet::Value& v);
// The value as a Jet date serial (dates, numbers, date text); throws 13 otherwise.
double ValueToDate(const jet::Value& v);
// Value as exact ten-thousandths (Currency semantics); throws 6 when out of range.
int64_t ValueToCurrency(const jet::Value& v);
// CBool: numbers are True when not zero; text "True"/"False"/"Yes"/"No"/"On"/"Off" or a number.
bool ValueToBool(const jet::Value& v);
// An exact number (integral, Currency, Decimal, Boolean): mantissa / 10^scale.
struct ExactNumber {
  __int128 mantissa = 0;
  int scale = 0;
};
bool IsExactType(const jet::Value& v);
// Multiplies by 10^times; false (leaving *m unspecified) if the result does not fit.
bool ScaleUp(__int128* m, int times);
ExactNumber ToExact(const jet::Value& v);  // for IsExactType values only
// Fits an exact number into a Decimal (at most 28 digits, rounding the scale down); 6 otherwise.
jet::Decimal ExactToDecimal(ExactNumber n);
// Any value as a Decimal (doubles by their 15 significant digits).
jet::Decimal ValueToDecimal(const jet::Value& v);
// Converts to the Jet type `target` as CStr, CInt, CLng, CSng, CDbl, CCur, CDate, CBool, CByte
// and CDec do: integral targets round half to even, out-of-range values raise 6, text that is no
// number raises 13. Null stays Null.
jet::Value ConvertValue(const jet::Value& v, jet::ColumnType target);

// The Jet type an alternative stands for.
jet::ColumnType TypeOf(const jet::Value& v);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_VALUE_CONVERT_H_
