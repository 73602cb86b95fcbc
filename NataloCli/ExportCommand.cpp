// natalo export --ics [FILE|-] | --vdir DIR [--stars] [--force]: every entry
// as a yearly all-day event, in one calendar or in a folder of one file each.
#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/ItemPipe.h"
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


// Reads the file's records from a descriptor of its own; as ScanAnyRevision.
using RecordScan = std::function<bool(int fd, const std::function<void(const EntryRecord&)>& visit,
                                      FeskList::ScanResult* result)>;

// The events of the file's records, made on a thread for each descriptor:
// each thread reads the whole file and writes the events of its share of the
// blocks of records (every second one for two threads). The blocks are
// handed out in the file's order; a thread runs a few blocks ahead at most.
class EventBlocks {
 public:
  EventBlocks(const RecordScan& scan, const std::vector<int>& fds, const std::function<EntryEventWriter()>& makeWriter,
              bool stars)
      : m_scan(scan), m_makeWriter(makeWriter), m_stars(stars), m_threads(fds.size()) {
    for (std::size_t i = 0; i < fds.size(); ++i) m_threads[i].thread = std::thread([this, i, fd = fds[i]] { Run(i, fd); });
  }
  ~EventBlocks() {
    Abandon();
    for (Thread& thread : m_threads) {
      if (thread.thread.joinable()) thread.thread.join();
    }
  }
  EventBlocks(const EventBlocks&) = delete;
  EventBlocks& operator=(const EventBlocks&) = delete;

  // The next block's events; false after the last block.
  bool Next(std::string_view& text) {
    std::unique_lock lock(m_mutex);
    if (m_handed) {
      Thread& last = m_threads[(m_next - 1) % m_threads.size()];
      last.spare.push_back(std::move(m_handedText));
      m_handed = false;
      m_changed.notify_all();
    }
    Thread& thread = m_threads[m_next % m_threads.size()];
    m_changed.wait(lock, [&thread] { return !thread.full.empty() || thread.ended; });
    if (thread.full.empty()) return false;
    m_handedText = std::move(thread.full.front());
    text = m_handedText.View();
    thread.full.pop_front();
    m_handed = true;
    ++m_next;
    m_changed.notify_all();
    return true;
  }

  // The threads write no more events, and wait for nobody.
  void Abandon() {
    const std::lock_guard lock(m_mutex);
    m_abandoned = true;
    m_changed.notify_all();
  }

  // Waits for the threads to end; false when the first could not read the
  // file. Every thread reads the same file, so the first one's reading stands
  // for all of them.
  bool Finish(FeskList::ScanResult& scan) {
    for (Thread& thread : m_threads) thread.thread.join();
    scan = m_threads.front().scan;
    bool readable = true;
    for (const Thread& thread : m_threads) readable = readable && thread.readable;
    return readable;
  }

 private:
  static constexpr std::size_t kBlockEvents = 1024;
  static constexpr std::size_t kBlocksAhead = 8;

  struct Thread {
    std::deque<IcsEventText> full;
    std::vector<IcsEventText> spare;
    bool ended = false;
    bool readable = false;
    FeskList::ScanResult scan;
    std::thread thread;
  };

  IcsEventText Spare(Thread& thread) {
    const std::lock_guard lock(m_mutex);
    if (thread.spare.empty()) return {};
    IcsEventText text = std::move(thread.spare.back());
    thread.spare.pop_back();
    text.Clear();
    return text;
  }

  void Push(Thread& thread, IcsEventText& text) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return thread.full.size() < kBlocksAhead || m_abandoned; });
    thread.full.push_back(std::move(text));
    m_changed.notify_all();
  }

  void Run(std::size_t index, int fd) {
    Thread& thread = m_threads[index];
    EntryEventWriter writer = m_makeWriter();
    IcsEventText text = Spare(thread);
    std::size_t events = 0;  // of every thread
    const std::size_t threads = m_threads.size();
    thread.readable = m_scan(fd, [&](const EntryRecord& record) {
      if (record.star && !m_stars) return;
      if (events++ / kBlockEvents % threads != index || m_abandoned.load(std::memory_order_relaxed)) return;
      writer.Append(record, text);
      if (events % kBlockEvents == 0) {
        Push(thread, text);
        text = Spare(thread);
      }
    }, &thread.scan);
    // The last block, when it is not whole and falls to this thread.
    if (events % kBlockEvents != 0 && events / kBlockEvents % threads == index) Push(thread, text);
    const std::lock_guard lock(m_mutex);
    thread.ended = true;
    m_changed.notify_all();
  }

  RecordScan m_scan;
  std::function<EntryEventWriter()> m_makeWriter;
  bool m_stars;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<Thread> m_threads;
  std::atomic<bool> m_abandoned{false};
  std::size_t m_next = 0;  // the block Next hands out next
  IcsEventText m_handedText;
  bool m_handed = false;
};

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
  // What goes through a stream cannot be taken back, and a folder would lose
  // the events of the damaged records: a damaged file is found out by a
  // first reading before anything is written there. A stream's calendar is
  // made meanwhile when the file can be read twice at once (see writeStream).
  platform::UniqueFd checked;
  if ((kind == ExportTarget::Stream || vdir) && !force && storage.IsOpen()) {
    if (!vdir) checked = platform::OpenRegularFile("/proc/self/fd/" + std::to_string(storage.Get()), O_RDONLY);
    FeskList::ScanResult scan;
    if (!checked.IsOpen() && !list.ScanAnyRevision(storage.Get(), [](std::unique_ptr<StorageItem>&) {}, &scan)) {
      return ReportLoad(StorageLoad::Unreadable);
    }
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
  const RecordScan scanRecords = [&list](int fd, const std::function<void(const EntryRecord&)>& visit,
                                         FeskList::ScanResult* result) {
    return list.ScanAnyRevision(fd, [&visit](std::unique_ptr<StorageItem>& item) {
      if (const FeskItem* entry = AsEntry(item.get()); entry != nullptr) visit(EntryRecordOf(*entry));
    }, result);
  };
  // The events of one calendar, written straight into text by two threads
  // when the file can be read twice at once. `check`, when given, reads the
  // file meanwhile and says whether it is whole, before anything goes to the
  // calendar. False when the file could not be read or, unless forced, lacks
  // damaged records.
  const auto addEvents = [&](IcsCalendar& calendar, const std::function<bool()>& check) {
    if (storage.IsOpen()) {
      std::vector<int> fds{storage.Get()};
      platform::UniqueFd second = platform::OpenRegularFile("/proc/self/fd/" + std::to_string(storage.Get()), O_RDONLY);
      if (second.IsOpen()) fds.push_back(second.Get());
      EventBlocks blocks(scanRecords, fds, makeWriter, stars);
      if (check && !check()) return false;  // the blocks are abandoned
      for (std::string_view text; blocks.Next(text);) calendar.AddText(text);
      FeskList::ScanResult scan;
      if (!blocks.Finish(scan)) {
        unreadable = true;
        return false;
      }
      damaged = scan.damaged;
      if (damaged != 0 && !force) return false;
    }
    if (stars) {
      EntryEventWriter writer = makeWriter();
      IcsEventText text;
      list.LoadStars();
      for (const StorageItem& item : list) {
        if (const FeskItem* entry = AsEntry(&item); entry != nullptr) writer.Append(EntryRecordOf(*entry), text);
      }
      calendar.AddText(text.View());
    }
    return true;
  };
  // A calendar that lacks damaged records is not finished unless forced, so
  // a file target is left as it was.
  const auto writeCalendar = [&](IcsCalendar::Sink sink) {
    IcsCalendar calendar(appName, stamp, std::move(sink));
    return addEvents(calendar, nullptr) && calendar.Finish();
  };
  // Through a stream, after a reading of its own found the file whole: none
  // of the calendar goes out before. The events are made meanwhile.
  const auto writeStream = [&](const IcsCalendar::Sink& sink) {
    if (!checked.IsOpen()) return writeCalendar(sink);
    IcsCalendar calendar(appName, stamp, sink);
    const auto check = [&] {
      FeskList::ScanResult scan;
      if (!scanRecords(checked.Get(), [](const EntryRecord&) {}, &scan)) {
        unreadable = true;
        return false;
      }
      damaged = scan.damaged;
      return damaged == 0;
    };
    return addEvents(calendar, check) && calendar.Finish();
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
    written = writeStream(WriteStdout);
    if (!written && !unreadable && (damaged == 0 || force)) return kExitStorage;  // WriteStdout said why
  } else {
    // No O_CREAT: the pipe or device must still be the one looked at.
    const platform::UniqueFd stream(open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (stream.IsOpen() && fstat(stream.Get(), &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode))) {
      written = writeStream([&stream](std::string_view piece) { return platform::WriteAll(stream.Get(), piece); });
    } else if (checked.IsOpen()) {
      // The calendar has nowhere to go; a damaged file is still told of first.
      FeskList::ScanResult scan;
      if (!list.ScanAnyRevision(checked.Get(), [](std::unique_ptr<StorageItem>&) {}, &scan)) {
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
