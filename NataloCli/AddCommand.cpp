// natalo add birthday|anniversary|other NAME... DATE [--note TEXT] [--no-reminder]
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/EngineAccess.h"
#include "NataloCli/EntryFacts.h"
#include "common/entries/EntryMatching.h"
#include "common/entries/EntryStrings.h"
#include "common/entries/EntryReminder.h"
#include "common/settings/AppSettings.h"
#include "common/store/StorageCopy.h"
#include "common/store/StorageMutexName.h"
#include "common/store/StorageSync.h"
#include "platform/folder/DataFolder.h"
#include "platform/file/FileIo.h"
#include "platform/sync/NamedEvent.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

namespace {

// The most characters the editors' fields take.
constexpr std::size_t kMaxPersonNameChars = 120;
constexpr std::size_t kMaxNameChars = 250;
constexpr std::size_t kMaxNoteChars = 1024;

// C0 controls, DEL and the C1 controls U+0080..U+009F, which would reach a
// terminal or a calendar as they are.
bool HasControlCharacter(std::u16string_view text, bool lineFeedAllowed) {
  return std::any_of(text.begin(), text.end(), [&](char16_t c) {
    return (c < 0x20 && !(lineFeedAllowed && c == u'\n')) || (c >= 0x7F && c <= 0x9F);
  });
}

struct AddRequest {
  std::uint16_t kind = Birthday;
  std::vector<std::u16string> words;
  CalendarDate date;
  std::u16string note;
  bool reminder = true;
};

// The request from the arguments; an exit code other than kExitDone when they are wrong.
int ParseAddRequest(const CliArgs& args, AddRequest& request) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--note" && i + 1 < args.size()) {
      request.note = platform::FromUtf8(args[++i]);
    } else if (arg == "--no-reminder") {
      request.reminder = false;
    } else if (arg == "--") {
      positional.insert(positional.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), "add");
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() < 3) return CliUsageFail(CliText(u"CLI_ADD_USAGE"), "add");
  if (!ParseKindWord(positional.front(), request.kind)) {
    return CliUsageFail(CliText(u"CLI_BAD_KIND", {platform::FromUtf8(positional.front())}), "add");
  }
  if (!ParseIsoDate(positional.back(), request.date)) {
    return CliUsageFail(CliText(u"CLI_BAD_DATE", {platform::FromUtf8(positional.back())}), "add");
  }
  for (std::size_t i = 1; i + 1 < positional.size(); ++i) {
    std::u16string word = platform::FromUtf8(positional[i]);
    if (HasControlCharacter(word, false)) return CliUsageFail(CliText(u"CLI_BAD_NAME"), "add");
    word.erase(0, word.find_first_not_of(u' '));
    word.erase(word.find_last_not_of(u' ') + 1);
    if (!word.empty()) request.words.push_back(std::move(word));
  }
  if (HasControlCharacter(request.note, true)) return CliUsageFail(CliText(u"CLI_BAD_NOTE"), "add");
  if (request.note.size() > kMaxNoteChars) return CliUsageFail(CliText(u"CLI_TOO_LONG"), "add");
  return kExitDone;
}

std::u16string JoinWords(const std::vector<std::u16string>& words, std::size_t from, std::size_t to) {
  std::u16string out;
  for (std::size_t i = from; i < to; ++i) out += (out.empty() ? u"" : u" ") + words[i];
  return out;
}

// The new entry as the editors make it; an exit code other than kExitDone
// when it fails their checks.
int BuildEntry(const AddRequest& request, FeskItem& entry) {
  if (request.words.empty()) {
    const char16_t* key = request.kind == Birthday      ? u"MSG_BIRTHDAY_NAMES_EMPTY"
                          : request.kind == Anniversary ? u"MSG_ANNIVERSARY_NAME_EMPTY"
                                                        : u"MSG_OTHERDATE_NAME_EMPTY";
    return CliUsageFail(CliText(key), "add");
  }
  if (request.kind == Birthday) {
    // The last word is the last name; a single word is a first name.
    const std::size_t split = request.words.size() == 1 ? 1 : request.words.size() - 1;
    entry.m_szFirstName = JoinWords(request.words, 0, split);
    entry.m_szLastName = JoinWords(request.words, split, request.words.size());
    if (entry.m_szFirstName.size() > kMaxPersonNameChars || entry.m_szLastName.size() > kMaxPersonNameChars) {
      return CliUsageFail(CliText(u"CLI_TOO_LONG"), "add");
    }
  } else {
    entry.m_szName = JoinWords(request.words, 0, request.words.size());
    if (entry.m_szName.size() > kMaxNameChars) return CliUsageFail(CliText(u"CLI_TOO_LONG"), "add");
  }
  // Birthdays and anniversaries lie in the past or today; other dates may lie ahead.
  if (request.kind != OtherDate && DayNumber(request.date) > DayNumber(Today())) {
    return CliUsageFail(CliText(u"MSG_WRONG_DATE"), "add");
  }
  platform::SystemTime st{};
  st.wYear = static_cast<std::uint16_t>(request.date.year);
  st.wMonth = static_cast<std::uint16_t>(request.date.month);
  st.wDay = static_cast<std::uint16_t>(request.date.day);
  st.wHour = static_cast<std::uint16_t>(g_settings.g_wReminderTime >> 8);
  st.wMinute = static_cast<std::uint16_t>(g_settings.g_wReminderTime & 0xFF);
  if (!platform::SystemTimeToFileTime(st, entry.m_ftDate)) return CliUsageFail(CliText(u"CLI_BAD_DATE", {u""}), "add");
  entry.m_szNote = request.note;
  entry.m_dwIcon = DefaultIconOfKind(request.kind);
  entry.m_bEnabled = request.reminder ? 1 : 0;
  ApplyDefaultReminder(entry);
  return kExitDone;
}

// Loads storage.dat for the save that follows, the caller holding the storage
// mutex; a missing or empty file is an empty list. A file of an older
// revision is upgraded as the application's start does, its texts cut to
// fit; `oldRevision` then receives its revision, else 0.
int LoadForSaving(FeskList& list, std::uint32_t& oldRevision) {
  list.Clear();
  list.m_nNextUID = 1;
  oldRevision = 0;
  struct stat info {};
  if (stat(list.m_szPath.c_str(), &info) != 0) return errno == ENOENT ? kExitDone : ReportLoad(StorageLoad::Unreadable);
  if (S_ISREG(info.st_mode) && info.st_size == 0) return kExitDone;
  const platform::UniqueFd storage = platform::OpenRegularFile(list.m_szPath, O_RDONLY);
  FeskList::ScanResult scan;
  const bool read = storage.IsOpen() && list.ScanAnyRevision(storage.Get(), [&list](std::unique_ptr<StorageItem>& item) {
    if (FeskItem* entry = AsEntry(item.get())) {
      item.release();
      list.AppendLoaded(std::unique_ptr<FeskItem>(entry));
    }
  }, &scan);
  // A save would drop the records that could not be read.
  if (!read || scan.damaged != 0) return ReportLoad(StorageLoad::Unreadable);
  if (FeskList::IsOldRevision(scan.revision)) {
    oldRevision = scan.revision & 0xFFFF;
    for (StorageItem& item : list) FitStringsToRecord(*AsEntry(&item));
  }
  return kExitDone;
}

enum class Application { NotRunning, Running, Starting };

// Whether the application runs and listens for changes. One that holds its
// single-instance rule but does not listen yet is starting (it may already
// have read storage.dat) or closing; either is over soon.
Application FindApplication() {
  if (platform::NamedEvent::Open(kStorageChangedEvent)) return Application::Running;
  bool existed = false;
  const auto instance = platform::NamedMutex::Create(u"Natalo_Instance_Mutex", &existed);
  return existed ? Application::Starting : Application::NotRunning;
}

// How often a wait for a starting application looks again.
constexpr auto kStartingProbe = std::chrono::milliseconds(50);
// How long a running application is given to answer the notice of a new entry.
constexpr std::uint32_t kApplicationReplyMs = 2000;

}  // namespace

int RunAdd(const CliArgs& args) {
  if (std::find(args.begin(), args.end(), "--help") != args.end()) return ShowHelp("add");
  AddRequest request;
  if (const int failed = ParseAddRequest(args, request); failed != kExitDone) return failed;
  auto entry = std::make_unique<FeskItem>(request.kind);
  if (const int failed = BuildEntry(request, *entry); failed != kExitDone) return failed;
  FeskList& list = CommandList();
  const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(list.m_szPath)));
  if (!mutex) return ReportLoad(StorageLoad::Locked);
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(StorageLockTimeout());
  for (bool again = false;; again = true) {
    // A starting application gets time to come up, without the mutex held.
    if (again) std::this_thread::sleep_for(kStartingProbe);
    // Load, check, save and tell the application under one hold of the
    // storage mutex, so that no other program's save falls between them.
    const platform::NamedMutexLock lock(*mutex, StorageLockTimeout());
    if (!lock.Acquired()) return ReportLoad(StorageLoad::Locked);
    std::uint32_t oldRevision = 0;
    if (const int failed = LoadForSaving(list, oldRevision); failed != kExitDone) return failed;
    std::int32_t uid = 0;
    const FeskItem* match = nullptr;
    if (request.kind != OtherDate && FindMatchingEntry(list, *entry, request.kind, &uid, &match) && match != nullptr) {
      const std::u16string key = request.kind == Birthday ? u"MSG_DUPLICATE_BIRTHDAY" : u"MSG_DUPLICATE_ANNIVERSARY";
      return CliFail(kExitNothingFound, CliText(key) + " " +
                                            CliText(u"CLI_EXISTING_ENTRY", {match->GetDisplayName(),
                                                                            platform::FromUtf8(std::to_string(uid))}));
    }
    const Application application = FindApplication();
    if (application == Application::Starting) {
      // It may have read the file before this save and would not hear of it.
      if (std::chrono::steady_clock::now() >= giveUp) return CliFail(kExitStorage, CliText(u"CLI_APP_RUNNING"));
      continue;
    }
    // The upgrade rewrites an older file: the file as it was stays beside it,
    // or nothing is saved.
    if (oldRevision != 0 && KeepCopyBeside(list.m_szPath, "rev" + std::to_string(oldRevision), true).empty()) {
      return CliFail(kExitStorage, CliText(u"CLI_SAVE_FAILED"));
    }
    StorageItem* added = list.Add(std::move(entry));
    if (!list.Save()) return CliFail(kExitStorage, CliText(u"CLI_SAVE_FAILED"));
    const FeskItem* saved = AsEntry(added);
    // The notice only makes the list show the entry sooner (the
    // application's next save keeps entries it has not seen), so a stopped
    // application holds the file and the caller up for a moment at most.
    if (application == Application::Running &&
        NotifyApplication(platform::GetDataFolder(), {saved->m_nUID, StorageChange::EntryAdded},
                          std::min(StorageLockTimeout(), kApplicationReplyMs)) == NotifyResult::Failed) {
      // The application would write its list over the entry it never heard of.
      list.Remove(added);
      list.Save();
      return CliFail(kExitStorage, CliText(u"CLI_APP_RUNNING"));
    }
    if (!WriteStdout(CliText(u"CLI_ADDED", {saved->GetDisplayName(), platform::FromUtf8(std::to_string(saved->m_nUID))}) +
                     "\n")) {
      // The entry is saved; only the confirmation was lost.
    }
    break;
  }
  EngineAccess engine;
  if (!engine.Load()) return CliFail(kExitDone, CliText(u"CLI_NO_ENGINE"));
  engine.CalculateEventsAndWait();
  return kExitDone;
}
