#pragma once
// What the command line tells about one entry: its name, dates, age and
// reminder state, worked out once and then written as text, JSON or calendar.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryTexts.h"
#include "common/entries/FeskList.h"

struct EntryFacts {
  std::int32_t uid = 0;
  const char* kind = "";  // KindWord
  std::string note;       // UTF-8
  std::string name;       // in the "Display Names" order
  CalendarDate date;      // as stored; in kYearUnknown for a date without a year
  CalendarDate next;      // the next date, today included
  std::int64_t daysLeft = 0;
  std::string dateText;   // by the entry's date format
  std::string ageText;    // as the list rows show it; empty when they show none
  std::string daysText;   // "today", "tomorrow", "in 3 days"
  std::string reminder;   // "on", "off", "skipped" or "snoozed"
};

// The facts of the entry's first occurrence on or after `from` (today when
// not given); the days left count from today.
EntryFacts DescribeEntry(const FeskItem& entry, const CalendarDate& today, const CalendarDate* from = nullptr);

// DescribeEntry for many entries with one today and one `from`: the texts of
// each stored date and of each count of days are made once.
class EntryDescriber {
 public:
  EntryDescriber(const CalendarDate& today, const CalendarDate* from = nullptr);
  EntryFacts Describe(const FeskItem& entry);

 private:
  struct DateTexts {
    std::string date;
    std::string age;
  };
  CalendarDate m_today;
  EntryTextContext m_context;
  std::unordered_map<std::uint32_t, DateTexts> m_dates;  // by year, month and day
  std::unordered_map<std::int64_t, std::string> m_days;
};

// "birthday", "anniversary", "other" or "star".
const char* KindWord(const FeskItem& entry);
const char* KindWord(bool star, std::uint16_t kind);
// Parses a kind word of the command line; false for an unknown one.
bool ParseKindWord(std::string_view word, std::uint16_t& kind);

// "YYYY-MM-DD".
std::string IsoDate(const CalendarDate& date);
// Parses "YYYY-MM-DD" with a year the calendar of storage.dat can hold and a
// day that exists in its month.
bool ParseIsoDate(std::string_view text, CalendarDate& out);
// An entry's date as the command line writes it: "--MM-DD" (the ISO 8601 form
// without a year) for a date kept without a year, else "YYYY-MM-DD".
std::string EntryDateText(const CalendarDate& date);
// Parses an entry's date: "YYYY-MM-DD" as ParseIsoDate, or "--MM-DD" for a
// date without a year (any day of a leap year, 29 February included), which
// becomes a date in kYearUnknown.
bool ParseEntryDate(std::string_view text, CalendarDate& out);
// Whether an argument has the shape of a date without a year ("--" and four
// digits around a hyphen), so that it is taken as a date and not as an option.
bool LooksLikeYearlessDate(std::string_view text);

// Days from today to the entry's next date (0: today).
std::int64_t DaysUntilNext(const EntryRecord& entry, const CalendarDate& today);
// Whether the entry (or star, when asked) of the kind (-1: any) is due
// within `days` days of today.
bool IsComing(const EntryRecord& entry, const CalendarDate& today, long days, int kind, bool stars);
// Puts facts in the order of their next date, then of their names; equal
// ones keep their order.
void SortComing(std::vector<EntryFacts>& coming);

// One entry as a JSON object; a list of them as a JSON array.
void AppendFactsAsJson(std::string& out, const EntryFacts& facts);
std::string ListAsJson(const std::vector<EntryFacts>& coming);
// One entry as a line of tab-separated texts: date, name, age, days left, reminder.
void AppendFactsAsLine(std::string& out, const EntryFacts& facts);
