#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "platform/sync/NamedEvent.h"
#include "tests/platform_sync/ChildProcess.h"
#include "tests/support/TempDir.h"

using namespace platform;
using Clock = std::chrono::steady_clock;

TEST(NamedEvent, AutoResetsAndSettingTwiceSignalsOnce) {
  testsupport::TestEnvironment env;
  auto event = NamedEvent::Create(u"FESK_STORAGE_CHANGED");
  ASSERT_TRUE(event);
  EXPECT_EQ(event->Wait(0), WaitResult::TimedOut);
  EXPECT_TRUE(event->Set());
  EXPECT_TRUE(event->Set());
  EXPECT_EQ(event->Wait(0), WaitResult::Acquired);
  EXPECT_EQ(event->Wait(0), WaitResult::TimedOut);
  const auto start = Clock::now();
  EXPECT_EQ(event->Wait(60), WaitResult::TimedOut);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(60));
}

TEST(NamedEvent, ExistsWhileAHandleIsOpen) {
  testsupport::TestEnvironment env;
  EXPECT_EQ(NamedEvent::Open(u"FESK_NOTIFY_CONTINUE"), nullptr);
  bool existed = true;
  auto created = NamedEvent::Create(u"FESK_NOTIFY_CONTINUE", &existed);
  ASSERT_TRUE(created);
  EXPECT_FALSE(existed);
  auto again = NamedEvent::Create(u"FESK_NOTIFY_CONTINUE", &existed);
  ASSERT_TRUE(again);
  EXPECT_TRUE(existed);
  auto opened = NamedEvent::Open(u"FESK_NOTIFY_CONTINUE");
  ASSERT_TRUE(opened);
  // A signal set through one handle is seen through the others.
  EXPECT_TRUE(opened->Set());
  opened.reset();
  EXPECT_EQ(created->Wait(0), WaitResult::Acquired);
  created.reset();
  again.reset();
  EXPECT_EQ(NamedEvent::Open(u"FESK_NOTIFY_CONTINUE"), nullptr);
}

TEST(NamedEvent, EventOfAKilledCreatorCannotBeOpened) {
  testsupport::TestEnvironment env;
  synctest::ChildProcess child([](const std::function<void()>& ready) {
    auto event = NamedEvent::Create(u"FESK_STORAGE_CHANGED");
    if (!event || !event->Set()) return 1;
    ready();
    for (;;) pause();
  });
  ASSERT_TRUE(child.WaitReady(5000));
  {
    auto opened = NamedEvent::Open(u"FESK_STORAGE_CHANGED");
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->Wait(0), WaitResult::Acquired);
  }
  child.Kill();
  const auto start = Clock::now();
  EXPECT_EQ(NamedEvent::Open(u"FESK_STORAGE_CHANGED"), nullptr);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
}

TEST(NamedEvent, SignalsCrossProcesses) {
  testsupport::TestEnvironment env;
  auto changed = NamedEvent::Create(u"FESK_STORAGE_CHANGED");
  auto reply = NamedEvent::Create(u"FESK_NOTIFY_CONTINUE");
  ASSERT_TRUE(changed && reply);
  // The child answers each change with a reply, as the synchronisation
  // thread does, opening the reply event for each answer.
  synctest::ChildProcess child([](const std::function<void()>& ready) {
    auto request = NamedEvent::Open(u"FESK_STORAGE_CHANGED");
    if (!request) return 1;
    ready();
    for (int i = 0; i < 3; ++i) {
      if (request->Wait(10000) != WaitResult::Acquired) return 2;
      auto answer = NamedEvent::Open(u"FESK_NOTIFY_CONTINUE");
      if (!answer || !answer->Set()) return 3;
    }
    return 0;
  });
  ASSERT_TRUE(child.WaitReady(5000));
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(changed->Set());
    EXPECT_EQ(reply->Wait(10000), WaitResult::Acquired);
  }
  EXPECT_EQ(child.Join(10000), 0);
}

TEST(NamedEvent, WaitAnyReportsWhichWasSignalled) {
  testsupport::TestEnvironment env;
  auto changed = NamedEvent::Create(u"FESK_STORAGE_CHANGED");
  auto exit = NamedEvent::Create(u"FESK_NOTIFY_EXIT");
  ASSERT_TRUE(changed && exit);
  EXPECT_EQ(NamedEvent::WaitAny(*changed, *exit, 20), -1);
  EXPECT_TRUE(exit->Set());
  EXPECT_EQ(NamedEvent::WaitAny(*changed, *exit, 0), 1);
  // Both signalled: the first is reported and reset, the second stays.
  EXPECT_TRUE(changed->Set());
  EXPECT_TRUE(exit->Set());
  EXPECT_EQ(NamedEvent::WaitAny(*changed, *exit, 0), 0);
  EXPECT_EQ(NamedEvent::WaitAny(*changed, *exit, 0), 1);
  EXPECT_EQ(NamedEvent::WaitAny(*changed, *exit, 0), -1);

  auto waiter = std::async(std::launch::async,
                           [&] { return NamedEvent::WaitAny(*changed, *exit, INFINITE_WAIT); });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  auto opened = NamedEvent::Open(u"FESK_NOTIFY_EXIT");
  ASSERT_TRUE(opened);
  EXPECT_TRUE(opened->Set());
  ASSERT_EQ(waiter.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(waiter.get(), 1);
}

TEST(NamedEvent, EachSetWakesOneWaiter) {
  testsupport::TestEnvironment env;
  auto setter = NamedEvent::Create(u"Shared");
  ASSERT_TRUE(setter);
  std::atomic<int> woken{0};
  auto wait = [&] {
    auto event = NamedEvent::Open(u"Shared");
    if (event && event->Wait(5000) == WaitResult::Acquired) ++woken;
  };
  std::thread first(wait);
  std::thread second(wait);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(setter->Set());
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(woken.load(), 1);
  EXPECT_TRUE(setter->Set());
  first.join();
  second.join();
  EXPECT_EQ(woken.load(), 2);
}

TEST(NamedEvent, LongNamesStayApart) {
  testsupport::TestEnvironment env;
  const std::u16string longName = u"/HOME/" + std::u16string(4000, u'x') + u"/EVENT";
  auto event = NamedEvent::Create(longName);
  ASSERT_TRUE(event);
  EXPECT_TRUE(NamedEvent::Open(longName));
  EXPECT_EQ(NamedEvent::Open(longName + u"y"), nullptr);
}
