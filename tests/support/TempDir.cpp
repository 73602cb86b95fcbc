#include "tests/support/TempDir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

namespace testsupport {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "natalo-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

TestEnvironment::TestEnvironment() {
  // The data folder is the program folder: tests find the files the
  // programs write where they put those they read, never in the real home.
  const std::pair<const char*, std::string> vars[kVariables] = {
      {"XDG_RUNTIME_DIR", RuntimeFolder()},
      {"XDG_CONFIG_HOME", (Root() / "config").string()},
      {"XDG_DATA_HOME", (Root() / "data").string()},
      {"NATALO_REGISTRY_FILE", RegistryFile()},
      {"NATALO_DATA_DIR", ProgramFolder()},
  };
  std::filesystem::create_directories(ProgramFolder());
  std::filesystem::create_directories(Root() / "config");
  std::filesystem::create_directories(Root() / "data");
  std::filesystem::create_directories(RuntimeFolder());
  chmod(RuntimeFolder().c_str(), 0700);
  for (int i = 0; i < kVariables; ++i) {
    m_saved[i].name = vars[i].first;
    if (const char* old = std::getenv(vars[i].first)) {
      m_saved[i].had = true;
      m_saved[i].value = old;
    }
    setenv(vars[i].first, vars[i].second.c_str(), 1);
  }
}

TestEnvironment::~TestEnvironment() {
  for (const auto& s : m_saved) {
    if (s.had) {
      setenv(s.name.c_str(), s.value.c_str(), 1);
    } else {
      unsetenv(s.name.c_str());
    }
  }
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace testsupport
