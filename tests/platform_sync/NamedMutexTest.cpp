#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <thread>
#include <vector>

#include "platform/sync/NamedMutex.h"
#include "tests/platform_sync/ChildProcess.h"
#include "tests/support/TempDir.h"

using namespace platform;
using Clock = std::chrono::steady_clock;

namespace {

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Holds the mutex in a child process until the child is killed.
int HoldMutexUntilKilled(const std::u16string& name, const std::function<void()>& ready) {
  auto mutex = NamedMutex::Create(name);
  if (!mutex || mutex->Wait(INFINITE_WAIT) != WaitResult::Acquired) return 1;
  ready();
  for (;;) pause();
}

}  // namespace

TEST(NamedMutex, SeparateHandlesExcludeThreadsOfOneProcess) {
  testsupport::TestEnvironment env;
  constexpr int kThreads = 4;
  constexpr int kRounds = 300;
  std::atomic<bool> inside{false};
  std::atomic<int> overlaps{0};
  int counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      auto mutex = NamedMutex::Create(u"Shared");
      if (!mutex) return;
      for (int i = 0; i < kRounds; ++i) {
        // Both kinds of wait: a blocking one and a polling one.
        const std::uint32_t timeout = (t % 2 == 0) ? INFINITE_WAIT : 10000;
        if (mutex->Wait(timeout) != WaitResult::Acquired) continue;
        if (inside.exchange(true)) ++overlaps;
        ++counter;
        inside = false;
        mutex->Release();
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_EQ(counter, kThreads * kRounds);
}

TEST(NamedMutex, HeldMutexTimesOutForOthersAndIsTakenAgainByItsOwner) {
  testsupport::TestEnvironment env;
  auto mutex = NamedMutex::Create(u"Held");
  auto other = NamedMutex::Create(u"Held");
  ASSERT_TRUE(mutex && other);
  ASSERT_EQ(mutex->Wait(0), WaitResult::Acquired);
  ASSERT_EQ(mutex->Wait(0), WaitResult::Acquired);
  EXPECT_EQ(other->Wait(0), WaitResult::TimedOut);
  const auto start = Clock::now();
  EXPECT_EQ(other->Wait(80), WaitResult::TimedOut);
  const auto waited = MillisecondsSince(start);
  EXPECT_GE(waited, 80);
  EXPECT_LT(waited, 1000);
  EXPECT_FALSE(other->Release());

  // Another thread shares the handle but not its ownership.
  std::thread([&] {
    EXPECT_EQ(mutex->Wait(30), WaitResult::TimedOut);
    EXPECT_FALSE(mutex->Release());
  }).join();

  // Each acquiring wait needs its own release.
  EXPECT_TRUE(mutex->Release());
  EXPECT_EQ(other->Wait(0), WaitResult::TimedOut);
  EXPECT_TRUE(mutex->Release());
  EXPECT_FALSE(mutex->Release());
  std::thread([&] {
    EXPECT_EQ(mutex->Wait(0), WaitResult::Acquired);
    EXPECT_TRUE(mutex->Release());
  }).join();
  EXPECT_EQ(other->Wait(0), WaitResult::Acquired);
  EXPECT_TRUE(other->Release());
}

TEST(NamedMutex, ThreadWaitingOnSharedHandleGetsItWhenOwnerReleases) {
  testsupport::TestEnvironment env;
  auto mutex = NamedMutex::Create(u"SharedHandle");
  ASSERT_TRUE(mutex);
  ASSERT_EQ(mutex->Wait(0), WaitResult::Acquired);
  auto waiter = std::async(std::launch::async, [&] {
    const WaitResult result = mutex->Wait(5000);
    if (result == WaitResult::Acquired) mutex->Release();
    return result;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_TRUE(mutex->Release());
  EXPECT_EQ(waiter.get(), WaitResult::Acquired);
}

TEST(NamedMutex, DestroyingAHeldHandleReleasesIt) {
  testsupport::TestEnvironment env;
  auto other = NamedMutex::Create(u"Dropped");
  auto holder = NamedMutex::Create(u"Dropped");
  ASSERT_TRUE(other && holder);
  ASSERT_EQ(holder->Wait(0), WaitResult::Acquired);
  holder.reset();
  EXPECT_EQ(other->Wait(0), WaitResult::Acquired);
  EXPECT_TRUE(other->Release());
}

TEST(NamedMutex, ExistedTellsWhetherAnotherHandleIsOpen) {
  testsupport::TestEnvironment env;
  bool existed = true;
  auto first = NamedMutex::Create(u"Natalo_Instance_Mutex", &existed);
  ASSERT_TRUE(first);
  EXPECT_FALSE(existed);
  auto second = NamedMutex::Create(u"Natalo_Instance_Mutex", &existed);
  ASSERT_TRUE(second);
  EXPECT_TRUE(existed);
  auto unrelated = NamedMutex::Create(u"natalo_instance_mutex", &existed);
  EXPECT_FALSE(existed);
  first.reset();
  second.reset();
  auto again = NamedMutex::Create(u"Natalo_Instance_Mutex", &existed);
  ASSERT_TRUE(again);
  EXPECT_FALSE(existed);
}

TEST(NamedMutex, ExactlyOneOfManyRacingCreatorsFindsItNew) {
  testsupport::TestEnvironment env;
  constexpr int kThreads = 4;
  constexpr int kRounds = 100;
  int roundsWithOneNew = 0;
  for (int round = 0; round < kRounds; ++round) {
    const std::u16string name = u"Race" + std::u16string(1, static_cast<char16_t>(u'A' + round % 26)) +
                                std::u16string(1, static_cast<char16_t>(u'A' + round / 26));
    std::atomic<int> fresh{0};
    std::atomic<int> waiting{kThreads};
    std::vector<std::unique_ptr<NamedMutex>> handles(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        --waiting;
        while (waiting > 0) std::this_thread::yield();
        bool existed = true;
        handles[t] = NamedMutex::Create(name, &existed);
        if (handles[t] && !existed) ++fresh;
      });
    }
    for (auto& t : threads) t.join();
    if (fresh == 1) ++roundsWithOneNew;
  }
  EXPECT_EQ(roundsWithOneNew, kRounds);
}

TEST(NamedMutex, AnotherProcessCountsAsHolderUntilKilled) {
  testsupport::TestEnvironment env;
  synctest::ChildProcess child([](const std::function<void()>& ready) {
    auto mutex = NamedMutex::Create(u"Natalo_Instance_Mutex");
    if (!mutex) return 1;
    ready();
    for (;;) pause();
  });
  ASSERT_TRUE(child.WaitReady(5000));
  bool existed = false;
  EXPECT_TRUE(NamedMutex::Create(u"Natalo_Instance_Mutex", &existed));
  EXPECT_TRUE(existed);
  child.Kill();
  EXPECT_TRUE(NamedMutex::Create(u"Natalo_Instance_Mutex", &existed));
  EXPECT_FALSE(existed);
}

TEST(NamedMutex, KilledHolderProcessReleasesItToAWaiter) {
  testsupport::TestEnvironment env;
  for (const std::uint32_t timeout : {std::uint32_t{20000}, INFINITE_WAIT}) {
    synctest::ChildProcess child([](const std::function<void()>& ready) {
      return HoldMutexUntilKilled(u"Storage", ready);
    });
    ASSERT_TRUE(child.WaitReady(5000));
    auto mutex = NamedMutex::Create(u"Storage");
    ASSERT_TRUE(mutex);
    EXPECT_EQ(mutex->Wait(0), WaitResult::TimedOut);
    auto waiter = std::async(std::launch::async, [&] { return mutex->Wait(timeout); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto killed = Clock::now();
    child.Kill();
    ASSERT_EQ(waiter.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_LT(MillisecondsSince(killed), 500);
    EXPECT_EQ(waiter.get(), WaitResult::Acquired);
  }
}

TEST(NamedMutex, AnyTextIsAName) {
  testsupport::TestEnvironment env;
  const std::filesystem::path runtime = env.RuntimeFolder();
  const std::u16string longPath = u"/HOME/USER/" + std::u16string(4000, u'\u00c4') + u"/STORAGE.DAT";
  const std::u16string names[] = {u"../../escape", u"/", u"..", u"", std::u16string(u"a\0b", 3), longPath,
                                  longPath + u"$CALCULATE"};
  std::vector<std::unique_ptr<NamedMutex>> held;
  for (const auto& name : names) {
    bool existed = true;
    auto mutex = NamedMutex::Create(name, &existed);
    ASSERT_TRUE(mutex) << "name of " << name.size() << " characters";
    EXPECT_FALSE(existed);
    ASSERT_EQ(mutex->Wait(0), WaitResult::Acquired);
    // The same name is the same mutex.
    auto same = NamedMutex::Create(name, &existed);
    ASSERT_TRUE(same);
    EXPECT_TRUE(existed);
    EXPECT_EQ(same->Wait(0), WaitResult::TimedOut);
    held.push_back(std::move(mutex));
  }
  // Every file stays directly inside the runtime folder.
  EXPECT_FALSE(std::filesystem::exists(env.Root() / "escape"));
  EXPECT_FALSE(std::filesystem::exists(runtime.parent_path().parent_path() / "escape"));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(runtime)) {
    EXPECT_EQ(entry.path().parent_path(), runtime);
    EXPECT_FALSE(entry.is_directory());
  }
}

TEST(RuntimeFolder, FollowsTheEnvironmentOrFallsBackToAPrivateTmpFolder) {
  testsupport::TestEnvironment env;
  EXPECT_EQ(GetRuntimeFolder(), env.RuntimeFolder());
  const std::string saved = env.RuntimeFolder();
  unsetenv("XDG_RUNTIME_DIR");
  const std::string fallback = GetRuntimeFolder();
  setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  EXPECT_EQ(fallback, "/tmp/natalo-" + std::to_string(getuid()));
  struct stat st {};
  ASSERT_EQ(lstat(fallback.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}
