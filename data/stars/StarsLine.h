#pragma once
// One line of the stars file: "first, last, day.month.year, description".
// The fields are cut at the first ", ", the next ", ", the next ".", the next
// "." and the next ", "; a number is the run of digits its field starts with.
#include <optional>
#include <string>
#include <string_view>

struct StarsLine {
  std::u16string szFirstName;
  std::u16string szLastName;
  unsigned nDay = 0;
  unsigned nMonth = 0;
  unsigned nYear = 0;
  std::u16string szDescription;
};

// Trailing characters with codes 1 to 32 are ignored. Empty when a separator
// is missing.
std::optional<StarsLine> ParseStarsLine(std::u16string_view line);

// Whether day, month and year name a real day of the Gregorian calendar.
bool IsCalendarDate(unsigned day, unsigned month, unsigned year);
