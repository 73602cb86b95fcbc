#pragma once
// The data folder: where the programs keep every file they write (the dates,
// their kept copies, the sync notice, save temporaries, diagnostic logs). The
// program folder may be read-only; it holds only what the programs read.
#include <string>

namespace platform {

// The user's data home, ending with '/': $XDG_DATA_HOME when it is an
// absolute path (a relative or empty one is ignored), else <home>/.local/share/
// with the home of $HOME or, without it, of the user's password entry. Empty
// when no home is known. The data folder, the armed reminders, the user's
// contacts and sounds all live below it.
std::string UserDataHome();

// Where the data folder is, ending with '/', by the environment alone:
// $NATALO_DATA_DIR when it is an absolute path, else $XDG_DATA_HOME/Natalo/
// when XDG_DATA_HOME is an absolute path (a relative or empty one is ignored),
// else <home>/.local/share/Natalo/ with the home of $HOME or, without it, of
// the user's password entry. Empty when no home is known. Touches no file.
std::string DataFolderPath();

// The data folder, ending with '/', created on demand (missing parents too)
// with mode 0700. Empty when it cannot be used: the path names a file or a
// symbolic link (never followed nor replaced), a folder of another user, or
// one this user cannot write into; `error`, when given, then says what is
// wrong in a sentence naming the path.
std::string GetDataFolder(std::string* error = nullptr);

}  // namespace platform
