#include <gtest/gtest.h>

#include "common/entries/EntryPictures.h"
#include "common/entries/EntryTexts.h"
#include "tests/entries/EntriesFixture.h"

namespace entriestest {
namespace {

using Texts = EntriesFixture;

struct Day {
  int year, month, day;
};

struct AgeCase {
  Day born;
  Day today;
  std::uint32_t displayAge;
  const char16_t* age;
  const char16_t* daysLeft;
};

TEST_F(Texts, AgeAndDaysLeft) {
  const AgeCase cases[] = {
      // 29 February is celebrated on the 28th in a common year.
      {{1980, 2, 29}, {2009, 2, 28}, 1, u"29", u"0"},
      {{1980, 2, 29}, {2009, 2, 27}, 1, u"28+", u"1"},
      {{1980, 2, 29}, {2011, 3, 1}, 1, u"31+", u"365"},
      {{1980, 2, 29}, {2012, 2, 28}, 2, u"32", u"1"},
      // 2100 is a common year: its 28 February is the day.
      {{2000, 2, 29}, {2100, 2, 28}, 1, u"100", u"0"},
      {{2000, 2, 29}, {2099, 3, 1}, 1, u"99+", u"364"},
      // On the day itself neither setting adds a plus or a year.
      {{1970, 3, 10}, {2009, 3, 10}, 1, u"39", u"0"},
      {{1970, 3, 10}, {2009, 3, 10}, 2, u"39", u"0"},
      {{1970, 3, 11}, {2009, 3, 10}, 1, u"38+", u"1"},
      {{1970, 3, 11}, {2009, 3, 10}, 2, u"39", u"1"},
      {{1970, 1, 1}, {2009, 3, 10}, 1, u"39+", u"297"},
      {{1970, 1, 1}, {2009, 3, 10}, 0, u"", u"297"},
  };
  for (const AgeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.born.year << "-" << c.born.month << "-" << c.born.day << " on "
                                    << c.today.year << "-" << c.today.month << "-" << c.today.day);
    SetToday(c.today.year, c.today.month, c.today.day);
    g_settings.g_dwDisplayAge = c.displayAge;
    const auto entry = Entry(Birthday, At(c.born.year, c.born.month, c.born.day));
    EXPECT_EQ(FormatAge(*entry), c.age);
    EXPECT_EQ(FormatDaysLeft(*entry), c.daysLeft);
  }
  g_settings.g_dwDaysLeft = 0;
  EXPECT_EQ(FormatDaysLeft(*Entry(Birthday, At(1970, 1, 1))), u"");
}

TEST_F(Texts, DaysInMonthFollowsTheGregorianCalendar) {
  const struct {
    int month, year, days;
  } cases[] = {{2, 2100, 28}, {2, 1900, 28}, {2, 2000, 29}, {2, 2012, 29}, {2, 2009, 28}, {2, 2001, 28},
               {1, 2009, 31}, {4, 2009, 30}, {12, 2009, 31}, {0, 2009, 0},  {13, 2009, 0}};
  for (const auto& c : cases) EXPECT_EQ(DaysInMonth(c.month, c.year), c.days) << c.month << "/" << c.year;
}

TEST_F(Texts, DateFormats) {
  const auto entry = Entry(Birthday, At(1961, 7, 5));
  const struct {
    std::uint32_t format, yearValue;
    const char16_t *text, *abbreviated;  // the second for a narrow row
  } cases[] = {
      {0, 0, u"7/5", u"7/5"},           {1, 0, u"July 5", u"Jul 5"},
      {2, 0, u"7/5 Sun", u"7/5 Sun"},   {3, 0, u"7/5/61", u"7/5/61"},
      {4, 0, u"7/5/1961", u"7/5/1961"}, {5, 0, u"July 5, 1961", u"Jul 5, 1961"},
      {5, 1, u"July 5, 2009", u"Jul 5, 2009"}, {4, 1, u"7/5/2009", u"7/5/2009"},
  };
  for (const auto& c : cases) {
    g_settings.g_dwDateFormat = c.format;
    g_settings.g_dwYearValue = c.yearValue;
    EXPECT_EQ(FormatEntryDate(*entry), c.text) << "format " << c.format << " year value " << c.yearValue;
    EXPECT_EQ(FormatEntryDateAbbreviated(*entry, CurrentTextContext()), c.abbreviated) << "format " << c.format;
  }
  // Two centuries apart, the two-digit year would read the same.
  g_settings.g_dwDateFormat = 4;
  g_settings.g_dwYearValue = 0;
  EXPECT_EQ(FormatEntryDate(*Entry(Birthday, At(1756, 1, 27))), u"1/27/1756");
  // Formats 3 and 4 differ in a locale whose short date starts with the year.
  SetLocalePatterns(LocalePatternsFor("sv_SE.UTF-8"), platform::GetCalendarNames("sv_SE.UTF-8"));
  g_settings.g_dwYearValue = 0;
  g_settings.g_dwDateFormat = 3;
  const std::u16string twoDigits = FormatEntryDate(*entry);
  g_settings.g_dwDateFormat = 4;
  const std::u16string fourDigits = FormatEntryDate(*entry);
  SetUpTestSuite();
  EXPECT_EQ(twoDigits, u"61-07-05");
  EXPECT_EQ(fourDigits, u"1961-07-05");
}

TEST_F(Texts, NextYearOfALeapDayIsPlacedOnTheTwentyEighth) {
  const auto entry = Entry(Birthday, At(1980, 2, 29));
  g_settings.g_dwYearValue = 1;
  SetToday(2009, 2, 28);
  EXPECT_EQ(FormatEntryDate(*entry), u"February 28, 2009");
  SetToday(2099, 3, 1);
  EXPECT_EQ(FormatEntryDate(*entry), u"February 28, 2100");
  // The weekday format always shows the next occurrence, with its own weekday.
  g_settings.g_dwYearValue = 0;
  g_settings.g_dwDateFormat = 2;
  SetToday(2011, 3, 1);
  EXPECT_EQ(FormatEntryDate(*entry), u"2/29 Wed");
}

TEST_F(Texts, ZodiacSigns) {
  // The first and the last day of every sign.
  const struct {
    int sign, firstMonth, firstDay, lastMonth, lastDay;
  } signs[] = {{0, 3, 21, 4, 20},  {1, 4, 21, 5, 21},   {2, 5, 22, 6, 21},   {3, 6, 22, 7, 22},
               {4, 7, 23, 8, 23},  {5, 8, 24, 9, 22},   {6, 9, 23, 10, 23},  {7, 10, 24, 11, 22},
               {8, 11, 23, 12, 21}, {9, 12, 22, 1, 19}, {10, 1, 20, 2, 18},  {11, 2, 19, 3, 20}};
  for (const auto& c : signs) {
    EXPECT_EQ(GetZodiacSign(*Entry(Birthday, At(1980, c.firstMonth, c.firstDay))), c.sign)
        << c.firstMonth << "/" << c.firstDay;
    EXPECT_EQ(GetZodiacSign(*Entry(Birthday, At(1980, c.lastMonth, c.lastDay))), c.sign)
        << c.lastMonth << "/" << c.lastDay;
  }
  EXPECT_EQ(GetZodiacSign(*Entry(Anniversary, At(1980, 1, 20))), 0);
  EXPECT_EQ(GetZodiacName(9), u"Capricorn");
}

TEST_F(Texts, RowTextsByFirstLineFormat) {
  const auto entry = Entry(Birthday, At(1970, 3, 11));
  const char16_t* date = u"March 11, 1970";
  const struct {
    std::uint32_t layout, age, days;
    const char16_t* tag;  // nullptr: no tag
    const char16_t* detail;
    const char16_t* tail;  // nullptr: no tail
  } cases[] = {
      {0, 1, 1, u"38+", date, u"tomorrow"},
      {0, 0, 1, nullptr, date, u"tomorrow"},
      {0, 1, 0, u"38+", date, nullptr},
      {1, 1, 1, date, u"Years: 38+", u"tomorrow"},
      {1, 0, 1, date, u"1 day left", nullptr},
      {1, 1, 0, date, u"Years: 38+", nullptr},
      {1, 0, 0, date, u"", nullptr},
      {2, 1, 1, u"1", date, u"years: 38+"},
      {2, 1, 0, nullptr, date, u"years: 38+"},
      {2, 0, 1, u"1", date, nullptr},
      {7, 1, 1, u"38+", date, u"tomorrow"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "layout " << c.layout << " age " << c.age << " days " << c.days);
    g_settings.g_dwFirstLineFormat = c.layout;
    g_settings.g_dwDisplayAge = c.age;
    g_settings.g_dwDaysLeft = c.days;
    std::u16string tag, tail;
    EXPECT_EQ(GetHeaderTag(*entry, tag), c.tag != nullptr);
    EXPECT_EQ(tag, c.tag ? c.tag : u"");
    EXPECT_EQ(entry->GetDetailText(), c.detail);
    EXPECT_EQ(GetDetailTail(*entry, tail), c.tail != nullptr);
    EXPECT_EQ(tail, c.tail ? c.tail : u"");
  }
}

TEST_F(Texts, FutureDatesAndDatesWithoutAYearHaveNoAge) {
  // 10 March 2009: the other date lies a year ahead; the birthday without a
  // year is kept in 1604, long past.
  const auto ahead = Entry(OtherDate, At(2010, 3, 12), u"Move");
  const auto noYear = Entry(Birthday, At(kYearUnknown, 3, 12));
  g_settings.g_dwDisplayAge = 1;
  g_settings.g_dwDaysLeft = 1;
  const struct {
    const FeskItem* entry;
    std::uint32_t layout;
    const char16_t* tag;  // nullptr: no tag
    const char16_t* detail;
    const char16_t* tail;  // nullptr: no tail
  } cases[] = {
      {ahead.get(), 0, nullptr, u"March 12, 2010", u"in 2 days"},
      {ahead.get(), 1, u"March 12, 2010", u"2 days left", nullptr},
      {ahead.get(), 2, u"2", u"March 12, 2010", nullptr},
      {noYear.get(), 0, nullptr, u"March 12", u"in 2 days"},
      {noYear.get(), 1, u"March 12", u"2 days left", nullptr},
      {noYear.get(), 2, u"2", u"March 12", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.entry->m_wKind << " layout " << c.layout);
    g_settings.g_dwFirstLineFormat = c.layout;
    std::u16string tag, tail;
    EXPECT_EQ(FormatAge(*c.entry), u"");
    EXPECT_EQ(GetHeaderTag(*c.entry, tag), c.tag != nullptr);
    EXPECT_EQ(tag, c.tag ? c.tag : u"");
    EXPECT_EQ(c.entry->GetDetailText(), c.detail);
    EXPECT_EQ(GetDetailTail(*c.entry, tail), c.tail != nullptr);
    EXPECT_EQ(tail, c.tail ? c.tail : u"");
  }
  // From its day on it has one.
  SetToday(2010, 3, 12);
  EXPECT_EQ(FormatAge(*ahead), u"0");
}

TEST_F(Texts, DateWithoutAYearShowsNoYearInAnyFormat) {
  // 12 March and 29 February without a year, seen on Tuesday 10 March 2009.
  const auto spring = Entry(Birthday, At(kYearUnknown, 3, 12));
  const auto leapDay = Entry(Birthday, At(kYearUnknown, 2, 29));
  const struct {
    const char* locale;
    std::uint32_t format, yearValue;
    const char16_t *spring, *leapDayAbbreviated;
  } dates[] = {
      {"en_US.UTF-8", 0, 0, u"3/12", u"2/29"},
      {"en_US.UTF-8", 1, 0, u"March 12", u"Feb 29"},
      {"en_US.UTF-8", 2, 0, u"3/12 Thu", u"2/28 Sun"},
      {"en_US.UTF-8", 3, 0, u"3/12", u"2/29"},
      {"en_US.UTF-8", 4, 1, u"3/12", u"2/29"},
      {"en_US.UTF-8", 5, 0, u"March 12", u"Feb 29"},
      {"en_US.UTF-8", 5, 1, u"March 12", u"Feb 29"},
      {"de_DE.UTF-8", 3, 0, u"12.03", u"29.02"},
      {"de_DE.UTF-8", 5, 1, u"12. März", u"29. Feb."},
      {"ja_JP.UTF-8", 4, 0, u"03/12", u"02/29"},
      {"ja_JP.UTF-8", 5, 0, u"3月12日", u"2月29日"},
  };
  for (const auto& c : dates) {
    SCOPED_TRACE(testing::Message() << c.locale << " format " << c.format << " year value " << c.yearValue);
    SetLocalePatterns(LocalePatternsFor(c.locale), platform::GetCalendarNames(c.locale));
    g_settings.g_dwDateFormat = c.format;
    g_settings.g_dwYearValue = c.yearValue;
    EXPECT_EQ(FormatEntryDate(*spring), c.spring);
    EXPECT_EQ(FormatEntryDateAbbreviated(*leapDay, CurrentTextContext()), c.leapDayAbbreviated);
  }
  SetUpTestSuite();
  // The zodiac sign needs only the day.
  EXPECT_EQ(GetZodiacSign(*spring), 11);
}

TEST_F(Texts, CountdownWordingByCount) {
  const struct {
    const char16_t* key;
    const char16_t *years, *days, *english, *german;
  } cases[] = {
      {u"DLG_UTIL_BIRTHDAY_FORMAT3", u"31", u"3", u"Turns 31 in 3 days", u"31. Geburtstag in 3 Tagen"},
      {u"DLG_UTIL_BIRTHDAY_FORMAT3", u"31", u"1", u"Turns 31 tomorrow", u"31. Geburtstag morgen"},
      {u"DLG_UTIL_BIRTHDAY_FORMAT3", u"1", u"0", u"Turns 1 today", u"1. Geburtstag heute"},
      {u"DLG_UTIL_ANNIVERSARY_FORMAT3", u"1", u"3", u"1 year in 3 days", u"1. Jahrestag in 3 Tagen"},
      {u"DLG_UTIL_ANNIVERSARY_FORMAT3", u"1", u"1", u"1 year tomorrow", u"1. Jahrestag morgen"},
      {u"DLG_UTIL_ANNIVERSARY_FORMAT3", u"10", u"0", u"10 years today", u"10. Jahrestag heute"},
      {u"DLG_UTIL_OTHER_FORMAT3", u"1", u"10", u"1 year in 10 days", u"1 Jahr in 10 Tagen"},
      {u"DLG_UTIL_OTHER_FORMAT3", u"2", u"1", u"2 years tomorrow", u"2 Jahre, morgen"},
      {u"LONG_DAYSLEFT_STRING2", u"", u"1", u"tomorrow", u"morgen"},
  };
  for (const char16_t* section : {u"[German]", u"[English]"}) {
    ASSERT_TRUE(GetLocalTable().LoadFile(NATALO_TEST_LOCAL_DAT, section));
    for (const auto& c : cases) {
      const std::u16string text = c.key == std::u16string_view(u"LONG_DAYSLEFT_STRING2")
                                      ? FormatCountedText(c.key, c.years, c.days, {c.days})
                                      : FormatCountdownText(c.key, c.years, c.days);
      EXPECT_EQ(text, section == std::u16string_view(u"[German]") ? c.german : c.english)
          << platform::ToUtf8(c.key) << " " << platform::ToUtf8(c.years) << " " << platform::ToUtf8(c.days);
    }
  }
}

TEST_F(Texts, CountdownPluralFormFollowsTheDaysForBirthdaysAndTheYearsOtherwise) {
  const std::u16string russian =
      u"\uFEFF[Russian]\nDLG_UTIL_BIRTHDAY_FORMAT3_PL_ONE, %s: %s день\nDLG_UTIL_BIRTHDAY_FORMAT3_PL_FEW, %s: %s дня\n"
      u"DLG_UTIL_OTHER_FORMAT3_PL_ONE, %s год: %s\nDLG_UTIL_OTHER_FORMAT3_PL_FEW, %s года: %s\n";
  std::string bytes;
  for (char16_t c : russian) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  ASSERT_TRUE(GetLocalTable().LoadBytes(bytes, u"[Russian]"));
  EXPECT_EQ(FormatCountdownText(u"DLG_UTIL_BIRTHDAY_FORMAT3", u"21", u"3"), u"21: 3 дня");
  EXPECT_EQ(FormatCountdownText(u"DLG_UTIL_OTHER_FORMAT3", u"21", u"3"), u"21 год: 3");
  ASSERT_TRUE(GetLocalTable().LoadFile(NATALO_TEST_LOCAL_DAT, u"[English]"));
}

TEST_F(Texts, DaysLeftWordingForTodayAndTomorrow) {
  g_settings.g_dwDaysLeft = 1;
  g_settings.g_dwDisplayAge = 0;
  std::u16string tail;
  g_settings.g_dwFirstLineFormat = 0;
  EXPECT_TRUE(GetDetailTail(*Entry(Birthday, At(1970, 3, 10)), tail));
  EXPECT_EQ(tail, u"today");
  EXPECT_TRUE(GetDetailTail(*Entry(Birthday, At(1970, 3, 12)), tail));
  EXPECT_EQ(tail, u"in 2 days");
  g_settings.g_dwFirstLineFormat = 1;
  EXPECT_EQ(Entry(Birthday, At(1970, 3, 10))->GetDetailText(), u"today");
  EXPECT_EQ(Entry(Birthday, At(1970, 3, 13))->GetDetailText(), u"3 days left");
}

TEST_F(Texts, DisplayNames) {
  const auto ann = Entry(Birthday, At(1961, 7, 5), u"Ann", u"Lee");
  const auto noFirst = Entry(Birthday, At(1961, 7, 5), u"", u"Lee");
  const std::u16string emoji = u"\U0001F600x";
  const auto wide = Entry(Birthday, At(1961, 7, 5), emoji, u"Lee");
  // Family name first without a space, whatever the order.
  const auto chinese = Entry(Birthday, At(1979, 12, 19), u"\u5C0F\u660E", u"\u738B");
  // Named by the contact scan under "First Last" and under "Last, First".
  const auto wedding = Entry(Anniversary, At(1990, 6, 1), u"Wedding of Noah Becker");
  const auto weddingLastFirst = Entry(Anniversary, At(1990, 6, 1), u"Wedding of Becker, Noah");
  const struct {
    std::uint32_t format;
    const char16_t *ann, *noFirst, *noLast, *wedding;
  } cases[] = {{0, u"Ann Lee", u"Lee", u"Ann", u"Wedding of Noah Becker"},
               {1, u"Lee, Ann", u"Lee", u"Ann", u"Wedding of Becker, Noah"},
               {2, u"A. Lee", u"Lee", u"Ann", u"Wedding of N. Becker"},
               {3, u"Lee, A.", u"Lee", u"Ann", u"Wedding of Becker, N."}};
  const auto noLast = Entry(Birthday, At(1961, 7, 5), u"Ann", u"");
  for (const auto& c : cases) {
    g_settings.g_dwDisplayNames = c.format;
    EXPECT_EQ(ann->GetDisplayName(), c.ann) << c.format;
    EXPECT_EQ(noFirst->GetDisplayName(), c.noFirst) << c.format;
    EXPECT_EQ(noLast->GetDisplayName(), c.noLast) << c.format;
    EXPECT_EQ(chinese->GetDisplayName(), u"\u738B\u5C0F\u660E") << c.format;
    EXPECT_EQ(wedding->GetDisplayName(), c.wedding) << c.format;
    EXPECT_EQ(weddingLastFirst->GetDisplayName(), c.wedding) << c.format;
  }
  // An initial outside the basic plane keeps both halves of its surrogate pair.
  g_settings.g_dwDisplayNames = 2;
  EXPECT_EQ(wide->GetDisplayName(), u"\U0001F600. Lee");
  // Names the format does not hold, or whose parts cannot be told apart, stay as written.
  EXPECT_EQ(Entry(Anniversary, At(1990, 6, 1), u"Wedding")->GetDisplayName(), u"Wedding");
  EXPECT_EQ(Entry(Anniversary, At(1990, 6, 1), u"Wedding of Sara & Ben")->GetDisplayName(), u"Wedding of Sara & Ben");
}

TEST_F(Texts, PicturesAndStatusPictures) {
  auto entry = Entry(Birthday, At(1961, 7, 5));
  entry->m_dwIcon = 40;
  EXPECT_EQ(entry->GetIcon(), 40);
  entry->m_bStar = 1;
  EXPECT_EQ(entry->GetIcon(), 48);
  EXPECT_EQ(entry->GetSelectedIcon(), 48);

  const struct {
    bool enabled, skip, note;
    int snoozeMinutes;  // from now (9:30); 0 not snoozed
    int count, first, second;  // high-resolution numbers
  } cases[] = {
      {true, false, false, 0, 1, 143, 0}, {true, true, false, 0, 1, 142, 0},  {true, false, true, 0, 2, 143, 141},
      {true, true, true, 0, 2, 142, 141}, {false, false, true, 0, 1, 141, 0}, {false, true, false, 0, 0, 0, 0},
      // Snoozed until a minute from now; a snooze that has ended shows no more.
      {true, false, true, 1, 2, 145, 141}, {true, true, false, 1, 1, 145, 0}, {true, false, false, -1, 1, 143, 0},
      {false, false, false, 1, 0, 0, 0},
  };
  SetHighResolutionScreen(true);
  for (const auto& c : cases) {
    entry->m_bEnabled = c.enabled;
    entry->m_wSkipNext = c.skip;
    entry->SetNote(c.note ? u"note" : u"");
    entry->m_ftSnooze = c.snoozeMinutes == 0 ? 0 : At(2009, 3, 10, 9, 30 + c.snoozeMinutes);
    EXPECT_EQ(entry->GetStatusIconCount(), c.count);
    EXPECT_EQ(entry->GetStatusIcon(0), c.first) << c.snoozeMinutes;
    EXPECT_EQ(entry->GetStatusIcon(1), c.second);
  }
  entry->m_ftSnooze = 0;
  entry->m_wSkipNext = 1;
  EXPECT_EQ(entry->GetStatusIconSize().cx, 16);
  SetHighResolutionScreen(false);
  EXPECT_EQ(entry->GetStatusIcon(0), 0);
  entry->m_bEnabled = 1;
  entry->SetNote(u"note");
  EXPECT_EQ(entry->GetStatusIcon(0), 139);
  EXPECT_EQ(entry->GetStatusIcon(1), 138);
  EXPECT_EQ(entry->GetStatusIconSize().cy, 12);
}

TEST_F(Texts, SnoozeTextSaysWhenTheReminderComesBack) {
  auto entry = Entry(Birthday, At(1961, 3, 12));
  const platform::FileTime now = At(2009, 3, 10, 9, 30);
  const struct {
    platform::FileTime snooze;
    const char16_t* text;  // nullptr: not snoozed
  } cases[] = {
      {At(2009, 3, 10, 14, 5), u"2:05 PM"},
      {At(2009, 3, 12, 9, 30), u"3/12 9:30 AM"},
      {now, nullptr},
      {0, nullptr},
  };
  for (const auto& c : cases) {
    entry->m_ftSnooze = c.snooze;
    std::u16string text = u"old";
    EXPECT_EQ(GetSnoozeText(*entry, now, text), c.text != nullptr);
    EXPECT_EQ(text, c.text != nullptr ? c.text : u"");
  }
}

}  // namespace
}  // namespace entriestest
