#include "common/store/AtomicFile.h"

#include "platform/file/AtomicFile.h"

std::string PendingFileName(const std::string& path) { return path + ".new"; }

bool ReplaceFileAtomically(const std::string& path, const std::function<bool(BinaryWriter&)>& write) {
  const std::string target = platform::ReplacementTarget(path);
  return platform::ReplaceFileAtomically(
      target,
      [&write](int fd) {
        BinaryWriter writer(fd);
        return write(writer) && writer.Flush();
      },
      PendingFileName(target), true);
}
