#include "common/calendar/CalendarFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file/AtomicFile.h"
#include "platform/file/FileIo.h"

namespace {

// A calendar file of one event is far smaller; a larger one is simply replaced.
constexpr std::size_t kMaxEventFileBytes = 1 << 20;
constexpr std::string_view kExtension = ".ics";

// The text of a calendar holding the one event.
void EventFileText(const IcsEvent& event, std::string_view stamp, std::string& text) {
  text.clear();
  IcsCalendar calendar({}, stamp, [&text](std::string_view piece) {
    text.append(piece);
    return true;
  });
  calendar.Add(event);
  calendar.Finish();
}

// The DTSTAMP value in a calendar's text; empty when it has none.
std::string_view StampIn(std::string_view text) {
  constexpr std::string_view kStamp = "\r\nDTSTAMP:";
  const std::size_t at = text.find(kStamp);
  if (at == std::string_view::npos) return {};
  const std::size_t start = at + kStamp.size();
  const std::size_t end = text.find("\r\n", start);
  return end == std::string_view::npos ? std::string_view{} : text.substr(start, end - start);
}

bool AllOf(std::string_view text, bool (*digit)(char)) {
  for (const char c : text) {
    if (!digit(c)) return false;
  }
  return !text.empty();
}

bool IsDecimal(char c) { return c >= '0' && c <= '9'; }
bool IsLowerHex(char c) { return IsDecimal(c) || (c >= 'a' && c <= 'f'); }

}  // namespace

CalendarFolder::CalendarFolder(std::string storageId, std::time_t now)
    : m_storageId(std::move(storageId)), m_stamp(IcsUtcStamp(now)) {}

CalendarFolder::Opened CalendarFolder::Open(const std::string& path) {
  m_path = path;
  while (m_path.size() > 1 && m_path.back() == '/') m_path.pop_back();
  struct stat info {};
  if (lstat(m_path.c_str(), &info) != 0) {
    if (errno != ENOENT || (mkdir(m_path.c_str(), 0700) != 0 && errno != EEXIST)) return Opened::Failed;
    if (lstat(m_path.c_str(), &info) != 0) return Opened::Failed;
  }
  if (!S_ISDIR(info.st_mode)) return Opened::NotAFolder;
  m_folder.Reset(open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!m_folder.IsOpen()) return errno == ELOOP || errno == ENOTDIR ? Opened::NotAFolder : Opened::Failed;
  // Two exports at once would each remove what the other just wrote.
  if (flock(m_folder.Get(), LOCK_EX) != 0) return Opened::Failed;
  m_path += '/';
  return Opened::Ready;
}

bool CalendarFolder::IsOwnFile(const std::string& name) const {
  // entry-<number>-<storage id>@natalo.ics or star-<16 hex digits>-<storage id>@natalo.ics
  const std::string tail = "-" + m_storageId + "@natalo" + std::string(kExtension);
  if (name.size() <= tail.size() || name.compare(name.size() - tail.size(), tail.size(), tail) != 0) return false;
  const std::string_view head = std::string_view(name).substr(0, name.size() - tail.size());
  if (head.starts_with("entry-")) return AllOf(head.substr(6), IsDecimal);
  return head.starts_with("star-") && head.size() == 5 + 16 && AllOf(head.substr(5), IsLowerHex);
}

bool CalendarFolder::Put(const IcsEvent& event) {
  const std::string name = event.uid + std::string(kExtension);
  const std::string path = m_path + name;
  m_put.insert(name);
  struct stat info {};
  const bool exists = lstat(path.c_str(), &info) == 0;
  if (exists && S_ISREG(info.st_mode)) {
    const platform::UniqueFd old = platform::OpenRegularFile(path, O_RDONLY);
    // The file is unchanged when this event, stamped as the file was, gives its bytes.
    if (old.IsOpen() && platform::ReadAll(old.Get(), m_old, kMaxEventFileBytes)) {
      const std::string_view stamp = StampIn(m_old);
      if (!stamp.empty()) {
        EventFileText(event, stamp, m_new);
        if (m_new == m_old) {
          ++m_unchanged;
          return true;
        }
      }
    }
  } else if (exists) {
    // Not a file of ours (a link, say): it goes rather than being written through.
    if (unlink(path.c_str()) != 0) return false;
  }
  EventFileText(event, m_stamp, m_new);
  if (!platform::ReplaceFileAtomically(path, [this](int fd) { return platform::WriteAll(fd, m_new); }, "", true)) {
    return false;
  }
  ++m_written;
  return true;
}

bool CalendarFolder::RemoveGone() {
  const int listing = dup(m_folder.Get());
  if (listing < 0) return false;
  DIR* dir = fdopendir(listing);
  if (dir == nullptr) {
    close(listing);
    return false;
  }
  bool ok = true;
  errno = 0;
  while (const dirent* item = readdir(dir)) {
    const std::string name = item->d_name;
    bool gone = IsOwnFile(name) && !m_put.contains(name);
    // ".<UID>.ics.XXXXXX": the pending file of a replacement that never ended.
    const bool pending = !gone && name.size() > 8 && name[0] == '.' && name[name.size() - 7] == '.' &&
                         IsOwnFile(name.substr(1, name.size() - 8));
    if (!gone && !pending) continue;
    if (unlinkat(m_folder.Get(), name.c_str(), 0) != 0) {
      ok = false;
    } else if (gone) {
      ++m_removed;
    }
    errno = 0;
  }
  if (errno != 0) ok = false;
  closedir(dir);
  if (m_removed > 0) platform::SyncFolder(m_path);
  return ok;
}
