#include "common/entries/EntryTexts.h"

#include <array>

#include "common/entries/FeskItem.h"
#include "common/entries/TextFormat.h"
#include "common/text/DateFormat.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"

namespace {

struct ZodiacRow {
  int startDay, startMonth, endDay, endMonth;
};

constexpr std::array<ZodiacRow, 12> kZodiacTable = {{
    {21, 3, 20, 4},
    {21, 4, 21, 5},
    {22, 5, 21, 6},
    {22, 6, 22, 7},
    {23, 7, 23, 8},
    {24, 8, 22, 9},
    {23, 9, 23, 10},
    {24, 10, 22, 11},
    {23, 11, 21, 12},
    {22, 12, 19, 1},
    {20, 1, 18, 2},
    {19, 2, 20, 3},
}};

constexpr std::size_t kMaxDateChars = 63;

// The key of the short weekday name; Sunday 0.
const std::u16string& WeekDayName(int weekDay) {
  const LocalTable& texts = GetLocalTable();
  switch (weekDay) {
    case 1: return texts.Get(u"MIDDLE_MONDAY");
    case 2: return texts.Get(u"MIDDLE_TUESDAY");
    case 3: return texts.Get(u"MIDDLE_WEDNESDAY");
    case 4: return texts.Get(u"MIDDLE_THURSDAY");
    case 5: return texts.Get(u"MIDDLE_FRIDAY");
    case 6: return texts.Get(u"MIDDLE_SATURDAY");
    default: return texts.Get(u"MIDDLE_SUNDAY");
  }
}

std::u16string FormatOne(std::u16string_view key, const std::u16string& argument) {
  return FormatText(GetLocalTable().Get(key), {argument});
}

std::u16string FormatDaysLeftText(std::u16string_view key, const std::u16string& days) {
  return FormatCountedText(key, u"", days, {days});
}

// Whether the row shows an age: it is switched on and the date is not in the
// future (an other date may lie ahead; it has no age yet).
bool ShowsAge(const FeskItem& entry, const EntryTextContext& context) {
  return context.view.dwDisplayAge != 0 && DayNumber(DateOfFileTime(entry.m_ftDate)) <= DayNumber(context.today);
}

}  // namespace

std::u16string FormatCountedText(std::u16string_view key, std::u16string_view years, std::u16string_view days,
                                 std::initializer_list<std::u16string_view> args) {
  const std::u16string yearSuffix = years == u"1" ? u"_Y1" : u"";
  const std::u16string daySuffix = days == u"0" || days == u"1" ? u"_" + std::u16string(days) : u"";
  const std::u16string base(key);
  for (const std::u16string& candidate :
       {base + yearSuffix + daySuffix, base + daySuffix, base + yearSuffix}) {
    if (candidate == base) continue;
    const std::u16string& text = GetLocalTable().Get(candidate);
    if (text != kUndefinedText) return FormatText(text, args);
  }
  return FormatText(GetLocalTable().Get(key), args);
}

std::u16string FormatCountdownText(std::u16string_view key, const std::u16string& years, const std::u16string& days) {
  return FormatCountedText(key, years, days, {years, days});
}

EntryTextContext CurrentTextContext() { return {CurrentViewSettings(), Today()}; }

std::u16string FormatAge(const FeskItem& entry, const EntryTextContext& context) {
  if (!ShowsAge(entry, context)) return {};
  const CalendarDate& today = context.today;
  const CalendarDate born = DateOfFileTime(entry.m_ftDate);
  // In a common year a 29 February date is celebrated on the 28th.
  const int day = PlaceInYear(born.month, born.day, today.year).day;
  long long age = static_cast<long long>(today.year) - born.year;
  if (today.month < born.month || (today.month == born.month && today.day < day)) --age;
  if (today.month == born.month && today.day == day) return DecimalText(age);
  if (context.view.dwDisplayAge == 2) return DecimalText(age + 1);
  return DecimalText(age) + u"+";
}

std::u16string FormatDaysLeft(const FeskItem& entry, const EntryTextContext& context) {
  if (context.view.dwDaysLeft == 0) return {};
  const CalendarDate next = NextOccurrence(DateOfFileTime(entry.m_ftDate), context.today);
  return DecimalText(DayNumber(next) - DayNumber(context.today));
}

std::u16string FormatEntryDate(const FeskItem& entry, const EntryTextContext& context) {
  const EntryViewSettings& view = context.view;
  CalendarDate shown = DateOfFileTime(entry.m_ftDate);
  if (view.dwYearValue == 1 || view.dwDateFormat == 2) shown = NextOccurrence(shown, context.today);
  platform::SystemTime st;
  st.wYear = static_cast<std::uint16_t>(shown.year);
  st.wMonth = static_cast<std::uint16_t>(shown.month);
  st.wDay = static_cast<std::uint16_t>(shown.day);
  st.wDayOfWeek = static_cast<std::uint16_t>(WeekDayOf(shown));
  std::u16string text;
  switch (view.dwDateFormat) {
    case 0: text = FormatDate(st, g_szShortDateNoYear); break;
    case 1: text = FormatDate(st, g_szLongDateNoYear); break;
    case 2: text = FormatDate(st, g_szShortDateNoYear) + u" " + WeekDayName(st.wDayOfWeek); break;
    case 3: text = FormatDate(st, g_szShortDateYY); break;
    case 4: text = FormatDate(st, g_szShortDate); break;
    default: text = FormatDate(st, g_szLongDate); break;
  }
  if (text.size() > kMaxDateChars) text.resize(kMaxDateChars);
  return text;
}

int GetZodiacSign(const FeskItem& entry) {
  if (entry.m_wKind != Birthday) return 0;
  const CalendarDate date = DateOfFileTime(entry.m_ftDate);
  for (std::size_t sign = 0; sign < kZodiacTable.size(); ++sign) {
    const ZodiacRow& row = kZodiacTable[sign];
    if ((date.month == row.startMonth && date.day >= row.startDay) ||
        (date.month == row.endMonth && date.day <= row.endDay)) {
      return static_cast<int>(sign);
    }
  }
  return 0;
}

std::u16string GetZodiacName(int sign) {
  static constexpr std::u16string_view kKeys[] = {
      u"DLG_ZODIAC_1", u"DLG_ZODIAC_2", u"DLG_ZODIAC_3",  u"DLG_ZODIAC_4",  u"DLG_ZODIAC_5",  u"DLG_ZODIAC_6",
      u"DLG_ZODIAC_7", u"DLG_ZODIAC_8", u"DLG_ZODIAC_9", u"DLG_ZODIAC_10", u"DLG_ZODIAC_11", u"DLG_ZODIAC_12"};
  if (sign < 0 || sign >= 12) return {};
  return GetLocalTable().Get(kKeys[sign]);
}

bool GetHeaderTag(const FeskItem& entry, std::u16string& out, const EntryTextContext& context) {
  const EntryViewSettings& view = context.view;
  switch (view.dwFirstLineFormat) {
    case 1: out = FormatEntryDate(entry, context); return true;
    case 2: out = view.dwDaysLeft ? FormatDaysLeft(entry, context) : std::u16string(); return view.dwDaysLeft != 0;
    default: out = FormatAge(entry, context); return ShowsAge(entry, context);
  }
}

std::u16string GetDetailText(const FeskItem& entry, const EntryTextContext& context) {
  const EntryViewSettings& view = context.view;
  if (view.dwFirstLineFormat != 1) return FormatEntryDate(entry, context);
  if (ShowsAge(entry, context)) return FormatOne(u"LONG_AGE_STRING", FormatAge(entry, context));
  if (view.dwDaysLeft) return FormatDaysLeftText(u"LONG_DAYSLEFT_STRING", FormatDaysLeft(entry, context));
  return {};
}

bool GetDetailTail(const FeskItem& entry, std::u16string& out, const EntryTextContext& context) {
  const EntryViewSettings& view = context.view;
  out.clear();
  switch (view.dwFirstLineFormat) {
    case 1: {
      const bool both = ShowsAge(entry, context) && view.dwDaysLeft;
      if (both) out = FormatDaysLeftText(u"LONG_DAYSLEFT_STRING2", FormatDaysLeft(entry, context));
      return both;
    }
    case 2: {
      const bool age = ShowsAge(entry, context);
      if (age) out = FormatOne(u"LONG_AGE_STRING2", FormatAge(entry, context));
      return age;
    }
    default:
      if (view.dwDaysLeft) out = FormatDaysLeftText(u"LONG_DAYSLEFT_STRING2", FormatDaysLeft(entry, context));
      return view.dwDaysLeft != 0;
  }
}
