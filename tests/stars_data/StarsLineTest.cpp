#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "data/stars/StarsLine.h"
#include "tests/support/TempDir.h"

TEST(StarsLine, SplitsTheFiveFields) {
  const auto star = ParseStarsLine(u"Ann, Lee, 5.7.1961, Singer, songwriter. Actress \t\r\n");
  ASSERT_TRUE(star);
  EXPECT_EQ(star->szFirstName, u"Ann");
  EXPECT_EQ(star->szLastName, u"Lee");
  EXPECT_EQ(star->nDay, 5u);
  EXPECT_EQ(star->nMonth, 7u);
  EXPECT_EQ(star->nYear, 1961u);
  EXPECT_EQ(star->szDescription, u"Singer, songwriter. Actress");
}

TEST(StarsLine, NamesMayHoldDotsAndNumbersStopAtTheFirstNonDigit) {
  const auto star = ParseStarsLine(u"J. R. R., Tolkien, 03x.1.1892y, Writer");
  ASSERT_TRUE(star);
  EXPECT_EQ(star->szFirstName, u"J. R. R.");
  EXPECT_EQ(star->nDay, 3u);
  EXPECT_EQ(star->nYear, 1892u);
  const auto noDigits = ParseStarsLine(u"A, B, x.1.2000, C");
  ASSERT_TRUE(noDigits);
  EXPECT_EQ(noDigits->nDay, 0u);
}

TEST(StarsLine, LineWithoutAnySeparatorIsRefused) {
  EXPECT_FALSE(ParseStarsLine(u"Ann Lee, 5.7.1961, Singer"));
  EXPECT_FALSE(ParseStarsLine(u"Ann, Lee, 5.7.1961 Singer"));
  EXPECT_FALSE(ParseStarsLine(u"Ann, Lee, 5-7.1961, Singer"));
  EXPECT_FALSE(ParseStarsLine(u"Ann, Lee, 5.7.1961,"));
  EXPECT_FALSE(ParseStarsLine(u""));
}

TEST(StarsLine, CalendarDates) {
  EXPECT_TRUE(IsCalendarDate(29, 2, 2000));
  EXPECT_FALSE(IsCalendarDate(29, 2, 1900));
  EXPECT_TRUE(IsCalendarDate(29, 2, 1996));
  EXPECT_FALSE(IsCalendarDate(31, 4, 1990));
  EXPECT_FALSE(IsCalendarDate(0, 1, 1990));
  EXPECT_FALSE(IsCalendarDate(1, 13, 1990));
}

TEST(StarsFileBuilder, RefusesAFaultyListAndBuildsAGoodOne) {
  testsupport::TempDir dir;
  const auto source = dir.Path() / "stars.txt";
  const auto out = dir.Path() / "stars.dat";
  const std::string command =
      std::string(STARS_BUILD_PATH) + " " + source.string() + " " + out.string() + " >/dev/null 2>&1";
  const std::string good = "# comment\n\nAnn, Lee, 5.7.1961, Singer\r\n";
  for (const std::string& bad : {good + "Bo, Ek, 31.4.1961, Painter\n", good + "Bo, Ek, 1.4.3000, Painter\n",
                                 good + "Ann, Lee, 6.7.1962, Actress\n", good + "Bo Ek 1.4.1961 Painter\n",
                                 good + "Bo, Ek, 1.4.1961, \xC3\n"}) {
    ASSERT_TRUE(testsupport::WriteFileBytes(source, bad));
    EXPECT_NE(std::system(command.c_str()), 0) << bad;
  }
  ASSERT_TRUE(testsupport::WriteFileBytes(source, good + "Björk, Guðmundsdóttir, 21.11.1965, Singer\n"));
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string expected = std::string("\xFF\xFE") +
                               std::string("A\0n\0n\0,\0 \0L\0e\0e\0,\0 \0", 20) + "5";
  EXPECT_EQ(testsupport::ReadFileBytes(out).substr(0, expected.size()), expected);
}
