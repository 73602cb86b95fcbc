#include "platform/contacts/WritableFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/file/AtomicFile.h"
#include "platform/file/FileIo.h"

namespace platform {
namespace {

constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;

bool MayWrite(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && (st.st_mode & kAnyWrite) != 0 && access(path.c_str(), W_OK) == 0;
}

}  // namespace

bool ReplaceWritableFile(const std::string& path, std::string_view bytes) {
  // The file replaced is the link's target, so its folder is the one written.
  const std::string target = ReplacementTarget(path);
  struct stat st {};
  if (stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (!MayWrite(target) || !MayWrite(FolderOf(target))) return false;
  return ReplaceFileAtomically(target, bytes);
}

}  // namespace platform
