#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "TickwellLib/CalculationWorker.h"
#include "TickwellLib/PluginHook.h"
#include "tests/engine/WaitUntil.h"

namespace {

// A calculation that holds the worker until the test opens the gate.
struct GatedCalculation {
  std::mutex mutex;
  std::condition_variable changed;
  bool open = false;
  std::atomic<int> runs{0};

  void Run() {
    ++runs;
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return open; });
  }
  void Open() {
    std::lock_guard lock(mutex);
    open = true;
    changed.notify_all();
  }
};

TEST(CalculationWorker, RequestsQueuedDuringACalculationAreServedByOneMore) {
  GatedCalculation calc;
  CalculationWorker worker([&] { calc.Run(); });
  EXPECT_FALSE(worker.Post()) << "not started";
  ASSERT_TRUE(worker.Start());
  ASSERT_TRUE(worker.Post());
  ASSERT_TRUE(enginetest::WaitUntil([&] { return calc.runs == 1; }));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(worker.Post());
  calc.Open();
  ASSERT_TRUE(enginetest::WaitUntil([&] { return calc.runs == 2; }));
  EXPECT_TRUE(worker.Stop(10'000));
  EXPECT_EQ(calc.runs, 2);
  EXPECT_FALSE(worker.Post()) << "stopped";
}

TEST(CalculationWorker, StopTimesOutOnABusyWorkerWithoutHanging) {
  // Shared with the job: the thread left running keeps it alive until it ends.
  auto calc = std::make_shared<GatedCalculation>();
  CalculationWorker worker([calc] { calc->Run(); });
  ASSERT_TRUE(worker.Start());
  ASSERT_TRUE(worker.Post());
  ASSERT_TRUE(enginetest::WaitUntil([&] { return calc->runs == 1; }));
  EXPECT_FALSE(worker.Stop(50));
  EXPECT_FALSE(worker.Post());
  calc->Open();
}

TEST(PluginHook, AcceptsOnlyTheRegistryFormOfAClassIdentifier) {
  EXPECT_EQ(ParseClassIdentifier(u"{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}"), "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
  for (const std::u16string bad : {u"", u"0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9", u"{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f}",
                                   u"{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8fg}", u"{0a1b2c3d:4e5f-6071-8293-a4b5c6d7e8f9}",
                                   u"../../bin/sh-0000-0000-0000-000000000000"}) {
    EXPECT_EQ(ParseClassIdentifier(bad), "");
  }
}

}  // namespace
