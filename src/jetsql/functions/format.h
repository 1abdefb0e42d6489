#ifndef QUORLA_JETSQL_FUNCTIONS_FORMAT_H_
#define QUORLA_JETSQL_FUNCTIONS_FORMAT_H_

// Format's engine, for the other named-format functions and the result grid.

#include <string>
#include <string_view>

#include "jet/value.h"

namespace jetsql::fn {

// Format(value, format) in the regional settings; Null stays Null unless the format has a fourth
// (Null) section.
jet::Value FormatValue(jet::Value value, const std::string& format);

// A number written by a custom number format (up to four sections).
std::string FormatNumberWith(double x, std::string_view format);

// How FormatNumber, FormatCurrency and FormatPercent write a number.
struct NumberStyle {
  int decimals = 2;
  bool leading_digit = true;  // 0,5 rather than ,5
  bool parens = false;        // (1,00) for negative numbers
  bool group = true;          // thousands separators
};

// The custom format of a plain number in that style ("#,##0.00"), without a negative section.
std::string NumberPattern(const NumberStyle& style);
// The same with a negative section: "-" in front, or parentheses.
std::string SignedPattern(const std::string& positive, bool parens);
// A currency amount in that style with `symbol` placed as the regional settings place theirs.
std::string CurrencyPattern(const NumberStyle& style, const std::string& symbol);

}  // namespace jetsql::fn

#endif  // QUORLA_JETSQL_FUNCTIONS_FORMAT_H_
