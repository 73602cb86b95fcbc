// The utility's decisions against a real storage.dat in a private folder, with
// a clock that stands still unless a test moves it.
#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "NataloUtil/ReminderSession.h"
#include "NataloUtil/SnoozeRules.h"
#include "platform/sync/NamedMutex.h"
#include "tests/support/TempDir.h"
#include "tests/util/UtilTestSupport.h"

using namespace utiltest;
using platform::FILETIME_PER_SECOND;

namespace {

class ReminderSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_clock.Set(At(2026, 3, 10, 9, 0));
    platform::SetClockSource(&m_clock);
    m_folder = m_env.ProgramFolder();
    std::filesystem::create_directories(m_folder);
  }
  void TearDown() override { platform::SetClockSource(nullptr); }

  // Entries 1 Anna (birthday 14 March), 2 Ben, 3 Cleo (skip set).
  void SaveThree() {
    std::vector<std::unique_ptr<FeskItem>> entries;
    entries.push_back(Entry(Birthday, "Anna Berg", {1985, 3, 14}));
    entries.push_back(Entry(Anniversary, "Ben wedding", {2010, 3, 20}));
    auto skipped = Entry(OtherDate, "Cleo", {2020, 4, 1});
    skipped->m_wSkipNext = 1;
    entries.push_back(std::move(skipped));
    ASSERT_TRUE(SaveEntries(m_folder, std::move(entries)));
  }

  testsupport::TestEnvironment m_env;
  platform::FixedClockSource m_clock;
  std::string m_folder;
};

}  // namespace

TEST_F(ReminderSessionTest, FirstDueEntryIsShownOthersComeBackInTwoMinutes) {
  SaveThree();
  ReminderSession session(m_folder);
  ASSERT_TRUE(session.GetData(Armed(m_clock.Now(), "2,1,99")));
  ASSERT_NE(session.ActiveReminder(), nullptr);
  EXPECT_EQ(session.ActiveReminder()->m_nUID, 1);  // list order, not argument order
  platform::SystemTime fired{};
  ASSERT_TRUE(platform::FileTimeToSystemTime(session.FireTime(), fired));
  EXPECT_EQ(fired.wHour, 9);
  EXPECT_TRUE(session.RecalcNeeded());
  const auto ben = StoredEntry(m_folder, 2);
  EXPECT_EQ(ben->m_ftSnooze, m_clock.Now() + 120 * FILETIME_PER_SECOND);
  EXPECT_EQ(ben->m_dwSnoozeCounter, 0u);
}

TEST_F(ReminderSessionTest, SkippedEntryIsDismissedSilently) {
  SaveThree();
  ReminderSession session(m_folder);
  EXPECT_FALSE(session.GetData(Armed(m_clock.Now(), "3")));
  EXPECT_EQ(StoredEntry(m_folder, 3)->m_wSkipNext, 0);
}

TEST_F(ReminderSessionTest, NothingToShow) {
  ReminderSession noFile(m_folder);
  EXPECT_FALSE(noFile.GetData(Armed(m_clock.Now(), "1")));
  ASSERT_TRUE(testsupport::WriteFileBytes(m_folder + "storage.dat", std::string("\x09\xCE\x03\x01junk", 8)));
  ReminderSession damaged(m_folder);
  EXPECT_FALSE(damaged.GetData(Armed(m_clock.Now(), "1")));
  SaveThree();
  for (const char* line : {"timechange", "/T=\"1\"", "/ID=\"42\""}) {
    ReminderSession session(m_folder);
    EXPECT_FALSE(session.GetData(line)) << line;
  }
}

TEST_F(ReminderSessionTest, ASecondUtilityPutsEverythingBack) {
  SaveThree();
  ReminderSession first(m_folder);
  ASSERT_TRUE(first.GetData(Armed(m_clock.Now(), "1")));
  ReminderSession second(m_folder);
  EXPECT_FALSE(second.GetData(Armed(m_clock.Now(), "2")));
  EXPECT_TRUE(second.RecalcNeeded());
  EXPECT_EQ(StoredEntry(m_folder, 2)->m_ftSnooze, m_clock.Now() + 120 * FILETIME_PER_SECOND);
  // Once the first has closed the queue, the next one shows again.
  first.CloseQueue();
  second.CloseQueue();
  ReminderSession third(m_folder);
  EXPECT_TRUE(third.GetData(Armed(m_clock.Now(), "2")));
}

TEST_F(ReminderSessionTest, AutomaticSnoozesFollowTheTableAndTheTenthDismisses) {
  SaveThree();
  m_clock.Set(At(2026, 3, 10, 6, 0));
  std::uint32_t counter = 0;
  for (std::size_t i = 0; i <= kAutoSnoozeTable.size(); ++i) {
    ReminderSession session(m_folder);
    ASSERT_TRUE(session.GetData(Armed(m_clock.Now(), "1")));
    session.ActiveReminder()->m_dwAutoSnoozeCounter = counter;
    session.ActiveReminder()->m_dwSnoozeCounter = counter;
    session.SetReminderSnooze(0, true);
    EXPECT_EQ(session.ActiveReminder(), nullptr);
    const auto stored = StoredEntry(m_folder, 1);
    if (i < kAutoSnoozeTable.size()) {
      EXPECT_EQ(stored->m_ftSnooze, m_clock.Now() + kAutoSnoozeTable[i] * FILETIME_PER_SECOND) << i;
      EXPECT_EQ(stored->m_dwAutoSnoozeCounter, counter + 1);
      EXPECT_EQ(stored->m_dwSnoozeCounter, counter + 1);
      ++counter;
    } else {
      EXPECT_EQ(stored->m_ftSnooze, 0u);  // the tenth expiry dismisses
      EXPECT_EQ(stored->m_dwAutoSnoozeCounter, 0u);
    }
    session.CloseQueue();
  }
}

TEST_F(ReminderSessionTest, SnoozeRules) {
  SaveThree();
  {
    // An automatic snooze never passes midnight: at 23:58 it dismisses.
    m_clock.Set(At(2026, 3, 10, 23, 58));
    ReminderSession session(m_folder);
    ASSERT_TRUE(session.GetData(Armed(m_clock.Now(), "1")));
    session.ActiveReminder()->m_dwSnoozeCounter = 2;
    session.SetReminderSnooze(0, true);
    EXPECT_EQ(StoredEntry(m_folder, 1)->m_ftSnooze, 0u);
    EXPECT_EQ(StoredEntry(m_folder, 1)->m_dwSnoozeCounter, 0u);
  }
  {
    // A manual snooze after three automatic ones.
    ReminderSession session(m_folder);
    ASSERT_TRUE(session.GetData(Armed(m_clock.Now(), "1")));
    session.ActiveReminder()->m_dwAutoSnoozeCounter = 3;
    session.ActiveReminder()->m_dwSnoozeCounter = 3;
    session.SetReminderSnooze(SnoozeSecondsOfCommand(kCmdSnoozeFirst + 6), false);
    const auto stored = StoredEntry(m_folder, 1);
    EXPECT_EQ(stored->m_ftSnooze, m_clock.Now() + 172800 * FILETIME_PER_SECOND);
    EXPECT_EQ(stored->m_dwAutoSnoozeCounter, 0u);
    EXPECT_EQ(stored->m_dwSnoozeCounter, 4u);
  }
  // A length that leaves the calendar's range gives no moment at all.
  EXPECT_EQ(NowPlusSeconds(60), m_clock.Now() + 60 * FILETIME_PER_SECOND);
  constexpr std::int64_t kFiveCenturies = std::int64_t{500} * 366 * 86400;
  for (const std::int64_t seconds : {-kFiveCenturies, std::numeric_limits<std::int64_t>::max()}) {
    EXPECT_EQ(NowPlusSeconds(seconds), 0u) << seconds;
  }
}

TEST_F(ReminderSessionTest, NewOccurrenceResetsAStaleSnooze) {
  SaveThree();
  ReminderSession session(m_folder);
  ASSERT_TRUE(session.GetData(Armed(m_clock.Now(), "1")));
  FeskItem& item = *session.ActiveReminder();
  // A snoozed reminder coming back keeps its counters.
  item.m_ftSnooze = m_clock.Now();
  item.m_dwSnoozeCounter = 2;
  session.CheckFirstTimeReminder(item);
  EXPECT_EQ(item.m_dwSnoozeCounter, 2u);
  // A new occurrence while a later snooze is pending: cleared and written at once.
  item.m_ftSnooze = m_clock.Now() + 3600 * FILETIME_PER_SECOND;
  session.CheckFirstTimeReminder(item);
  EXPECT_EQ(item.m_dwSnoozeCounter, 0u);
  EXPECT_EQ(item.m_ftSnooze, 0u);
  EXPECT_TRUE(session.LastWriteSucceeded());
}

TEST_F(ReminderSessionTest, EarlyAndOldReminders) {
  const platform::FileTime now = m_clock.Now();
  int slept = 0;
  const SleepFn sleep = [&](int ms) {
    slept += ms;
    m_clock.Advance(static_cast<platform::FileTime>(ms) * 10'000);
  };
  EXPECT_TRUE(CheckEarlyFired(now + 10 * FILETIME_PER_SECOND, sleep));
  EXPECT_EQ(slept, 10'000);  // waited for its moment
  m_clock.Set(now);
  slept = 0;
  EXPECT_TRUE(CheckEarlyFired(now + 45 * FILETIME_PER_SECOND, sleep));
  EXPECT_EQ(slept, 0);
  EXPECT_TRUE(CheckEarlyFired(now - 59 * FILETIME_PER_SECOND, sleep));
  EXPECT_FALSE(CheckEarlyFired(now - 61 * FILETIME_PER_SECOND, sleep));
  EXPECT_FALSE(CheckEarlyFired(0, sleep));

  // A missed reminder counts while its event day has not passed.
  const auto anna = Entry(Birthday, "Anna Berg", {1985, 3, 14});
  const platform::FileTime firedFourDaysBefore = At(2026, 3, 10, 9, 0);
  EXPECT_TRUE(IsMissedReminderStillDue(*anna, firedFourDaysBefore, {2026, 3, 14}));
  EXPECT_FALSE(IsMissedReminderStillDue(*anna, firedFourDaysBefore, {2026, 3, 15}));
}

TEST(SnoozeRulesTest, DaysToEventAndOfferedSnoozes) {
  struct Case {
    CalendarDate date, today;
    int days;
  };
  const Case cases[] = {
      {{1985, 3, 14}, {2026, 3, 14}, 0},  {{1985, 3, 14}, {2026, 3, 13}, 1},
      {{1985, 3, 14}, {2026, 3, 15}, 364}, {{2000, 2, 29}, {2026, 2, 20}, 8},  // the 28th in a common year
      {{2000, 2, 29}, {2028, 2, 20}, 9},   {{2000, 2, 29}, {2100, 2, 27}, 1},  // 2100 is a common year
  };
  for (const Case& c : cases) {
    const auto entry = Entry(Birthday, "X", c.date);
    EXPECT_EQ(DaysToEvent(*entry, c.today), c.days) << c.date.year << "-" << c.date.month << "-" << c.date.day;
  }
  struct Offered {
    int days;
    bool day, twoDays, week;
  };
  for (const Offered o : {Offered{0, false, false, false}, Offered{1, true, false, false},
                          Offered{2, true, true, false}, Offered{6, true, true, false},
                          Offered{7, true, true, true}}) {
    EXPECT_TRUE(IsSnoozeAvailable(kCmdSnoozeFirst + 4, o.days));
    EXPECT_EQ(IsSnoozeAvailable(kCmdSnoozeFirst + 5, o.days), o.day) << o.days;
    EXPECT_EQ(IsSnoozeAvailable(kCmdSnoozeFirst + 6, o.days), o.twoDays) << o.days;
    EXPECT_EQ(IsSnoozeAvailable(kCmdSnoozeFirst + 7, o.days), o.week) << o.days;
  }
  // The menu's first and last snoozes, and the commands either side of them.
  for (const auto& [command, seconds] : {std::pair{kCmdSnoozeFirst - 1, 0u}, std::pair{kCmdSnoozeFirst, 60u},
                                         std::pair{kCmdSnoozeFirst + 7, 604800u},
                                         std::pair{kCmdSnoozeLast + 1, 0u}}) {
    EXPECT_EQ(SnoozeSecondsOfCommand(command), seconds) << command;
  }
}
