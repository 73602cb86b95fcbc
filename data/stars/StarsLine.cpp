#include "data/stars/StarsLine.h"

namespace {

unsigned LeadingNumber(std::u16string_view field) {
  unsigned value = 0;
  for (const char16_t c : field) {
    if (c < u'0' || c > u'9' || value > 100000000) break;
    value = value * 10 + static_cast<unsigned>(c - u'0');
  }
  return value;
}

}  // namespace

std::optional<StarsLine> ParseStarsLine(std::u16string_view line) {
  while (!line.empty() && line.back() >= 1 && line.back() <= 32) line.remove_suffix(1);
  constexpr std::u16string_view kComma = u", ";
  const size_t afterFirst = line.find(kComma);
  if (afterFirst == line.npos) return std::nullopt;
  const size_t afterLast = line.find(kComma, afterFirst + 2);
  if (afterLast == line.npos) return std::nullopt;
  const size_t afterDay = line.find(u'.', afterLast + 2);
  if (afterDay == line.npos) return std::nullopt;
  const size_t afterMonth = line.find(u'.', afterDay + 1);
  if (afterMonth == line.npos) return std::nullopt;
  const size_t afterYear = line.find(kComma, afterMonth + 1);
  if (afterYear == line.npos) return std::nullopt;

  StarsLine star;
  star.szFirstName = line.substr(0, afterFirst);
  star.szLastName = line.substr(afterFirst + 2, afterLast - afterFirst - 2);
  star.nDay = LeadingNumber(line.substr(afterLast + 2, afterDay - afterLast - 2));
  star.nMonth = LeadingNumber(line.substr(afterDay + 1, afterMonth - afterDay - 1));
  star.nYear = LeadingNumber(line.substr(afterMonth + 1, afterYear - afterMonth - 1));
  star.szDescription = line.substr(afterYear + 2);
  return star;
}

bool IsCalendarDate(unsigned day, unsigned month, unsigned year) {
  static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1u : 0u);
}
