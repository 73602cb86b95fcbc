#include "platform/registry/RegistryLocation.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/registry/Registry.h"

namespace platform {
namespace {

std::mutex g_fileMutex;
std::string g_fileOverride;

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return found->pw_dir;
  }
  return {};
}

}  // namespace

void SetRegistryFile(const std::string& path) {
  std::lock_guard lock(g_fileMutex);
  g_fileOverride = path;
}

std::string GetRegistryFile() {
  {
    std::lock_guard lock(g_fileMutex);
    if (!g_fileOverride.empty()) return g_fileOverride;
  }
  // Read on every call so that a changed environment (and a child's inherited
  // one) takes effect at once.
  if (const char* file = std::getenv("NATALO_REGISTRY_FILE"); file != nullptr && file[0] != '\0') return file;
  return DefaultRegistryFile();
}

std::string DefaultRegistryFile() {
  std::string config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    config = xdg;
  } else {
    const std::string home = HomeFolder();
    if (home.empty()) return {};
    config = home + "/.config";
  }
  return config + "/Natalo/registry.db";
}

bool CreateParentFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

bool CreatePrivateFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  // The umask may have taken away the owner's bits; the mode is exactly 0600.
  // SQLite gives the -wal and -shm files the mode of the database file.
  const bool ok = fchmod(fd, 0600) == 0;
  close(fd);
  return ok;
}

}  // namespace platform
