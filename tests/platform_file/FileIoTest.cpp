#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/file/FileIo.h"
#include "platform/file/UniqueFd.h"
#include "tests/support/TempDir.h"

using namespace platform;

namespace {

class FileIoTest : public ::testing::Test {
 protected:
  testsupport::TempDir m_temp;
  std::string PathOf(const char* name) const { return (m_temp.Path() / name).string(); }
};

TEST_F(FileIoTest, WritesAllBytesAndReportsAFullDisk) {
  const std::string path = PathOf("out");
  UniqueFd fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  ASSERT_TRUE(fd.IsOpen());
  const std::string big(300 * 1024, 'a');
  ASSERT_TRUE(WriteAll(fd.Get(), big));
  // At an offset the descriptor's own position stays where it was.
  ASSERT_TRUE(WriteAllAt(fd.Get(), "XY", 2, 10));
  ASSERT_TRUE(WriteAll(fd.Get(), "z", 1));
  std::string expected = big + "z";
  expected.replace(10, 2, "XY");
  EXPECT_EQ(testsupport::ReadFileBytes(path), expected);

  UniqueFd full(open("/dev/full", O_WRONLY | O_CLOEXEC));
  ASSERT_TRUE(full.IsOpen());
  EXPECT_FALSE(WriteAll(full.Get(), "x"));
  EXPECT_FALSE(WriteAllAt(full.Get(), "x", 1, 0));
  EXPECT_TRUE(WriteAll(full.Get(), ""));  // nothing to write is no failure
}

TEST_F(FileIoTest, ReadsWholeRegularFilesWithinTheCap) {
  const std::string path = PathOf("in");
  const std::string content(40000, 'q');
  ASSERT_TRUE(testsupport::WriteFileBytes(path, content));
  std::string out = "stale";
  ASSERT_TRUE(ReadWholeFile(path, out, content.size()));
  EXPECT_EQ(out, content);
  EXPECT_FALSE(ReadWholeFile(path, out, content.size() - 1));

  ASSERT_TRUE(testsupport::WriteFileBytes(path, ""));
  ASSERT_TRUE(ReadWholeFile(path, out, 10));
  EXPECT_EQ(out, "");

  EXPECT_FALSE(ReadWholeFile(PathOf("missing"), out, 10));
  EXPECT_FALSE(ReadWholeFile(m_temp.Path().string(), out, 10));
}

TEST_F(FileIoTest, FifoIsRefusedWithoutWaitingForAWriter) {
  const std::string path = PathOf("fifo");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  std::string out;
  EXPECT_FALSE(ReadWholeFile(path, out, 10));
}

TEST_F(FileIoTest, ReadAllStopsAtTheCap) {
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  UniqueFd readEnd(pipeFds[0]);
  UniqueFd writeEnd(pipeFds[1]);
  ASSERT_TRUE(WriteAll(writeEnd.Get(), "0123456789"));
  ASSERT_TRUE(writeEnd.Close());
  std::string out;
  EXPECT_FALSE(ReadAll(readEnd.Get(), out, 4));
  EXPECT_EQ(out, "0123");
}

TEST(FileIo, FolderOfAPath) {
  EXPECT_EQ(FolderOf("/a/b/c.txt"), "/a/b");
  EXPECT_EQ(FolderOf("/c.txt"), "/");
  EXPECT_EQ(FolderOf("c.txt"), ".");
  EXPECT_EQ(FolderOf("a/c.txt"), "a");
}

TEST(UniqueFdTest, ClosesOnceAndHandsOver) {
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  UniqueFd first(pipeFds[0]);
  close(pipeFds[1]);
  UniqueFd second(std::move(first));
  EXPECT_FALSE(first.IsOpen());  // NOLINT(bugprone-use-after-move): the moved-from state is what is tested
  EXPECT_EQ(second.Get(), pipeFds[0]);
  EXPECT_TRUE(second.Close());
  EXPECT_FALSE(second.IsOpen());
  EXPECT_FALSE(second.Close());
  EXPECT_EQ(fcntl(pipeFds[0], F_GETFD), -1);
}

}  // namespace
