#pragma once
// A program folder for whole-process tests of the reminder utility: the built
// utility, engine, texts and pictures, the notification service of the
// harness, and helpers to run the utility and read what it traced. The
// session bus address points nowhere unless a test gives it a bus of its own.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/platform_notify/DaemonHarness.h"
#include "tests/support/TempDir.h"

namespace utiltest {

class UtilProgramFolder {
 public:
  UtilProgramFolder();
  const std::string& Folder() const { return m_folder; }
  notifytest::DaemonHarness& Harness() { return m_harness; }

  // Starts the utility with one argument text (none when empty) and extra
  // "NAME=value" environment entries; returns its pid.
  pid_t Start(const std::string& arguments, const std::vector<std::string>& environment = {});
  // Waits for a started utility; its exit code, or -1 when it did not end in time.
  int Wait(pid_t pid, std::chrono::milliseconds timeout);
  // The lines the utility (or all utilities) traced so far.
  std::vector<std::string> Trace() const;
  // Waits for a traced line that starts with `prefix`; empty on time-out.
  std::string WaitForTrace(const std::string& prefix, std::chrono::milliseconds timeout) const;

 private:
  notifytest::DaemonHarness m_harness;
  testsupport::TempDir m_dir;
  std::string m_folder;
  notifytest::EnvScope m_sink, m_trace, m_bus, m_data;
};

}  // namespace utiltest
