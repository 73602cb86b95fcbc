#pragma once
// Replaces a file as a whole: the new content goes to a file beside it, reaches
// the disk, and is then renamed over the old one. Readers see the old or the new
// content, never a mixture, even when the writer dies halfway.
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Calls `write` with a descriptor open for writing on an empty pending file and
// renames that over `path` when `write` and every file operation succeed. An
// empty `pendingPath` makes a unique hidden file beside the target; otherwise
// that path is created or truncated (never followed when it is a link). A
// symbolic link at `path` is kept and its target replaced. The new file takes
// the old one's permission bits (a new one those the umask allows, or, when
// `privateNewFile`, 0600 whatever the umask) and reaches the disk before the
// rename; the folder is synced after it. On any failure the pending file is
// removed, the old file stays whole and the result is false.
bool ReplaceFileAtomically(const std::string& path, const std::function<bool(int fd)>& write,
                           const std::string& pendingPath = "", bool privateNewFile = false);
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, const std::string& pendingPath = "");

// The file that ReplaceFileAtomically(path, ...) replaces: the target of a
// symbolic link at `path`, otherwise `path` itself.
std::string ReplacementTarget(const std::string& path);

}  // namespace platform
