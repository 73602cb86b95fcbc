#include "platform/file/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>

#include "platform/file/FileIo.h"
#include "platform/file/UniqueFd.h"

namespace platform {
namespace {

// The mode a plain open(..., 0666) would give a new file. The umask is read
// from /proc: setting it to learn it would race with other threads.
std::optional<mode_t> NewFileMode() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) != 0) continue;
    char* end = nullptr;
    const unsigned long mask = std::strtoul(line.c_str() + 6, &end, 8);
    if (end == line.c_str() + 6 || mask > 0777) return std::nullopt;
    return static_cast<mode_t>(0666 & ~mask);
  }
  return std::nullopt;
}

// ".name.XXXXXX" beside `target`; long names are shortened to stay a valid name.
std::string HiddenTemplateBeside(const std::string& target) {
  const auto slash = target.rfind('/');
  const std::string name = target.substr(slash == std::string::npos ? 0 : slash + 1).substr(0, 200);
  return FolderOf(target) + "/." + name + ".XXXXXX";
}

}  // namespace

std::string ReplacementTarget(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : path;
}

bool ReplaceFileAtomically(const std::string& path, const std::function<bool(int fd)>& write,
                           const std::string& pendingPath, bool privateNewFile) {
  const std::string target = ReplacementTarget(path);
  std::string pending = pendingPath;
  UniqueFd fd;
  if (pending.empty()) {
    pending = HiddenTemplateBeside(target);
    fd.Reset(mkostemp(pending.data(), O_CLOEXEC));
  } else {
    fd.Reset(open(pending.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
  }
  if (!fd.IsOpen()) return false;

  // Private content is never readable by others, not even while it is written.
  bool ok = !privateNewFile || fchmod(fd.Get(), 0600) == 0;
  ok = ok && write(fd.Get());
  if (ok) {
    struct stat old {};
    if (stat(target.c_str(), &old) == 0) {
      ok = fchmod(fd.Get(), old.st_mode & 07777) == 0;
    } else if (const auto mode = NewFileMode(); mode && !privateNewFile) {
      ok = fchmod(fd.Get(), *mode) == 0;
    }
  }
  ok = ok && fsync(fd.Get()) == 0;
  ok = fd.Close() && ok;
  if (ok) ok = rename(pending.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(pending.c_str());
    return false;
  }
  SyncFolder(FolderOf(target));
  return true;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, const std::string& pendingPath) {
  return ReplaceFileAtomically(path, [bytes](int fd) { return WriteAll(fd, bytes); }, pendingPath);
}

}  // namespace platform
