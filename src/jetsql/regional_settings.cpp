#include "jetsql/regional_settings.h"

#include <cstdlib>
#include <memory>

#include "jetsql/regional_settings_libc.h"

namespace jetsql {

namespace {

template <size_t N>
std::array<std::string, N> Names(const char* const (&names)[N]) {
  std::array<std::string, N> out;
  for (size_t i = 0; i < N; ++i) out[i] = names[i];
  return out;
}

// What the English settings have in common.
RegionalSettings English() {
  RegionalSettings s;
  s.number = {'.', ","};
  DateSettings& d = s.date;
  d.date_separator = "/";
  d.medium_date = "dd-mmm-yy";
  d.month_names = Names({"January", "February", "March", "April", "May", "June", "July", "August",
                         "September", "October", "November", "December"});
  d.month_abbreviations =
      Names({"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"});
  d.day_names =
      Names({"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"});
  d.day_abbreviations = Names({"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"});
  s.words = {"True", "False", "Yes", "No", "On", "Off"};
  return s;
}

// "de_DE.UTF-8@euro" -> "de_DE"; "C.UTF-8" -> "C".
std::string_view BaseName(std::string_view name) {
  size_t end = name.find_first_of(".@");
  return end == std::string_view::npos ? name : name.substr(0, end);
}

std::unique_ptr<RegionalSettings>& Current() {
  static std::unique_ptr<RegionalSettings> current;
  return current;
}

}  // namespace

RegionalSettings RegionalSettings::German() {
  RegionalSettings s;
  s.date.month_names = Names({"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August",
                              "September", "Oktober", "November", "Dezember"});
  s.date.month_abbreviations =
      Names({"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"});
  s.date.day_names =
      Names({"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"});
  s.date.day_abbreviations = Names({"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"});
  return s;
}

RegionalSettings RegionalSettings::EnglishUs() {
  RegionalSettings s = English();
  DateSettings& d = s.date;
  d.order = DateOrder::kMonthDayYear;
  d.short_date = "m/d/yyyy";
  d.long_date = "dddd, mmmm d, yyyy";
  d.long_time = "h:nn:ss AM/PM";
  d.first_day_of_week = 1;
  d.first_week_of_year = 1;
  s.currency = {"$", true, false, true, 2};
  return s;
}

RegionalSettings RegionalSettings::EnglishUk() {
  RegionalSettings s = English();
  DateSettings& d = s.date;
  d.order = DateOrder::kDayMonthYear;
  d.short_date = "dd/mm/yyyy";
  d.long_date = "dd mmmm yyyy";
  d.long_time = "hh:nn:ss";
  s.currency = {"£", true, false, false, 2};
  return s;
}

RegionalSettings SettingsForLocale(std::string_view name) {
  std::string_view base = BaseName(name);
  if (base.empty() || base == "C" || base == "POSIX" || base.substr(0, 3) == "de_" ||
      base == "de") {
    return RegionalSettings::German();
  }
  if (base == "en_US") return RegionalSettings::EnglishUs();
  if (base == "en_GB") return RegionalSettings::EnglishUk();
  bool english = base.substr(0, 3) == "en_";
  RegionalSettings start = english ? RegionalSettings::EnglishUk() : RegionalSettings::German();
  if (auto derived = SettingsFromLibc(std::string(name), start)) return *derived;
  return RegionalSettings::German();
}

RegionalSettings SettingsFromEnvironment(const EnvironmentLookup& getenv) {
  auto category = [&](const char* name) -> std::string {
    for (const char* var : {"LC_ALL", name, "LANG"}) {
      const char* value = getenv(var);
      if (value && *value) return value;
    }
    return "";
  };
  RegionalSettings s;
  s.number = SettingsForLocale(category("LC_NUMERIC")).number;
  s.date = SettingsForLocale(category("LC_TIME")).date;
  s.currency = SettingsForLocale(category("LC_MONETARY")).currency;
  s.words = SettingsForLocale(category("LC_MESSAGES")).words;
  return s;
}

RegionalSettings SettingsFromEnvironment() {
  return SettingsFromEnvironment([](const char* var) { return std::getenv(var); });
}

const RegionalSettings& Regional() {
  if (const auto& chosen = Current()) return *chosen;
  static const RegionalSettings from_environment = SettingsFromEnvironment();
  return from_environment;
}

void SetRegional(RegionalSettings settings) {
  Current() = std::make_unique<RegionalSettings>(std::move(settings));
}

}  // namespace jetsql
