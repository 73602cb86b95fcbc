#include "common/text/DateFormat.h"

#include "common/text/LocalePatterns.h"

namespace {

enum class Mode { Date, Time };

bool IsFieldLetter(char16_t c, Mode mode) {
  if (mode == Mode::Date) return c == u'd' || c == u'M' || c == u'y' || c == u'g';
  return c == u'h' || c == u'H' || c == u'm' || c == u's' || c == u't';
}

std::u16string Number(unsigned value, unsigned minDigits) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  while (digits.size() < minDigits) digits.insert(digits.begin(), u'0');
  return digits;
}

// True when the picture has a day number (d or dd) outside quotes.
bool HasDayNumber(std::u16string_view picture) {
  bool quoted = false;
  for (std::size_t i = 0; i < picture.size();) {
    if (picture[i] == u'\'') {
      quoted = !quoted;
      ++i;
      continue;
    }
    std::size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == picture[i]) ++run;
    if (!quoted && picture[i] == u'd' && run <= 2) return true;
    i += run;
  }
  return false;
}

std::u16string DateField(char16_t c, std::size_t run, const platform::SystemTime& st, int weekday,
                         bool genitive, const platform::CalendarNames& names) {
  const int month = st.wMonth - 1;
  switch (c) {
    case u'd':
      if (run <= 2) return Number(st.wDay, static_cast<unsigned>(run));
      return run == 3 ? names.shortDay[weekday] : names.longDay[weekday];
    case u'M':
      if (run <= 2) return Number(st.wMonth, static_cast<unsigned>(run));
      if (run == 3) return genitive ? names.shortMonth[month] : names.shortMonthStandalone[month];
      return genitive ? names.longMonth[month] : names.longMonthStandalone[month];
    case u'y':
      if (run == 1) return Number(st.wYear % 100u, 1);
      if (run == 2) return Number(st.wYear % 100u, 2);
      return Number(st.wYear, 1);
    default:  // the era of the Gregorian calendar is not shown
      return {};
  }
}

std::u16string TimeField(char16_t c, std::size_t run, const platform::SystemTime& st,
                         const platform::CalendarNames& names) {
  const unsigned digits = run >= 2 ? 2u : 1u;
  switch (c) {
    case u'h': {
      const unsigned hour = st.wHour % 12u;
      return Number(hour == 0 ? 12u : hour, digits);
    }
    case u'H':
      return Number(st.wHour, digits);
    case u'm':
      return Number(st.wMinute, digits);
    case u's':
      return Number(st.wSecond, digits);
    default: {
      const std::u16string& marker = st.wHour < 12 ? names.am : names.pm;
      return run == 1 ? marker.substr(0, marker.empty() ? 0 : 1) : marker;
    }
  }
}

template <typename Field>
std::u16string Render(std::u16string_view picture, Mode mode, Field field) {
  std::u16string out;
  for (std::size_t i = 0; i < picture.size();) {
    const char16_t c = picture[i];
    if (c == u'\'') {
      // Quoted literal; '' stands for one quote, inside quotes and outside.
      std::size_t j = i + 1;
      if (j < picture.size() && picture[j] == u'\'') {
        out += u'\'';
        i = j + 1;
        continue;
      }
      while (j < picture.size()) {
        if (picture[j] == u'\'') {
          if (j + 1 < picture.size() && picture[j + 1] == u'\'') {
            out += u'\'';
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        out += picture[j++];
      }
      i = j;
      continue;
    }
    if (!IsFieldLetter(c, mode)) {
      out += c;
      ++i;
      continue;
    }
    std::size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    out += field(c, run);
    i += run;
  }
  return out;
}

}  // namespace

bool FormatDatePicture(const platform::SystemTime& st, std::u16string_view picture,
                       const platform::CalendarNames& names, std::u16string& out) {
  if (!platform::IsValidDate(st.wYear, st.wMonth, st.wDay)) return false;
  const int weekday = platform::DayOfWeek(st.wYear, st.wMonth, st.wDay);
  const bool genitive = HasDayNumber(picture);
  out = Render(picture, Mode::Date,
               [&](char16_t c, std::size_t run) { return DateField(c, run, st, weekday, genitive, names); });
  return true;
}

bool FormatTimePicture(const platform::SystemTime& st, std::u16string_view picture,
                       const platform::CalendarNames& names, std::u16string& out) {
  if (st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59) return false;
  out = Render(picture, Mode::Time, [&](char16_t c, std::size_t run) { return TimeField(c, run, st, names); });
  return true;
}

std::u16string FormatDate(const platform::SystemTime& st, std::u16string_view picture) {
  std::u16string out;
  FormatDatePicture(st, picture, UserCalendarNames(), out);
  return out;
}

std::u16string FormatTime(const platform::SystemTime& st, std::u16string_view picture) {
  std::u16string out;
  FormatTimePicture(st, picture, UserCalendarNames(), out);
  return out;
}
