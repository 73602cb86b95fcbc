#pragma once
// The stars file: famous people's birthdays, one a line, UTF-16LE with a
// byte-order mark. A line reads
//
//   first name, ", ", last name, ", ", day, ".", month, ".", year, ", ", description
//
// split at the first ", ", the next ", ", the next ".", the next "." and the
// next ", ". Day, month and year are the leading digits of their fields (none
// gives 0); the description is the rest of the line. Lines are read at most
// 1999 characters at a time and lose trailing characters with codes 1 to 32.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct StarLine {
  std::u16string szFirstName;
  std::u16string szLastName;
  int nDay = 0;
  int nMonth = 0;
  int nYear = 0;
  std::u16string szDescription;
};

inline constexpr std::size_t kMaxStarNameChars = 119;
inline constexpr std::size_t kMaxStarNumberChars = 9;
inline constexpr std::size_t kMaxStarLineChars = 1999;

// False for a line that misses a separator, has a name longer than 119
// characters or a day, month or year field longer than 9 characters.
bool ParseStarsLine(std::u16string_view line, StarLine& out);

// The lines of a whole file that parse, in file order (the first character,
// the byte-order mark, is skipped unread).
std::vector<StarLine> ParseStarsFile(std::string_view bytes);
