#include "common/calendar/EntryEvent.h"

#include <charconv>
#include <cstdio>

#include "common/entries/EntryTexts.h"
#include "common/entries/ReminderChoice.h"
#include "common/entries/TextFormat.h"
#include "platform/text/Utf.h"

namespace {

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Appends FormatText(format, args) in UTF-8, each piece converted where it
// stands rather than the whole text made first. Pieces convert as the whole
// does unless a surrogate meets another across their border: then the whole
// is made.
void AppendFormattedUtf8(std::string& out, std::u16string_view format,
                         std::initializer_list<std::u16string_view> args) {
  for (const std::u16string_view arg : args) {
    if (!arg.empty() && (IsSurrogate(arg.front()) || IsSurrogate(arg.back()))) {
      platform::AppendUtf8(out, FormatText(format, args));
      return;
    }
  }
  auto next = args.begin();
  std::size_t run = 0;  // start of the format's text not yet appended
  for (std::size_t i = 0; i + 1 < format.size(); ++i) {
    if (format[i] != u'%' || (format[i + 1] != u'%' && format[i + 1] != u's')) continue;
    // "%%" keeps its first '%'; "%s" becomes the next argument, or nothing.
    platform::AppendUtf8(out, format.substr(run, format[i + 1] == u'%' ? i + 1 - run : i - run));
    if (format[i + 1] == u's' && next != args.end()) platform::AppendUtf8(out, *next++);
    run = i + 2;
    ++i;
  }
  if (run < format.size()) platform::AppendUtf8(out, format.substr(run));
}

}  // namespace

std::string EventUid(const FeskItem& entry, const std::string& storageId) {
  if (!entry.IsStar()) return "entry-" + std::to_string(entry.m_nUID) + "-" + storageId + "@natalo";
  std::uint64_t hash = 14695981039346656037ull;
  for (char16_t c : entry.m_szFirstName + u"\n" + entry.m_szLastName) hash = (hash ^ c) * 1099511628211ull;
  hash = (hash ^ entry.m_ftDate) * 1099511628211ull;
  char text[24];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return std::string("star-") + text + "-" + storageId + "@natalo";
}

void FillEvent(const FeskItem& entry, const std::string& storageId, const std::u16string& yearFormat,
               const CalendarDate& today, IcsEvent& event) {
  if (entry.IsStar()) {
    event.uid = EventUid(entry, storageId);
  } else {
    // As EventUid, written into the room the last UID had.
    char number[16];
    event.uid.assign("entry-");
    event.uid.append(number, static_cast<std::size_t>(std::to_chars(number, number + sizeof number, entry.m_nUID).ptr - number));
    event.uid += '-';
    event.uid += storageId;
    event.uid += "@natalo";
  }
  const CalendarDate stored = DateOfFileTime(entry.m_ftDate);
  // Made again for each event in room each thread keeps.
  thread_local std::u16string name;
  name.clear();
  AppendDisplayName(entry, CurrentViewSettings().dwDisplayNames, name);
  event.summary.clear();
  if (IsYearUnknown(stored)) {
    // The year kept for "no year" is no year the date ever fell in: the
    // event starts in this year (on 28 February for a 29 February in a common
    // year), which stays the same on every export until the year turns, and
    // its title names no year to count an age from.
    event.date = PlaceInYear(stored.month, stored.day, today.year);
    event.lastDayOfFebruary = stored.month == 2 && stored.day == 29;
    platform::AppendUtf8(event.summary, name);
  } else {
    event.date = stored;
    event.lastDayOfFebruary = false;
    // A yearly event has one summary for every year, so it names the year the
    // age counts from rather than one year's age.
    if (entry.m_wKind == Birthday || entry.m_wKind == Anniversary) {
      char16_t year[8];
      std::size_t digits = 0;
      for (int rest = stored.year; rest > 0 && digits < 8; rest /= 10) year[7 - digits++] = static_cast<char16_t>(u'0' + rest % 10);
      AppendFormattedUtf8(event.summary, yearFormat, {name, std::u16string_view(year + 8 - digits, digits)});
    } else {
      platform::AppendUtf8(event.summary, name);
    }
  }
  event.description.clear();
  platform::AppendUtf8(event.description, entry.m_szNote);
  event.alarm = false;
  event.alarmMinutes = 0;
  if (entry.m_bEnabled && !entry.IsStar()) {
    // The minute of the day the reminder comes at; none for a start beyond the calendar.
    const std::int64_t minuteOfDay =
        entry.m_ftStart > platform::TIME_NONE
            ? 0
            : static_cast<std::int64_t>(entry.m_ftStart % platform::FILETIME_PER_DAY / platform::FILETIME_PER_MINUTE);
    event.alarm = true;
    event.alarmMinutes = -ReminderDays(entry.m_ftDate, entry.m_ftStart) * 1440 + minuteOfDay;
  }
}
