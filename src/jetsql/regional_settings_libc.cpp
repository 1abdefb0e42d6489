#include "jetsql/regional_settings_libc.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>

namespace jetsql {

namespace {

class Locale {
 public:
  explicit Locale(const std::string& name) : handle_(newlocale(LC_ALL_MASK, name.c_str(), 0)) {}
  ~Locale() {
    if (handle_) freelocale(handle_);
  }
  Locale(const Locale&) = delete;
  Locale& operator=(const Locale&) = delete;
  bool ok() const { return handle_ != nullptr; }
  std::string Info(nl_item item) const {
    const char* s = nl_langinfo_l(item, handle_);
    return s ? s : "";
  }

 private:
  locale_t handle_;
};

bool IsAscii(const std::string& s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Reads the order and separator of a strftime date format such as "%d.%m.%Y" or "%m/%d/%y".
void ReadDateFormat(const std::string& format, DateSettings* d) {
  std::string fields, separator;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      char f = format[++i];
      if (f == 'd' || f == 'e') fields += 'd';
      if (f == 'm') fields += 'm';
      if (f == 'y' || f == 'Y') fields += 'y';
    } else if (separator.empty() && !fields.empty() && format[i] != ' ') {
      separator = std::string(1, format[i]);
    }
  }
  if (fields == "dmy") {
    d->order = DateOrder::kDayMonthYear;
    d->short_date = "dd/mm/yyyy";
  } else if (fields == "mdy") {
    d->order = DateOrder::kMonthDayYear;
    d->short_date = "mm/dd/yyyy";
  } else if (fields == "ymd") {
    d->order = DateOrder::kYearMonthDay;
    d->short_date = "yyyy/mm/dd";
  } else {
    return;
  }
  if (!separator.empty()) d->date_separator = separator;
}

}  // namespace

std::optional<RegionalSettings> SettingsFromLibc(const std::string& name,
                                                 const RegionalSettings& start) {
  Locale locale(name);
  if (!locale.ok()) return std::nullopt;
  RegionalSettings s = start;
  // Names are only taken as they are when the locale writes UTF-8.
  const bool utf8 = locale.Info(CODESET) == "UTF-8";
  auto text = [&](nl_item item, std::string* out) {
    std::string v = locale.Info(item);
    if (!v.empty() && (utf8 || IsAscii(v))) *out = v;
  };

  std::string radix = locale.Info(RADIXCHAR);
  if (radix.size() == 1) s.number.decimal = radix[0];
  std::string thousands = locale.Info(THOUSEP);
  if (utf8 || IsAscii(thousands)) s.number.thousands = thousands;
  if (s.number.thousands.size() == 1 && s.number.thousands[0] == s.number.decimal) {
    s.number.thousands.clear();
  }

  ReadDateFormat(locale.Info(D_FMT), &s.date);
  std::string time = locale.Info(T_FMT);
  if (time.find("%I") != std::string::npos || time.find("%r") != std::string::npos) {
    s.date.long_time = "h:nn:ss AM/PM";
  } else if (!time.empty()) {
    s.date.long_time = "hh:nn:ss";
  }
  text(AM_STR, &s.date.am);
  text(PM_STR, &s.date.pm);
  static constexpr nl_item kMonths[12] = {MON_1, MON_2, MON_3, MON_4,  MON_5,  MON_6,
                                          MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
  static constexpr nl_item kShortMonths[12] = {ABMON_1, ABMON_2,  ABMON_3,  ABMON_4,
                                               ABMON_5, ABMON_6,  ABMON_7,  ABMON_8,
                                               ABMON_9, ABMON_10, ABMON_11, ABMON_12};
  static constexpr nl_item kDays[7] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
  static constexpr nl_item kShortDays[7] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4,
                                            ABDAY_5, ABDAY_6, ABDAY_7};
  for (int i = 0; i < 12; ++i) {
    text(kMonths[i], &s.date.month_names[static_cast<size_t>(i)]);
    text(kShortMonths[i], &s.date.month_abbreviations[static_cast<size_t>(i)]);
  }
  for (int i = 0; i < 7; ++i) {
    text(kDays[i], &s.date.day_names[static_cast<size_t>(i)]);
    text(kShortDays[i], &s.date.day_abbreviations[static_cast<size_t>(i)]);
  }

  // CRNCYSTR: the symbol after '-' (before the amount), '+' (after it) or '.' (in place of the
  // decimal separator, which Format cannot write; taken as after).
  std::string currency = locale.Info(CRNCYSTR);
  if (currency.size() > 1 && (utf8 || IsAscii(currency))) {
    s.currency.symbol = currency.substr(1);
    s.currency.symbol_first = currency[0] == '-';
    s.currency.space = !s.currency.symbol_first;
    s.currency.negative_parens = false;
  }
  return s;
}

}  // namespace jetsql
