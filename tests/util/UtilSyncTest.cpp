// The utility's side of the exchange with a running application, against a
// stand-in application in a child process.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "NataloUtil/ReminderSession.h"
#include "NataloUtil/UtilSync.h"
#include "common/entries/FeskList.h"
#include "platform/sync/NamedEvent.h"
#include "tests/platform_sync/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/util/UtilTestSupport.h"

using namespace utiltest;

namespace {

class UtilSyncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_folder = m_env.ProgramFolder();
    std::filesystem::create_directories(m_folder);
    std::vector<std::unique_ptr<FeskItem>> entries;
    entries.push_back(Entry(Birthday, "Anna Berg", {1985, 3, 14}));
    entries.push_back(Entry(Anniversary, "Ben wedding", {2010, 3, 20}));
    ASSERT_TRUE(SaveEntries(m_folder, std::move(entries)));
    m_item = StoredEntry(m_folder, 2);
    m_item->m_ftSnooze = 0x01D0000000000000ULL;
    m_item->m_dwSnoozeCounter = 3;
  }

  double SecondsOf(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

  testsupport::TestEnvironment m_env;
  std::string m_folder;
  std::unique_ptr<FeskItem> m_item;
};

}  // namespace

TEST_F(UtilSyncTest, WithoutTheApplicationOnlyTheFileIsPatched) {
  ASSERT_TRUE(WriteUtilData(*m_item, m_folder));
  EXPECT_FALSE(std::filesystem::exists(m_folder + "sync.tmp"));
  const auto stored = StoredEntry(m_folder, 2);
  EXPECT_EQ(stored->m_ftSnooze, m_item->m_ftSnooze);
  EXPECT_EQ(stored->m_dwSnoozeCounter, 3u);
  EXPECT_EQ(StoredEntry(m_folder, 1)->m_dwSnoozeCounter, 0u);  // the neighbour is untouched
  // An entry that is no longer in the file.
  m_item->m_nUID = 77;
  EXPECT_FALSE(WriteUtilData(*m_item, m_folder));
}

TEST_F(UtilSyncTest, TheApplicationReadsTheChangeWhileTheUtilityWaits) {
  const std::string folder = m_folder;
  synctest::ChildProcess app([folder](const std::function<void()>& ready) {
    auto changed = platform::NamedEvent::Create(kStorageChangedEvent);
    ready();
    if (changed->Wait(20'000) != platform::WaitResult::Acquired) return 10;
    const std::string bytes = testsupport::ReadFileBytes(folder + "sync.tmp");
    // The utility still holds the storage mutex: the state is already in the file.
    const auto stored = StoredEntry(folder, 2);
    auto reply = platform::NamedEvent::Open(kNotifyContinueEvent);
    if (!reply || !reply->Set()) return 11;
    if (bytes != std::string("\x02\x00\x00\x00", 4)) return 12;
    return stored && stored->m_dwSnoozeCounter == 3 ? 0 : 13;
  });
  ASSERT_TRUE(app.WaitReady(5000));
  bool written = false;
  EXPECT_LT(SecondsOf([&] { written = WriteUtilData(*m_item, m_folder); }), 10.0);
  EXPECT_TRUE(written);
  EXPECT_EQ(app.Join(5000), 0);
}

TEST_F(UtilSyncTest, AnApplicationKilledMidExchangeDoesNotHoldTheUtility) {
  synctest::ChildProcess app([](const std::function<void()>& ready) {
    auto changed = platform::NamedEvent::Create(kStorageChangedEvent);
    ready();
    changed->Wait(20'000);
    raise(SIGKILL);  // dies before it answers
    return 1;
  });
  ASSERT_TRUE(app.WaitReady(5000));
  bool written = false;
  EXPECT_LT(SecondsOf([&] { written = WriteUtilData(*m_item, m_folder); }), 5.0);
  EXPECT_TRUE(written);
  EXPECT_EQ(StoredEntry(m_folder, 2)->m_dwSnoozeCounter, 3u);
}

// A stopped or hung application never answers: the utility gives up after a
// short wait and frees the storage mutex for every other program.
TEST_F(UtilSyncTest, AnApplicationThatNeverAnswersHoldsTheFileOnlyBriefly) {
  synctest::ChildProcess app([](const std::function<void()>& ready) {
    auto changed = platform::NamedEvent::Create(kStorageChangedEvent);
    ready();
    changed->Wait(20'000);
    std::this_thread::sleep_for(std::chrono::seconds(20));  // alive, silent
    return 0;
  });
  ASSERT_TRUE(app.WaitReady(5000));
  bool written = false;
  EXPECT_LT(SecondsOf([&] { written = WriteUtilData(*m_item, m_folder); }), 5.0);
  EXPECT_TRUE(written);
  FeskList other(m_folder + "storage.dat");
  EXPECT_TRUE(other.LoadStorageLocked(100));
  EXPECT_EQ(other.FindByUID(2)->m_dwSnoozeCounter, 3u);
  app.Kill();
}

// sync.tmp is opened as every stored file: a symbolic link put there is not
// followed, so its target is never truncated or read.
TEST_F(UtilSyncTest, TheNoticeFileIsNeverReachedThroughASymbolicLink) {
  const std::string victim = m_folder + "victim";
  const std::string kept("\x05\x00\x00\x00keep", 8);
  ASSERT_TRUE(testsupport::WriteFileBytes(victim, kept));
  std::filesystem::create_symlink(victim, m_folder + kSyncFileName);
  EXPECT_FALSE(WriteStorageNotice(m_folder + kSyncFileName, {2, StorageChange::EntryAdded}));
  EXPECT_EQ(testsupport::ReadFileBytes(victim), kept);
  StorageNotice notice;
  EXPECT_FALSE(ReadStorageNotice(m_folder + kSyncFileName, notice));
}
