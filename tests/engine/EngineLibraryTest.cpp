// Natalo.so loaded with dlopen from a temporary program folder, as the programs load it.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <thread>

#include "common/store/StorageMutexName.h"
#include "platform/registry/Registry.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"
#include "tests/engine/EngineTestLibrary.h"
#include "tests/engine/ItemBuilders.h"
#include "tests/engine/StorageBytes.h"

extern "C" std::size_t TickwellLayoutFromC(std::size_t* values, std::size_t capacity);

using namespace enginetest;
using platform::NotificationEvent;
using platform::NotificationType;

namespace {

const std::u16string kEngineKey = u"Software\\Quorvex\\Tickwell2\\Natalo";

// Whole seconds, some days ahead of the real clock.
FileTime DaysAhead(int days) {
  const FileTime now = platform::GetLocalFileTime();
  return (now / platform::FILETIME_PER_SECOND) * platform::FILETIME_PER_SECOND + days * platform::FILETIME_PER_DAY;
}

int ThreadCount() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/task")) {
    while (const dirent* e = readdir(d)) n += e->d_name[0] != '.';
    closedir(d);
  }
  return n;
}

// A joined thread can stay listed for a moment after the join returned: the
// kernel wakes the joiner before it takes the thread off the list.
bool ThreadCountReturnsTo(int count) {
  return WaitUntil([count] { return ThreadCount() == count; }, std::chrono::seconds(5));
}

// No notification service is started from a test's program folder: the records
// are what the tests look at. Naming a missing service program also keeps the
// client from looking up its own module path, which takes the loader lock that
// an unloading library holds while it waits for its worker.
class NoNotificationService {
 public:
  NoNotificationService() {
    if (const char* old = std::getenv("NATALO_NOTIFYD")) m_old = old;
    setenv("NATALO_NOTIFYD", "/nonexistent/natalo-notifyd", 1);
  }
  ~NoNotificationService() {
    if (m_old.empty()) {
      unsetenv("NATALO_NOTIFYD");
    } else {
      setenv("NATALO_NOTIFYD", m_old.c_str(), 1);
    }
  }

 private:
  std::string m_old;
};

class EngineLibraryTest : public ::testing::Test {
 protected:
  NoNotificationService noService;
  testsupport::TestEnvironment env;
  LoadedEngine engine{env};
  std::string utility = env.ProgramFolder() + "NataloUtil";

  void WriteStorage(const StorageBytes& bytes) {
    ASSERT_TRUE(testsupport::WriteFileBytes(env.ProgramFolder() + "storage.dat", bytes.Bytes()));
  }
  std::vector<ArmedNotification> OfUtility() {
    std::vector<ArmedNotification> own;
    for (auto& n : ArmedNotifications())
      if (n.trigger.application == utility) own.push_back(n);
    return own;
  }
  // A notification of the utility that a calculation must remove; its going
  // tells that the calculation ran.
  platform::NotificationHandle ArmStaleReminder() {
    platform::NotificationTrigger t;
    t.application = utility;
    t.arguments = "/T=\"1\" /ID=\"99\"";
    platform::FileTimeToSystemTime(DaysAhead(30), t.start);
    return platform::SetUserNotification(t);
  }
  bool Gone(platform::NotificationHandle h) {
    return WaitUntil([&] {
      platform::NotificationTrigger t;
      return !platform::GetUserNotification(h, t);
    });
  }
  bool Exists(platform::NotificationHandle h) {
    platform::NotificationTrigger t;
    return platform::GetUserNotification(h, t);
  }
  // A plug-in hook that notes every calculation with a line in a file.
  void CountCalculations() {
    const std::string id = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
    ASSERT_TRUE(platform::RegWriteString(platform::RegistryRoot::CurrentUser, kEngineKey, u"Plugin",
                                         platform::FromUtf8(id)));
    std::filesystem::create_directories(env.ProgramFolder() + "plugins");
    const std::string hook = env.ProgramFolder() + "plugins/" + id;
    ASSERT_TRUE(testsupport::WriteFileBytes(hook, "#!/bin/sh\necho x >> '" + CalculationsFile() + "'\n"));
    chmod(hook.c_str(), 0755);
  }
  std::string CalculationsFile() const { return env.ProgramFolder() + "calculations"; }
  int Calculations() const {
    const std::string lines = testsupport::ReadFileBytes(CalculationsFile());
    return static_cast<int>(std::count(lines.begin(), lines.end(), '\n'));
  }
  // The count once no calculation is under way any more.
  int SettledCalculations(int atLeast) {
    WaitUntil([&] { return Calculations() >= atLeast; });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    return Calculations();
  }
  // The name a mutex of the storage file has: its path upper-cased, each '/' a '$'.
  std::u16string StorageMutex(const std::u16string& suffix) const {
    std::u16string name;
    for (const char c : env.ProgramFolder() + "storage.dat")
      name += c == '/' ? u'$' : static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return name + suffix;
  }
  int RunProbe(std::vector<std::string> args);
};

// Runs the exit probe on a copy of the library; its exit status, or -1 when it
// had to be killed after 30 s.
int EngineLibraryTest::RunProbe(std::vector<std::string> args) {
  std::string program = ENGINE_EXIT_PROBE_PATH;
  std::string library = engine.Path();
  std::vector<char*> argv{program.data(), library.data()};
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // An engine left running at exit is meant to stay unfreed: no leak check there.
  std::vector<std::string> variables;
  for (char** e = environ; *e != nullptr; ++e)
    if (std::strncmp(*e, "ASAN_OPTIONS=", 13) != 0) variables.emplace_back(*e);
  variables.emplace_back("ASAN_OPTIONS=detect_leaks=0");
  std::vector<char*> envp;
  for (auto& v : variables) envp.push_back(v.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return -2;
  int status = -1;
  const bool ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::seconds(30));
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(EngineHeader, RecordLayoutIsTheSameInCAndCxx) {
  std::size_t c[16] = {};
  const std::size_t cxx[] = {sizeof(ScheduleFields),
                             offsetof(ScheduleFields, m_ftStart),
                             offsetof(ScheduleFields, m_nUID),
                             offsetof(ScheduleFields, m_ftSnooze),
                             offsetof(ScheduleFields, m_ftNext),
                             offsetof(ScheduleFields, m_dwWeekDay),
                             sizeof(EngineItem),
                             offsetof(EngineItem, m_wExtLength),
                             offsetof(EngineItem, m_pExtData)};
  ASSERT_EQ(TickwellLayoutFromC(c, 16), std::size(cxx));
  for (std::size_t i = 0; i < std::size(cxx); ++i) EXPECT_EQ(c[i], cxx[i]) << i;
}

// Every export is found under the version node and under no other; a library
// with the same export names but without the node, as an older install of
// another record layout leaves behind, yields none of them.
TEST_F(EngineLibraryTest, ExportsAreFoundOnlyUnderTheVersionNode) {
  platform::SharedLibrary built;
  platform::SharedLibrary unversioned;
  ASSERT_TRUE(built.Open(engine.Path())) << built.Error();
  ASSERT_TRUE(unversioned.Open(ENGINE_UNVERSIONED_STUB_PATH)) << unversioned.Error();
  for (const char* name : {"GetNextEventTime", "GetActiveEvents", "ReleaseActiveEvents", "CalculateEvents"}) {
    EXPECT_NE(built.Symbol(name, TICKWELL_VERSION_NODE), nullptr) << name;
    EXPECT_EQ(built.Symbol(name, "NATALO_ENGINE_0"), nullptr) << name;
    EXPECT_NE(unversioned.Symbol(name), nullptr) << name;
    EXPECT_EQ(unversioned.Symbol(name, TICKWELL_VERSION_NODE), nullptr) << name;
  }
}

TEST_F(EngineLibraryTest, ArmsTheUtilityForTheEarliestItemsAndForTimeChanges) {
  const FileTime due = DaysAhead(2);
  auto disabled = With(Once(DaysAhead(1)), 9);
  disabled.m_bEnabled = 0;
  WriteStorage(StorageBytes()
                   .Add(With(Once(due), 7))
                   .Add(With(Once(DaysAhead(3)), 5))
                   .Add(disabled)
                   .Add(With(Once(due), 3))
                   .Add(With(Once(DaysAhead(-1)), 4)));
  ASSERT_TRUE(testsupport::WriteFileBytes(env.ProgramFolder() + "tkw1.tmp", "x"));
  ASSERT_TRUE(testsupport::WriteFileBytes(env.ProgramFolder() + "TKWa.TMP", "x"));
  ASSERT_TRUE(testsupport::WriteFileBytes(env.ProgramFolder() + "keep.tmp", "x"));
  ASSERT_TRUE(engine.Load());

  EXPECT_NE(engine.CalculateEvents(), 0);
  ASSERT_TRUE(WaitUntil([&] { return OfUtility().size() == 2; }));
  const auto own = OfUtility();
  const auto& timed = own[0].trigger.type == NotificationType::Time ? own[0].trigger : own[1].trigger;
  const auto& change = own[0].trigger.type == NotificationType::Time ? own[1].trigger : own[0].trigger;
  EXPECT_EQ(timed.arguments, "/T=\"" + std::to_string(due) + "\" /ID=\"3,7\"");
  platform::SystemTime dueTime;
  platform::FileTimeToSystemTime(due, dueTime);
  EXPECT_EQ(timed.start.wYear, dueTime.wYear);
  EXPECT_EQ(timed.start.wDay, dueTime.wDay);
  EXPECT_EQ(timed.start.wHour, dueTime.wHour);
  EXPECT_EQ(timed.start.wMinute, dueTime.wMinute);
  EXPECT_EQ(timed.start.wSecond, dueTime.wSecond);
  EXPECT_EQ(change.type, NotificationType::Event);
  EXPECT_EQ(change.event, NotificationEvent::TimeChange);
  EXPECT_EQ(change.arguments, "");
  EXPECT_FALSE(std::filesystem::exists(env.ProgramFolder() + "tkw1.tmp"));
  EXPECT_FALSE(std::filesystem::exists(env.ProgramFolder() + "TKWa.TMP"));
  EXPECT_TRUE(std::filesystem::exists(env.ProgramFolder() + "keep.tmp"));
}

TEST_F(EngineLibraryTest, QuickRequestsReplaceRatherThanAddNotifications) {
  WriteStorage(StorageBytes().Add(With(EveryDay(9), 1)));
  CountCalculations();
  // While another process calculates, this worker waits with the first request;
  // the four made meanwhile are served by one more calculation.
  const auto calc = platform::NamedMutex::Create(StorageMutex(u"$CALCULATE"));
  ASSERT_TRUE(calc);
  ASSERT_EQ(calc->Wait(0), platform::WaitResult::Acquired);
  ASSERT_TRUE(engine.Load());
  EXPECT_NE(engine.CalculateEvents(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  for (int i = 0; i < 4; ++i) EXPECT_NE(engine.CalculateEvents(), 0);
  calc->Release();
  EXPECT_EQ(SettledCalculations(2), 2);
  ASSERT_TRUE(WaitUntil([&] { return OfUtility().size() == 2; }));
  // A stale reminder armed now is removed by the next request only.
  const auto stale = ArmStaleReminder();
  EXPECT_NE(engine.CalculateEvents(), 0);
  ASSERT_TRUE(Gone(stale));
  EXPECT_TRUE(WaitUntil([&] { return OfUtility().size() == 2; }));
}

TEST_F(EngineLibraryTest, InactiveStorageRemovesTheUtilitysNotificationsOnly) {
  WriteStorage(StorageBytes().Add(With(EveryDay(9), 1)));
  ASSERT_TRUE(platform::RegWriteDword(platform::RegistryRoot::CurrentUser, kEngineKey, u"Active", 0));
  platform::NotificationTrigger foreign;
  foreign.application = "/usr/bin/some-other-program";
  foreign.arguments = "--remind";
  platform::FileTimeToSystemTime(DaysAhead(5), foreign.start);
  const auto foreignHandle = platform::SetUserNotification(foreign);
  ASSERT_NE(foreignHandle, 0u);
  const auto stale = ArmStaleReminder();
  ASSERT_TRUE(engine.Load());

  EXPECT_NE(engine.CalculateEvents(), 0);
  ASSERT_TRUE(Gone(stale));
  EXPECT_TRUE(OfUtility().empty());
  platform::NotificationTrigger kept;
  EXPECT_TRUE(platform::GetUserNotification(foreignHandle, kept));

  std::int32_t count = 0, nearest = 0;
  EngineItem** events = nullptr;
  EXPECT_EQ(engine.GetActiveEvents(&count, &nearest, &events), 1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(events, nullptr);
}

TEST_F(EngineLibraryTest, StorageWithoutFutureItemsOrReadableHeaderArmsNothing) {
  ASSERT_TRUE(engine.Load());
  const std::string contents[] = {StorageBytes().Add(With(Once(DaysAhead(-2)), 1)).Bytes(), "",
                                  "a file of some other program", StorageBytes(0xCE09, 0x0101).Bytes()};
  for (const auto& bytes : contents) {
    ASSERT_TRUE(testsupport::WriteFileBytes(env.ProgramFolder() + "storage.dat", bytes));
    const auto stale = ArmStaleReminder();
    EXPECT_NE(engine.CalculateEvents(), 0);
    ASSERT_TRUE(Gone(stale));
    EXPECT_TRUE(OfUtility().empty()) << bytes.size();
  }
}

TEST_F(EngineLibraryTest, ActiveEventsCarrySkipMarksAndExtensionBlocks) {
  const FileTime onceAt = DaysAhead(1);
  const FileTime plainAt = DaysAhead(2);
  const FileTime weeklyBase = DaysAhead(0);
  platform::SystemTime st;
  platform::FileTimeToSystemTime(weeklyBase, st);
  // Weekly on today's weekday at 00:00: the next one is within a week, the one
  // after it a week later.
  auto weekly = Weekly(st.wDayOfWeek == 0 ? 64u : 1u << (st.wDayOfWeek - 1), 0);
  WriteStorage(StorageBytes()
                   .Add(With(Once(onceAt), 1, 1), "one")
                   .Add(With(weekly, 2, 1), "weekly")
                   .Add(With(Once(plainAt), 3), "plain"));
  ASSERT_TRUE(engine.Load());

  std::int32_t count = 0, nearest = 0;
  EngineItem** events = nullptr;
  ASSERT_EQ(engine.GetActiveEvents(&count, &nearest, &events), 1);
  ASSERT_EQ(count, 3);
  ASSERT_NE(events, nullptr);
  EXPECT_EQ(nearest, 1);
  EXPECT_EQ(events[0]->fields.m_nUID, 3);
  EXPECT_EQ(events[0]->fields.m_ftNext, plainAt);
  EXPECT_EQ(events[1]->fields.m_nUID, 2);
  const FileTime midnight = weeklyBase / platform::FILETIME_PER_DAY * platform::FILETIME_PER_DAY;
  EXPECT_EQ(Show(events[1]->fields.m_ftNext), Show(midnight + 14 * platform::FILETIME_PER_DAY))
      << "the occurrence a week ahead is skipped";
  EXPECT_EQ(std::string(reinterpret_cast<char*>(events[1]->m_pExtData), events[1]->m_wExtLength), "weekly");
  EXPECT_EQ(events[2]->fields.m_nUID, 1);
  EXPECT_EQ(events[2]->fields.m_ftNext, TIME_NONE);
  engine.ReleaseActiveEvents(count, events);
}

TEST_F(EngineLibraryTest, NextEventTimeAndBadArguments) {
  ASSERT_TRUE(engine.Load());
  EXPECT_EQ(engine.GetNextEventTime(nullptr), 0u);
  const auto item = Once(DaysAhead(4));
  EXPECT_EQ(engine.GetNextEventTime(&item), item.m_ftStart);
  // No storage at all: nothing is returned and nothing is touched.
  std::int32_t count = -5, nearest = -5;
  EngineItem** events = nullptr;
  EXPECT_EQ(engine.GetActiveEvents(&count, &nearest, &events), 1);
  EXPECT_EQ(count, -5);
  engine.ReleaseActiveEvents(0, nullptr);
}

TEST_F(EngineLibraryTest, ConfiguredPluginHookRunsAfterACalculation) {
  const std::string id = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
  ASSERT_TRUE(platform::RegWriteString(platform::RegistryRoot::CurrentUser, kEngineKey, u"Plugin",
                                       platform::FromUtf8("{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}")));
  std::filesystem::create_directories(env.ProgramFolder() + "plugins");
  const std::string hook = env.ProgramFolder() + "plugins/" + id;
  const std::string mark = env.ProgramFolder() + "hook-ran";
  ASSERT_TRUE(testsupport::WriteFileBytes(hook, "#!/bin/sh\necho \"$1\" > '" + mark + "'\n"));
  chmod(hook.c_str(), 0755);
  WriteStorage(StorageBytes().Add(With(EveryDay(9), 1)));
  ASSERT_TRUE(engine.Load());
  EXPECT_NE(engine.CalculateEvents(), 0);
  ASSERT_TRUE(WaitUntil([&] { return testsupport::ReadFileBytes(mark) == id + "\n"; }));
}

TEST_F(EngineLibraryTest, UnloadStopsTheWorkerAndAMissingFolderIsHarmless) {
  const int before = ThreadCount();
  ASSERT_TRUE(engine.Load());
  EXPECT_EQ(ThreadCount(), before + 1);
  std::filesystem::remove_all(env.ProgramFolder());
  EXPECT_NE(engine.CalculateEvents(), 0);
  std::int32_t count = 0, nearest = 0;
  EngineItem** events = nullptr;
  EXPECT_EQ(engine.GetActiveEvents(&count, &nearest, &events), 1);
  EXPECT_EQ(events, nullptr);
  engine.Unload();
  EXPECT_TRUE(ThreadCountReturnsTo(before));
}

TEST_F(EngineLibraryTest, ProcessExitDoesNotWaitForABlockedWorker) {
  WriteStorage(StorageBytes().Add(With(EveryDay(9), 1)));
  // Holding the calculation mutex keeps the probe's worker waiting for it.
  const auto calc =
      platform::NamedMutex::Create(CalculateMutexName(platform::FromUtf8(env.ProgramFolder() + "storage.dat")));
  ASSERT_TRUE(calc);
  ASSERT_EQ(calc->Wait(0), platform::WaitResult::Acquired);
  EXPECT_EQ(RunProbe({}), 0) << "-1: the exit waited for the worker";
  calc->Release();
}

TEST_F(EngineLibraryTest, WaitMutexLetsOneProcessWaitAndDropsRequestsMeanwhile) {
  WriteStorage(StorageBytes().Add(With(EveryDay(9), 1)));
  CountCalculations();
  const auto wait = platform::NamedMutex::Create(StorageMutex(u"$CALCULATE$WAIT"));
  const auto calc = platform::NamedMutex::Create(StorageMutex(u"$CALCULATE"));
  ASSERT_TRUE(wait && calc);
  ASSERT_TRUE(engine.Load());

  // Another process waits to calculate: this request is dropped, nothing changes.
  ASSERT_EQ(wait->Wait(0), platform::WaitResult::Acquired);
  const auto stale = ArmStaleReminder();
  EXPECT_NE(engine.CalculateEvents(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_TRUE(Exists(stale));
  EXPECT_EQ(Calculations(), 0);
  wait->Release();

  // Another process calculates: this one holds the wait mutex while it waits,
  // and only then.
  ASSERT_EQ(calc->Wait(0), platform::WaitResult::Acquired);
  EXPECT_NE(engine.CalculateEvents(), 0);
  // Probing the wait mutex takes it when it is free, so probe once, after a while.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(wait->Wait(0), platform::WaitResult::TimedOut);
  calc->Release();
  ASSERT_TRUE(Gone(stale));
  EXPECT_EQ(SettledCalculations(1), 1);
  EXPECT_EQ(wait->Wait(0), platform::WaitResult::Acquired);
  wait->Release();
}

TEST_F(EngineLibraryTest, StorageThatCannotBeReadKeepsTheArmedReminders) {
  ASSERT_TRUE(engine.Load());
  const std::string storage = env.ProgramFolder() + "storage.dat";
  // A FIFO (which would also block a plain open) and a folder in its place.
  ASSERT_EQ(mkfifo(storage.c_str(), 0600), 0);
  CountCalculations();
  const auto stale = ArmStaleReminder();
  EXPECT_NE(engine.CalculateEvents(), 0);
  EXPECT_EQ(SettledCalculations(1), 1) << "the calculation ended";
  EXPECT_TRUE(Exists(stale));
  std::int32_t count = -5, nearest = -5;
  EngineItem** events = nullptr;
  EXPECT_EQ(engine.GetActiveEvents(&count, &nearest, &events), 1);
  EXPECT_EQ(count, -5);
  std::filesystem::remove(storage);
  std::filesystem::create_directory(storage);
  EXPECT_NE(engine.CalculateEvents(), 0);
  EXPECT_EQ(SettledCalculations(2), 2);
  EXPECT_TRUE(Exists(stale));
  // Once the storage is missing, the old reminder goes.
  std::filesystem::remove(storage);
  EXPECT_NE(engine.CalculateEvents(), 0);
  EXPECT_TRUE(Gone(stale));
}

TEST_F(EngineLibraryTest, ItemsStoredWithoutUidAreArmedByTheUidTheirLoadGivesThem) {
  const FileTime due = DaysAhead(2);
  WriteStorage(StorageBytes().Add(With(Once(due), 0)).Add(With(Once(DaysAhead(3)), 5)).Add(With(Once(due), -1)));
  ASSERT_TRUE(engine.Load());
  EXPECT_NE(engine.CalculateEvents(), 0);
  ASSERT_TRUE(WaitUntil([&] { return OfUtility().size() == 2; }));
  for (const auto& n : OfUtility()) {
    if (n.trigger.type == NotificationType::Time) {
      EXPECT_EQ(n.trigger.arguments, "/T=\"" + std::to_string(due) + "\" /ID=\"1,7\"");
    }
  }
}

TEST_F(EngineLibraryTest, NotificationsOfProgramsWhosePathMerelyContainsTheUtilitysStay) {
  WriteStorage(StorageBytes().Add(With(EveryDay(9), 1)));
  std::vector<platform::NotificationHandle> others;
  for (const std::string& app : {"/backup" + utility, utility + ".old", utility + "/helper"}) {
    platform::NotificationTrigger t;
    t.application = app;
    platform::FileTimeToSystemTime(DaysAhead(5), t.start);
    others.push_back(platform::SetUserNotification(t));
    ASSERT_NE(others.back(), 0u);
  }
  const auto stale = ArmStaleReminder();
  ASSERT_TRUE(engine.Load());
  EXPECT_NE(engine.CalculateEvents(), 0);
  ASSERT_TRUE(Gone(stale));
  for (const auto h : others) EXPECT_TRUE(Exists(h)) << h;
}

TEST_F(EngineLibraryTest, ActiveEventsWithOnlyDisabledItemsOrNullOutPointersWriteNothing) {
  auto disabled = With(EveryDay(9), 1);
  disabled.m_bEnabled = 0;
  auto disabledOnce = With(Once(DaysAhead(2)), 2);
  disabledOnce.m_bEnabled = 0;
  WriteStorage(StorageBytes().Add(disabled).Add(disabledOnce));
  ASSERT_TRUE(engine.Load());
  std::int32_t count = -5, nearest = -5;
  EngineItem** events = nullptr;
  EXPECT_EQ(engine.GetActiveEvents(&count, &nearest, &events), 1);
  EXPECT_EQ(count, -5);
  EXPECT_EQ(nearest, -5);
  EXPECT_EQ(events, nullptr);

  // An enabled item, but some out-pointer is null: nothing is written, nothing leaks.
  WriteStorage(StorageBytes().Add(disabled).Add(With(Once(DaysAhead(2)), 2)));
  for (int mask = 0; mask < 7; ++mask) {
    count = -5;
    nearest = -5;
    events = nullptr;
    EXPECT_EQ(engine.GetActiveEvents(mask & 1 ? &count : nullptr, mask & 2 ? &nearest : nullptr,
                                      mask & 4 ? &events : nullptr),
              1);
    EXPECT_EQ(count, -5) << mask;
    EXPECT_EQ(nearest, -5) << mask;
    EXPECT_EQ(events, nullptr) << mask;
  }
  EXPECT_EQ(engine.GetActiveEvents(&count, &nearest, &events), 1);
  EXPECT_EQ(count, 1);
  engine.ReleaseActiveEvents(count, events);
}

TEST_F(EngineLibraryTest, UnloadCalculatesARequestWaitingForAnotherProcessOnceThatEnds) {
  WriteStorage(StorageBytes().Add(With(EveryDay(9), 1)));
  const auto calc = platform::NamedMutex::Create(StorageMutex(u"$CALCULATE"));
  ASSERT_TRUE(calc);
  ASSERT_EQ(calc->Wait(0), platform::WaitResult::Acquired);
  const auto wait = platform::NamedMutex::Create(StorageMutex(u"$CALCULATE$WAIT"));
  ASSERT_TRUE(wait);
  const int before = ThreadCount();
  ASSERT_TRUE(engine.Load());
  EXPECT_NE(engine.CalculateEvents(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_EQ(wait->Wait(0), platform::WaitResult::TimedOut) << "the worker waits";
  // The other process ends its calculation while this one unloads: the
  // waiting request is calculated before the library goes.
  // (A named mutex is released by the thread that holds it, so the unload
  // runs on a thread of its own.)
  std::thread unloading([&] { engine.Unload(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  calc->Release();
  unloading.join();
  EXPECT_TRUE(ThreadCountReturnsTo(before)) << "no worker is left running the unloaded library's code";
  bool armed = false;
  for (const auto& n : OfUtility()) armed = armed || n.trigger.arguments.find("/ID=") != std::string::npos;
  EXPECT_TRUE(armed) << "the request was calculated";
}

TEST_F(EngineLibraryTest, AWorkerThatCannotStartMakesCalculateEventsReturnZero) {
  EXPECT_EQ(RunProbe({"--no-threads"}), 0) << "6: CalculateEvents said yes; 134: the load aborted";
}

}  // namespace
