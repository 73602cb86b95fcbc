#include "common/calendar/StorageId.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "platform/file/FileIo.h"

namespace {

constexpr std::size_t kIdDigits = 32;

// The identifier in the file's text: the digits, with or without a line end.
bool ParseId(const std::string& text, std::string& id) {
  const std::string digits = text.substr(0, kIdDigits);
  if (digits.size() != kIdDigits || (text.size() != kIdDigits && text.substr(kIdDigits) != "\n")) return false;
  for (const char c : digits) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  id = digits;
  return true;
}

bool MakeId(std::string& text) {
  std::uint8_t bytes[kIdDigits / 2];
  if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) return false;
  static constexpr char kHex[] = "0123456789abcdef";
  text.clear();
  for (const std::uint8_t b : bytes) {
    text += kHex[b >> 4];
    text += kHex[b & 0xF];
  }
  text += '\n';
  return true;
}

// Puts `text` in place at `path` unless a file is there already. The text is
// whole on the disk before the name appears, so a reader never sees a part.
bool CreateWhole(const std::string& path, const std::string& text) {
  std::string pending = path + ".XXXXXX";
  const platform::UniqueFd fd(mkostemp(pending.data(), O_CLOEXEC));
  if (!fd.IsOpen()) return false;
  bool placed = false;
  if (platform::WriteAll(fd.Get(), text) && fsync(fd.Get()) == 0) {
    // An identifier made by another program meanwhile is kept (EEXIST).
    placed = link(pending.c_str(), path.c_str()) == 0 || errno == EEXIST;
    if (!placed) {
      // A file system without hard links gets the file by an exclusive create.
      const platform::UniqueFd direct(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
      placed = direct.IsOpen() ? platform::WriteAll(direct.Get(), text) && fsync(direct.Get()) == 0 : errno == EEXIST;
    }
  }
  unlink(pending.c_str());
  if (placed) platform::SyncFolder(platform::FolderOf(path));
  return placed;
}

}  // namespace

std::string StorageIdPath(const std::string& storagePath) { return storagePath + ".id"; }

bool StorageIdentifier(const std::string& storagePath, std::string& id) {
  const std::string path = StorageIdPath(storagePath);
  std::string text;
  errno = 0;
  if (platform::ReadWholeFile(path, text, 64)) return ParseId(text, id);
  if (errno != ENOENT) return false;
  std::string made;
  if (!MakeId(made) || !CreateWhole(path, made)) return false;
  // Another program may have made it first: the file decides.
  return platform::ReadWholeFile(path, text, 64) && ParseId(text, id);
}
