#pragma once
// The checks the editors make on what goes into an entry, for the verbs that
// write one from the command line (add, edit): names, note, date and the
// duplicate rule. Each check writes its refusal and returns its exit code, or
// returns kExitDone.
#include <cstddef>
#include <string_view>

#include "common/entries/EntryCalendar.h"
#include "common/entries/FeskList.h"

// The most characters the editors' fields take.
inline constexpr std::size_t kMaxPersonNameChars = 120;
inline constexpr std::size_t kMaxNameChars = 250;
inline constexpr std::size_t kMaxNoteChars = 1024;
inline constexpr std::size_t kMaxSoundFileChars = 259;

// C0 controls, DEL and the C1 controls U+0080..U+009F, which would reach a
// terminal or a calendar as they are.
bool HasControlCharacter(std::u16string_view text, bool lineFeedAllowed);

// "YYYY-MM-DD", or "--MM-DD" for a date without a year (kept in kYearUnknown,
// where 29 February exists).
bool ParseEntryDate(std::string_view text, CalendarDate& out);

// The entry's names: not empty for its kind, no longer than the editors take.
int CheckEntryNames(const FeskItem& entry, std::string_view command);
// Birthdays and anniversaries lie in the past or today; other dates may lie ahead.
int CheckEntryDate(std::uint16_t kind, const CalendarDate& date, std::string_view command);
// Puts the day into m_ftDate; false when the calendar of the file cannot hold it.
bool SetEntryDate(FeskItem& entry, const CalendarDate& date);
// The duplicate rule of the editors: a birthday or anniversary that matches
// another entry of the list (EntryMatching.h) is refused with exit code 1.
int CheckNotDuplicate(const FeskList& list, const FeskItem& entry);
