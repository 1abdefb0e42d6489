#ifndef QUORLA_JETSQL_LOCALE_DE_H_
#define QUORLA_JETSQL_LOCALE_DE_H_

// The regional settings the functions write text in: German (Germany), as Access on a German
// Windows does for CStr, &, Format and the named formats. Str and Val stay locale-free ('.').

namespace jetsql::locale_de {

inline constexpr char kDecimalSeparator = ',';
inline constexpr char kThousandsSeparator = '.';
inline constexpr char kDateSeparator = '.';
inline constexpr char kTimeSeparator = ':';
inline constexpr const char* kTrue = "Wahr";
inline constexpr const char* kFalse = "Falsch";
inline constexpr const char* kYes = "Ja";
inline constexpr const char* kNo = "Nein";
inline constexpr const char* kOn = "Ein";
inline constexpr const char* kOff = "Aus";
inline constexpr const char* kCurrencySymbol = "€";
inline constexpr const char* kAm = "AM";
inline constexpr const char* kPm = "PM";

inline constexpr const char* kMonthNames[12] = {"Januar",    "Februar", "März",     "April",
                                                "Mai",       "Juni",    "Juli",     "August",
                                                "September", "Oktober", "November", "Dezember"};
inline constexpr const char* kMonthAbbreviations[12] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                                        "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
// Index 0 is Sunday.
inline constexpr const char* kDayNames[7] = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                             "Donnerstag", "Freitag", "Samstag"};
inline constexpr const char* kDayAbbreviations[7] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};

}  // namespace jetsql::locale_de

#endif  // QUORLA_JETSQL_LOCALE_DE_H_
