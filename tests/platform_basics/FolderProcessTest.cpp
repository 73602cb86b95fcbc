#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "platform/folder/ProgramFolder.h"
#include "platform/process/Process.h"
#include "tests/support/TempDir.h"

using namespace platform;

TEST(ProgramFolder, ExecutableAndModuleFolderEndWithSeparator) {
  const std::string exe = GetExecutableFolder();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.back(), '/');
  EXPECT_EQ(GetModuleFolder(reinterpret_cast<const void*>(&GetExecutableFolder)), exe);
  EXPECT_EQ(FolderName("/opt/apps/Natalo/"), "Natalo");
  EXPECT_EQ(FolderName("Natalo"), "Natalo");
}

TEST(ProgramFolder, PlatformFileNamesMapOnce) {
  EXPECT_EQ(MapPlatformFileName("Natalo.dll"), "Natalo.so");
  EXPECT_EQ(MapPlatformFileName("NataloUtil.EXE"), "NataloUtil");
  EXPECT_EQ(MapPlatformFileName("storage.dat"), "storage.dat");
}

TEST(Process, StartsDetachedWithExactArguments) {
  testsupport::TempDir dir;
  const auto out = dir.Path() / "args.txt";
  const std::string armed = "/T=\"134000000000000000\" /ID=\"3,7\"";
  ASSERT_GT(StartProcess(PRINT_ARGS_PATH, {out.string(), armed}), 0);
  for (int i = 0; i < 200 && testsupport::ReadFileBytes(out).empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(testsupport::ReadFileBytes(out), armed + "\n");
}

TEST(Process, StartsWithoutTheCallersStreamsInASessionOfItsOwn) {
  testsupport::TempDir dir;
  const auto out = dir.Path() / "streams.txt";
  const std::string script =
      "s=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2; cut -d' ' -f6 /proc/$$/stat); "
      "printf '%s\\n' \"$s\" >\"$0.part\" && mv \"$0.part\" \"$0\"";
  ASSERT_GT(StartProcess("/bin/sh", {"-c", script, out.string()}), 0);
  for (int i = 0; i < 200 && testsupport::ReadFileBytes(out).empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::vector<std::string> lines;
  std::istringstream seen(testsupport::ReadFileBytes(out));
  for (std::string line; std::getline(seen, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3), std::vector<std::string>(3, "/dev/null"));
  EXPECT_NE(lines[3], std::to_string(getsid(0)));
}

TEST(Process, MissingProgramFails) {
  EXPECT_EQ(StartProcess("/nonexistent/program", {}), -1);
}

TEST(Process, CommandLineJoinsArguments) {
  char a0[] = "prog", a1[] = "/T=\"1\"", a2[] = "/ID=\"2\"";
  char* argv[] = {a0, a1, a2, nullptr};
  EXPECT_EQ(CommandLineOf(3, argv), "/T=\"1\" /ID=\"2\"");
  EXPECT_EQ(CommandLineOf(1, argv), "");
}

TEST(SharedLibraryTest, LoadFailureAndSymbols) {
  SharedLibrary lib;
  EXPECT_FALSE(lib.Open("/nonexistent/lib.so"));
  EXPECT_FALSE(lib.Error().empty());
  EXPECT_EQ(lib.Symbol("anything"), nullptr);
  ASSERT_TRUE(lib.Open("libm.so.6"));
  EXPECT_NE(lib.Symbol("cos"), nullptr);
  EXPECT_EQ(lib.Symbol("no_such_symbol_here"), nullptr);
}
