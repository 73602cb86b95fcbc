#include "platform/notify/ServiceLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace platform {
namespace {

struct flock WholeFileWriteLock() {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = 0;
  fl.l_len = 0;
  fl.l_pid = 0;
  return fl;
}

pid_t ReadPid(int fd) {
  char buf[32] = {};
  const ssize_t n = pread(fd, buf, sizeof buf - 1, 0);
  if (n <= 0) return 0;
  return static_cast<pid_t>(std::strtol(buf, nullptr, 10));
}

}  // namespace

std::string GetServiceRuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime == '/') {
    std::string folder = runtime;
    if (folder.back() != '/') folder += '/';
    return folder;
  }
  // Without a runtime folder, one of our own that nobody else may write to.
  std::string folder = "/tmp/natalo-" + std::to_string(getuid());
  mkdir(folder.c_str(), 0700);
  struct stat st {};
  if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 077) != 0) {
    return {};
  }
  return folder + "/";
}

std::string GetNotificationServiceLockPath() {
  const std::string folder = GetServiceRuntimeFolder();
  return folder.empty() ? std::string() : folder + "natalo-notifyd.lock";
}

bool ServiceLock::TryAcquire() {
  const std::string path = GetNotificationServiceLockPath();
  if (path.empty()) return false;
  UniqueFd fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!fd.IsOpen()) return false;
  struct flock fl = WholeFileWriteLock();
  if (fcntl(fd.Get(), F_OFD_SETLK, &fl) != 0) return false;
  const std::string pid = std::to_string(getpid()) + "\n";
  if (ftruncate(fd.Get(), 0) != 0 || pwrite(fd.Get(), pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
    return false;
  }
  m_fd = std::move(fd);
  return true;
}

bool ServiceLock::IsTaken(pid_t* holder) {
  const std::string path = GetNotificationServiceLockPath();
  if (path.empty()) return false;
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!fd.IsOpen()) return false;
  struct flock fl = WholeFileWriteLock();
  if (fcntl(fd.Get(), F_OFD_GETLK, &fl) != 0 || fl.l_type == F_UNLCK) return false;
  if (holder) *holder = ReadPid(fd.Get());
  return true;
}

}  // namespace platform
