#ifndef QUORLA_JETSQL_DATE_FORMAT_H_
#define QUORLA_JETSQL_DATE_FORMAT_H_

// Jet dates as text in the regional settings (regional_settings.h).

#include <string>
#include <string_view>

namespace jetsql {

// A date written by a Format date pattern ("dd.mm.yyyy", "dddd, d. mmmm yyyy", "hh:nn AM/PM").
std::string FormatDate(double serial, std::string_view pattern);

// The general date, as CStr writes a date: the short date with a four-digit year, the long time
// when the value has a time of day, and only the time when its date part is 1899-12-30.
std::string GeneralDateText(double serial);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DATE_FORMAT_H_
