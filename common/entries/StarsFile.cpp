#include "common/entries/StarsFile.h"

namespace {

// The field before `separator`, from `pos` on; advances `pos` past the separator.
bool TakeField(std::u16string_view line, std::size_t& pos, std::u16string_view separator, std::u16string_view& field) {
  const std::size_t at = line.find(separator, pos);
  if (at == std::u16string_view::npos) return false;
  field = line.substr(pos, at - pos);
  pos = at + separator.size();
  return true;
}

int LeadingNumber(std::u16string_view field) {
  int value = 0;
  for (const char16_t c : field) {
    if (c < u'0' || c > u'9') break;
    value = value * 10 + (c - u'0');
  }
  return value;
}

// One line as a reader with a buffer of kMaxStarLineChars + 1 characters takes
// it: up to and including the line feed, or the buffer full.
bool NextLine(std::u16string_view text, std::size_t& pos, std::u16string& line) {
  if (pos >= text.size()) return false;
  std::size_t end = pos;
  while (end < text.size() && end - pos < kMaxStarLineChars) {
    if (text[end++] == u'\n') break;
  }
  line.assign(text.substr(pos, end - pos));
  pos = end;
  // A line ends at its first NUL; trailing codes 1 to 32 go.
  const std::size_t nul = line.find(u'\0');
  if (nul != std::u16string::npos) line.resize(nul);
  while (!line.empty() && line.back() >= 1 && line.back() <= 32) line.pop_back();
  return true;
}

}  // namespace

bool ParseStarsLine(std::u16string_view line, StarLine& out) {
  std::size_t pos = 0;
  std::u16string_view first, last, day, month, year;
  if (!TakeField(line, pos, u", ", first) || !TakeField(line, pos, u", ", last) || !TakeField(line, pos, u".", day) ||
      !TakeField(line, pos, u".", month) || !TakeField(line, pos, u", ", year)) {
    return false;
  }
  if (first.size() > kMaxStarNameChars || last.size() > kMaxStarNameChars) return false;
  for (const auto field : {day, month, year}) {
    if (field.size() > kMaxStarNumberChars) return false;
  }
  out.szFirstName.assign(first);
  out.szLastName.assign(last);
  out.nDay = LeadingNumber(day);
  out.nMonth = LeadingNumber(month);
  out.nYear = LeadingNumber(year);
  out.szDescription.assign(line.substr(pos));
  return true;
}

std::vector<StarLine> ParseStarsFile(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  }
  std::vector<StarLine> stars;
  std::size_t pos = text.empty() ? 0 : 1;
  std::u16string line;
  StarLine star;
  while (NextLine(text, pos, line)) {
    if (ParseStarsLine(line, star)) stars.push_back(star);
  }
  return stars;
}
