#pragma once
// The kept calendar folder (setting Export\CalendarFolder): after every save
// of storage.dat, by the application or the command line, the folder is
// brought up to date with the file as it is then, one calendar file per
// entry (CalendarFolder.h). Whoever exports last exports the newest file, so
// exports that overlap never leave an older list behind.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "common/entries/EntrySettings.h"

struct KeptCalendarJob {
  std::string folder;
  std::string storagePath;
  std::u16string yearFormat;  // FillEvent's
  EntryReminderDefaults defaults;
  std::uint32_t lockTimeoutMs = 10'000;
};

enum class KeptCalendarResult {
  Done,
  NotAFolder,  // the setting names a file, a link or the like
  StorageUnreadable,  // locked, unreadable or damaged: no event was removed
  Failed,  // the folder or a file in it could not be written (errno)
};

// Brings the folder up to date with storage.dat (a missing file holds no
// entries). Never changes storage.dat, apart from making its identifier.
KeptCalendarResult ExportKeptCalendar(const KeptCalendarJob& job);

// Runs the exports on a thread of its own, so that a save never waits for
// one: a request made while an export runs follows it, and of several such
// requests only the last. Failures are logged.
class KeptCalendarWorker {
 public:
  KeptCalendarWorker() = default;
  // Finishes the running export and the one waiting.
  ~KeptCalendarWorker();
  KeptCalendarWorker(const KeptCalendarWorker&) = delete;
  KeptCalendarWorker& operator=(const KeptCalendarWorker&) = delete;

  void Request(KeptCalendarJob job);

 private:
  void Run();

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::optional<KeptCalendarJob> m_waiting;
  bool m_stop = false;
  std::thread m_thread;
};
