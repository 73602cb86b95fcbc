#include "NataloCli/CliSession.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <unordered_map>

#include "common/entries/EntryTexts.h"
#include "common/entries/TextFormat.h"
#include "common/settings/AppSettings.h"
#include "common/store/StorageMove.h"
#include "common/store/StorageMutexName.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"
#include "common/text/ProgramFolder.h"
#include "platform/file/FileIo.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

std::string CliText(std::u16string_view key, std::initializer_list<std::u16string_view> args) {
  // A listing writes a few texts for each of thousands of lines; the table is
  // searched once per key.
  static std::unordered_map<std::u16string, std::u16string> found;
  auto it = found.find(std::u16string(key));
  if (it == found.end()) it = found.emplace(key, GetLocalTable().Get(key)).first;
  return platform::ToUtf8(FormatText(it->second, args));
}

int CliFail(int code, const std::string& text) {
  std::cerr << "natalo: " << text << '\n';
  return code;
}

int CliUsageFail(const std::string& text, std::string_view command) {
  std::cerr << "natalo: " << text << '\n'
            << CliText(u"CLI_SEE_HELP", {platform::FromUtf8(command.empty() ? std::string("natalo")
                                                                            : "natalo " + std::string(command))})
            << '\n';
  return kExitBadUsage;
}

bool StartCliSession(bool forCommand) {
  if (!GetLocalTable().Load()) {
    std::cerr << "natalo: Can't find resource file!\n";
    return false;
  }
  if (!forCommand) return true;
  std::string message;
  const bool usable = !PrepareDataFolder(platform::ToUtf8(GetProgramFolder()), message).empty();
  ReportDataFolderMessage(message);
  if (!usable) return false;
  InitLocalePatterns();
  LoadViewSettings(g_settings);
  LoadReminderSettings(g_settings);
  LoadExportSettings(g_settings);
  return true;
}

std::uint32_t StorageLockTimeout() {
  long ms = 0;
  if (const char* text = std::getenv("NATALO_LOCK_TIMEOUT_MS"); text != nullptr && ParseNumber(text, 0, 600'000, ms)) {
    return static_cast<std::uint32_t>(ms);
  }
  return 10'000;
}

FeskList& CommandList() {
  static FeskList list;
  return list;
}

namespace {

// Runs `read` under the storage mutex of `path`: a missing or empty file is
// Missing and is not read.
template <typename Read>
StorageLoad ReadStorage(const std::string& path, Read read) {
  const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(path)));
  if (!mutex) return StorageLoad::Locked;
  const platform::NamedMutexLock lock(*mutex, StorageLockTimeout());
  if (!lock.Acquired()) return StorageLoad::Locked;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return errno == ENOENT ? StorageLoad::Missing : StorageLoad::Unreadable;
  if (S_ISREG(info.st_mode) && info.st_size == 0) return StorageLoad::Missing;
  return read() ? StorageLoad::Loaded : StorageLoad::Unreadable;
}

}  // namespace

StorageLoad ScanEntries(const FeskList& list, const StorageList::ItemVisitor& visit, int* damaged) {
  platform::UniqueFd storage;
  return ScanEntries(list, visit, damaged, storage);
}

StorageLoad ScanEntries(const FeskList& list, const StorageList::ItemVisitor& visit, int* damaged,
                        platform::UniqueFd& storage) {
  FeskList::ScanResult scan;
  const StorageLoad load = ReadStorage(list.m_szPath, [&] {
    storage = platform::OpenRegularFile(list.m_szPath, O_RDONLY);
    return storage.IsOpen() && list.ScanAnyRevision(storage.Get(), visit, &scan);
  });
  if (damaged) *damaged = scan.damaged;
  return load;
}

StorageLoad ScanEntryRecords(const FeskList& list, const FeskList::RecordVisitor& visit, int* damaged) {
  FeskList::ScanResult scan;
  const StorageLoad load = ReadStorage(list.m_szPath, [&] {
    const platform::UniqueFd storage = platform::OpenRegularFile(list.m_szPath, O_RDONLY);
    return storage.IsOpen() && list.ScanRecords(storage.Get(), visit, &scan);
  });
  if (damaged) *damaged = scan.damaged;
  return load;
}

StorageLoad RescanEntries(const FeskList& list, int storage, const StorageList::ItemVisitor& visit) {
  const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(list.m_szPath)));
  if (!mutex) return StorageLoad::Locked;
  const platform::NamedMutexLock lock(*mutex, StorageLockTimeout());
  if (!lock.Acquired()) return StorageLoad::Locked;
  return list.ScanAnyRevision(storage, visit) ? StorageLoad::Loaded : StorageLoad::Unreadable;
}

StorageLoad OpenStorage(const FeskList& list, platform::UniqueFd& storage) {
  return ReadStorage(list.m_szPath, [&] {
    storage = platform::OpenRegularFile(list.m_szPath, O_RDONLY);
    return storage.IsOpen();
  });
}

int ReportLoad(StorageLoad result) {
  switch (result) {
    case StorageLoad::Loaded:
    case StorageLoad::Missing: return kExitDone;
    case StorageLoad::Locked: return CliFail(kExitStorage, CliText(u"CLI_STORAGE_LOCKED"));
    case StorageLoad::Unreadable: break;
  }
  return CliFail(kExitStorage, CliText(u"CLI_STORAGE_UNREADABLE"));
}

void ReportDamage(int damaged) {
  if (damaged == 0) return;
  const std::u16string count = platform::FromUtf8(std::to_string(damaged));
  CliFail(kExitDone, platform::ToUtf8(FormatCountedText(u"CLI_STORAGE_DAMAGED", u"", count, {count})));
}

bool WriteStdout(std::string_view bytes) {
  if (platform::WriteAll(STDOUT_FILENO, bytes)) return true;
  CliFail(kExitStorage, CliText(u"CLI_OUTPUT_FAILED"));
  return false;
}

bool ParseNumber(std::string_view text, long min, long max, long& out) {
  if (text.empty() || text.size() > 9) return false;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < min || value > max) return false;
  out = value;
  return true;
}
