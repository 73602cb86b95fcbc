// Checks the stars file the build puts into the program folder: read back as
// the programs read it, every line must give a real birthday, and a table of
// well-known birthdays written out by hand must match.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/entries/StarsFile.h"
#include "platform/clock/Clock.h"
#include "platform/text/Utf.h"
#include "tests/support/TempDir.h"

namespace {

std::vector<std::u16string> ReadBuiltLines() {
  const std::string bytes = testsupport::ReadFileBytes(std::string(NATALO_TEST_PROGRAM_DIR) + "stars.dat");
  std::vector<std::u16string> lines;
  if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE' || bytes.size() % 2 != 0) return lines;
  std::u16string line;
  for (size_t i = 2; i < bytes.size(); i += 2) {
    const auto c = static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
    if (c == u'\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

struct Birthday {
  int day, month, year;
  bool operator==(const Birthday&) const = default;
};

}  // namespace

TEST(StarsFile, EveryLineIsARealBirthdayOfOnePerson) {
  const std::vector<std::u16string> lines = ReadBuiltLines();
  ASSERT_GE(lines.size(), 300u);
  std::set<std::u16string> names;
  std::set<int> months;
  for (const std::u16string& line : lines) {
    StarLine parsed;
    ASSERT_TRUE(ParseStarsLine(line, parsed)) << platform::ToUtf8(line);
    const StarLine* star = &parsed;
    EXPECT_TRUE(platform::IsValidDate(star->nYear, star->nMonth, star->nDay)) << platform::ToUtf8(line);
    EXPECT_LE(star->nYear, 2015) << platform::ToUtf8(line);
    EXPECT_LE(star->szFirstName.size(), 119u);
    EXPECT_LE(star->szLastName.size(), 119u);
    EXPECT_FALSE(star->szDescription.empty()) << platform::ToUtf8(line);
    EXPECT_TRUE(names.insert(star->szFirstName + u" " + star->szLastName).second) << platform::ToUtf8(line);
    months.insert(star->nMonth);
  }
  EXPECT_EQ(months.size(), 12u);
}

TEST(StarsFile, WellKnownBirthdays) {
  const std::map<std::u16string, Birthday> expected = {
      {u"Albert Einstein", {14, 3, 1879}},      {u"Marie Curie", {7, 11, 1867}},
      {u"Charles Darwin", {12, 2, 1809}},       {u"Abraham Lincoln", {12, 2, 1809}},
      {u"Wolfgang Amadeus Mozart", {27, 1, 1756}}, {u"Johann Sebastian Bach", {31, 3, 1685}},
      {u"Pyotr Ilyich Tchaikovsky", {7, 5, 1840}}, {u"Johannes Brahms", {7, 5, 1833}},
      {u"Vincent van Gogh", {30, 3, 1853}},     {u"Pablo Picasso", {25, 10, 1881}},
      {u"Frida Kahlo", {6, 7, 1907}},           
      {u"Elvis Presley", {8, 1, 1935}},         {u"David Bowie", {8, 1, 1947}},
      {u"John Lennon", {9, 10, 1940}},          {u"Freddie Mercury", {5, 9, 1946}},
      {u"Michael Jackson", {29, 8, 1958}},      {u"Bob Marley", {6, 2, 1945}},
      {u"Marilyn Monroe", {1, 6, 1926}},        {u"Charlie Chaplin", {16, 4, 1889}},
      {u"Audrey Hepburn", {4, 5, 1929}},        {u"Akira Kurosawa", {23, 3, 1910}},
      {u"Jane Austen", {16, 12, 1775}},         {u"Leo Tolstoy", {9, 9, 1828}},
      {u"Gabriel García Márquez", {6, 3, 1927}}, {u"Sylvia Plath", {27, 10, 1932}},
      {u"Mohandas Gandhi", {2, 10, 1869}},      {u"Nelson Mandela", {18, 7, 1918}},
      {u"Martin Luther King Jr.", {15, 1, 1929}}, {u"Queen Elizabeth II", {21, 4, 1926}},
      {u"Winston Churchill", {30, 11, 1874}},   {u"George Washington", {22, 2, 1732}},
      {u"Muhammad Ali", {17, 1, 1942}},         {u"Lionel Messi", {24, 6, 1987}},
      {u"Serena Williams", {26, 9, 1981}},      {u"Usain Bolt", {21, 8, 1986}},
      {u"Neil Armstrong", {5, 8, 1930}},        {u"Yuri Gagarin", {9, 3, 1934}},
      {u"Alan Turing", {23, 6, 1912}},          {u"Ada Lovelace", {10, 12, 1815}},
      {u"Björk Guðmundsdóttir", {21, 11, 1965}}, {u"Édith Piaf", {19, 12, 1915}},
      {u"Greta Thunberg", {3, 1, 2003}},        {u"Kenzaburō Ōe", {31, 1, 1935}},
  };
  std::map<std::u16string, Birthday> found;
  for (const std::u16string& line : ReadBuiltLines()) {
    StarLine star;
    if (ParseStarsLine(line, star)) {
      found[star.szFirstName + u" " + star.szLastName] = {star.nDay, star.nMonth, star.nYear};
    }
  }
  for (const auto& [name, birthday] : expected) {
    const auto it = found.find(name);
    ASSERT_NE(it, found.end()) << platform::ToUtf8(name);
    EXPECT_EQ(it->second, birthday) << platform::ToUtf8(name);
  }
}
