#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/text/LocalePatterns.h"
#include "platform/locale/BuiltInLocales.h"
#include "platform/locale/QtLocale.h"
#include "tests/text/ScopedLocaleEnv.h"

namespace {

struct Expected {
  const char* locale;
  std::u16string shortDate, longDate, longNoYear, shortNoYear, shortYY, time, timeNoSec;
};

void ExpectPatterns(const LocalePatterns& p, const Expected& e) {
  EXPECT_EQ(p.szShortDate, e.shortDate) << e.locale;
  EXPECT_EQ(p.szLongDate, e.longDate) << e.locale;
  EXPECT_EQ(p.szLongDateNoYear, e.longNoYear) << e.locale;
  EXPECT_EQ(p.szShortDateNoYear, e.shortNoYear) << e.locale;
  EXPECT_EQ(p.szShortDateYY, e.shortYY) << e.locale;
  EXPECT_EQ(p.szTime, e.time) << e.locale;
  EXPECT_EQ(p.szTimeNoSec, e.timeNoSec) << e.locale;
}

}  // namespace

TEST(LocalePatterns, DerivesShortForms) {
  auto p = DeriveLocalePatterns(u"dd.MM.yyyy", u"d. MMMM yyyy", u"H:mm:ss");
  EXPECT_EQ(p.szShortDateNoYear, u"dd.MM");
  EXPECT_EQ(p.szShortDateYY, u"dd.MM.yy");
  EXPECT_EQ(p.szTimeNoSec, u"H:mm");
  EXPECT_EQ(p.szTime, u"H:mm:ss");

  p = DeriveLocalePatterns(u"yyyy-MM-dd", u"d MMMM yyyy", u"h:mm:ss tt");
  EXPECT_EQ(p.szShortDateYY, u"yy-MM-dd");
  EXPECT_EQ(p.szShortDateNoYear, u"MM-dd");  // no dangling "    -" in front
  EXPECT_EQ(p.szTimeNoSec, u"h:mm tt");

  // A short date of fewer than four year digits is widened; the two-digit
  // form keeps two.
  p = DeriveLocalePatterns(u"M/d/yy", u"MMMM d, yyyy", u"HH:mm:ss");
  EXPECT_EQ(p.szShortDate, u"M/d/yyyy");
  EXPECT_EQ(p.szShortDateNoYear, u"M/d");
  EXPECT_EQ(p.szShortDateYY, u"M/d/yy");
  p = DeriveLocalePatterns(u"d.M.y' г.'", u"d MMMM yyyy", u"HH:mm:ss");
  EXPECT_EQ(p.szShortDate, u"d.M.yyyy' г.'");
  EXPECT_EQ(p.szShortDateYY, u"d.M.yy");

  // A two-digit year in front stays whole in the two-digit form.
  p = DeriveLocalePatterns(u"yy. M. d.", u"d MMMM yyyy", u"HH:mm:ss");
  EXPECT_EQ(p.szShortDate, u"yyyy. M. d.");
  EXPECT_EQ(p.szShortDateYY, u"yy. M. d.");
  EXPECT_EQ(p.szShortDateNoYear, u"M. d");
  // What follows the year is dropped from the two-digit form.
  p = DeriveLocalePatterns(u"dd.MM.yyyy' r.'", u"d MMMM yyyy", u"HH:mm:ss");
  EXPECT_EQ(p.szShortDateYY, u"dd.MM.yy");
}

TEST(LocalePatterns, LongDateLosesWeekdayAndQuotedSuffix) {
  auto p = DeriveLocalePatterns(u"dd.MM.yyyy", u"dddd, d MMMM yyyy 'г.'", u"HH:mm:ss");
  EXPECT_EQ(p.szLongDate, u"d MMMM yyyy");
  EXPECT_EQ(p.szLongDateNoYear, u"d MMMM");

  p = DeriveLocalePatterns(u"dd/MM/yyyy", u"ddd, MMM d, yyyy", u"HH:mm:ss");
  EXPECT_EQ(p.szLongDate, u"MMM d, yyyy");
  EXPECT_EQ(p.szLongDateNoYear, u"MMM d");

  // Quoted words between fields are part of the date.
  p = DeriveLocalePatterns(u"d/M/yy", u"dddd, d 'de' MMMM 'de' yyyy", u"H:mm:ss");
  EXPECT_EQ(p.szLongDate, u"d 'de' MMMM 'de' yyyy");
  EXPECT_EQ(p.szLongDateNoYear, u"d 'de' MMMM");

  p = DeriveLocalePatterns(u"yyyy/MM/dd", u"yyyy'年'M'月'd'日'dddd", u"H:mm:ss");
  EXPECT_EQ(p.szLongDate, u"yyyy'年'M'月'd'日'");
  EXPECT_EQ(p.szLongDateNoYear, u"M'月'd'日'");
}

TEST(LocalePatterns, DegeneratePicturesStopAtTheEmptyText) {
  auto p = DeriveLocalePatterns(u"yyyy", u"dddd", u"ss");
  EXPECT_EQ(p.szLongDate, u"");
  EXPECT_EQ(p.szLongDateNoYear, u"");
  EXPECT_EQ(p.szShortDateNoYear, u"");
  EXPECT_EQ(p.szShortDateYY, u"yy");
  EXPECT_EQ(p.szTimeNoSec, u"");
  p = DeriveLocalePatterns(u"", u", , 'x", u"");
  EXPECT_EQ(p.szLongDate, u"");
  EXPECT_EQ(p.szShortDateYY, u"");

  // Random pictures of the letters that matter: no crash, limits kept.
  std::mt19937 rng(42);
  const std::u16string alphabet = u"dMyHhmst'., -/";
  for (int i = 0; i < 3000; ++i) {
    std::u16string a, b, c;
    for (auto* s : {&a, &b, &c}) {
      const int n = static_cast<int>(rng() % 90);
      for (int k = 0; k < n; ++k) *s += alphabet[rng() % alphabet.size()];
    }
    p = DeriveLocalePatterns(a, b, c);
    for (const auto* s : {&p.szShortDate, &p.szLongDate, &p.szLongDateNoYear, &p.szShortDateNoYear,
                          &p.szShortDateYY, &p.szTime, &p.szTimeNoSec}) {
      EXPECT_LE(s->size(), kMaxPatternChars);
    }
  }
}

TEST(LocalePatterns, RealLocales) {
  const Expected table[] = {
      {"en_US", u"M/d/yyyy", u"MMMM d, yyyy", u"MMMM d", u"M/d", u"M/d/yy", u"h:mm:ss tt", u"h:mm tt"},
      {"en_GB", u"dd/MM/yyyy", u"d MMMM yyyy", u"d MMMM", u"dd/MM", u"dd/MM/yy", u"HH:mm:ss", u"HH:mm"},
      {"de_DE", u"dd.MM.yyyy", u"d. MMMM yyyy", u"d. MMMM", u"dd.MM", u"dd.MM.yy", u"HH:mm:ss", u"HH:mm"},
      {"fr_FR", u"dd/MM/yyyy", u"d MMMM yyyy", u"d MMMM", u"dd/MM", u"dd/MM/yy", u"HH:mm:ss", u"HH:mm"},
      {"ru_RU", u"dd.MM.yyyy", u"d MMMM yyyy", u"d MMMM", u"dd.MM", u"dd.MM.yy", u"HH:mm:ss", u"HH:mm"},
      {"ja_JP", u"yyyy/MM/dd", u"yyyy'年'M'月'd'日'", u"M'月'd'日'", u"MM/dd", u"yy/MM/dd", u"H:mm:ss", u"H:mm"},
  };
  for (const auto& e : table) ExpectPatterns(LocalePatternsFor(std::string(e.locale) + ".UTF-8"), e);
}

TEST(LocalePatterns, ShortDatesOfTwoDigitYearLocalesShowFourDigits) {
  for (const char* locale : {"en_US", "de_DE", "it_IT", "es_ES", "cs_CZ", "bg_BG"}) {
    const LocalePatterns p = LocalePatternsFor(std::string(locale) + ".UTF-8");
    EXPECT_NE(p.szShortDate.find(u"yyyy"), std::u16string::npos) << locale;
    EXPECT_NE(p.szShortDateYY.find(u"yy"), std::u16string::npos) << locale;
    EXPECT_EQ(p.szShortDateYY.find(u"yyy"), std::u16string::npos) << locale;
  }
}

TEST(LocalePatterns, ProcessPicturesComeFromTheTimeLocaleOnce) {
  ScopedLocaleEnv locale("en_US.UTF-8", "", "de_DE.UTF-8");
  ResetLocalePatterns();
  InitLocalePatterns();
  EXPECT_EQ(g_szShortDate, u"dd.MM.yyyy");
  EXPECT_EQ(g_szLongDateNoYear, u"d. MMMM");
  EXPECT_EQ(UserCalendarNames().longMonth[2], u"März");
  {
    ScopedLocaleEnv other("fr_FR.UTF-8");
    InitLocalePatterns();  // already done: the locale is not read again
    EXPECT_EQ(g_szShortDate, u"dd.MM.yyyy");
  }
  ResetLocalePatterns();
  EXPECT_EQ(g_szShortDate, u"");
}

TEST(UserLocale, BuiltInLocalesGiveQtsAnswers) {
  const auto texts = [](const platform::CalendarNames& n) {
    std::vector<std::u16string> out;
    for (const auto* list : {&n.longDay, &n.shortDay}) {
      out.insert(out.end(), std::begin(*list), std::end(*list));
    }
    for (const auto* list : {&n.longMonth, &n.shortMonth, &n.longMonthStandalone, &n.shortMonthStandalone}) {
      out.insert(out.end(), std::begin(*list), std::end(*list));
    }
    out.push_back(n.am);
    out.push_back(n.pm);
    return out;
  };
  const platform::QtLocaleFunctions* qt = platform::QtLocale();
  ASSERT_NE(qt, nullptr);
  std::vector<std::string> names = {"", "POSIX", "C.UTF-8"};
  for (const platform::BuiltInLocale& row : platform::BuiltInLocales()) {
    for (std::string_view rest = row.names; !rest.empty();) {
      const std::size_t space = std::min(rest.find(' '), rest.size());
      names.emplace_back(rest.substr(0, space));
      names.push_back(names.back() + ".UTF-8@euro");
      rest.remove_prefix(std::min(space + 1, rest.size()));
    }
  }
  for (const std::string& name : names) {
    std::u16string builtIn, fromQt;
    EXPECT_EQ(platform::LanguageEnglishName(name, builtIn), qt->languageEnglishName(name, fromQt)) << name;
    EXPECT_EQ(builtIn, fromQt) << name;
    const platform::LocalePictures a = platform::GetLocalePictures(name), b = qt->localePictures(name);
    EXPECT_EQ(a.shortDate, b.shortDate) << name;
    EXPECT_EQ(a.longDate, b.longDate) << name;
    EXPECT_EQ(a.time, b.time) << name;
    EXPECT_EQ(texts(platform::GetCalendarNames(name)), texts(qt->calendarNames(name))) << name;
  }
}
