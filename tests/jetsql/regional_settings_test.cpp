// Which regional settings the environment selects, and what the C library adds for locales
// without built-in settings.

#include "jetsql/regional_settings.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <map>
#include <string>

namespace jetsql {
namespace {

RegionalSettings FromEnv(const std::map<std::string, std::string>& env) {
  return SettingsFromEnvironment([&](const char* name) -> const char* {
    auto it = env.find(name);
    return it == env.end() ? nullptr : it->second.c_str();
  });
}

TEST(RegionalSettingsTest, SettingsFollowTheEnvironmentAndTheCLibrary) {
  // German when nothing or only C is set.
  for (const auto& env :
       std::vector<std::map<std::string, std::string>>{{},
                                                       {{"LANG", "C"}},
                                                       {{"LANG", "POSIX"}},
                                                       {{"LC_ALL", "C.UTF-8"}},
                                                       {{"LANG", ""}},
                                                       {{"LANG", "de_AT.UTF-8"}},
                                                       {{"LANG", "de_DE@euro"}}}) {
    RegionalSettings s = FromEnv(env);
    EXPECT_EQ(s.number.decimal, ',');
    EXPECT_EQ(s.date.short_date, "dd/mm/yyyy");
    EXPECT_EQ(s.date.date_separator, ".");
    EXPECT_EQ(s.words.true_word, "Wahr");
    EXPECT_EQ(s.currency.symbol, "€");
    EXPECT_EQ(s.date.month_names[2], "März");
  }
  // Each part follows its category in POSIX precedence.
  // LANG for everything not named otherwise.
  RegionalSettings us = FromEnv({{"LANG", "en_US.UTF-8"}});
  EXPECT_EQ(us.number.decimal, '.');
  EXPECT_EQ(us.date.order, DateOrder::kMonthDayYear);
  EXPECT_EQ(us.currency.symbol, "$");
  EXPECT_EQ(us.words.true_word, "True");
  // A category overrides LANG for its part only.
  RegionalSettings mixed = FromEnv(
      {{"LANG", "en_US.UTF-8"}, {"LC_NUMERIC", "de_DE.UTF-8"}, {"LC_MONETARY", "en_GB.UTF-8"}});
  EXPECT_EQ(mixed.number.decimal, ',');
  EXPECT_EQ(mixed.date.order, DateOrder::kMonthDayYear);
  EXPECT_EQ(mixed.currency.symbol, "£");
  EXPECT_EQ(mixed.words.true_word, "True");
  // LC_ALL overrides every category.
  RegionalSettings all =
      FromEnv({{"LC_ALL", "de_DE.UTF-8"}, {"LC_TIME", "en_US.UTF-8"}, {"LANG", "en_GB.UTF-8"}});
  EXPECT_EQ(all.date.order, DateOrder::kDayMonthYear);
  EXPECT_EQ(all.date.day_names[0], "Sonntag");
  EXPECT_EQ(all.currency.symbol, "€");
  // An empty variable counts as unset.
  EXPECT_EQ(FromEnv({{"LC_ALL", ""}, {"LANG", "en_GB"}}).date.long_date, "dd mmmm yyyy");
  // Other locales come from the C library or fall back to German.
  EXPECT_EQ(SettingsForLocale("xx_NOWHERE.UTF-8").date.short_date, "dd/mm/yyyy");
  EXPECT_EQ(SettingsForLocale("xx_NOWHERE.UTF-8").words.true_word, "Wahr");
  // fr_FR where it is installed: day first, decimal comma, French names, symbol after.
  locale_t fr = newlocale(LC_ALL_MASK, "fr_FR.UTF-8", 0);
  RegionalSettings s = SettingsForLocale("fr_FR.UTF-8");
  if (fr) {
    freelocale(fr);
    EXPECT_EQ(s.number.decimal, ',');
    EXPECT_EQ(s.date.order, DateOrder::kDayMonthYear);
    EXPECT_EQ(s.date.date_separator, "/");
    EXPECT_EQ(s.date.month_names[7], "août");
    EXPECT_FALSE(s.currency.symbol_first);
  } else {
    EXPECT_EQ(s.date.month_names[7], "August");  // not installed: German
  }
  // English locales other than US and UK start from the UK settings.
  locale_t au = newlocale(LC_ALL_MASK, "en_AU.UTF-8", 0);
  if (au) {
    freelocale(au);
    EXPECT_EQ(SettingsForLocale("en_AU.UTF-8").words.yes, "Yes");
  }
}

}  // namespace
}  // namespace jetsql
