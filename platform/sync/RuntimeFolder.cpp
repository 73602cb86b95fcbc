#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/sync/NamedMutex.h"

namespace platform {
namespace {

// The folder must be a real directory (no symbolic link) that belongs to the
// user and that nobody else may enter; a fallback folder under /tmp could
// have been made by someone else first.
bool IsPrivateFolder(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return false;
  if ((st.st_mode & 077) != 0 && chmod(path.c_str(), 0700) != 0) return false;
  return true;
}

}  // namespace

std::string GetRuntimeFolder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg != nullptr && xdg[0] == '/') {
    std::string folder = xdg;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    return folder;
  }
  const std::string folder = "/tmp/natalo-" + std::to_string(getuid());
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
  return IsPrivateFolder(folder) ? folder : std::string();
}

}  // namespace platform
