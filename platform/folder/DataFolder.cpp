#include "platform/folder/DataFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {
namespace {

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') return home;
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) return {};
  return found->pw_dir != nullptr ? found->pw_dir : "";
}

// Creates every missing folder of `path` (no trailing '/') with mode 0700.
// An existing part is left as it is, whatever it is: the caller checks the last.
void MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = slash == std::string::npos ? path : path.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
    if (slash == std::string::npos) return;
  }
}

std::string Refuse(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
  return {};
}

}  // namespace

std::string UserDataHome() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); IsAbsolute(xdg)) return WithSlash(xdg);
  const std::string home = HomeFolder();
  if (home.empty()) return {};
  return WithSlash(home) + ".local/share/";
}

std::string DataFolderPath() {
  if (const char* own = std::getenv("NATALO_DATA_DIR"); IsAbsolute(own)) return WithSlash(own);
  const std::string data = UserDataHome();
  return data.empty() ? std::string() : data + "Natalo/";
}

std::string GetDataFolder(std::string* error) {
  const std::string folder = DataFolderPath();
  if (folder.empty()) return Refuse(error, "No data folder: neither HOME nor the user's home folder is known.");
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 && errno == ENOENT) MakeFolders(path);
  if (lstat(path.c_str(), &st) != 0) {
    return Refuse(error, "The data folder " + folder + " cannot be made: " + std::strerror(errno) + ".");
  }
  if (S_ISLNK(st.st_mode)) {
    return Refuse(error, "The data folder " + folder + " is a symbolic link; it is not followed. Move it away.");
  }
  if (!S_ISDIR(st.st_mode)) return Refuse(error, "The data folder " + folder + " is not a folder. Move it away.");
  if (st.st_uid != geteuid()) return Refuse(error, "The data folder " + folder + " belongs to another user.");
  if (access(path.c_str(), W_OK | X_OK) != 0) {
    return Refuse(error, "The data folder " + folder + " is not writable: " + std::strerror(errno) + ".");
  }
  return folder;
}

}  // namespace platform
