#ifndef QUORLA_JETSQL_REGIONAL_SETTINGS_LIBC_H_
#define QUORLA_JETSQL_REGIONAL_SETTINGS_LIBC_H_

// Regional settings read from the C library's data for a locale (nl_langinfo_l): separators,
// date order and separator, 12- or 24-hour time, month and day names, currency symbol.

#include <optional>
#include <string>

#include "jetsql/regional_settings.h"

namespace jetsql {

// `start` with what the library knows about `locale` written over it; nothing when the library
// has no such locale installed.
std::optional<RegionalSettings> SettingsFromLibc(const std::string& locale,
                                                 const RegionalSettings& start);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_REGIONAL_SETTINGS_LIBC_H_
