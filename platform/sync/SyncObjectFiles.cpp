#include "platform/sync/SyncObjectFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "platform/text/Utf.h"

namespace platform::sync_files {
namespace {

// File names may hold 255 bytes; leave room for the tag.
constexpr std::size_t kMaxPlainName = 200;
constexpr std::size_t kKeptPrefix = 120;

std::uint64_t Fnv1a(const std::string& bytes, bool reversed) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(reversed ? bytes[bytes.size() - 1 - i] : bytes[i]);
    hash = (hash ^ c) * 0x100000001b3ull;
  }
  return hash;
}

bool LockRetrying(int fd, int operation) {
  while (flock(fd, operation) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace

std::string ObjectFileName(const char* tag, const std::u16string& name) {
  std::string mapped = ToUtf8(name);
  for (char& c : mapped) {
    if (c == '/' || c == '\0') c = '$';
  }
  if (mapped.size() > kMaxPlainName) {
    const std::string whole = mapped;
    std::size_t keep = kKeptPrefix;
    // Do not cut a UTF-8 sequence in two.
    while (keep > 0 && (static_cast<unsigned char>(mapped[keep]) & 0xC0) == 0x80) --keep;
    mapped.resize(keep);
    char hash[40];
    std::snprintf(hash, sizeof hash, "~%016llx%016llx", static_cast<unsigned long long>(Fnv1a(whole, false)),
                  static_cast<unsigned long long>(Fnv1a(whole, true)));
    mapped += hash;
  }
  return std::string("natalo-") + tag + "." + mapped;
}

FolderGate::FolderGate(const std::string& folder) {
  UniqueFd fd = OpenLockFile(folder + "/natalo-sync.gate");
  if (fd.IsOpen() && LockRetrying(fd.Get(), LOCK_EX)) m_fd = std::move(fd);
}

UniqueFd JoinHolders(const std::string& path, bool mustExist, bool* existed) {
  *existed = false;
  UniqueFd fd = OpenLockFile(path);
  if (!fd.IsOpen()) return {};
  // Under the gate only a handle being opened right now holds the file
  // exclusively, and that one holds the gate; so an exclusive lock fails
  // exactly when some handle holds it shared.
  if (flock(fd.Get(), LOCK_EX | LOCK_NB) == 0) {
    if (mustExist) return {};
  } else if (errno == EWOULDBLOCK) {
    *existed = true;
  } else {
    return {};
  }
  // Turning the exclusive lock into a shared one is not atomic in the kernel;
  // the gate keeps other probes out of that gap.
  if (!LockRetrying(fd.Get(), LOCK_SH)) {
    *existed = false;
    return {};
  }
  return fd;
}

UniqueFd OpenLockFile(const std::string& path) {
  UniqueFd fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!fd.IsOpen()) return {};
  struct stat st {};
  if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  return fd;
}

}  // namespace platform::sync_files
