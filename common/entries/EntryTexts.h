#pragma once
// The texts of an entry's row in the main list: age, days left, the date, the
// zodiac sign, and the tag, detail and tail that "First Line Format" arranges
// from them. Each text is built from the view settings and today's date of the
// context; the default context holds the current settings and today.
#include <string>

#include "common/entries/EntryCalendar.h"
#include "common/entries/EntrySettings.h"

class FeskItem;

struct EntryTextContext {
  EntryViewSettings view;
  CalendarDate today;
};

// The current view settings and today's local date.
EntryTextContext CurrentTextContext();

// Whole years since the entry's date: "31" on the day itself, else "30+"
// ("Display Age" 1) or "31", the age the next date completes ("Display Age" 2).
// Empty when "Display Age" is 0.
std::u16string FormatAge(const FeskItem& entry, const EntryTextContext& context = CurrentTextContext());
// Whole days until the next date, "0" on the day itself. Empty when "Days Left" is 0.
std::u16string FormatDaysLeft(const FeskItem& entry, const EntryTextContext& context = CurrentTextContext());
// The date by "Date Format", with the stored year or ("Year Value" 1, and
// always with the weekday format 2) the year of the next occurrence. At most
// 63 characters.
std::u16string FormatEntryDate(const FeskItem& entry, const EntryTextContext& context = CurrentTextContext());

// Sign 0..11 (0 Aries .. 11 Pisces) of a birthday's day; 0 for other kinds.
int GetZodiacSign(const FeskItem& entry);
// The localized name of a sign 0..11.
std::u16string GetZodiacName(int sign);

// The text for the bracketed tag of the row's first line (the caller adds the
// brackets); false, with `out` empty, when the row has no tag.
bool GetHeaderTag(const FeskItem& entry, std::u16string& out, const EntryTextContext& context = CurrentTextContext());
// The second line of the row.
std::u16string GetDetailText(const FeskItem& entry, const EntryTextContext& context = CurrentTextContext());
// The text after the second line; false, with `out` empty, when there is none.
bool GetDetailTail(const FeskItem& entry, std::u16string& out, const EntryTextContext& context = CurrentTextContext());
