#pragma once
// Temporary folders for tests: each test gets its own program folder, registry
// file and runtime folder, so tests run in parallel and leave nothing behind.
#include <filesystem>
#include <string>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

// Points the process at private folders through the environment (inherited by
// child processes): XDG_RUNTIME_DIR, XDG_CONFIG_HOME, XDG_DATA_HOME,
// NATALO_REGISTRY_FILE and NATALO_DATA_DIR (the program folder, so that the
// data folder is the program folder). Restores the previous values when
// destroyed.
class TestEnvironment {
 public:
  TestEnvironment();
  ~TestEnvironment();
  TestEnvironment(const TestEnvironment&) = delete;
  TestEnvironment& operator=(const TestEnvironment&) = delete;

  const std::filesystem::path& Root() const { return m_root.Path(); }
  // Ends with '/', as the program folder does.
  std::string ProgramFolder() const { return (m_root.Path() / "Natalo").string() + "/"; }
  std::string RegistryFile() const { return (m_root.Path() / "config" / "registry.db").string(); }
  std::string RuntimeFolder() const { return (m_root.Path() / "run").string(); }

 private:
  TempDir m_root;
  struct Saved {
    std::string name;
    bool had = false;
    std::string value;
  };
  static constexpr int kVariables = 5;
  Saved m_saved[kVariables];
};

// Reads a whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
// Writes bytes to a file, replacing it; false on failure.
bool WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace testsupport
