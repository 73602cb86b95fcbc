// natalo export --ics [FILE|-] [--stars] [--force]: every entry as a yearly all-day event.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <ctime>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/IcsCalendar.h"
#include "NataloCli/StorageId.h"
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
// name and date stand for them. The storage's identifier sets the events of
// one storage apart from those of every other, which number their entries
// from 1 as well.
std::string EventUid(const FeskItem& entry, const std::string& storageId) {
  if (!entry.IsStar()) return "entry-" + std::to_string(entry.m_nUID) + "-" + storageId + "@natalo";
  std::uint64_t hash = 14695981039346656037ull;
  for (char16_t c : entry.m_szFirstName + u"\n" + entry.m_szLastName) hash = (hash ^ c) * 1099511628211ull;
  hash = (hash ^ entry.m_ftDate) * 1099511628211ull;
  char text[24];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return std::string("star-") + text + "-" + storageId + "@natalo";
}

// Fills `event` anew from the entry, its texts reusing the room they have.
void FillEvent(const FeskItem& entry, const std::string& storageId, const std::u16string& yearFormat,
               IcsEvent& event) {
  event.uid = EventUid(entry, storageId);
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

// Where the calendar goes: a regular file is replaced as a whole; a pipe or
// a character device is written through, as standard output is; anything
// else is refused rather than renamed over.
enum class ExportTarget { Stream, File, Refused };

ExportTarget KindOfTarget(const std::string& target) {
  if (target == "-") return ExportTarget::Stream;
  struct stat info {};
  // A path that cannot be looked at is left to the replacement, which fails
  // with its own message.
  if (stat(target.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return ExportTarget::File;
  return S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode) ? ExportTarget::Stream : ExportTarget::Refused;
}

// The refusal to write a calendar that would lack the damaged records: a
// calendar that subscribes to it would delete their events.
int RefuseDamaged(int damaged) {
  ReportDamage(damaged);
  return CliFail(kExitStorage, CliText(u"CLI_EXPORT_DAMAGED"));
}

}  // namespace

int RunExport(const CliArgs& args) {
  bool ics = false;
  bool stars = false;
  bool force = false;
  std::string target = "-";
  bool targetGiven = false;
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return ShowHelp("export");
    if (arg == "--ics") {
      ics = true;
    } else if (arg == "--stars") {
      stars = true;
    } else if (arg == "--force") {
      force = true;
    } else if ((arg == "-" || arg.empty() || arg[0] != '-') && !targetGiven) {
      target = arg;
      targetGiven = true;
    } else {
      return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), "export");
    }
  }
  if (!ics) return CliUsageFail(CliText(u"CLI_EXPORT_FORMAT"), "export");
  if (target.empty()) return CliUsageFail(CliText(u"CLI_BAD_OPTION", {u""}), "export");
  const ExportTarget kind = KindOfTarget(target);
  if (kind == ExportTarget::Refused) {
    return CliFail(kExitStorage, CliText(u"CLI_EXPORT_NOT_A_FILE", {platform::FromUtf8(target)}));
  }

  FeskList& list = CommandList();
  platform::UniqueFd storage;
  if (const int failed = ReportLoad(OpenStorage(list, storage)); failed != kExitDone) return failed;
  std::string storageId;
  if ((storage.IsOpen() || stars) && !StorageIdentifier(list.m_szPath, storageId)) {
    return CliFail(kExitStorage, CliText(u"CLI_STORAGE_ID_FAILED", {platform::FromUtf8(StorageIdPath(list.m_szPath))}));
  }
  // What goes through a stream cannot be taken back: a damaged file is found
  // out by a first reading before anything is written there.
  if (kind == ExportTarget::Stream && !force && storage.IsOpen()) {
    FeskList::ScanResult scan;
    if (!list.ScanAnyRevision(storage.Get(), [](std::unique_ptr<StorageItem>&) {}, &scan)) {
      return ReportLoad(StorageLoad::Unreadable);
    }
    if (scan.damaged != 0) return RefuseDamaged(scan.damaged);
  }
  const std::string appName = platform::ToUtf8(GetLocalTable().GetAppName());
  const std::u16string yearFormat = GetLocalTable().Get(u"CLI_ICS_SUMMARY_YEAR");
  bool unreadable = false;
  int damaged = 0;
  // The events go out as the entries are read, stars after them; one event
  // is filled anew for each entry. A calendar that lacks damaged records is
  // not finished unless forced, so a file target is left as it was.
  const auto writeCalendar = [&](IcsCalendar::Sink sink) {
    IcsCalendar calendar(appName, UtcStamp(), std::move(sink));
    IcsEvent event;
    const auto add = [&](const StorageItem& item) {
      if (const FeskItem* entry = AsEntry(&item); entry != nullptr && (stars || !entry->IsStar())) {
        FillEvent(*entry, storageId, yearFormat, event);
        calendar.Add(event);
      }
    };
    if (storage.IsOpen()) {
      FeskList::ScanResult scan;
      if (!list.ScanAnyRevision(storage.Get(), [&](std::unique_ptr<StorageItem>& item) { add(*item); }, &scan)) {
        unreadable = true;
        return false;
      }
      damaged = scan.damaged;
      if (damaged != 0 && !force) return false;
    }
    if (stars) {
      list.LoadStars();
      for (const StorageItem& item : list) add(item);
    }
    return calendar.Finish();
  };
  bool written = false;
  if (kind == ExportTarget::File) {
    written = platform::ReplaceFileAtomically(target, [&](int fd) {
      return writeCalendar([fd](std::string_view piece) { return platform::WriteAll(fd, piece); });
    });
  } else if (target == "-") {
    written = writeCalendar(WriteStdout);
    if (!written && !unreadable && (damaged == 0 || force)) return kExitStorage;  // WriteStdout said why
  } else {
    // No O_CREAT: the pipe or device must still be the one looked at.
    const platform::UniqueFd stream(open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (stream.IsOpen() && fstat(stream.Get(), &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode))) {
      written = writeCalendar([&stream](std::string_view piece) { return platform::WriteAll(stream.Get(), piece); });
    }
  }
  if (unreadable) return ReportLoad(StorageLoad::Unreadable);
  if (damaged != 0 && !force) return RefuseDamaged(damaged);
  if (!written) return CliFail(kExitStorage, CliText(u"CLI_EXPORT_FAILED", {platform::FromUtf8(target)}));
  ReportDamage(damaged);
  return kExitDone;
}
