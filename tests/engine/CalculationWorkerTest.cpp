#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "TickwellLib/CalculationWorker.h"
#include "TickwellLib/EngineState.h"
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
  CalculationWorker worker([&](const std::atomic<bool>&) { calc.Run(); });
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

TEST(CalculationWorker, StopServesQueuedRequestsThenEndsAWaitingJobAndNeverLeavesItsThreadRunning) {
  // A request posted just before the stop is still calculated: a program that
  // asks for a calculation and unloads the engine right after must get it.
  std::atomic<int> runs{0};
  CalculationWorker quick([&](const std::atomic<bool>& stopping) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!stopping) ++runs;
  });
  ASSERT_TRUE(quick.Start());
  ASSERT_TRUE(quick.Post());
  EXPECT_TRUE(quick.Stop(10'000));
  EXPECT_EQ(runs, 1);

  // A job that waits until it is told to stop is told so at the time-out.
  std::atomic<bool> waiting{false};
  CalculationWorker patient([&](const std::atomic<bool>& stopping) {
    waiting = true;
    while (!stopping) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  ASSERT_TRUE(patient.Start());
  ASSERT_TRUE(patient.Post());
  ASSERT_TRUE(enginetest::WaitUntil([&] { return waiting.load(); }));
  EXPECT_FALSE(patient.Stop(100));
  EXPECT_FALSE(patient.IsRunning());

  // A job that does not listen outlasts the time-out; the stop still returns
  // only once the thread is done with it, so nothing of it runs afterwards.
  std::atomic<bool> started{false}, finished{false};
  CalculationWorker deaf([&](const std::atomic<bool>&) {
    started = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    finished = true;
  });
  ASSERT_TRUE(deaf.Start());
  ASSERT_TRUE(deaf.Post());
  ASSERT_TRUE(enginetest::WaitUntil([&] { return started.load(); }));
  EXPECT_FALSE(deaf.Stop(50));
  EXPECT_TRUE(finished);
  EXPECT_FALSE(deaf.Post());
}

TEST(EngineState, TheUtilityFollowsTheEngineFolderAndTheStorageTheDataFolder) {
  const EngineState s = MakeEngineState("/opt/My Dates/Natalo", "/home/ann/.local/share/Natalo");
  EXPECT_EQ(s.folder, "/opt/My Dates/Natalo/");
  EXPECT_EQ(s.folderName, "Natalo");
  EXPECT_EQ(s.utilityPath, "/opt/My Dates/Natalo/NataloUtil");
  EXPECT_EQ(s.dataFolder, "/home/ann/.local/share/Natalo/");
  EXPECT_EQ(s.storagePath, "/home/ann/.local/share/Natalo/storage.dat");
  EXPECT_EQ(s.registryKey, u"Software\\Quorvex\\Tickwell2\\Natalo");
  EXPECT_EQ(s.calculateMutexName, u"$HOME$ANN$.LOCAL$SHARE$NATALO$STORAGE.DAT$CALCULATE");
  EXPECT_EQ(s.waitMutexName, u"$HOME$ANN$.LOCAL$SHARE$NATALO$STORAGE.DAT$CALCULATE$WAIT");
  // Without a data folder the engine has no storage file to read.
  EXPECT_EQ(MakeEngineState("/opt/Natalo/", "").storagePath, "");
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
