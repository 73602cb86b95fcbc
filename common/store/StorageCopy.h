#pragma once
// Copies of storage.dat kept beside it before a file that could not be read
// whole, or had to be changed to be read at all, is written again, and the
// notice that tells the user where such a copy went.
#include <string>

// Copies `path` to a new file `path`.`tag`-YYYYMMDD-HHMMSS (with -2, -3, ...
// when that name is taken); an earlier copy is never overwritten. With
// `skipWhenKept`, nothing is copied when a copy with the same tag already
// holds the same bytes. Returns the name of the copy (the earlier one when
// skipped), or an empty text when no copy could be made.
std::string KeepCopyBeside(const std::string& path, const std::string& tag, bool skipWhenKept = false);

// One line to standard error and to the diagnostic log.
void LogStorageNotice(const std::string& text);
