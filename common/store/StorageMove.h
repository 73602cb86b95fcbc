#pragma once
// The data folder as every program and the engine start with it, and the one
// move of an older install's storage.dat from the program folder into it.
#include <cstdint>
#include <string>

enum class StorageMove {
  NotNeeded,     // the data folder has storage.dat, the program folder has none, or they are one folder
  Moved,         // copied, made durable, read back equal; the old file is gone
  MovedOldKept,  // the same, but the old file could not be removed: it stays, unused
  NotMoved,      // the old storage.dat is no regular file: there are no dates to move; it stays
  Failed,        // nothing moved (locked, unreadable, no room): the old file stays as it was
};

struct StorageMoveResult {
  StorageMove outcome = StorageMove::NotNeeded;
  std::string message;  // what went wrong or was left behind; empty when nothing needs saying
};

// Moves `programFolder`storage.dat, and the export identifier storage.dat.id
// beside it, into `dataFolder` when the data folder has no storage.dat yet.
// Runs under the storage mutexes of both paths, so that neither a program of
// this install nor a running older one reads or writes either file meanwhile;
// two programs starting at once move it once. The copy is written under a
// temporary name, made durable and read back before it takes the name
// storage.dat, so the data folder never holds a part of the file. A damaged
// file moves as it is: the programs' load copes with it there as it would
// have here. Both folders end with '/'.
StorageMoveResult MoveOldStorage(const std::string& programFolder, const std::string& dataFolder,
                                 std::uint32_t timeoutMs);

// The data folder, made ready at a program's start: created when missing, an
// older install's dates moved into it from `programFolder`. Empty when the
// programs must not use it: the folder cannot be used, or the move failed and
// an empty data folder would hide the dates that stayed behind. `message`
// then says why, and also says what a successful move left behind.
std::string PrepareDataFolder(const std::string& programFolder, std::string& message);

// Writes a message of PrepareDataFolder to the standard error and the log.
void ReportDataFolderMessage(const std::string& message);
