#pragma once
// A private place for a benchmark that starts a built program as a whole
// process: a temporary root holding the program folder "Natalo" and a runtime
// folder of its own, with the registry file in the root.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace benchsupport {

struct ProgramFolderRoot {
  std::filesystem::path root;
  std::filesystem::path folder;  // root/Natalo
};

// Creates the folders under a new temporary root named after `prefix` and
// points XDG_RUNTIME_DIR, NATALO_REGISTRY_FILE and the data home (the data
// folder and the armed reminders) into it, so that no run touches the user's.
inline ProgramFolderRoot MakeProgramFolderRoot(const char* prefix) {
  namespace fs = std::filesystem;
  std::string pattern = (fs::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  ProgramFolderRoot made{pattern, fs::path(pattern) / "Natalo"};
  fs::create_directories(made.folder);
  fs::create_directories(made.root / "run");
  fs::permissions(made.root / "run", fs::perms::owner_all);
  setenv("XDG_RUNTIME_DIR", (made.root / "run").c_str(), 1);
  setenv("NATALO_REGISTRY_FILE", (made.root / "registry.db").c_str(), 1);
  setenv("XDG_DATA_HOME", (made.root / "share").c_str(), 1);
  return made;
}

}  // namespace benchsupport
