// natalo next [--json]: the next reminder moment and the entries due then, as
// the engine's active events give them.
#include <cstdio>
#include <ctime>
#include <unordered_map>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/EngineAccess.h"
#include "NataloCli/EntryFacts.h"
#include "NataloCli/JsonText.h"
#include "common/text/DateFormat.h"
#include "common/text/LocalePatterns.h"
#include "platform/clock/Clock.h"
#include "platform/text/Utf.h"

namespace {

// The local moment with the offset from UTC it has then ("+01:00"), so that
// a reader needs no time zone of its own to place it.
std::string IsoMoment(const platform::SystemTime& st) {
  std::tm local = platform::TmFromSystemTime(st);
  const long offset = std::mktime(&local) == static_cast<std::time_t>(-1) ? 0 : local.tm_gmtoff;
  // Offsets lie within a day.
  const int minutes = static_cast<int>((offset < 0 ? -offset : offset) / 60 % 1440);
  char text[48];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u%c%02d:%02d", st.wYear, st.wMonth, st.wDay,
                st.wHour, st.wMinute, st.wSecond, offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return text;
}

}  // namespace

int RunNext(const CliArgs& args) {
  bool json = false;
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return ShowHelp("next");
    if (arg != "--json") return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), "next");
    json = true;
  }
  FeskList& list = CommandList();
  // The first reading checks the file and counts its damaged records; only
  // the entries due at the engine's moment are kept, from a second reading
  // of the same file.
  int damaged = 0;
  platform::UniqueFd storage;
  const StorageLoad load = ScanEntryRecords(list, [](const EntryRecord&) {}, &damaged, storage);
  if (const int failed = ReportLoad(load); failed != kExitDone) return failed;
  ReportDamage(damaged);
  EngineAccess engine;
  if (!engine.Load()) return CliFail(kExitStorage, CliText(u"CLI_NO_ENGINE"));
  const ActiveEvents events = engine.NextEvents();

  // The first item of each UID, as a lookup by UID finds it.
  std::unordered_map<std::int32_t, std::unique_ptr<FeskItem>> firstOfUid;
  firstOfUid.reserve(events.uids.size());
  for (std::int32_t uid : events.uids) firstOfUid.emplace(uid, nullptr);
  if (storage.IsOpen() && !firstOfUid.empty()) {
    const StorageLoad again = RescanEntryRecords(list, storage.Get(), [&firstOfUid](const EntryRecord& entry) {
      const auto it = firstOfUid.find(entry.schedule.m_nUID);
      if (it != firstOfUid.end() && !it->second) it->second = EntryOfRecord(entry);
    });
    if (const int failed = ReportLoad(again); failed != kExitDone) return failed;
  }
  std::vector<EntryFacts> due;
  due.reserve(events.uids.size());
  // The rows tell of the occurrence the reminder is for, which is the first
  // on or after the reminder's day (as the reminder window counts it): a
  // reminder before this year's date may already have passed, and the next
  // one leads up to next year's.
  const CalendarDate reminderDay = DateOfFileTime(events.moment);
  EntryDescriber describer(Today(), &reminderDay);
  for (std::int32_t uid : events.uids) {
    if (const FeskItem* entry = firstOfUid[uid].get()) due.push_back(describer.Describe(*entry));
  }
  platform::SystemTime moment{};
  const bool found = !due.empty() && platform::FileTimeToSystemTime(events.moment, moment);
  std::string out;
  if (json) {
    out = found ? "{\"moment\":" + JsonString(IsoMoment(moment)) + ",\"entries\":" + ListAsJson(due) + "}\n"
                : "{\"moment\":null,\"entries\":[]}\n";
  } else if (found) {
    const std::u16string when = FormatDate(moment, g_szLongDate) + u" " + FormatTime(moment, g_szTimeNoSec);
    out = CliText(u"CLI_NEXT_MOMENT", {when}) + '\n';
    for (const EntryFacts& facts : due) AppendFactsAsLine(out, facts);
  }
  if (!WriteStdout(out)) return kExitStorage;
  if (!found && !json) return CliFail(kExitNothingFound, CliText(u"CLI_NO_REMINDER"));
  return found ? kExitDone : kExitNothingFound;
}
