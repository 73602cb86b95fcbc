#include "common/store/StorageCopy.h"

#include <cstdio>
#include <filesystem>

#include "common/log/Log.h"
#include "platform/clock/Clock.h"
#include "platform/file/FileIo.h"

namespace {

// Storage files are small; a copy is compared only up to this size.
constexpr std::size_t kMaxComparedBytes = 64 << 20;

std::string Stamp() {
  const platform::SystemTime now = platform::GetLocalTime();
  char text[32];
  std::snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  return text;
}

// An existing copy with this prefix whose bytes equal `bytes`, or "".
std::string KeptCopyOf(const std::string& prefix, const std::string& bytes) {
  const std::filesystem::path prefixPath(prefix);
  const std::string name = prefixPath.filename().string();
  std::error_code error;
  for (const auto& file : std::filesystem::directory_iterator(prefixPath.parent_path(), error)) {
    const std::string candidate = file.path().filename().string();
    if (candidate.compare(0, name.size(), name) != 0) continue;
    std::string kept;
    if (platform::ReadWholeFile(file.path().string(), kept, kMaxComparedBytes) && kept == bytes) {
      return file.path().string();
    }
  }
  return {};
}

}  // namespace

std::string KeepCopyBeside(const std::string& path, const std::string& tag, bool skipWhenKept) {
  const std::string prefix = path + "." + tag + "-";
  if (skipWhenKept) {
    std::string bytes;
    if (platform::ReadWholeFile(path, bytes, kMaxComparedBytes)) {
      std::string kept = KeptCopyOf(prefix, bytes);
      if (!kept.empty()) return kept;
    }
  }
  const std::string base = prefix + Stamp();
  for (int n = 1; n <= 100; ++n) {
    const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
    if (platform::CopyToNewFile(path, name)) return name;
    std::error_code error;
    // Another name is worth trying only when this one was taken.
    if (!std::filesystem::exists(std::filesystem::symlink_status(name, error))) return {};
  }
  return {};
}

void LogStorageNotice(const std::string& text) {
  std::fprintf(stderr, "storage: %s\n", text.c_str());
  WriteLog("%s", text.c_str());
}
