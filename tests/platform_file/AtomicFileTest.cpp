#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "platform/file/AtomicFile.h"
#include "platform/file/FileIo.h"
#include "tests/support/TempDir.h"

using namespace platform;
namespace fs = std::filesystem;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

namespace {

int CountFiles(const fs::path& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++n;
  return n;
}

mode_t ModeOf(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

// Each case runs with a hidden temporary file and with a fixed pending name.
class AtomicFileTest : public ::testing::TestWithParam<bool> {
 protected:
  testsupport::TempDir m_temp;
  fs::path m_file = m_temp.Path() / "data.bin";

  std::string Pending(const fs::path& target) const { return GetParam() ? target.string() + ".new" : std::string(); }
  bool Replace(const fs::path& path, std::string_view bytes) {
    return ReplaceFileAtomically(path.string(), bytes, Pending(path));
  }
};

TEST_P(AtomicFileTest, ReplacesContentAndKeepsPermissions) {
  ASSERT_TRUE(WriteFileBytes(m_file, "old content"));
  chmod(m_file.c_str(), 0640);
  ASSERT_TRUE(Replace(m_file, "new"));
  EXPECT_EQ(ReadFileBytes(m_file), "new");
  EXPECT_EQ(ModeOf(m_file), 0640u);
  EXPECT_EQ(CountFiles(m_temp.Path()), 1);
}

TEST_P(AtomicFileTest, NewFileTakesTheUmaskMode) {
  const mode_t old = umask(027);
  const bool done = Replace(m_file, "first");
  umask(old);
  ASSERT_TRUE(done);
  EXPECT_EQ(ReadFileBytes(m_file), "first");
  EXPECT_EQ(ModeOf(m_file), 0640u);
}

TEST_P(AtomicFileTest, LinkIsKeptAndItsTargetReplaced) {
  const fs::path folder = m_temp.Path() / "elsewhere";
  fs::create_directory(folder);
  const fs::path real = folder / "real.bin";
  ASSERT_TRUE(WriteFileBytes(real, "old"));
  chmod(real.c_str(), 0604);
  fs::create_symlink(real, m_file);

  ASSERT_TRUE(ReplaceFileAtomically(m_file.string(), "new", Pending(real)));
  EXPECT_TRUE(fs::is_symlink(m_file));
  EXPECT_EQ(ReadFileBytes(real), "new");
  EXPECT_EQ(ModeOf(real), 0604u);
  EXPECT_EQ(CountFiles(folder), 1);
  EXPECT_EQ(ReplacementTarget(m_file.string()), fs::canonical(real).string());
  EXPECT_EQ(ReplacementTarget(real.string()), real.string());
}

TEST_P(AtomicFileTest, FailedWriterLeavesOldFileAndNoPendingFile) {
  ASSERT_TRUE(WriteFileBytes(m_file, "old"));
  const bool done = ReplaceFileAtomically(
      m_file.string(), [](int fd) { return WriteAll(fd, "half") && false; }, Pending(m_file));
  EXPECT_FALSE(done);
  EXPECT_EQ(ReadFileBytes(m_file), "old");
  EXPECT_EQ(CountFiles(m_temp.Path()), 1);
}

TEST_P(AtomicFileTest, WriteFailingHalfwayLeavesOldFile) {
  const std::string before = "the old content, kept whole";
  ASSERT_TRUE(WriteFileBytes(m_file, before));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A file-size limit makes the write fail part-way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{16, 16};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(Replace(m_file, std::string(4096, 'x')) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write was reported as done";
  EXPECT_EQ(ReadFileBytes(m_file), before);
  EXPECT_EQ(CountFiles(m_temp.Path()), 1) << "a pending file was left behind";
}

TEST_P(AtomicFileTest, MissingFolderFails) {
  EXPECT_FALSE(Replace(m_temp.Path() / "no-such-folder" / "data.bin", "x"));
}

INSTANTIATE_TEST_SUITE_P(PendingFile, AtomicFileTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& param) { return param.param ? "FixedName" : "HiddenTemp"; });

// A fixed pending name is never followed or removed when something else is there.
TEST(AtomicFileFixedPending, LinkOrFolderAtThePendingNameIsLeftAlone) {
  testsupport::TempDir temp;
  const fs::path file = temp.Path() / "data.bin";
  const fs::path pending = temp.Path() / "data.bin.new";
  const fs::path victim = temp.Path() / "victim";
  ASSERT_TRUE(WriteFileBytes(file, "old"));
  ASSERT_TRUE(WriteFileBytes(victim, "untouched"));

  fs::create_symlink(victim, pending);
  EXPECT_FALSE(ReplaceFileAtomically(file.string(), "new", pending.string()));
  EXPECT_EQ(ReadFileBytes(victim), "untouched");
  EXPECT_TRUE(fs::is_symlink(pending));
  fs::remove(pending);

  fs::create_directory(pending);
  EXPECT_FALSE(ReplaceFileAtomically(file.string(), "new", pending.string()));
  EXPECT_TRUE(fs::is_directory(pending));
  EXPECT_EQ(ReadFileBytes(file), "old");
}

}  // namespace
