#pragma once
// What every sub-command of the command line shares: the exit codes, the
// texts of local.dat, the program's settings and the entry list read from
// storage.dat under the storage mutex.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/entries/FeskList.h"
#include "platform/file/UniqueFd.h"

enum CliExit : int {
  kExitDone = 0,
  kExitNothingFound = 1,
  kExitBadUsage = 2,
  kExitStorage = 3,  // storage locked or unreadable, or output that could not be written
};

// The text of a local.dat key in UTF-8, filled with `args` for its %s.
std::string CliText(std::u16string_view key, std::initializer_list<std::u16string_view> args = {});
// Writes "natalo: <text>" and a line end to standard error; returns `code`.
int CliFail(int code, const std::string& text);
// A bad-usage failure: the text, then a hint to the command's help.
int CliUsageFail(const std::string& text, std::string_view command);

// Loads local.dat; for a command (not for the help, which reads only texts)
// also makes the data folder ready (an older install's dates moved into it)
// and loads the locale's pictures and the settings. False (with a message
// written) when local.dat cannot be read or the data folder not used.
bool StartCliSession(bool forCommand = true);

// How long a command waits for the storage mutex: NATALO_LOCK_TIMEOUT_MS,
// else 10 seconds.
std::uint32_t StorageLockTimeout();

// The entry list of this run. It lives until the process ends, which does
// not take a hundred thousand entries apart one by one (see main).
FeskList& CommandList();

enum class StorageLoad { Loaded, Missing, Locked, Unreadable };
// Reads storage.dat while holding the storage mutex, handing each entry to
// `visit` (FeskList::ScanAnyRevision): a file of an older revision is read as
// well, and never rewritten. A missing or empty file gives no entries;
// nothing is ever written. `damaged` receives the number of records that
// could not be read whole (FeskList::ScanResult).
StorageLoad ScanEntries(const FeskList& list, const StorageList::ItemVisitor& visit, int* damaged = nullptr);
// As ScanEntries, with each entry as a record whose texts last during its visit only.
StorageLoad ScanEntryRecords(const FeskList& list, const FeskList::RecordVisitor& visit, int* damaged = nullptr);
// As ScanEntries, and keeps the file open in `storage` for RescanEntries: the
// second reading sees the same file, since saves replace it as a whole.
StorageLoad ScanEntries(const FeskList& list, const StorageList::ItemVisitor& visit, int* damaged,
                        platform::UniqueFd& storage);
// Reads the file kept by ScanEntries again, from its start, under the storage
// mutex. Loaded, or Locked/Unreadable when that fails.
StorageLoad RescanEntries(const FeskList& list, int storage, const StorageList::ItemVisitor& visit);
// Opens storage.dat under the storage mutex, checked as ScanEntries does; a
// missing or empty file leaves `storage` closed. Reading it after the mutex
// is released still gives the file as it was: saves replace it as a whole,
// and only the reminder state of an entry is ever written into it in place.
StorageLoad OpenStorage(const FeskList& list, platform::UniqueFd& storage);
// The exit for a failed load, with its message written; kExitDone when loaded.
int ReportLoad(StorageLoad result);
// Says on standard error that the storage file is damaged and how many of its
// records were skipped or read in part; nothing when `damaged` is 0.
void ReportDamage(int damaged);

// Writes bytes to standard output; false (and a message) when that fails,
// say because it was closed.
bool WriteStdout(std::string_view bytes);

// Parses a whole decimal number in [min, max].
bool ParseNumber(std::string_view text, long min, long max, long& out);
