// natalo export --ics [FILE|-] | --vdir DIR [--stars] [--force]: every entry
// as a yearly all-day event, in one calendar or in a folder of one file each.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/ItemPipe.h"
#include "NataloCli/RecordPipeline.h"
#include "common/calendar/CalendarFolder.h"
#include "common/calendar/EntryEvent.h"
#include "common/calendar/IcsCalendar.h"
#include "common/calendar/StorageId.h"
#include "common/entries/EntrySettings.h"
#include "common/text/LocalTable.h"
#include "platform/file/AtomicFile.h"
#include "platform/file/FileIo.h"
#include "platform/text/Utf.h"

namespace {

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

// Brings the folder up to date with the events `forEachEvent` hands over
// (false when it could not give them all) and says what changed.
int ExportToFolder(const std::string& path, const std::string& storageId,
                   const std::function<bool(const std::function<void(const IcsEvent&)>&)>& forEachEvent,
                   bool& given) {
  CalendarFolder folder(storageId, std::time(nullptr));
  switch (folder.Open(path)) {
    case CalendarFolder::Opened::Ready: break;
    case CalendarFolder::Opened::NotAFolder:
      return CliFail(kExitStorage, CliText(u"CLI_EXPORT_NOT_A_FOLDER", {platform::FromUtf8(path)}));
    case CalendarFolder::Opened::Failed:
      return CliFail(kExitStorage, CliText(u"CLI_EXPORT_FOLDER_FAILED", {platform::FromUtf8(path)}));
  }
  bool written = true;
  given = forEachEvent([&](const IcsEvent& event) { written = folder.Put(event) && written; });
  // The files of entries that could not be read stay.
  if (!given) return kExitDone;  // the caller says why
  written = folder.RemoveGone() && written;
  const auto count = [](int n) { return platform::FromUtf8(std::to_string(n)); };
  if (!WriteStdout(CliText(u"CLI_EXPORT_FOLDER_DONE",
                           {count(folder.Written()), count(folder.Unchanged()), count(folder.Removed())}) +
                   "\n")) {
    return kExitStorage;
  }
  return written ? kExitDone : CliFail(kExitStorage, CliText(u"CLI_EXPORT_FOLDER_FAILED", {platform::FromUtf8(path)}));
}


}  // namespace

int RunExport(const CliArgs& args) {
  bool ics = false;
  bool stars = false;
  bool force = false;
  std::string target = "-";
  bool targetGiven = false;
  std::string folderPath;
  bool vdir = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      if (targetGiven) return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), "export");
      target = arg;
      targetGiven = true;
    } else if (arg == "--help" || arg == "-h") {
      return ShowHelp("export");
    } else if (arg == "--ics") {
      ics = true;
    } else if (arg == "--vdir" && i + 1 < args.size()) {
      vdir = true;
      folderPath = args[++i];
    } else if (arg == "--stars") {
      stars = true;
    } else if (arg == "--force") {
      force = true;
    } else if (arg == "--") {
      optionsEnded = true;
    } else {
      return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), "export");
    }
  }
  if (ics == vdir) return CliUsageFail(CliText(u"CLI_EXPORT_FORMAT"), "export");
  if (vdir && targetGiven) return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(target)}), "export");
  if (target.empty() || (vdir && folderPath.empty())) {
    return CliUsageFail(CliText(u"CLI_BAD_OPTION", {u""}), "export");
  }
  const ExportTarget kind = vdir ? ExportTarget::File : KindOfTarget(target);
  if (kind == ExportTarget::Refused) {
    return CliFail(kExitStorage, CliText(u"CLI_EXPORT_NOT_A_FILE", {platform::FromUtf8(target)}));
  }

  FeskList& list = CommandList();
  platform::UniqueFd storage;
  if (const int failed = ReportLoad(OpenStorage(list, storage)); failed != kExitDone) return failed;
  std::string storageId;
  if ((storage.IsOpen() || stars || vdir) && !StorageIdentifier(list.m_szPath, storageId)) {
    return CliFail(kExitStorage, CliText(u"CLI_STORAGE_ID_FAILED", {platform::FromUtf8(StorageIdPath(list.m_szPath))}));
  }
  // A folder would lose the events of the damaged records: a damaged file is
  // found out by a first reading before anything is written there. A
  // calendar goes out only after its own reading found the file whole.
  if (vdir && !force && storage.IsOpen()) {
    FeskList::ScanResult scan;
    if (!list.ScanRecords(storage.Get(), [](const EntryRecord&) {}, &scan)) return ReportLoad(StorageLoad::Unreadable);
    if (scan.damaged != 0) return RefuseDamaged(scan.damaged);
  }
  const std::string appName = platform::ToUtf8(GetLocalTable().GetAppName());
  const std::u16string yearFormat = GetLocalTable().Get(u"CLI_ICS_SUMMARY_YEAR");
  bool unreadable = false;
  int damaged = 0;
  // The entries go to `take` as they are read, stars after them. The records
  // are read on this thread while another one hands their entries to `take`.
  // False when the file could not be read or, unless forced, lacks damaged
  // records.
  const auto forEachEntry = [&](const std::function<void(const FeskItem&)>& take) {
    const auto add = [&](const StorageItem& item) {
      if (const FeskItem* entry = AsEntry(&item); entry != nullptr && (stars || !entry->IsStar())) take(*entry);
    };
    if (storage.IsOpen()) {
      FeskList::ScanResult scan;
      bool readable = false;
      {
        ItemPipe pipe(add);
        readable = list.ScanAnyRevision(storage.Get(), [&pipe](std::unique_ptr<StorageItem>& item) { pipe.Push(item); },
                                        &scan);
      }
      if (!readable) {
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
    return true;
  };
  // The events of a folder, one filled anew for each entry.
  const auto forEachEvent = [&](const std::function<void(const IcsEvent&)>& put) {
    const CalendarDate today = Today();
    IcsEvent event;
    return forEachEntry([&](const FeskItem& entry) {
      FillEvent(entry, storageId, yearFormat, today, event);
      put(event);
    });
  };
  const std::string stamp = IcsUtcStamp(std::time(nullptr));
  const std::uint32_t displayNames = CurrentViewSettings().dwDisplayNames;
  const CalendarDate today = Today();
  const auto makeWriter = [&] { return EntryEventWriter(storageId, yearFormat, today, stamp, displayNames); };
  // The events of one calendar, written straight into text while the file
  // is read. What goes through a stream cannot be taken back: nothing goes
  // there before a reading found the file whole, a second one on a
  // descriptor of its own, alongside, unless forced. (A file is replaced
  // only once whole.) False when the file could not be read or, unless
  // forced, lacks damaged records; then none of its events reach the
  // calendar.
  const bool checkFirst = kind == ExportTarget::Stream && !force;
  const auto addEvents = [&](IcsCalendar& calendar) {
    if (storage.IsOpen()) {
      const platform::UniqueFd checked =
          checkFirst ? platform::OpenRegularFile("/proc/self/fd/" + std::to_string(storage.Get()), O_RDONLY)
                     : platform::UniqueFd();
      const auto check = [&](int fd) {
        FeskList::ScanResult scan;
        if (!list.CheckRecords(fd, &scan)) {
          unreadable = true;
          return false;
        }
        damaged = scan.damaged;
        return damaged == 0;
      };
      if (checkFirst && !checked.IsOpen() && !check(storage.Get())) return false;
      std::function<bool()> checkAlongside;
      if (checked.IsOpen()) checkAlongside = [&] { return check(checked.Get()); };
      // Two threads decode the records and write their events, which go
      // out in the file's order.
      const auto makeWork = [&] {
        return [writer = makeWriter(), record = EntryRecord(), aligned = std::vector<char16_t>()](
                   std::span<const FeskList::RecordPlace> places, IcsEventText& events, int& unended) mutable {
          KeptTexts odd;  // texts that lay at an odd address
          for (const FeskList::RecordPlace& place : places) {
            if (!FeskList::DecodeRecordPlace(place, record, aligned)) ++unended;
            if (!aligned.empty()) odd.Keep(record);
            writer.Append(record, events);
          }
        };
      };
      RecordPipeline<IcsEventText> batches(makeWork, checkAlongside, [&calendar](IcsEventText& events) {
        calendar.AddText(events.View());
        events.Clear();
      });
      FeskList::ScanResult scan;
      const FeskList::PieceSource pieces = [&batches] { return batches.NewPiece(); };
      const bool readable = list.ScanRecordPlaces(
          storage.Get(), pieces, [&batches](const FeskList::RecordPlace& place) { batches.Take(place); }, &scan);
      const bool handed = batches.End(readable && (scan.damaged == 0 || force));
      if (!readable) {
        unreadable = true;
        return false;
      }
      // Both readings are of the same file; this one has the last word, but
      // when it ended early its writers may not have seen every record.
      damaged = std::max(damaged, scan.damaged + batches.Damaged());
      if ((damaged != 0 && !force) || !handed) return false;
    }
    if (stars) {
      EntryEventWriter writer = makeWriter();
      IcsEventText text;
      std::u16string texts;
      list.LoadStars();
      for (const StorageItem& item : list) {
        if (const FeskItem* entry = AsEntry(&item); entry != nullptr) writer.Append(EntryRecordOf(*entry, texts), text);
      }
      calendar.AddText(text.View());
    }
    return true;
  };
  // A calendar that lacks damaged records is not finished unless forced, so
  // a file target is left as it was; through a stream, nothing goes out
  // before the file was read whole.
  const auto writeCalendar = [&](IcsCalendar::Sink sink) {
    IcsCalendar calendar(appName, stamp, std::move(sink));
    return addEvents(calendar) && calendar.Finish();
  };
  if (vdir) {
    bool given = false;
    const int code = ExportToFolder(folderPath, storageId, forEachEvent, given);
    if (unreadable) return ReportLoad(StorageLoad::Unreadable);
    if (damaged != 0 && !force) return RefuseDamaged(damaged);
    ReportDamage(damaged);
    return code;
  }
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
    } else if (!force && storage.IsOpen()) {
      // The calendar has nowhere to go; a damaged file is still told of first.
      FeskList::ScanResult scan;
      if (!list.ScanRecords(storage.Get(), [](const EntryRecord&) {}, &scan)) {
        unreadable = true;
      } else {
        damaged = scan.damaged;
      }
    }
  }
  if (unreadable) return ReportLoad(StorageLoad::Unreadable);
  if (damaged != 0 && !force) return RefuseDamaged(damaged);
  if (!written) return CliFail(kExitStorage, CliText(u"CLI_EXPORT_FAILED", {platform::FromUtf8(target)}));
  ReportDamage(damaged);
  return kExitDone;
}
