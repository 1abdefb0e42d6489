#ifndef QUORLA_JETSQL_CSV_FORMAT_H_
#define QUORLA_JETSQL_CSV_FORMAT_H_

// Writes Jet values as CSV (RFC 4180) fields, the one text form the command line prints tables and
// statement results in:
//   Null            an empty field (nothing between the separators)
//   Text, Memo      as is (UTF-8); quoted when it holds a comma, quote, CR or LF, or is empty, so
//                   that an empty text stays distinguishable from Null
//   Byte..Long      decimal, no grouping
//   Single, Double  shortest form that reads back to the same value (std::to_chars)
//   Currency        exact, with its four decimals ("-12.3400")
//   Decimal         exact, with as many decimals as its scale
//   Date/Time       "YYYY-MM-DD HH:MM:SS", rounded to the second
//   Yes/No          True / False
//   Binary, OLE     upper-case hex, two digits a byte (empty: "")
//   GUID            {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, the first three groups little-endian
// Every function appends to `out` and never throws for any value, however odd.

#include <string>
#include <string_view>

#include "jet/value.h"

namespace jetsql {

inline constexpr char kCsvSeparator = ',';
inline constexpr std::string_view kCsvLineEnd = "\r\n";

// Appends `value` as one field.
void AppendCsvField(const jet::Value& value, std::string& out);

// Appends a text as one field, quoted where RFC 4180 needs it (or when empty).
void AppendCsvText(std::string_view text, std::string& out);

// Appends a Jet date (days since 1899-12-30; for negative dates the fraction is still a positive
// time of day) as "YYYY-MM-DD HH:MM:SS". Values outside any calendar (NaN, infinite, beyond
// ±100 million days) are printed as the plain number instead.
void AppendJetDateTime(double days, std::string& out);

// The exact decimal form of Currency (Decimal: jet/decimal_text.h).
void AppendCurrency(jet::Currency value, std::string& out);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_CSV_FORMAT_H_
