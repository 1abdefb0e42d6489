#ifndef QUORLA_JETSQL_REGIONAL_SETTINGS_H_
#define QUORLA_JETSQL_REGIONAL_SETTINGS_H_

// The regional settings text conversions follow, as Access takes them from the system: number
// separators, the order and formats of dates and times, month and day names, the currency, and
// the words for True/False, Yes/No and On/Off. CStr, &, Format, the text-to-number and
// text-to-date readings and the result grid all use the same settings; Str, Val, #date# literals
// and the CSV export stay locale-free.
//
// Each part comes from its POSIX locale category, in POSIX precedence: LC_ALL, then LC_NUMERIC
// (separators), LC_TIME (dates), LC_MONETARY (currency) or LC_MESSAGES (words), then LANG. German
// (Germany) when none is set, and for "C" and "POSIX".

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace jetsql {

enum class DateOrder { kDayMonthYear, kMonthDayYear, kYearMonthDay };

struct NumberSettings {
  char decimal = ',';
  std::string thousands = ".";
};

// Date and time formats are Format patterns, in which '/' and ':' stand for the separators.
struct DateSettings {
  DateOrder order = DateOrder::kDayMonthYear;
  std::string date_separator = ".";
  std::string time_separator = ":";
  std::string short_date = "dd/mm/yyyy";
  std::string medium_date = "dd. mmm. yy";
  std::string long_date = "dddd, d. mmmm yyyy";
  std::string long_time = "hh:nn:ss";
  std::string medium_time = "hh:nn AM/PM";
  std::string short_time = "hh:nn";
  int first_day_of_week = 2;   // for vbUseSystemDayOfWeek: 1 = Sunday, 2 = Monday
  int first_week_of_year = 2;  // for vbUseSystem: 1 = holds January 1, 2 = first with four days
  std::string am = "AM";
  std::string pm = "PM";
  std::array<std::string, 12> month_names;
  std::array<std::string, 12> month_abbreviations;
  std::array<std::string, 7> day_names;  // index 0 is Sunday
  std::array<std::string, 7> day_abbreviations;
};

struct CurrencySettings {
  std::string symbol = "€";
  bool symbol_first = false;
  bool space = true;             // between the amount and the symbol
  bool negative_parens = false;  // (1,00 €) rather than -1,00 €
  int digits = 2;
};

struct WordSettings {
  std::string true_word = "Wahr";
  std::string false_word = "Falsch";
  std::string yes = "Ja";
  std::string no = "Nein";
  std::string on = "Ein";
  std::string off = "Aus";
};

struct RegionalSettings {
  NumberSettings number;
  DateSettings date;
  CurrencySettings currency;
  WordSettings words;

  static RegionalSettings German();
  static RegionalSettings EnglishUs();
  static RegionalSettings EnglishUk();
};

// The settings of one locale as POSIX names it ("de_DE.UTF-8", "en_GB", "C"): German for de_*,
// "C", "POSIX" and an empty name; English (US) and English (UK) for en_US and en_GB; any other
// locale the C library has installed derives its separators, date order, names and currency
// from the library's data (German where that says nothing); German for locales not installed.
RegionalSettings SettingsForLocale(std::string_view name);

// The settings the environment names, each part from its own category.
using EnvironmentLookup = std::function<const char*(const char*)>;
RegionalSettings SettingsFromEnvironment(const EnvironmentLookup& getenv);
RegionalSettings SettingsFromEnvironment();

// The settings in effect: those set last, else the environment's (read once).
const RegionalSettings& Regional();
// Replaces the settings in effect; call it before statements run, not while they do.
void SetRegional(RegionalSettings settings);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_REGIONAL_SETTINGS_H_
