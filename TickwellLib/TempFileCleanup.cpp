#include "TickwellLib/TempFileCleanup.h"

#include <filesystem>
#include <system_error>

namespace {

bool MatchesTemporaryName(const std::string& name) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  std::string n;
  for (char c : name) n += lower(c);
  return n.size() >= 7 && n.compare(0, 3, "tkw") == 0 && n.compare(n.size() - 4, 4, ".tmp") == 0;
}

}  // namespace

int DeleteTemporaryFiles(const std::string& folder) {
  if (folder.empty()) return 0;
  namespace fs = std::filesystem;
  std::error_code ec;
  int deleted = 0;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError) || !MatchesTemporaryName(it->path().filename().string())) continue;
    std::error_code removeError;
    if (fs::remove(it->path(), removeError)) ++deleted;
  }
  return deleted;
}
