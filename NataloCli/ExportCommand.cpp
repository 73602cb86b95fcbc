// natalo export --ics [FILE|-] [--stars]: every entry as a yearly all-day event.
#include <ctime>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/IcsCalendar.h"
#include "common/entries/ReminderChoice.h"
#include "common/entries/TextFormat.h"
#include "common/text/LocalTable.h"
#include "platform/file/AtomicFile.h"
#include "platform/file/FileIo.h"
#include "platform/text/Utf.h"

namespace {

std::string UtcStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
  return text;
}

// Own entries keep their UID for good; stars have none of their own, so their
// name and date stand for them.
std::string EventUid(const FeskItem& entry) {
  if (!entry.IsStar()) return "entry-" + std::to_string(entry.m_nUID) + "@natalo";
  std::uint64_t hash = 14695981039346656037ull;
  for (char16_t c : entry.m_szFirstName + u"\n" + entry.m_szLastName) hash = (hash ^ c) * 1099511628211ull;
  hash = (hash ^ entry.m_ftDate) * 1099511628211ull;
  char text[24];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return std::string("star-") + text + "@natalo";
}

// Fills `event` anew from the entry, its texts reusing the room they have.
void FillEvent(const FeskItem& entry, const std::u16string& yearFormat, IcsEvent& event) {
  event.uid = EventUid(entry);
  event.date = DateOfFileTime(entry.m_ftDate);
  const std::u16string name = entry.GetDisplayName();
  // A yearly event has one summary for every year, so it names the year the
  // age counts from rather than one year's age.
  if (entry.m_wKind == Birthday || entry.m_wKind == Anniversary) {
    event.summary = platform::ToUtf8(FormatText(yearFormat, {name, platform::FromUtf8(std::to_string(event.date.year))}));
  } else {
    event.summary = platform::ToUtf8(name);
  }
  event.description = platform::ToUtf8(entry.m_szNote);
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

}  // namespace

int RunExport(const CliArgs& args) {
  bool ics = false;
  bool stars = false;
  std::string target = "-";
  bool targetGiven = false;
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return ShowHelp("export");
    if (arg == "--ics") {
      ics = true;
    } else if (arg == "--stars") {
      stars = true;
    } else if ((arg == "-" || arg.empty() || arg[0] != '-') && !targetGiven) {
      target = arg;
      targetGiven = true;
    } else {
      return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), "export");
    }
  }
  if (!ics) return CliUsageFail(CliText(u"CLI_EXPORT_FORMAT"), "export");
  if (target.empty()) return CliUsageFail(CliText(u"CLI_BAD_OPTION", {u""}), "export");

  FeskList& list = CommandList();
  platform::UniqueFd storage;
  if (const int failed = ReportLoad(OpenStorage(list, storage)); failed != kExitDone) return failed;
  const std::string appName = platform::ToUtf8(GetLocalTable().GetAppName());
  const std::u16string yearFormat = GetLocalTable().Get(u"CLI_ICS_SUMMARY_YEAR");
  bool unreadable = false;
  // The events go out as the entries are read, stars after them; one event
  // is filled anew for each entry.
  const auto writeCalendar = [&](IcsCalendar::Sink sink) {
    IcsCalendar calendar(appName, UtcStamp(), std::move(sink));
    IcsEvent event;
    const auto add = [&](const StorageItem& item) {
      if (const FeskItem* entry = AsEntry(&item); entry != nullptr && (stars || !entry->IsStar())) {
        FillEvent(*entry, yearFormat, event);
        calendar.Add(event);
      }
    };
    if (storage.IsOpen()) {
      if (!list.ScanAnyRevision(storage.Get(), [&](std::unique_ptr<StorageItem>& item) { add(*item); })) {
        unreadable = true;
        return false;
      }
    }
    if (stars) {
      list.LoadStars();
      for (const StorageItem& item : list) add(item);
    }
    return calendar.Finish();
  };
  if (target == "-") {
    const bool written = writeCalendar(WriteStdout);
    return unreadable ? ReportLoad(StorageLoad::Unreadable) : written ? kExitDone : kExitStorage;
  }
  const bool written = platform::ReplaceFileAtomically(target, [&](int fd) {
    return writeCalendar([fd](std::string_view piece) { return platform::WriteAll(fd, piece); });
  });
  if (unreadable) return ReportLoad(StorageLoad::Unreadable);
  if (!written) return CliFail(kExitStorage, CliText(u"CLI_EXPORT_FAILED", {platform::FromUtf8(target)}));
  return kExitDone;
}
