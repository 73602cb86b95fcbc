#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/registry/Registry.h"
#include "tests/platform_registry/RegistryTestFixture.h"
#include "tests/support/TempDir.h"

using namespace platform;
using registrytest::RegistryTest;
namespace fs = std::filesystem;

namespace {

constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;

unsigned Mode(const fs::path& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0xFFFFu;
}

// Every operation fails, and none of them changes the file.
void ExpectEveryCallFails() {
  std::uint32_t number = 0;
  std::u16string text;
  std::vector<std::uint8_t> bytes;
  std::vector<std::u16string> names;
  RegistryValue value;
  EXPECT_FALSE(RegWriteDword(HKCU, u"A", u"N", 1));
  EXPECT_FALSE(RegWriteString(HKCU, u"A", u"S", u"x"));
  EXPECT_FALSE(RegWriteBinary(HKCU, u"A", u"B", {1}));
  EXPECT_FALSE(RegUpdateValue(HKCU, u"A", u"N", [](RegistryValue&, bool) { return true; }));
  EXPECT_FALSE(RegReadDword(HKCU, u"A", u"N", number));
  EXPECT_FALSE(RegReadString(HKCU, u"A", u"S", text));
  EXPECT_FALSE(RegReadBinary(HKCU, u"A", u"B", bytes));
  EXPECT_FALSE(RegReadValue(HKCU, u"", u"N", value));
  EXPECT_FALSE(RegDeleteValue(HKCU, u"A", u"N"));
  EXPECT_FALSE(RegKeyExists(HKCU, u""));
  EXPECT_FALSE(RegListSubKeys(HKCU, u"", names));
  EXPECT_FALSE(RegListValues(HKCU, u"", names));
  RegistryWatch watch(HKCU, u"A", u"N");
  EXPECT_FALSE(watch.WaitForChange(30));
}

}  // namespace

TEST_F(RegistryTest, LocationFollowsOverrideThenVariableThenConfigFolder) {
  const std::string fromVariable = m_env.RegistryFile();
  EXPECT_EQ(GetRegistryFile(), fromVariable);
  const std::string fromCall = (m_env.Root() / "other.db").string();
  SetRegistryFile(fromCall);
  EXPECT_EQ(GetRegistryFile(), fromCall);
  ASSERT_TRUE(RegWriteDword(HKCU, u"K", u"Where", 1));
  SetRegistryFile("");
  EXPECT_EQ(GetRegistryFile(), fromVariable);
  std::uint32_t number = 0;
  EXPECT_FALSE(RegReadDword(HKCU, u"K", u"Where", number));
  ASSERT_TRUE(RegWriteDword(HKCU, u"K", u"Where", 2));

  // Without the variable: $XDG_CONFIG_HOME/Natalo/registry.db, created with its folder.
  unsetenv("NATALO_REGISTRY_FILE");
  const fs::path config = m_env.Root() / "config";
  EXPECT_EQ(GetRegistryFile(), (config / "Natalo" / "registry.db").string());
  ASSERT_TRUE(RegWriteDword(HKCU, u"K", u"Where", 3));
  EXPECT_EQ(Mode(config / "Natalo"), 0700u);
  EXPECT_TRUE(fs::exists(config / "Natalo" / "registry.db"));
  // A relative XDG_CONFIG_HOME does not count; ~/.config is used.
  setenv("XDG_CONFIG_HOME", "relative", 1);
  const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  setenv("HOME", m_env.Root().c_str(), 1);
  EXPECT_EQ(GetRegistryFile(), (m_env.Root() / ".config" / "Natalo" / "registry.db").string());
  setenv("HOME", home.c_str(), 1);

  // Each file kept its own value.
  setenv("NATALO_REGISTRY_FILE", fromVariable.c_str(), 1);
  ASSERT_TRUE(RegReadDword(HKCU, u"K", u"Where", number));
  EXPECT_EQ(number, 2u);
  SetRegistryFile(fromCall);
  ASSERT_TRUE(RegReadDword(HKCU, u"K", u"Where", number));
  EXPECT_EQ(number, 1u);
}

TEST_F(RegistryTest, FilesAreForTheOwnerOnlyWhateverTheUmask) {
  const mode_t old = umask(0);
  const bool written = RegWriteDword(HKCU, u"K", u"V", 1);
  umask(old);
  ASSERT_TRUE(written);
  const std::string file = m_env.RegistryFile();
  EXPECT_EQ(Mode(file), 0600u);
  // The connection is still open, so the WAL files exist.
  EXPECT_EQ(Mode(file + "-wal"), 0600u);
  EXPECT_EQ(Mode(file + "-shm"), 0600u);
}

TEST_F(RegistryTest, ReadingAMissingFileFailsWithoutCreatingIt) {
  const fs::path fresh = m_env.Root() / "fresh" / "registry.db";
  SetRegistryFile(fresh.string());
  std::uint32_t number = 0;
  std::vector<std::u16string> names;
  EXPECT_FALSE(RegReadDword(HKCU, u"A", u"N", number));
  EXPECT_FALSE(RegKeyExists(HKCU, u""));
  EXPECT_FALSE(RegListSubKeys(HKCU, u"", names));
  EXPECT_FALSE(RegDeleteValue(HKCU, u"A", u"N"));
  RegistryWatch watch(HKCU, u"A", u"N");
  EXPECT_FALSE(watch.Changed());
  EXPECT_FALSE(fs::exists(fresh.parent_path()));
  // The watch notices the value once the file is made.
  ASSERT_TRUE(RegWriteDword(HKCU, u"A", u"N", 1));
  EXPECT_TRUE(watch.Changed());
}

TEST_F(RegistryTest, AFileThatIsNoDatabaseFailsEveryCall) {
  const std::string junk = "This is not a database file, just some text.\n" + std::string(5000, '\x5A');
  for (const std::string& content : {junk, std::string("SQLite format 3") + std::string(1, '\0') + junk}) {
    const fs::path file = m_env.Root() / ("junk" + std::to_string(content.size()) + ".db");
    ASSERT_TRUE(testsupport::WriteFileBytes(file, content));
    SetRegistryFile(file.string());
    ExpectEveryCallFails();
    // The user's file is left as it was.
    EXPECT_EQ(testsupport::ReadFileBytes(file), content);
  }
}

TEST_F(RegistryTest, ATruncatedDatabaseNeverGivesWrongValues) {
  constexpr int kValues = 200;
  auto payload = [](int i) { return std::vector<std::uint8_t>(700, static_cast<std::uint8_t>(i)); };
  for (int i = 0; i < kValues; ++i) {
    ASSERT_TRUE(RegWriteBinary(HKCU, u"Many\\K" + std::u16string(1, static_cast<char16_t>(u'A' + i % 20)),
                               u"V" + std::u16string(1, static_cast<char16_t>(u'0' + i)), payload(i)));
  }
  // Move everything from the WAL into the database file, then keep its first half.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(m_env.RegistryFile().c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  const std::string whole = testsupport::ReadFileBytes(m_env.RegistryFile());
  ASSERT_GT(whole.size(), 100000u);
  const fs::path cut = m_env.Root() / "cut.db";
  ASSERT_TRUE(testsupport::WriteFileBytes(cut, whole.substr(0, whole.size() / 2)));
  SetRegistryFile(cut.string());

  int good = 0;
  for (int i = 0; i < kValues; ++i) {
    std::vector<std::uint8_t> read;
    if (RegReadBinary(HKCU, u"Many\\K" + std::u16string(1, static_cast<char16_t>(u'A' + i % 20)),
                      u"V" + std::u16string(1, static_cast<char16_t>(u'0' + i)), read)) {
      EXPECT_EQ(read, payload(i)) << i;
      ++good;
    }
  }
  EXPECT_LT(good, kValues);
  std::vector<std::u16string> names;
  RegListSubKeys(HKCU, u"Many", names);
  RegWriteDword(HKCU, u"Many\\KZ", u"New", 1);
}

TEST_F(RegistryTest, AFolderThatCannotBeMadeFailsEveryCall) {
  // A file where a folder should be; this holds for root too.
  const fs::path file = m_env.Root() / "plain";
  ASSERT_TRUE(testsupport::WriteFileBytes(file, "x"));
  SetRegistryFile((file / "Natalo" / "registry.db").string());
  ExpectEveryCallFails();
}

TEST_F(RegistryTest, AReadOnlyFolderFailsEveryCall) {
  // Permission checks do not apply to root, so the checks run in a child that
  // gives up root for an ordinary user.
  const fs::path folder = m_env.Root() / "readonly";
  fs::create_directories(folder);
  ASSERT_EQ(chmod(m_env.Root().c_str(), 0711), 0);
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    SetRegistryFile((folder / "registry.db").string());
    const bool failed = !RegWriteDword(HKCU, u"A", u"N", 1) && !RegKeyExists(HKCU, u"");
    SetRegistryFile((folder / "Natalo" / "registry.db").string());
    const bool failedBelow = !RegWriteDword(HKCU, u"A", u"N", 1);
    _exit(failed && failedBelow && !fs::exists(folder / "registry.db") ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(RegistryTest, ALockedDatabaseFailsWritesAfterTheBusyTimeoutAndStillReads) {
  ASSERT_TRUE(RegWriteDword(HKCU, u"A", u"N", 1));
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(m_env.RegistryFile().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(RegWriteDword(HKCU, u"A", u"N", 2));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::seconds(4));
  EXPECT_LT(waited, std::chrono::seconds(8));
  std::uint32_t number = 0;
  EXPECT_TRUE(RegReadDword(HKCU, u"A", u"N", number));
  EXPECT_EQ(number, 1u);

  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_TRUE(RegWriteDword(HKCU, u"A", u"N", 3));
  ASSERT_TRUE(RegReadDword(HKCU, u"A", u"N", number));
  EXPECT_EQ(number, 3u);
}

TEST_F(RegistryTest, AnEmptyFileBecomesADatabaseOnTheFirstWrite) {
  ASSERT_TRUE(testsupport::WriteFileBytes(m_env.RegistryFile(), ""));
  std::uint32_t number = 0;
  EXPECT_FALSE(RegReadDword(HKCU, u"A", u"N", number));
  ASSERT_TRUE(RegWriteDword(HKCU, u"A", u"N", 4));
  ASSERT_TRUE(RegReadDword(HKCU, u"A", u"N", number));
  EXPECT_EQ(number, 4u);
}
