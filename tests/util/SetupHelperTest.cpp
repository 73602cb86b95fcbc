// The setup helper as a process: its exit codes, and "install" starting the
// reminder utility of its own folder, detached and without arguments.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

int RunTool(const std::string& program, const char* argument) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (argument) {
      execl(program.c_str(), program.c_str(), argument, static_cast<char*>(nullptr));
    } else {
      execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    }
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(SetupHelperProcess, ExitCodesAndTheStartOfTheUtility) {
  testsupport::TempDir dir;
  const fs::path folder = dir.Path() / "Natalo";
  fs::create_directories(folder);
  const std::string tool = (folder / "NataloCustomTool").string();
  fs::copy_file(NATALO_CUSTOM_TOOL, tool);
  // A stand-in utility that records its arguments.
  const fs::path marker = dir.Path() / "started.txt";
  {
    std::ofstream script(folder / "NataloUtil");
    script << "#!/bin/sh\necho \"[$*]\" >> '" << marker.string() << "'\n";
  }
  fs::permissions(folder / "NataloUtil", fs::perms::owner_all);

  EXPECT_EQ(RunTool(tool, nullptr), 1);
  EXPECT_EQ(RunTool(tool, "x/A=install"), 3);
  EXPECT_EQ(RunTool(tool, "/A=repair"), 2);
  EXPECT_EQ(RunTool(tool, "/A=uninstall"), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(fs::exists(marker));
  EXPECT_EQ(RunTool(tool, "/A=INSTALL"), 0);
  for (int i = 0; i < 100 && !fs::exists(marker); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(testsupport::ReadFileBytes(marker), "[]\n");
  // A missing utility is not reported.
  fs::remove(folder / "NataloUtil");
  EXPECT_EQ(RunTool(tool, "/A=install"), 0);
}
