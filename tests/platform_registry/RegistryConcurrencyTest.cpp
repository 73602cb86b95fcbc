#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/registry/Registry.h"
#include "tests/platform_registry/RegistryTestFixture.h"
#include "tests/platform_registry/RegistryTestSupport.h"

using namespace platform;
using registrytest::RegistryTest;

TEST_F(RegistryTest, TwoProcessesIncrementingLoseNoCount) {
  // Both start on a file that does not exist yet, so they also race to create it.
  const pid_t first = registrytest::StartHelper({"increment", "1000"});
  const pid_t second = registrytest::StartHelper({"increment", "1000"});
  ASSERT_GT(first, 0);
  ASSERT_GT(second, 0);
  EXPECT_EQ(registrytest::WaitForExit(first), 0);
  EXPECT_EQ(registrytest::WaitForExit(second), 0);
  std::uint32_t count = 0;
  ASSERT_TRUE(RegReadDword(RegistryRoot::CurrentUser, u"Test\\Counter", u"Count", count));
  EXPECT_EQ(count, 2000u);
}

TEST_F(RegistryTest, ThreadsWritingAndReadingAtOnce) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 200;
  std::atomic<int> failures{0};
  std::atomic<bool> writing{true};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &failures] {
      const std::u16string own = u"Thread" + std::u16string(1, static_cast<char16_t>(u'0' + t));
      for (int i = 0; i < kRounds; ++i) {
        if (!RegUpdateValue(RegistryRoot::CurrentUser, u"Test", u"Count", registrytest::IncrementDword))
          ++failures;
        if (!RegWriteDword(RegistryRoot::CurrentUser, u"Test\\" + own, u"Last",
                           static_cast<std::uint32_t>(i))) {
          ++failures;
        }
      }
    });
  }
  // A reader alongside sees only whole values.
  std::thread reader([&] {
    while (writing) {
      RegistryValue value;
      if (RegReadValue(RegistryRoot::CurrentUser, u"Test", u"Count", value) && value.data.size() != 4)
        ++failures;
    }
  });
  for (auto& thread : threads) thread.join();
  writing = false;
  reader.join();
  EXPECT_EQ(failures, 0);
  std::uint32_t count = 0;
  ASSERT_TRUE(RegReadDword(RegistryRoot::CurrentUser, u"Test", u"Count", count));
  EXPECT_EQ(count, static_cast<std::uint32_t>(kThreads * kRounds));
  std::vector<std::u16string> names;
  ASSERT_TRUE(RegListSubKeys(RegistryRoot::CurrentUser, u"Test", names));
  EXPECT_EQ(names.size(), static_cast<size_t>(kThreads));
}

TEST_F(RegistryTest, WatchSeesAChangeFromAnotherProcess) {
  ASSERT_TRUE(RegWriteDword(RegistryRoot::LocalMachine, u"System\\State", u"Lock", 0));
  RegistryWatch watch(RegistryRoot::LocalMachine, u"System\\State", u"Lock");
  const pid_t writer = registrytest::StartHelper({"lock", "2"});
  ASSERT_GT(writer, 0);
  EXPECT_TRUE(watch.WaitForChange(10000));
  EXPECT_EQ(registrytest::WaitForExit(writer), 0);
  std::uint32_t lock = 0;
  ASSERT_TRUE(RegReadDword(RegistryRoot::LocalMachine, u"System\\State", u"Lock", lock));
  EXPECT_EQ(lock, 2u);
}

TEST_F(RegistryTest, WaitForChangeTimesOutWithoutAChange) {
  ASSERT_TRUE(RegWriteDword(RegistryRoot::LocalMachine, u"System\\State", u"Lock", 0));
  RegistryWatch watch(RegistryRoot::LocalMachine, u"System\\State", u"Lock");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(watch.WaitForChange(200));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(200));
  EXPECT_LT(waited, std::chrono::milliseconds(1500));
  // A change made from another thread while waiting ends the wait early.
  std::thread later([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    RegWriteDword(RegistryRoot::LocalMachine, u"System\\State", u"Lock", 1);
  });
  EXPECT_TRUE(watch.WaitForChange(10000));
  later.join();
}
