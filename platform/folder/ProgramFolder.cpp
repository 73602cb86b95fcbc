#include "platform/folder/ProgramFolder.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace platform {
namespace {

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash + 1);
}

bool EndsWith(const std::string& s, const std::string& suffix) {
  if (s.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    char a = s[s.size() - suffix.size() + i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
    if (a != suffix[i]) return false;
  }
  return true;
}

}  // namespace

std::string GetExecutableFolder() {
  // readlink does not say how long the target is: grow the buffer until it fits.
  std::vector<char> buf(PATH_MAX);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buf.size()) return FolderOf(std::string(buf.data(), static_cast<size_t>(n)));
    buf.resize(buf.size() * 2);
  }
}

std::string GetModuleFolder(const void* address) {
  Dl_info info{};
  if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(info.dli_fname, nullptr), &std::free);
  if (!resolved) return {};
  return FolderOf(resolved.get());
}

std::string FolderName(const std::string& folder) {
  std::string f = folder;
  while (!f.empty() && f.back() == '/') f.pop_back();
  const auto slash = f.rfind('/');
  return slash == std::string::npos ? f : f.substr(slash + 1);
}

std::string MapPlatformFileName(const std::string& name) {
  if (EndsWith(name, ".dll")) return name.substr(0, name.size() - 4) + ".so";
  if (EndsWith(name, ".exe")) return name.substr(0, name.size() - 4);
  return name;
}

}  // namespace platform
