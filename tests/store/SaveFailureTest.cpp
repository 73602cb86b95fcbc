// Save replaces storage.dat as a whole: a failed or interrupted save leaves the
// previous content readable.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "common/store/AtomicFile.h"
#include "common/store/StorageCopy.h"
#include "tests/store/StoreFixture.h"

namespace {

namespace fs = std::filesystem;
constexpr std::uint64_t kStart = 133'000'000'000'000'000ULL;

class SaveFailure : public storetest::StoreFixture {
 protected:
  void Fill(StorageList& list, int count, std::uint32_t kind) {
    for (int i = 0; i < count; ++i) list.Add(Item(kind, kStart + static_cast<std::uint64_t>(i)));
  }
  bool PendingFileExists() const { return fs::exists(PendingFileName(StoragePath())); }
};

// Limits the size of files this process writes, as a full disk would; writes
// beyond the limit fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_old);
    m_oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_old;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_old);
    signal(SIGXFSZ, m_oldHandler);
  }

 private:
  rlimit m_old{};
  sighandler_t m_oldHandler{};
};

TEST_F(SaveFailure, FullDiskLeavesOldFileWhole) {
  StorageList list(StoragePath());
  Fill(list, 10, Once);
  ASSERT_TRUE(list.Save());
  const std::string old = FileContent();

  Fill(list, 2000, Monthly);
  bool saved = true;
  {
    FileSizeLimit limit(4096);
    saved = list.Save();
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(FileContent(), old);
  EXPECT_FALSE(PendingFileExists());
  // The same save succeeds once there is room again.
  EXPECT_TRUE(list.Save());
  StorageList loaded(StoragePath());
  ASSERT_TRUE(loaded.Load());
  EXPECT_EQ(loaded.Count(), 2010u);
}

TEST_F(SaveFailure, FailingItemLeavesOldFileWhole) {
  ASSERT_TRUE(StorageList(StoragePath()).Save());
  const std::string old = FileContent();
  storetest::ExtendedList list(StoragePath());
  auto item = std::make_unique<storetest::ExtendedItem>();
  item->m_ext.assign(0x10000, 1);  // more than an extension block holds
  list.Add(std::move(item));
  EXPECT_FALSE(list.Save());
  EXPECT_EQ(FileContent(), old);
  EXPECT_FALSE(PendingFileExists());
}

TEST_F(SaveFailure, ReplacementKeepsPermissionsAndLinks) {
  const fs::path real = m_env.Root() / "elsewhere.dat";
  StorageList list(StoragePath());
  ASSERT_TRUE(StorageList(real.string()).Save());
  chmod(real.c_str(), 0640);
  fs::create_symlink(real, StoragePath());

  list.Add(Item(Once, kStart));
  ASSERT_TRUE(list.Save());
  EXPECT_TRUE(fs::is_symlink(StoragePath()));
  EXPECT_EQ(testsupport::ReadFileBytes(real).size(), 8u + 36);
  struct stat st {};
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// The dates are private: a new storage file and the copies kept beside it
// are readable by the user alone, whatever the umask.
TEST_F(SaveFailure, NewFileIsPrivateWhateverTheUmask) {
  const mode_t oldMask = umask(0);
  StorageList list(StoragePath());
  list.Add(Item(Once, kStart));
  const bool saved = list.Save();
  const std::string copy = KeepCopyBeside(StoragePath(), "damaged");
  umask(oldMask);
  ASSERT_TRUE(saved);
  for (const std::string& path : {StoragePath(), copy}) {
    SCOPED_TRACE(path);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
  }
}

TEST_F(SaveFailure, KilledWriterLeavesOldOrNewContent) {
  StorageList small(StoragePath());
  Fill(small, 3, Once);
  StorageList large(StoragePath());
  Fill(large, 20000, Monthly);
  ASSERT_TRUE(large.Save());
  const std::string largeBytes = FileContent();
  ASSERT_TRUE(small.Save());
  const std::string smallBytes = FileContent();

  std::mt19937 random(12345);
  for (int round = 0; round < 12; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) {
        large.SaveStorageLocked();
        small.SaveStorageLocked();
      }
    }
    usleep(2000 + random() % 30000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    StorageList check(StoragePath());
    ASSERT_TRUE(check.LoadStorageLocked(5000)) << "round " << round;
    const std::string content = FileContent();
    EXPECT_TRUE(content == smallBytes || content == largeBytes) << "round " << round << ", " << content.size();
    EXPECT_TRUE(check.Count() == 3 || check.Count() == 20000);
  }
}

}  // namespace
