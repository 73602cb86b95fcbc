#pragma once
// The date and time pictures that date displays and pickers use, derived once
// per process from the user's locale (see platform/locale/UserLocale.h for the
// picture letters).
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/locale/UserLocale.h"

struct LocalePatterns {
  std::u16string szShortDate;         // the locale's short date, its year widened to four digits
  std::u16string szLongDate;          // the long date without weekday and trailing quoted text
  std::u16string szLongDateNoYear;    // szLongDate without the year
  std::u16string szShortDateNoYear;   // szShortDate without the year
  std::u16string szShortDateYY;       // szShortDate with a two-digit year
  std::u16string szTime;              // the locale's time, with seconds
  std::u16string szTimeNoSec;         // szTime without the seconds
};

// Each picture holds at most this many characters.
inline constexpr std::size_t kMaxPatternChars = 63;

LocalePatterns DeriveLocalePatterns(std::u16string_view shortDate, std::u16string_view longDate,
                                    std::u16string_view time);
LocalePatterns LocalePatternsFor(const std::string& localeName);

// Reads the user's locale (LC_ALL, LC_TIME, LANG) once per process and fills
// the g_ pictures and the calendar names. Call it at start-up, before any
// window or second thread; later calls do nothing.
void InitLocalePatterns();
// Forgets the pictures so that the next InitLocalePatterns reads the locale again.
void ResetLocalePatterns();
// Installs given pictures and names (tests).
void SetLocalePatterns(const LocalePatterns& patterns, const platform::CalendarNames& names);

// The day, month and AM/PM texts of the user's locale (after InitLocalePatterns).
const platform::CalendarNames& UserCalendarNames();

extern const std::u16string& g_szShortDate;
extern const std::u16string& g_szLongDate;
extern const std::u16string& g_szLongDateNoYear;
extern const std::u16string& g_szShortDateNoYear;
extern const std::u16string& g_szShortDateYY;
extern const std::u16string& g_szTime;
extern const std::u16string& g_szTimeNoSec;
