#include "platform/notify/SessionDisplay.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include "platform/notify/ServiceStart.h"

extern char** environ;

namespace platform {
namespace {

constexpr std::array<const char*, 3> kDisplayVariables = {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY"};

std::optional<std::string> Lookup(const std::vector<std::string>& entries, const std::string& name) {
  for (const std::string& entry : entries) {
    if (entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 && entry[name.size()] == '=') {
      std::string value = entry.substr(name.size() + 1);
      if (!value.empty()) return value;
    }
  }
  return std::nullopt;
}

// The manager writes a value with special characters quoted for a shell:
// $'...' with backslash escapes, or "...".
std::string Unquote(const std::string& value) {
  const bool dollar = value.size() >= 3 && value.compare(0, 2, "$'") == 0 && value.back() == '\'';
  const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  if (!dollar && !quoted) return value;
  const std::string inner = value.substr(dollar ? 2 : 1, value.size() - (dollar ? 3 : 2));
  std::string out;
  for (size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] == '\\' && i + 1 < inner.size()) ++i;
    out += inner[i];
  }
  return out;
}

std::vector<std::string> ManagerEntries(const std::string& manager) {
  std::vector<std::string> entries;
  std::istringstream lines(manager);
  for (std::string line; std::getline(lines, line);) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) entries.push_back(line.substr(0, eq + 1) + Unquote(line.substr(eq + 1)));
  }
  return entries;
}

// The lowest N of a socket named prefix + N in `folder` that `ownerOk` accepts.
template <typename OwnerOk>
std::optional<int> LowestSocket(const std::string& folder, const std::string& prefix, OwnerOk ownerOk) {
  std::optional<int> lowest;
  std::error_code ec;
  for (const auto& item : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = item.path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
    struct stat st {};
    if (lstat(item.path().c_str(), &st) != 0 || !S_ISSOCK(st.st_mode) || !ownerOk(st.st_uid)) continue;
    const int n = std::stoi(digits);
    if (!lowest || n < *lowest) lowest = n;
  }
  return lowest;
}

}  // namespace

std::vector<std::string> MissingDisplayEnvironment(const std::vector<std::string>& own,
                                                   const std::string& manager,
                                                   const std::string& runtimeFolder,
                                                   const std::string& x11Folder) {
  std::vector<std::string> added;
  const std::vector<std::string> managed = ManagerEntries(manager);
  for (const char* name : kDisplayVariables) {
    if (Lookup(own, name)) continue;
    if (const auto value = Lookup(managed, name)) added.push_back(std::string(name) + "=" + *value);
  }
  std::vector<std::string> known = own;
  known.insert(known.end(), added.begin(), added.end());
  if (Lookup(known, "DISPLAY") || Lookup(known, "WAYLAND_DISPLAY")) return added;
  const uid_t user = getuid();
  if (!runtimeFolder.empty()) {
    if (const auto n = LowestSocket(runtimeFolder, "wayland-", [&](uid_t owner) { return owner == user; }))
      added.push_back("WAYLAND_DISPLAY=wayland-" + std::to_string(*n));
  }
  if (const auto n = LowestSocket(x11Folder, "X", [&](uid_t owner) { return owner == user || owner == 0; }))
    added.push_back("DISPLAY=:" + std::to_string(*n));
  return added;
}

std::vector<std::string> SessionDisplayEnvironment() {
  std::vector<std::string> own;
  for (char** entry = environ; entry && *entry; ++entry) own.emplace_back(*entry);
  bool missing = false;
  for (const char* name : kDisplayVariables) missing = missing || !Lookup(own, name);
  if (!missing) return {};
  std::string manager;
  if (UserManagerRuns()) manager = RunWithManagerTimeout({"systemctl", "--user", "show-environment"}).output;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return MissingDisplayEnvironment(own, manager, runtime && *runtime == '/' ? runtime : "");
}

}  // namespace platform
