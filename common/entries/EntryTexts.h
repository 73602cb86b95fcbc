#pragma once
// The texts of an entry's row in the main list: age, days left, the date, the
// zodiac sign, and the tag, detail and tail that "First Line Format" arranges
// from them. Each text is built from the view settings and today's date of the
// context; the default context holds the current settings and today.
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/entries/EntryCalendar.h"
#include "common/entries/EntrySettings.h"

class FeskItem;
struct EntryRecord;

struct EntryTextContext {
  EntryViewSettings view;
  CalendarDate today;
};

// The current view settings and today's local date.
EntryTextContext CurrentTextContext();

// Whole years since the entry's date: "31" on the day itself, else "30+"
// ("Display Age" 1) or "31", the age the next date completes ("Display Age" 2).
// Empty when "Display Age" is 0 and for a date without a year.
std::u16string FormatAge(const FeskItem& entry, const EntryTextContext& context = CurrentTextContext());
// Whole days until the next date, "0" on the day itself. Empty when "Days Left" is 0.
std::u16string FormatDaysLeft(const FeskItem& entry, const EntryTextContext& context = CurrentTextContext());
// The date by "Date Format", with the stored year or ("Year Value" 1, and
// always with the weekday format 2) the year of the next occurrence; a date
// without a year shows none in any format. At most 63 characters.
std::u16string FormatEntryDate(const FeskItem& entry, const EntryTextContext& context = CurrentTextContext());
// The same with the names of months abbreviated ("Dec 8, 2026"), for a row
// too narrow for the whole date.
std::u16string FormatEntryDateAbbreviated(const FeskItem& entry, const EntryTextContext& context);

// Sign 0..11 (0 Aries .. 11 Pisces) of a birthday's day; 0 for other kinds.
int GetZodiacSign(const FeskItem& entry);
// The localized name of a sign 0..11.
std::u16string GetZodiacName(int sign);

// The text for the bracketed tag of the row's first line (the caller adds the
// brackets); false, with `out` empty, when the row has no tag.
bool GetHeaderTag(const FeskItem& entry, std::u16string& out, const EntryTextContext& context = CurrentTextContext());
// The second line of the row.
std::u16string GetDetailText(const FeskItem& entry, const EntryTextContext& context = CurrentTextContext());
// A localized format text whose wording depends on counts, filled with `args`:
// for 0 and 1 days the key with "_0" or "_1" appended ("today", "tomorrow"),
// for one year the key with "_Y1" before that ("1 year"); each form is used
// only when local.dat has it, else the next plainer one, else the key itself.
std::u16string FormatCountedText(std::u16string_view key, std::u16string_view years, std::u16string_view days,
                                 std::initializer_list<std::u16string_view> args);
// A reminder's countdown line ("DLG_UTIL_*_FORMAT3": years, then days) in the
// wording its counts ask for: "Turns 31 tomorrow", "1 year in 3 days". The
// plural form follows the days for a birthday, else the years.
std::u16string FormatCountdownText(std::u16string_view key, const std::u16string& years, const std::u16string& days);

// Whether a name is written wholly in a CJK script (Han, kana, Hangul).
bool IsWrittenInCjkScript(std::u16string_view name);
// A person's name by "Display Names" (0 "Ann Lee", 1 "Lee, Ann", 2 "A. Lee",
// 3 "Lee, A."); with one of the names empty the other stands alone. Names
// written in a CJK script stand family name first without a space in every
// order ("王小明"), as they are written there.
std::u16string FormatPersonName(const std::u16string& first, const std::u16string& last, std::uint32_t displayNames);
// An anniversary's name in the order of "Display Names": a name made by
// "DLG_FORMAT_ANNIVERSARYNAME" around a person's name of two parts ("Wedding
// of Noah Becker" or "Wedding of Becker, Noah") holds that name in the chosen
// order; any other name stays as written.
std::u16string FormatAnniversaryName(std::u16string_view name, std::uint32_t displayNames);
// The name the list shows for the entry (FeskItem::GetDisplayName), appended
// to `out`: a list of many entries fills one text again and again.
void AppendDisplayName(const FeskItem& entry, std::uint32_t displayNames, std::u16string& out);
void AppendDisplayName(const EntryRecord& entry, std::uint32_t displayNames, std::u16string& out);
// What sorting by name compares: the display name, for an anniversary made
// by "DLG_FORMAT_ANNIVERSARYNAME" the person's name it holds, so that it
// stands beside that person's birthday and not under the format's first word.
std::u16string NameForSorting(const FeskItem& entry, const EntryViewSettings& view);
// Appends the names NameForSorting gives to one text, for a sort of many
// entries: the anniversary format is looked up once, no name is a string of
// its own. Lives no longer than the language's texts.
class SortNameWriter {
 public:
  explicit SortNameWriter(const EntryViewSettings& view);
  void Append(const FeskItem& entry, std::u16string& out) const;

 private:
  const std::u16string& m_format;
  std::uint32_t m_displayNames;
};

// When a snoozed reminder of the entry comes back, as its row shows it: the
// time ("2:45 PM"), on another day than `now` with the short date before it
// ("3/13 2:45 PM"). False, with `out` empty, when the entry is not snoozed.
bool GetSnoozeText(const FeskItem& entry, platform::FileTime now, std::u16string& out);

// The text after the second line; false, with `out` empty, when there is none.
bool GetDetailTail(const FeskItem& entry, std::u16string& out, const EntryTextContext& context = CurrentTextContext());
