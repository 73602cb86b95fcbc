#include "NataloCli/EntryFacts.h"

#include <algorithm>
#include <cstdio>

#include "common/entries/EntryTexts.h"
#include "common/text/LocalTable.h"
#include "NataloCli/CliSession.h"
#include "platform/clock/Clock.h"
#include "platform/text/Utf.h"

const char* KindWord(const FeskItem& entry) { return KindWord(entry.IsStar(), entry.m_wKind); }

const char* KindWord(bool star, std::uint16_t kind) {
  if (star) return "star";
  switch (kind) {
    case Birthday: return "birthday";
    case Anniversary: return "anniversary";
    default: return "other";
  }
}

bool ParseKindWord(std::string_view word, std::uint16_t& kind) {
  if (word == "birthday") {
    kind = Birthday;
  } else if (word == "anniversary") {
    kind = Anniversary;
  } else if (word == "other") {
    kind = OtherDate;
  } else {
    return false;
  }
  return true;
}

std::string IsoDate(const CalendarDate& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

bool ParseIsoDate(std::string_view text, CalendarDate& out) {
  long year = 0;
  long month = 0;
  long day = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  if (!ParseNumber(text.substr(0, 4), 1601, 9999, year) || !ParseNumber(text.substr(5, 2), 1, 12, month) ||
      !ParseNumber(text.substr(8, 2), 1, 31, day)) {
    return false;
  }
  if (!platform::IsValidDate(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day))) return false;
  out = {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
  return true;
}

std::string EntryDateText(const CalendarDate& date) {
  if (!IsYearUnknown(date)) return IsoDate(date);
  char text[16];
  std::snprintf(text, sizeof text, "--%02d-%02d", date.month, date.day);
  return text;
}

bool LooksLikeYearlessDate(std::string_view text) {
  const auto digit = [&text](std::size_t at) { return text[at] >= '0' && text[at] <= '9'; };
  return text.size() == 7 && text.starts_with("--") && digit(2) && digit(3) && text[4] == '-' && digit(5) &&
         digit(6);
}

bool ParseEntryDate(std::string_view text, CalendarDate& out) {
  if (!LooksLikeYearlessDate(text)) return ParseIsoDate(text, out);
  long month = 0;
  long day = 0;
  if (!ParseNumber(text.substr(2, 2), 1, 12, month)) return false;
  if (!ParseNumber(text.substr(5, 2), 1, 31, day)) return false;
  // kYearUnknown is a leap year: every day a year can have is valid in it.
  if (!platform::IsValidDate(kYearUnknown, static_cast<int>(month), static_cast<int>(day))) return false;
  out = {kYearUnknown, static_cast<int>(month), static_cast<int>(day)};
  return true;
}

namespace {

const char* ReminderWord(const FeskItem& entry) {
  if (!entry.m_bEnabled) return "off";
  if (entry.m_wSkipNext) return "skipped";
  if (entry.m_dwSnoozeCounter != 0) return "snoozed";
  return "on";
}

}  // namespace

EntryFacts DescribeEntry(const FeskItem& entry, const CalendarDate& today, const CalendarDate* from) {
  return EntryDescriber(today, from).Describe(entry);
}

EntryDescriber::EntryDescriber(const CalendarDate& today, const CalendarDate* from)
    : m_today(today), m_context{CurrentViewSettings(), from != nullptr ? *from : today} {
  // The command line always says how many days are left, whatever the list shows.
  m_context.view.dwDaysLeft = 1;
}

EntryFacts EntryDescriber::Describe(const FeskItem& entry) {
  // The texts of the row are those of the occurrence, as on the day it is
  // looked up from: its year, and the age it completes.
  EntryFacts facts;
  facts.uid = entry.m_nUID;
  facts.kind = KindWord(entry);
  facts.note = platform::ToUtf8(WideText(entry.Note()));
  facts.name = platform::ToUtf8(entry.GetDisplayName(m_context.view));
  facts.date = DateOfFileTime(entry.m_ftDate);
  facts.next = NextOccurrence(facts.date, m_context.today);
  facts.daysLeft = DayNumber(facts.next) - DayNumber(m_today);
  // The date and age texts depend on the stored date alone (and on the
  // settings and the days, which stay).
  const std::uint32_t key = static_cast<std::uint32_t>(facts.date.year) << 9 |
                            static_cast<std::uint32_t>(facts.date.month) << 5 | static_cast<std::uint32_t>(facts.date.day);
  auto date = m_dates.find(key);
  if (date == m_dates.end()) {
    DateTexts texts;
    texts.date = platform::ToUtf8(FormatEntryDate(entry, m_context));
    // A date without a year has no age to tell.
    const std::u16string age = entry.HasYear() ? FormatAge(entry, m_context) : std::u16string();
    if (!age.empty()) texts.age = CliText(u"LONG_AGE_STRING", {age});
    date = m_dates.emplace(key, std::move(texts)).first;
  }
  facts.dateText = date->second.date;
  facts.ageText = date->second.age;
  auto days = m_days.find(facts.daysLeft);
  if (days == m_days.end()) {
    const std::u16string count = platform::FromUtf8(std::to_string(facts.daysLeft));
    days = m_days.emplace(facts.daysLeft,
                          platform::ToUtf8(FormatCountedText(u"LONG_DAYSLEFT_STRING2", u"", count, {count}))).first;
  }
  facts.daysText = days->second;
  facts.reminder = ReminderWord(entry);
  return facts;
}

bool IsComing(const EntryRecord& entry, const CalendarDate& today, long days, int kind, bool stars) {
  if (entry.star && !stars) return false;
  if (kind >= 0 && (entry.star || entry.kind != kind)) return false;
  return DaysUntilNext(entry, today) <= days;
}

std::int64_t DaysUntilNext(const EntryRecord& entry, const CalendarDate& today) {
  return DayNumber(NextOccurrence(DateOfFileTime(entry.date), today)) - DayNumber(today);
}

void SortComing(std::vector<EntryFacts>& coming) {
  // Sorting positions moves no facts around; they are put in order once.
  std::vector<std::uint32_t> order(coming.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&coming](std::uint32_t a, std::uint32_t b) {
    if (coming[a].daysLeft != coming[b].daysLeft) return coming[a].daysLeft < coming[b].daysLeft;
    return coming[a].name < coming[b].name;
  });
  // Each cycle of the permutation is walked once; a placed position points at itself.
  for (std::uint32_t start = 0; start < order.size(); ++start) {
    if (order[start] == start) continue;
    EntryFacts first = std::move(coming[start]);
    std::uint32_t at = start;
    while (order[at] != start) {
      const std::uint32_t from = order[at];
      coming[at] = std::move(coming[from]);
      order[at] = at;
      at = from;
    }
    coming[at] = std::move(first);
    order[at] = at;
  }
}
