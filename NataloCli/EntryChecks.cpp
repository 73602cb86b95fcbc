#include "NataloCli/EntryChecks.h"

#include <algorithm>
#include <string>

#include "NataloCli/CliSession.h"
#include "NataloCli/EntryFacts.h"
#include "common/entries/EntryMatching.h"
#include "common/settings/AppSettings.h"
#include "platform/clock/Clock.h"
#include "platform/text/Utf.h"

bool HasControlCharacter(std::u16string_view text, bool lineFeedAllowed) {
  return std::any_of(text.begin(), text.end(), [&](char16_t c) {
    return (c < 0x20 && !(lineFeedAllowed && c == u'\n')) || (c >= 0x7F && c <= 0x9F);
  });
}

int CheckEntryNames(const FeskItem& entry, std::string_view command) {
  if (entry.m_wKind == Birthday) {
    if (entry.FirstName().empty() && entry.LastName().empty()) {
      return CliUsageFail(CliText(u"MSG_BIRTHDAY_NAMES_EMPTY"), command);
    }
    if (entry.FirstName().size() > kMaxPersonNameChars || entry.LastName().size() > kMaxPersonNameChars) {
      return CliUsageFail(CliText(u"CLI_TOO_LONG"), command);
    }
    return kExitDone;
  }
  if (entry.Name().empty()) {
    return CliUsageFail(
        CliText(entry.m_wKind == Anniversary ? u"MSG_ANNIVERSARY_NAME_EMPTY" : u"MSG_OTHERDATE_NAME_EMPTY"), command);
  }
  if (entry.Name().size() > kMaxNameChars) return CliUsageFail(CliText(u"CLI_TOO_LONG"), command);
  return kExitDone;
}

int CheckEntryDate(std::uint16_t kind, const CalendarDate& date, std::string_view command) {
  if (kind != OtherDate && DayNumber(date) > DayNumber(Today())) {
    return CliUsageFail(CliText(u"MSG_WRONG_DATE"), command);
  }
  return kExitDone;
}

bool SetEntryDate(FeskItem& entry, const CalendarDate& date) {
  platform::SystemTime st{};
  st.wYear = static_cast<std::uint16_t>(date.year);
  st.wMonth = static_cast<std::uint16_t>(date.month);
  st.wDay = static_cast<std::uint16_t>(date.day);
  st.wHour = static_cast<std::uint16_t>(g_settings.g_wReminderTime >> 8);
  st.wMinute = static_cast<std::uint16_t>(g_settings.g_wReminderTime & 0xFF);
  return platform::SystemTimeToFileTime(st, entry.m_ftDate);
}

int CheckNotDuplicate(const FeskList& list, const FeskItem& entry) {
  std::int32_t uid = 0;
  const FeskItem* match = nullptr;
  if (entry.m_wKind == OtherDate || !FindMatchingEntry(list, entry, entry.m_wKind, &uid, &match) ||
      match == nullptr || match == &entry) {
    return kExitDone;
  }
  const std::u16string key = entry.m_wKind == Birthday ? u"MSG_DUPLICATE_BIRTHDAY" : u"MSG_DUPLICATE_ANNIVERSARY";
  return CliFail(kExitNothingFound,
                 CliText(key) + " " +
                     CliText(u"CLI_EXISTING_ENTRY", {match->GetDisplayName(), platform::FromUtf8(std::to_string(uid))}));
}
