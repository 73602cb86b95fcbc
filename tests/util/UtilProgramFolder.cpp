#include "tests/util/UtilProgramFolder.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace utiltest {

UtilProgramFolder::UtilProgramFolder()
    : m_folder((m_dir.Path() / "Natalo").string() + "/"),
      m_sink("NATALO_AUDIO_SINK", "fakesink"),
      m_trace("NATALO_UTIL_TRACE", (m_dir.Path() / "trace.txt").c_str()),
      m_bus("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (m_dir.Path() / "no-bus").string()).c_str()),
      m_data("NATALO_DATA_DIR", m_folder.c_str()) {
  const fs::path built = NATALO_BUILT_PROGRAM_DIR;
  fs::create_directories(m_folder);
  for (const char* name : {"NataloUtil", "NataloCli", "Natalo.so", "local.dat"}) fs::copy_file(built / name, m_folder + name);
  fs::create_symlink(built / "NataloIcons.rcc", m_folder + "NataloIcons.rcc");
}

pid_t UtilProgramFolder::Start(const std::string& arguments, const std::vector<std::string>& environment) {
  const std::string program = m_folder + "NataloUtil";
  const pid_t pid = fork();
  if (pid == 0) {
    // In the sanitizer build, GLib's own buffer from its library constructor,
    // never freed, would turn the utility's exit code into LeakSanitizer's.
    // The tests read that exit code, so leak checking is off for the utility.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    if (arguments.empty()) {
      execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    } else {
      execl(program.c_str(), program.c_str(), arguments.c_str(), static_cast<char*>(nullptr));
    }
    _exit(127);
  }
  return pid;
}

int UtilProgramFolder::Wait(pid_t pid, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) != pid) {
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> UtilProgramFolder::Trace() const {
  std::vector<std::string> lines;
  std::istringstream in(testsupport::ReadFileBytes(m_dir.Path() / "trace.txt"));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string UtilProgramFolder::WaitForTrace(const std::string& prefix, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    for (const std::string& line : Trace()) {
      if (line.compare(0, prefix.size(), prefix) == 0) return line;
    }
    if (std::chrono::steady_clock::now() >= deadline) return {};
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace utiltest
