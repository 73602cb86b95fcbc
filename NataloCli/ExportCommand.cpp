// natalo export --ics [FILE|-] | --vdir DIR [--stars] [--force]: every entry
// as a yearly all-day event, in one calendar or in a folder of one file each.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <ctime>
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


// The events of the file's records, made while the file is read. The
// reading thread reads the file into a few pieces and notes where each
// record lies, in batches; two threads decode the batches and write their
// events; a fourth hands the events out in the file's order, once a reading
// of its own found the file whole (when it is asked to). A piece is read into
// again once every batch in it went out, and the memory of the events is
// used again.
class EventBatches {
 public:
  EventBatches(const std::function<EntryEventWriter()>& makeWriter, std::function<bool()> check,
               std::function<void(std::string_view)> put)
      : m_check(std::move(check)), m_put(std::move(put)) {
    for (std::size_t i = 0; i < kBatchesInHand; ++i) {
      m_spare.push_back(std::make_unique<IcsEventText>());
      m_spare.back()->Room(kBatchRecords * 512);
    }
    for (std::thread& writer : m_writers) writer = std::thread([this, makeWriter] { Write(makeWriter()); });
    m_putter = std::thread([this] { Put(); });
  }
  ~EventBatches() { End(false); }
  EventBatches(const EventBatches&) = delete;
  EventBatches& operator=(const EventBatches&) = delete;

  // A piece for the reading: the records of the last one go into batches of
  // their own. Waits while every piece holds records whose events did not
  // go out yet.
  std::uint8_t* NewPiece() {
    if (m_filling) Seal();
    std::unique_lock lock(m_mutex);
    if (m_reading >= 0) Release(static_cast<std::size_t>(m_reading));
    m_changed.wait(lock, [this] { return !m_free.empty() || m_pieces.size() < kPieces || m_abandoned; });
    if (m_abandoned && m_free.empty() && m_pieces.size() == kPieces) {
      // Nothing is written any more: the reading goes on in the same piece.
      ++m_uses[static_cast<std::size_t>(m_reading)];
      return m_pieces[static_cast<std::size_t>(m_reading)].get();
    }
    if (m_free.empty()) {
      m_pieces.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(FeskList::kRecordPieceBytes));
      m_uses.push_back(0);
      m_free.push_back(m_pieces.size() - 1);
    }
    m_reading = static_cast<int>(m_free.back());
    m_free.pop_back();
    m_uses[static_cast<std::size_t>(m_reading)] = 1;  // the reading's own
    return m_pieces[static_cast<std::size_t>(m_reading)].get();
  }

  // A record of the reading, in the piece it last asked for.
  void Take(const FeskList::RecordPlace& place) {
    if (!m_filling) {
      m_filling = std::make_unique<Batch>();
      m_filling->places.reserve(kBatchRecords);
    }
    m_filling->places.push_back(place);
    if (m_filling->places.size() == kBatchRecords) Seal();
  }

  // The reading ended; the events go out when `whole`. Waits until all went
  // out; false when they did not (the own reading found the file damaged).
  bool End(bool whole) {
    if (m_putter.joinable()) {
      if (m_filling) Seal();
      {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
        if (!whole) m_abandoned = true;
        m_changed.notify_all();
      }
      for (std::thread& writer : m_writers) writer.join();
      m_putter.join();
    }
    return !m_abandoned;
  }
  // The records whose texts did not end, once ended.
  int Damaged() const { return m_damaged; }

 private:
  static constexpr std::size_t kBatchRecords = 1024;
  // Batches written and not yet handed out, at most.
  static constexpr std::size_t kBatchesInHand = 4;
  // Pieces of the file in hand, at most: about 3 MiB.
  static constexpr std::size_t kPieces = 3;

  struct Batch {
    std::vector<FeskList::RecordPlace> places;
    std::size_t piece = 0;
    std::unique_ptr<IcsEventText> events;
    bool written = false;
  };

  void Seal() {
    const std::lock_guard lock(m_mutex);
    if (m_abandoned) {
      m_filling.reset();
      return;
    }
    m_filling->piece = static_cast<std::size_t>(m_reading);
    ++m_uses[m_filling->piece];
    m_batches.push_back(std::move(m_filling));
    m_changed.notify_all();
  }

  // One use of a piece less; the piece is free with none left. Under the lock.
  void Release(std::size_t piece) {
    if (--m_uses[piece] == 0) {
      m_free.push_back(piece);
      m_changed.notify_all();
    }
  }

  void Write(EntryEventWriter writer) {
    EntryRecord record;
    std::vector<char16_t> aligned;
    KeptTexts odd;  // texts that lay at an odd address
    std::unique_lock lock(m_mutex);
    for (;;) {
      m_changed.wait(lock, [this] {
        return (m_claimed < m_batches.size() && m_claimed - m_putCount < kBatchesInHand) ||
               (m_ended && m_claimed == m_batches.size()) || m_abandoned;
      });
      if (m_abandoned || m_claimed == m_batches.size()) return;
      Batch& batch = *m_batches[m_claimed++];
      std::unique_ptr<IcsEventText> events = std::move(m_spare.back());
      m_spare.pop_back();
      lock.unlock();
      int damaged = 0;
      for (const FeskList::RecordPlace& place : batch.places) {
        if (!FeskList::DecodeRecordPlace(place, record, aligned)) ++damaged;
        if (!aligned.empty()) odd.Keep(record);
        writer.Append(record, *events);
      }
      odd = KeptTexts();
      lock.lock();
      m_damaged += damaged;
      batch.events = std::move(events);
      batch.written = true;
      m_changed.notify_all();
    }
  }

  void Put() {
    if (m_check && !m_check()) {
      const std::lock_guard lock(m_mutex);
      m_abandoned = true;
      m_changed.notify_all();
      return;
    }
    std::unique_lock lock(m_mutex);
    for (;;) {
      m_changed.wait(lock, [this] {
        return (m_putCount < m_batches.size() && m_batches[m_putCount]->written) ||
               (m_ended && m_putCount == m_batches.size()) || m_abandoned;
      });
      if (m_abandoned || m_putCount == m_batches.size()) return;
      std::unique_ptr<Batch> batch = std::move(m_batches[m_putCount]);
      lock.unlock();
      m_put(batch->events->View());
      batch->events->Clear();
      lock.lock();
      m_spare.push_back(std::move(batch->events));
      Release(batch->piece);
      ++m_putCount;
      m_changed.notify_all();
    }
  }

  std::function<bool()> m_check;
  std::function<void(std::string_view)> m_put;
  std::unique_ptr<Batch> m_filling;  // the reading thread's
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<std::unique_ptr<std::uint8_t[]>> m_pieces;
  std::vector<int> m_uses;          // of each piece: its batches not yet handed out, and the reading
  std::vector<std::size_t> m_free;  // pieces without a use
  int m_reading = -1;               // the piece the reading reads into
  std::vector<std::unique_ptr<Batch>> m_batches;  // sealed, in order; empty once put
  std::size_t m_claimed = 0;   // batches whose events are or were being written
  std::size_t m_putCount = 0;  // batches handed out
  int m_damaged = 0;
  std::vector<std::unique_ptr<IcsEventText>> m_spare;
  bool m_ended = false;
  bool m_abandoned = false;
  std::thread m_writers[2];
  std::thread m_putter;
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
      EventBatches batches(makeWriter, checkAlongside, [&calendar](std::string_view text) { calendar.AddText(text); });
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
