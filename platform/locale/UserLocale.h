#pragma once
// The user's locale: its name from the environment, the English name of its
// language, its date and time pictures and its day, month and AM/PM texts.
//
// Pictures use the letters d, dd, ddd, dddd (day, weekday), M .. MMMM (month),
// yy, yyyy (year), h, hh (12-hour), H, HH (24-hour), m, mm, s, ss, t, tt
// (AM/PM marker) and literal text in single quotes ('' is one quote).
// The locale data are Qt's (any locale name works even when the C library knows
// only the C locale); those of the usual locales of the texts' ten languages are
// built in, so that these need no Qt (see BuiltInLocales.h and QtLocale.h).
#include <string>

namespace platform {

// The locale name for dates and times: the first non-empty of LC_ALL, LC_TIME, LANG.
std::string UserTimeLocaleName();
// The locale name for texts: the first non-empty of LC_ALL, LC_MESSAGES, LANG.
std::string UserMessagesLocaleName();

// English name of the locale's language ("English", "German"). False for the
// C and POSIX locales and for names that no language is known for.
bool LanguageEnglishName(const std::string& localeName, std::u16string& out);

struct LocalePictures {
  std::u16string shortDate;
  std::u16string longDate;  // with the weekday
  std::u16string time;      // with seconds, without a time zone
};

// Unknown names give the pictures of the C locale.
LocalePictures GetLocalePictures(const std::string& localeName);

struct CalendarNames {
  std::u16string longDay[7];  // Sunday first
  std::u16string shortDay[7];
  std::u16string longMonth[12];  // as written after a day number (genitive where the language has one)
  std::u16string shortMonth[12];
  std::u16string longMonthStandalone[12];  // as written alone
  std::u16string shortMonthStandalone[12];
  std::u16string am;
  std::u16string pm;
};

CalendarNames GetCalendarNames(const std::string& localeName);

}  // namespace platform
