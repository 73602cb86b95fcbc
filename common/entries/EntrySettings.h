#pragma once
// The settings that entries and the entry list read when they build texts,
// order or filter rows, and place reminders. The functions with explicit
// settings serve tests and callers that hold their own copy; the others read
// the program's current settings (CurrentEntrySettings.cpp).
#include <cstdint>

struct EntryViewSettings {
  std::uint32_t dwDisplayNames = 0;    // 0 "first last", 1 "last, first", 2 "F. last", 3 "last, F."
  std::uint32_t dwFirstLineFormat = 0; // which text stands in the tag, the detail and the tail
  std::uint32_t dwDisplayAge = 1;      // 0 none, 1 completed years with "+", 2 the age the next date completes
  std::uint32_t dwDaysLeft = 1;        // 0 none, 1 shown
  std::uint32_t dwDateFormat = 5;      // 0..5, see FormatEntryDate
  std::uint32_t dwYearValue = 0;       // 0 the stored year, 1 the year of the next occurrence
  std::uint32_t dwZodiac = 1;          // 0 no zodiac picture on birthday rows
};

struct EntryOrderSettings {
  bool bAscending = true;
  bool bShowBirthdays = true;
  bool bShowAnniversaries = true;
  bool bShowOtherDates = true;
  bool bShowStars = true;
  std::uint32_t dwSort = 0;  // 0..5, see FeskList::Compare
};

struct EntryReminderDefaults {
  std::uint32_t dwDate = 2;      // ReminderOffset code
  std::uint16_t wTime = 0x0C00;  // hour in the high byte, minute in the low byte
};

EntryViewSettings CurrentViewSettings();
EntryOrderSettings CurrentOrderSettings();
EntryReminderDefaults CurrentReminderDefaults();
