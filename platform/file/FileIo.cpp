#include "platform/file/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file/UniqueFd.h"

namespace platform {

bool WriteAll(int fd, const void* data, std::size_t count) {
  const auto* bytes = static_cast<const char*>(data);
  while (count > 0) {
    const ssize_t done = write(fd, bytes, count);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    bytes += done;
    count -= static_cast<std::size_t>(done);
  }
  return true;
}

bool WriteAll(int fd, std::string_view bytes) { return WriteAll(fd, bytes.data(), bytes.size()); }

bool WriteAllAt(int fd, const void* data, std::size_t count, std::uint64_t offset) {
  const auto* bytes = static_cast<const char*>(data);
  while (count > 0) {
    const ssize_t done = pwrite(fd, bytes, count, static_cast<off_t>(offset));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    bytes += done;
    offset += static_cast<std::uint64_t>(done);
    count -= static_cast<std::size_t>(done);
  }
  return true;
}

bool ReadAll(int fd, std::string& out, std::size_t maxBytes) {
  out.clear();
  char buffer[16 * 1024];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    const auto count = static_cast<std::size_t>(n);
    if (count > maxBytes - out.size()) {
      out.append(buffer, maxBytes - out.size());
      return false;
    }
    out.append(buffer, count);
  }
}

UniqueFd OpenRegularFile(const std::string& path, int flags) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  UniqueFd fd(open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK));
  if (!fd.IsOpen()) return fd;
  struct stat st {};
  if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return UniqueFd();
  // Regular files never block; clear the flag so reads behave as usual.
  const int status = fcntl(fd.Get(), F_GETFL);
  if (status < 0 || fcntl(fd.Get(), F_SETFL, status & ~O_NONBLOCK) != 0) return UniqueFd();
  return fd;
}

bool ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes) {
  UniqueFd fd = OpenRegularFile(path, O_RDONLY);
  if (!fd.IsOpen()) return false;
  struct stat st {};
  if (fstat(fd.Get(), &st) != 0) return false;
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) return false;
  out.reserve(static_cast<std::size_t>(st.st_size));
  return ReadAll(fd.Get(), out, maxBytes);
}

bool CopyToNewFile(const std::string& from, const std::string& to) {
  UniqueFd source = OpenRegularFile(from, O_RDONLY);
  if (!source.IsOpen()) return false;
  UniqueFd target(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!target.IsOpen()) return false;
  char buffer[16 * 1024];
  bool ok = true;
  for (;;) {
    const ssize_t n = read(source.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    if (!WriteAll(target.Get(), buffer, static_cast<std::size_t>(n))) {
      ok = false;
      break;
    }
  }
  ok = ok && fsync(target.Get()) == 0;
  ok = target.Close() && ok;
  if (!ok) {
    unlink(to.c_str());
    return false;
  }
  SyncFolder(FolderOf(to));
  return true;
}

void SyncFolder(const std::string& folder) {
  UniqueFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.IsOpen()) fsync(dir.Get());
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace platform
