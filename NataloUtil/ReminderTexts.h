#pragma once
// The texts of the reminder window, made from the entry with the utility's
// fixed view: the long date with the entry's own year, the age the event day
// completes and the days left; a date without a year shows neither year nor age.
#include <cstdint>
#include <string>

#include "common/entries/EntryCalendar.h"

class FeskItem;

struct ReminderTexts {
  std::u16string title;
  std::u16string line1;  // the name
  std::u16string line2;  // the date line
  std::u16string line3;  // age and days left
  std::u16string note;
  bool showZodiac = false;
  int zodiacSign = 0;
  std::u16string zodiacHead;          // with a note box or in landscape
  std::u16string zodiacHeadPortrait;  // portrait without a note
  std::u16string zodiacTail;
};

// The name of a birthday by "View\Display Names": 0 "first last",
// 1 "last, first", 2 "F. last", 3 "last, F" (no full stop).
std::u16string ReminderName(const FeskItem& item, std::uint32_t displayNames);

ReminderTexts BuildReminderTexts(const FeskItem& item, std::uint32_t displayNames, std::uint32_t zodiac,
                                 const CalendarDate& today);
