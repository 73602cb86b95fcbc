#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include "platform/folder/DataFolder.h"
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

namespace {

// Sets (nullptr: unsets) the variables that choose the data folder, for a scope.
class DataFolderVariables {
 public:
  DataFolderVariables(const char* own, const char* xdg, const char* home) {
    for (int i = 0; i < 3; ++i) {
      const char* old = std::getenv(kNames[i]);
      m_old[i] = old ? std::optional<std::string>(old) : std::nullopt;
      Set(kNames[i], i == 0 ? own : i == 1 ? xdg : home);
    }
  }
  ~DataFolderVariables() {
    for (int i = 0; i < 3; ++i) Set(kNames[i], m_old[i] ? m_old[i]->c_str() : nullptr);
  }

 private:
  static void Set(const char* name, const char* value) {
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  static constexpr const char* kNames[3] = {"NATALO_DATA_DIR", "XDG_DATA_HOME", "HOME"};
  std::optional<std::string> m_old[3];
};

}  // namespace

TEST(DataFolder, ChosenByTheEnvironmentAndMadePrivate) {
  testsupport::TempDir dir;
  const std::string root = dir.Path().string();
  const std::string own = root + "/own", xdg = root + "/xdg", xdgSlash = xdg + "/", home = root + "/home";
  const struct {
    const char* what;
    const char* own;
    const char* xdg;
    std::string expected;
  } cases[] = {
      {"its own variable first", own.c_str(), xdg.c_str(), own + "/"},
      {"a relative own variable is ignored", "own", xdg.c_str(), xdg + "/Natalo/"},
      {"XDG_DATA_HOME with a slash, parents made", nullptr, xdgSlash.c_str(), xdg + "/Natalo/"},
      {"a relative XDG_DATA_HOME is ignored", nullptr, "relative/data", home + "/.local/share/Natalo/"},
      {"an empty XDG_DATA_HOME is ignored", nullptr, "", home + "/.local/share/Natalo/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(dir.Path() / "own");
    std::filesystem::remove_all(dir.Path() / "xdg");
    std::filesystem::remove_all(dir.Path() / "home");
    const DataFolderVariables vars(c.own, c.xdg, home.c_str());
    EXPECT_EQ(DataFolderPath(), c.expected);
    ASSERT_EQ(GetDataFolder(), c.expected);
    struct stat st {};
    ASSERT_EQ(stat(c.expected.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
  }
  // Without HOME the user's password entry names the home.
  const DataFolderVariables vars(nullptr, nullptr, nullptr);
  EXPECT_EQ(DataFolderPath(), std::string(getpwuid(getuid())->pw_dir) + "/.local/share/Natalo/");
}

TEST(DataFolder, WhatStandsInTheWayIsRefusedAndLeftAlone) {
  testsupport::TempDir dir;
  const auto path = dir.Path() / "data";
  const auto elsewhere = dir.Path() / "elsewhere";
  std::filesystem::create_directories(elsewhere);
  const struct {
    const char* what;
    std::function<void()> place;
  } cases[] = {
      {"a file", [&] { ASSERT_TRUE(testsupport::WriteFileBytes(path, "mine")); }},
      {"a link to a folder elsewhere", [&] { std::filesystem::create_directory_symlink(elsewhere, path); }},
      {"a link to nowhere", [&] { std::filesystem::create_directory_symlink(dir.Path() / "none", path); }},
  };
  const DataFolderVariables vars(path.c_str(), nullptr, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(path);
    c.place();
    const auto before = std::filesystem::symlink_status(path).type();
    std::string error;
    EXPECT_EQ(GetDataFolder(&error), "");
    EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    EXPECT_EQ(std::filesystem::symlink_status(path).type(), before);
  }
  // A folder the user cannot write into; root ignores permissions, so the
  // check runs in a child as an ordinary user.
  std::filesystem::remove(path);
  std::filesystem::create_directories(path);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0711), 0);
  ASSERT_EQ(chmod(path.c_str(), 0500), 0);
  if (geteuid() == 0) {
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
  }
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    std::string error;
    _exit(GetDataFolder(&error).empty() && error.find("not writable") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
