// The one-line recurrence descriptions of a schedule item. Every word comes
// from local.dat; the line formats themselves are fixed.
#include <array>
#include <string>
#include <string_view>

#include "common/store/Recurrence.h"
#include "common/store/StorageItem.h"
#include "common/text/DateFormat.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"

namespace {

constexpr std::size_t kMaxTimeChars = 15;
constexpr std::size_t kMaxDateChars = 30;
// The ordinal of the last working or weekend day of a month.
constexpr int kLastOfKind = 24;
constexpr std::u16string_view kUnknownDay = u"-/-";

constexpr std::array<std::u16string_view, 7> kWeekDayMarkKeys = {
    u"SHORT_MONDAY", u"SHORT_TUESDAY", u"SHORT_WEDNESDAY", u"SHORT_THURSDAY",
    u"SHORT_FRIDAY", u"SHORT_SATURDAY", u"SHORT_SUNDAY"};

// Indexed by the weekday number, Sunday 0.
constexpr std::array<std::u16string_view, 7> kMiddleWeekDayKeys = {
    u"MIDDLE_SUNDAY", u"MIDDLE_MONDAY", u"MIDDLE_TUESDAY", u"MIDDLE_WEDNESDAY",
    u"MIDDLE_THURSDAY", u"MIDDLE_FRIDAY", u"MIDDLE_SATURDAY"};

constexpr std::array<std::u16string_view, 12> kMonthMarkKeys = {
    u"SHORT_MONTH_1", u"SHORT_MONTH_2", u"SHORT_MONTH_3",  u"SHORT_MONTH_4",  u"SHORT_MONTH_5",  u"SHORT_MONTH_6",
    u"SHORT_MONTH_7", u"SHORT_MONTH_8", u"SHORT_MONTH_9", u"SHORT_MONTH_10", u"SHORT_MONTH_11", u"SHORT_MONTH_12"};

const std::u16string& Text(std::u16string_view key) { return GetLocalTable().Get(key); }

std::u16string Cut(std::u16string text, std::size_t maxChars) {
  if (text.size() > maxChars) text.resize(maxChars);
  return text;
}

std::u16string Decimal(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// The localized format text with its first "%s" replaced by `word`.
std::u16string FillOrdinal(std::u16string format, const std::u16string& word) {
  const std::size_t at = format.find(u"%s");
  if (at != std::u16string::npos) format.replace(at, 2, word);
  return format;
}

// The `index`-th (from 1) comma-separated word of "DLG_MONTHLY_DAYS"; empty
// when the list has no such word.
std::u16string OrdinalWord(int index) {
  std::u16string_view words = Text(u"DLG_MONTHLY_DAYS");
  for (int i = 1; index >= 1; ++i) {
    const std::size_t comma = words.find(u',');
    if (i == index) return std::u16string(words.substr(0, comma));
    if (comma == std::u16string_view::npos) break;
    words.remove_prefix(comma + 1);
  }
  return {};
}

// "third working day" and the like. 24 stands for the last such day, which
// has a phrase of its own (the ordinal list has no 24th word); an ordinal
// without a word shows as "-/-", as an unknown day of the month does.
std::u16string NthDayText(std::u16string_view formatKey, std::u16string_view lastDayKey, int ordinal) {
  if (ordinal == kLastOfKind) return Text(lastDayKey);
  const std::u16string word = OrdinalWord(ordinal);
  return word.empty() ? std::u16string(kUnknownDay) : FillOrdinal(Text(formatKey), word);
}

std::u16string_view WeekWordKey(std::uint32_t weekOfMonth) {
  switch (weekOfMonth) {
    case 0: return u"DLG_MONTHLY_WEEK_FIRST";
    case 1: return u"DLG_MONTHLY_WEEK_SECOND";
    case 2: return u"DLG_MONTHLY_WEEK_THIRD";
    case 3: return u"DLG_MONTHLY_WEEK_FOURTH";
    default: return u"DLG_MONTHLY_WEEK_LAST";
  }
}

std::u16string_view WeekDayNameKey(std::uint32_t weekDayBit) {
  switch (weekDayBit) {
    case MondayBit: return u"MONDAY";
    case TuesdayBit: return u"TUESDAY";
    case WednesdayBit: return u"WEDNESDAY";
    case ThursdayBit: return u"THURSDAY";
    case FridayBit: return u"FRIDAY";
    case SaturdayBit: return u"SATURDAY";
    case SundayBit: return u"SUNDAY";
    default: return {};
  }
}

std::u16string_view LastDayKey(int monthDay) {
  switch (monthDay) {
    case 0: return u"DLG_MONTHLY_LASTDAY";
    case -1: return u"DLG_MONTHLY_LASTDAY-1";
    case -2: return u"DLG_MONTHLY_LASTDAY-2";
    case -3: return u"DLG_MONTHLY_LASTDAY-3";
    default: return {};
  }
}

// One mark per set bit, "-" per clear bit, in the order of `keys`.
template <std::size_t N>
std::u16string Marks(std::uint32_t mask, const std::array<std::u16string_view, N>& keys) {
  std::u16string marks;
  for (std::size_t i = 0; i < N; ++i) marks += (mask & (1u << i)) != 0 ? Text(keys[i]) : std::u16string(u"-");
  return marks;
}

}  // namespace

std::u16string StorageItem::GetMonthDayText() const {
  switch (m_wMonthlyType) {
    case ByDay: {
      if (m_nMonthDay >= 1) return Decimal(m_nMonthDay);
      const std::u16string_view key = LastDayKey(m_nMonthDay);
      return key.empty() ? std::u16string(kUnknownDay) : Text(key);
    }
    case ByWorkDays: return NthDayText(u"DLG_MONTHLY_WORKDAY", u"DLG_MONTHLY_LASTDAY_WORK", m_nMonthDay);
    case ByWeekends: return NthDayText(u"DLG_MONTHLY_WEEKEND", u"DLG_MONTHLY_LASTDAY_WEEKEND", m_nMonthDay);
    case ByWeekDay: {
      const std::u16string_view dayKey = WeekDayNameKey(m_dwWeekDay);
      if (dayKey.empty()) return {};
      return Text(WeekWordKey(m_dwWeekOfMonth)) + u" " + Text(dayKey);
    }
    default: return {};
  }
}

std::u16string StorageItem::GetDetailText() const {
  platform::SystemTime start;
  if (!platform::FileTimeToSystemTime(m_ftStart, start)) return {};
  const std::u16string time = Cut(FormatTime(start, m_bShowSeconds != 0 ? g_szTime : g_szTimeNoSec), kMaxTimeChars);
  switch (m_dwKind) {
    case Weekly: return time + u", " + Text(u"WEEKLY_TEXT") + u": " + Marks(m_dwWeekDays, kWeekDayMarkKeys);
    case Once: {
      const std::u16string date = Cut(FormatDate(start, g_szShortDate), kMaxDateChars);
      return time + u", " + date + u" " + Text(kMiddleWeekDayKeys[start.wDayOfWeek % 7]);
    }
    case Next24Hours: return Text(u"NEXT24H_TEXT") + u" " + time;
    case Monthly: {
      if (m_wMonthlyType > ByWeekends) return {};
      std::u16string day = GetMonthDayText();
      if (m_wMonthlyType == ByDay && m_nMonthDay != 0) day = Text(u"DAY_STRING") + u" " + day;
      return time + u", " + day + u", " + Text(u"MONTHLY_SHORT_TEXT") + u": " + Marks(m_dwMonths, kMonthMarkKeys);
    }
    case Yearly: {
      const std::u16string date = Cut(FormatDate(start, g_szLongDateNoYear), kMaxDateChars);
      return time + u", " + Text(u"YEARLY_TEXT") + u": " + date;
    }
    case EveryDay: return Text(u"EVERYDAY_TEXT") + u" " + time;
    default: return {};
  }
}
