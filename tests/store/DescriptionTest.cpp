// The recurrence description lines of plain items, in English and German.
#include <gtest/gtest.h>

#include <memory>

#include "common/store/Recurrence.h"
#include "common/store/StorageItem.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"
#include "platform/text/Utf.h"

namespace {

struct DescriptionCase {
  const char* name;
  std::uint32_t kind;
  std::uint16_t monthlyType = ByDay;
  std::int32_t monthDay = 1;
  std::uint32_t weekOfMonth = 0;
  std::uint32_t weekDay = MondayBit;
  std::uint32_t weekDays = AllWeekDays;
  std::uint32_t months = AllMonths;
  bool showSeconds = false;
  const char16_t* english = u"";
  const char16_t* german = u"";
};

// Thursday 12 March 2009, 21:05:30.
std::unique_ptr<StorageItem> MakeItem(const DescriptionCase& c) {
  auto item = std::make_unique<StorageItem>(c.kind, c.showSeconds);
  platform::SystemTime st{2009, 3, 0, 12, 21, 5, 30, 0};
  platform::SystemTimeToFileTime(st, item->m_ftStart);
  item->m_wMonthlyType = c.monthlyType;
  item->m_nMonthDay = c.monthDay;
  item->m_dwWeekOfMonth = c.weekOfMonth;
  item->m_dwWeekDay = c.weekDay;
  item->m_dwWeekDays = c.weekDays;
  item->m_dwMonths = c.months;
  return item;
}

const DescriptionCase kCases[] = {
    {.name = "weekly Monday and Friday", .kind = Weekly, .weekDays = MondayBit | FridayBit,
     .english = u"9:05 PM, weekly: M---F--", .german = u"21:05, wöchentlich: M---F--"},
    {.name = "weekly with seconds", .kind = Weekly, .showSeconds = true,
     .english = u"9:05:30 PM, weekly: MTWTFSS", .german = u"21:05:30, wöchentlich: MDMDFSS"},
    {.name = "once", .kind = Once, .english = u"9:05 PM, 3/12/2009 Thu", .german = u"21:05, 12.03.2009 Do"},
    {.name = "next 24 hours", .kind = Next24Hours, .english = u"Within 24 hours: 9:05 PM",
     .german = u"Innerhalb von 24 Stunden: 21:05"},
    {.name = "every day", .kind = EveryDay, .english = u"Every day 9:05 PM", .german = u"Täglich 21:05"},
    {.name = "yearly", .kind = Yearly, .english = u"9:05 PM, yearly: March 12", .german = u"21:05, jährlich: 12. März"},
    {.name = "monthly day 15 in January and July", .kind = Monthly, .monthDay = 15, .months = 0x41,
     .english = u"9:05 PM, day 15, monthly: J-----J-----", .german = u"21:05, Tag 15, monatlich: J-----J-----"},
    {.name = "monthly last day", .kind = Monthly, .monthDay = 0,
     .english = u"9:05 PM, last day, monthly: JFMAMJJASOND", .german = u"21:05, letzter Tag, monatlich: JFMAMJJASOND"},
    {.name = "monthly third to last day", .kind = Monthly, .monthDay = -2, .months = 0x800,
     .english = u"9:05 PM, day third to last day, monthly: -----------D",
     .german = u"21:05, Tag drittletzter Tag, monatlich: -----------D"},
    {.name = "monthly day below -3", .kind = Monthly, .monthDay = -5, .months = 0,
     .english = u"9:05 PM, day -/-, monthly: ------------", .german = u"21:05, Tag -/-, monatlich: ------------"},
    {.name = "monthly week 7 weekday 4", .kind = Monthly, .monthlyType = ByWeekDay, .weekOfMonth = 7,
     .weekDay = WednesdayBit, .months = 1, .english = u"9:05 PM, last Wednesday, monthly: J-----------",
     .german = u"21:05, letzter Mittwoch, monatlich: J-----------"},
    {.name = "monthly second Sunday", .kind = Monthly, .monthlyType = ByWeekDay, .weekOfMonth = 1,
     .weekDay = SundayBit, .months = 1, .english = u"9:05 PM, second Sunday, monthly: J-----------",
     .german = u"21:05, zweiter Sonntag, monatlich: J-----------"},
    {.name = "monthly weekday 200", .kind = Monthly, .monthlyType = ByWeekDay, .weekDay = 200, .months = 1,
     .english = u"9:05 PM, , monthly: J-----------", .german = u"21:05, , monatlich: J-----------"},
    {.name = "monthly third working day", .kind = Monthly, .monthlyType = ByWorkDays, .monthDay = 3, .months = 1,
     .english = u"9:05 PM, third working day, monthly: J-----------",
     .german = u"21:05, dritter Arbeitstag, monatlich: J-----------"},
    {.name = "monthly tenth weekend day", .kind = Monthly, .monthlyType = ByWeekends, .monthDay = 10, .months = 1,
     .english = u"9:05 PM, tenth weekend day, monthly: J-----------",
     .german = u"21:05, zehnter Wochenendtag, monatlich: J-----------"},
    {.name = "monthly last working day", .kind = Monthly, .monthlyType = ByWorkDays, .monthDay = 24, .months = 1,
     .english = u"9:05 PM, last working day, monthly: J-----------",
     .german = u"21:05, letzter Arbeitstag, monatlich: J-----------"},
    {.name = "monthly last weekend day", .kind = Monthly, .monthlyType = ByWeekends, .monthDay = 24, .months = 1,
     .english = u"9:05 PM, last weekend day, monthly: J-----------",
     .german = u"21:05, letzter Wochenendtag, monatlich: J-----------"},
    {.name = "monthly working day without a word", .kind = Monthly, .monthlyType = ByWorkDays, .monthDay = 0,
     .months = 1, .english = u"9:05 PM, -/-, monthly: J-----------", .german = u"21:05, -/-, monatlich: J-----------"},
    {.name = "monthly unknown type", .kind = Monthly, .monthlyType = 4},
    {.name = "kind 16", .kind = 16},
};

class Descriptions : public ::testing::TestWithParam<const char*> {};

TEST_P(Descriptions, LineOfEveryKindAndMonthlyType) {
  const bool german = std::string_view(GetParam()) == "de_DE.UTF-8";
  ASSERT_TRUE(GetLocalTable().LoadFile(NATALO_TEST_LOCAL_DAT, german ? u"[German]" : u"[English]"));
  SetLocalePatterns(LocalePatternsFor(GetParam()), platform::GetCalendarNames(GetParam()));
  for (const DescriptionCase& c : kCases) {
    EXPECT_EQ(platform::ToUtf8(MakeItem(c)->GetDetailText()), platform::ToUtf8(german ? c.german : c.english)) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, Descriptions, ::testing::Values("en_US.UTF-8", "de_DE.UTF-8"));

TEST(DescriptionsWithoutTexts, MissingKeysShowThePlaceholderAndTheLineStays) {
  ASSERT_TRUE(GetLocalTable().LoadBytes({}, u"[English]"));
  SetLocalePatterns(LocalePatternsFor("de_DE.UTF-8"), platform::GetCalendarNames("de_DE.UTF-8"));
  DescriptionCase c{.name = "weekly", .kind = Weekly, .weekDays = MondayBit};
  EXPECT_EQ(MakeItem(c)->GetDetailText(), u"21:05, <undefined>: <undefined>------");
  c = {.name = "workday", .kind = Monthly, .monthlyType = ByWorkDays, .monthDay = 1};
  EXPECT_EQ(MakeItem(c)->GetMonthDayText(), u"<undefined>");
}

}  // namespace
