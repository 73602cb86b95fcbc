#pragma once
// Renders a calendar date-time with a date or a time picture (the letters of
// platform/locale/UserLocale.h), as the date displays and pickers show it.
#include <string>
#include <string_view>

#include "platform/clock/Clock.h"
#include "platform/locale/UserLocale.h"

// Date pictures use d, M, y and g (the era, which is not shown); every other
// character outside quotes is copied. A month name written next to a day number
// takes the form used after a day number (genitive where the language has one).
// False, with `out` unchanged, for an invalid date. The weekday is computed
// from the date.
bool FormatDatePicture(const platform::SystemTime& st, std::u16string_view picture,
                       const platform::CalendarNames& names, std::u16string& out);

// Time pictures use h, hh, H, HH, m, mm, s, ss, t (first letter of the AM/PM
// text) and tt. False, with `out` unchanged, for an invalid time of day.
bool FormatTimePicture(const platform::SystemTime& st, std::u16string_view picture,
                       const platform::CalendarNames& names, std::u16string& out);

// The same with the user's locale (see LocalePatterns.h); empty when invalid.
std::u16string FormatDate(const platform::SystemTime& st, std::u16string_view picture);
std::u16string FormatTime(const platform::SystemTime& st, std::u16string_view picture);
