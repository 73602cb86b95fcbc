#include "common/store/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "platform/notify/UniqueFd.h"

namespace {

std::string ResolveLink(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Makes the rename itself durable. Best effort: the new content is in place
// either way.
void SyncFolder(const std::string& folder) {
  platform::UniqueFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.IsOpen()) fsync(dir.Get());
}

}  // namespace

std::string PendingFileName(const std::string& path) { return path + ".new"; }

bool ReplaceFileAtomically(const std::string& path, const std::function<bool(BinaryWriter&)>& write) {
  const std::string target = ResolveLink(path);
  const std::string pending = PendingFileName(target);
  platform::UniqueFd fd(open(pending.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (!fd.IsOpen()) return false;

  bool ok = true;
  {
    BinaryWriter writer(fd.Get());
    ok = write(writer) && writer.Flush();
  }
  // Keep the permissions of the file being replaced.
  struct stat old {};
  if (ok && stat(target.c_str(), &old) == 0) ok = fchmod(fd.Get(), old.st_mode & 07777) == 0;
  ok = ok && fsync(fd.Get()) == 0;
  fd.Reset();
  if (ok) ok = rename(pending.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(pending.c_str());
    return false;
  }
  SyncFolder(FolderOf(target));
  return true;
}
