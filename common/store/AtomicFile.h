#pragma once
// Replaces a file as a whole through a BinaryWriter (see platform/file/AtomicFile.h).
#include <functional>
#include <string>

#include "common/store/BinaryWriter.h"

// Calls `write` with a writer over the new file, which is written under
// PendingFileName of the target. When `write` or any file operation fails, the
// new file is removed, the old one stays as it was and the result is false. A
// symbolic link at `path` is followed: its target is replaced. A new file is
// made 0600 whatever the umask: the dates it holds are private; an existing
// one keeps its permission bits.
bool ReplaceFileAtomically(const std::string& path, const std::function<bool(BinaryWriter&)>& write);

// Name of the file the new content is written to before it replaces `path`.
std::string PendingFileName(const std::string& path);
