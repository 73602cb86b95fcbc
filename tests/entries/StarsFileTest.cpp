#include <gtest/gtest.h>

#include "common/entries/StarsFile.h"

namespace {

TEST(StarsFile, Lines) {
  const std::u16string longName(120, u'n');
  const std::u16string longestName(119, u'n');
  const struct {
    std::u16string line;
    bool parses;
    const char16_t* last = nullptr;
    int day = 0, month = 0, year = 0;
    const char16_t* description = nullptr;
  } cases[] = {
      {u"Ann, Lee, 5.7.1961, Singer", true, u"Lee", 5, 7, 1961, u"Singer"},
      {u"Ann, Lee, 5.7.1961, ", true, u"Lee", 5, 7, 1961, u""},
      {u"Ann, Lee, 05x.7.1961y, A, b. c", true, u"Lee", 5, 7, 1961, u"A, b. c"},
      {u"Ann, Lee, x.y.z, Singer", true, u"Lee", 0, 0, 0, u"Singer"},
      {u"Ann, " + longestName + u", 1.2.1900, x", true, longestName.c_str(), 1, 2, 1900, u"x"},
      {u"Ann, Lee, 5.7.1961 Singer", false},
      {u"Ann, Lee, 5.7, Singer", false},
      {u"Ann, Lee 5.7.1961, Singer", false},
      {u"Ann Lee 5.7.1961 Singer", false},
      {u"", false},
      {longName + u", Lee, 5.7.1961, Singer", false},
      {u"Ann, Lee, 1234567890.7.1961, Singer", false},
      {u"Ann, Lee, 5.7.1234567890, Singer", false},
  };
  for (const auto& c : cases) {
    StarLine star;
    ASSERT_EQ(ParseStarsLine(c.line, star), c.parses) << std::string(c.line.begin(), c.line.end());
    if (!c.parses) continue;
    EXPECT_EQ(star.szFirstName, u"Ann");
    EXPECT_EQ(star.szLastName, c.last);
    EXPECT_EQ(star.nDay, c.day);
    EXPECT_EQ(star.nMonth, c.month);
    EXPECT_EQ(star.nYear, c.year);
    EXPECT_EQ(star.szDescription, c.description);
  }
}

std::string Utf16Le(std::u16string_view text) {
  std::string bytes;
  for (const char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

TEST(StarsFile, WholeFiles) {
  // The first character is skipped whatever it is; an odd last byte is no character.
  auto stars = ParseStarsFile(Utf16Le(u"XAnn, Lee, 5.7.1961, Singer\nBo, Ray, 1.2.1950, Actor\t \r\n") + "\x01");
  ASSERT_EQ(stars.size(), 2u);
  EXPECT_EQ(stars[0].szFirstName, u"Ann");
  EXPECT_EQ(stars[1].szDescription, u"Actor");
  EXPECT_TRUE(ParseStarsFile("").empty());
  EXPECT_TRUE(ParseStarsFile("\xFF").empty());

  // A line longer than the reader's buffer is cut: its head still parses with
  // a shortened description, and the rest is read as a line of its own.
  const std::u16string description(3000, u'd');
  stars = ParseStarsFile(Utf16Le(u"\uFEFFAnn, Lee, 5.7.1961, " + description + u"\nCy, Day, 1.1.1970, x, y. z"));
  ASSERT_EQ(stars.size(), 2u);
  EXPECT_EQ(stars[0].szDescription.size(), kMaxStarLineChars - std::u16string(u"Ann, Lee, 5.7.1961, ").size());
  EXPECT_EQ(stars[1].szLastName, u"Day");

  // A NUL ends its line.
  stars = ParseStarsFile(Utf16Le(std::u16string(u"\uFEFFAnn, Lee, 5.7.1961, Sin\0ger\n", 29)));
  ASSERT_EQ(stars.size(), 1u);
  EXPECT_EQ(stars[0].szDescription, u"Sin");
}

}  // namespace
