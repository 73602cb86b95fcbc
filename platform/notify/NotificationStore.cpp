#include "platform/notify/NotificationStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/file/FileIo.h"
#include "platform/file/UniqueFd.h"
#include "platform/notify/NotificationRecord.h"

namespace platform {
namespace {

constexpr std::string_view kEnding = ".ntf";
constexpr int kHandleAttempts = 64;
constexpr std::size_t kMaxRecordBytes = 1 << 20;

bool ReadRecordFile(const std::string& path, std::string& out, std::string& error) {
  error = "cannot be read";
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  if (!fd.IsOpen()) return false;
  // A record names a program to start: only the user's own plain files count.
  struct stat st {};
  if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() || (st.st_mode & 022) != 0) {
    error = "not a private file of this user";
    return false;
  }
  // A record is a few hundred bytes; anything far larger is not one of ours.
  if (!ReadAll(fd.Get(), out, kMaxRecordBytes)) {
    if (out.size() >= kMaxRecordBytes) error = "too large";
    return false;
  }
  return true;
}

NotificationHandle RandomHandle() {
  NotificationHandle h = 0;
  while (h == 0) {
    if (getrandom(&h, sizeof h, 0) != static_cast<ssize_t>(sizeof h)) h = static_cast<NotificationHandle>(random());
  }
  return h;
}

// Moves `from` to `to` unless `to` exists. Falls back to link + unlink on file
// systems that do not support the no-replace rename.
bool RenameNoReplace(const std::string& from, const std::string& to, bool& exists) {
  exists = false;
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EEXIST) {
    exists = true;
    return false;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (link(from.c_str(), to.c_str()) != 0) {
    exists = errno == EEXIST;
    return false;
  }
  unlink(from.c_str());
  return true;
}

}  // namespace

NotificationStore::NotificationStore(std::string folder) : m_folder(std::move(folder)) {
  if (m_folder.empty() || m_folder.back() != '/') m_folder += '/';
}

std::string NotificationStore::FileNameOf(NotificationHandle handle) {
  char name[16];
  std::snprintf(name, sizeof name, "%08x", handle);
  return std::string(name) + std::string(kEnding);
}

std::string NotificationStore::PathOf(NotificationHandle handle) const { return m_folder + FileNameOf(handle); }

bool NotificationStore::HandleFromFileName(const std::string& name, NotificationHandle& out) {
  if (name.size() != 8 + kEnding.size() || name.compare(8, kEnding.size(), kEnding) != 0) return false;
  NotificationHandle value = 0;
  for (size_t i = 0; i < 8; ++i) {
    const char c = name[i];
    int digit = 0;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else {
      return false;
    }
    value = (value << 4) | static_cast<NotificationHandle>(digit);
  }
  if (value == 0) return false;
  out = value;
  return true;
}

NotificationHandle NotificationStore::Add(const NotificationTrigger& trigger) {
  if (!IsValidTrigger(trigger)) return 0;
  std::error_code ec;
  std::filesystem::create_directories(m_folder, ec);
  if (ec) return 0;
  chmod(m_folder.c_str(), 0700);

  std::string temp = m_folder + ".new-XXXXXX";
  UniqueFd fd(mkostemp(temp.data(), O_CLOEXEC));
  if (!fd.IsOpen()) return 0;
  const bool written = WriteAll(fd.Get(), FormatNotificationRecord(trigger)) && fsync(fd.Get()) == 0;
  fd.Reset();
  if (!written) {
    unlink(temp.c_str());
    return 0;
  }
  for (int attempt = 0; attempt < kHandleAttempts; ++attempt) {
    const NotificationHandle handle = RandomHandle();
    bool exists = false;
    if (RenameNoReplace(temp, PathOf(handle), exists)) {
      SyncFolder(m_folder);
      return handle;
    }
    if (!exists) break;
  }
  unlink(temp.c_str());
  return 0;
}

bool NotificationStore::Handles(std::vector<NotificationHandle>& out) const {
  out.clear();
  struct CloseDir {
    void operator()(DIR* d) const { closedir(d); }
  };
  std::unique_ptr<DIR, CloseDir> dir(opendir(m_folder.c_str()));
  if (!dir) return errno == ENOENT;
  while (const dirent* entry = readdir(dir.get())) {
    NotificationHandle handle = 0;
    if (HandleFromFileName(entry->d_name, handle)) out.push_back(handle);
  }
  std::sort(out.begin(), out.end());
  return true;
}

bool NotificationStore::Read(NotificationHandle handle, NotificationTrigger& out, std::string* error) const {
  std::string text, why;
  if (handle == 0 || !ReadRecordFile(PathOf(handle), text, why)) {
    if (error) *error = why;
    return false;
  }
  if (!ParseNotificationRecord(text, out, why)) {
    if (error) *error = why;
    return false;
  }
  return true;
}

bool NotificationStore::Remove(NotificationHandle handle) {
  return handle != 0 && unlink(PathOf(handle).c_str()) == 0;
}

}  // namespace platform
