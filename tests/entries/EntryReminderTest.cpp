#include <gtest/gtest.h>

#include "common/entries/EntryReminder.h"
#include "tests/entries/EntriesFixture.h"

namespace entriestest {
namespace {

using Reminders = EntriesFixture;

TEST_F(Reminders, OffsetsAndTimes) {
  const struct {
    int year, month, day;
    std::uint32_t code;
    std::uint16_t time;
    int startYear, startMonth, startDay, hour, minute;
  } cases[] = {
      {1970, 3, 31, 9, 0x0C00, 2001, 2, 28, 12, 0},   // a month back, cut to February's end
      {1970, 1, 5, 8, 0x0930, 2000, 12, 22, 9, 48},   // fourteen days back, into the year before
      {1970, 1, 15, 9, 0x0000, 2001, 12, 15, 0, 0},   // January's month before is December of the same year
      {1980, 2, 29, 0, 0x0700, 2001, 2, 28, 7, 0},    // the leap day in the common year 2001
      {1604, 2, 29, 2, 0x0C00, 2001, 2, 26, 12, 0},   // a leap day without a year, as a dated one
      {1604, 7, 4, 7, 0x0800, 2001, 6, 27, 8, 0},     // a date without a year: month and day count
      {1970, 3, 1, 1, 0x0C00, 2001, 2, 28, 12, 0},
      {1970, 3, 10, 7, 0x173B, 2001, 3, 3, 23, 59},
      {1970, 3, 10, 42, 0x0C00, 2001, 3, 10, 12, 0},  // an unknown code reminds on the day
      {1970, 3, 10, 0, 0x2A63, 2001, 3, 10, 23, 59},  // a time past the day's end is its last minute
  };
  for (const auto& c : cases) {
    auto entry = Entry(Birthday, At(c.year, c.month, c.day));
    ApplyReminder(*entry, c.code, c.time);
    EXPECT_EQ(entry->m_ftStart, At(c.startYear, c.startMonth, c.startDay, c.hour, c.minute))
        << c.month << "/" << c.day << " code " << c.code;
  }
}

TEST_F(Reminders, DefaultsComeFromTheSettings) {
  auto entry = Entry(Anniversary, At(1990, 3, 10));
  ApplyDefaultReminder(*entry);
  EXPECT_EQ(entry->m_ftStart, At(2001, 3, 8, 12, 0));
  g_settings.g_dwReminderDate = 9;
  g_settings.g_wReminderTime = 0x0815;
  ApplyDefaultReminder(*entry);
  EXPECT_EQ(entry->m_ftStart, At(2001, 2, 10, 8, 21));
}

}  // namespace
}  // namespace entriestest
