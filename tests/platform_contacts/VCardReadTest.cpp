#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/contacts/ContactCard.h"
#include "platform/contacts/VCardText.h"
#include "platform/contacts/VariantDate.h"
#include "tests/platform_contacts/ContactTestFiles.h"

using namespace platform;
using contacttest::Date;
using contacttest::DateNoYear;

namespace {

struct ExpectedCard {
  std::u16string first;
  std::u16string last;
  ContactDate birthday;
  ContactDate anniversary;
};

std::vector<ContactFields> ReadFixture(const std::string& name, int* broken = nullptr) {
  std::string bytes = contacttest::ReadData(name);
  EXPECT_FALSE(bytes.empty()) << name;
  VCardReadResult read = ReadVCards(bytes);
  if (broken) *broken = read.brokenCards;
  std::vector<ContactFields> out;
  for (const auto& card : read.cards) out.push_back(ExtractContactFields(card));
  return out;
}

}  // namespace

// What a person reads in each hand-written card of the address books' styles.
TEST(VCardRead, FixturesReadAsAPersonReadsThem) {
  const std::vector<std::pair<std::string, std::vector<ExpectedCard>>> cases = {
      {"outlook-21.vcf", {{u"J\u00fcrgen", u"M\u00fcller", Date(1962, 11, 7), Date(1990, 6, 15)}}},
      {"latin1-qp-21.vcf", {{u"J\u00f6rg", u"Gr\u00fc\u00dfe-Obermann", Date(1975, 12, 31), {}}}},
      {"phone-21.vcf", {{u"Ren\u00e9e", u"Fran\u00e7ois", Date(1988, 2, 29), {}}}},
      {"apple-30.vcf", {{u"Johnny", u"Appleseed", DateNoYear(3, 14), Date(2004, 6, 12)}}},
      {"evolution-30.vcf", {{u"Mary;Ann", u"O'Neil, Jr.", Date(1970, 1, 2), Date(2001, 9, 8)}}},
      {"server-40.vcf", {{u"Jane", u"Doe", DateNoYear(3, 14), Date(2005, 7, 4)}}},
      {"fn-only-40.vcf", {{u"Anna Maria", u"Svensson", Date(1985, 3, 14), Date(2010, 5, 22)}}},
      {"several.vcf",
       {{u"Card", u"First", Date(1990, 5, 1), Date(2015, 8, 20)},
        {u"", u"", DateNoYear(12, 24), {}},
        {u"Card", u"Third", {}, {}}}},
  };
  for (const auto& [file, expected] : cases) {
    SCOPED_TRACE(file);
    int broken = -1;
    std::vector<ContactFields> cards = ReadFixture(file, &broken);
    EXPECT_EQ(broken, 0);
    ASSERT_EQ(cards.size(), expected.size());
    for (std::size_t i = 0; i < cards.size(); ++i) {
      EXPECT_EQ(cards[i].firstName, expected[i].first) << i;
      EXPECT_EQ(cards[i].lastName, expected[i].last) << i;
      EXPECT_EQ(cards[i].birthday, expected[i].birthday) << i;
      EXPECT_EQ(cards[i].anniversary, expected[i].anniversary) << i;
    }
  }
}

TEST(VCardRead, TruncatedCardIsDroppedAndTheWholeOneKept) {
  int broken = 0;
  std::vector<ContactFields> cards = ReadFixture("truncated.vcf", &broken);
  ASSERT_EQ(cards.size(), 1u);
  EXPECT_EQ(cards[0].uid, "whole-card");
  EXPECT_EQ(broken, 1);
}

TEST(VCardRead, LineStructure) {
  // Tab folding, a lone CR, a nested agent card and text outside any card.
  std::string bytes =
      "junk before\r\nBEGIN:VCARD\rVERSION:2.1\rN:Fo\r\n\tlded;Na\r\n me\r\n"
      "AGENT:\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nN:Agent;Inner\r\nBDAY:20000101\r\nEND:VCARD\r\n"
      "BDAY:19991231\r\nEND:VCARD\r\ntrailing";
  VCardReadResult read = ReadVCards(bytes);
  ASSERT_EQ(read.cards.size(), 1u);
  const VCardCard& card = read.cards[0];
  EXPECT_EQ(card.version, "2.1");
  EXPECT_EQ(card.begin, bytes.find("BEGIN"));
  EXPECT_EQ(bytes.substr(card.endLineBegin, 11), "END:VCARD\r\n");
  ContactFields f = ExtractContactFields(card);
  EXPECT_EQ(f.lastName, u"Folded");
  EXPECT_EQ(f.firstName, u"Name");
  EXPECT_EQ(f.birthday, Date(1999, 12, 31));
  const VCardProperty* n = card.Find("N");
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(bytes.substr(n->begin, n->end - n->begin), "N:Fo\r\n\tlded;Na\r\n me\r\n");
  EXPECT_EQ(n->lineBreak, "\r\n");
}

TEST(VCardRead, QuotedPrintableSoftBreaksAndGroups) {
  std::string bytes =
      "BEGIN:VCARD\nVERSION:2.1\n"
      "item3.N;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=C3=85str=C3=B6=\nm;=\nEva\n"
      "NOTE;QUOTED-PRINTABLE:a=\n=\n\nEND:VCARD\n";
  VCardReadResult read = ReadVCards(bytes);
  ASSERT_EQ(read.cards.size(), 1u);
  const VCardProperty* n = read.cards[0].Find("N");
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->group, "item3");
  ContactFields f = ExtractContactFields(read.cards[0]);
  EXPECT_EQ(f.lastName, u"\u00c5str\u00f6m");
  EXPECT_EQ(f.firstName, u"Eva");
}

TEST(VCardText, CharsetsAndEscapes) {
  EXPECT_EQ(DecodeCharset("\x80\xe9", "ISO-8859-1"), std::u16string(u"\u0080\u00e9"));
  EXPECT_EQ(DecodeCharset("\x80\xe9", "windows-1252"), std::u16string(u"\u20ac\u00e9"));
  EXPECT_EQ(DecodeCharset("\xc3\xa9", ""), std::u16string(u"\u00e9"));
  // Not UTF-8 and no charset named: read as Windows-1252.
  EXPECT_EQ(DecodeCharset("Caf\xe9", ""), std::u16string(u"Caf\u00e9"));
  EXPECT_EQ(DecodeCharset("\xed\xa0\x80", ""), std::u16string(u"\u00ed\u00a0\u20ac"));  // a surrogate in UTF-8
  EXPECT_EQ(Unescape("a\\,b\\;c\\nd\\\\e\\q"), "a,b;c\nd\\e\\q");
  EXPECT_EQ(DecodeQuotedPrintable("=41=4a=ZZ="), "AJ=ZZ=");
  EXPECT_EQ(SplitUnescaped("a\\;b;c;", ';').size(), 3u);
}

TEST(VCardDate, FormsThatAreRead) {
  struct Case {
    const char* text;
    const char* omit;
    ContactDate expected;
  };
  const Case cases[] = {
      {"19850314", "", Date(1985, 3, 14)},
      {"1985-03-14", "", Date(1985, 3, 14)},
      {" 1985-3-4 ", "", Date(1985, 3, 4)},
      {"1985-03-14T00:00:00Z", "", Date(1985, 3, 14)},
      {"19850314T235959+0100", "", Date(1985, 3, 14)},
      {"--0314", "", DateNoYear(3, 14)},
      {"--03-14", "", DateNoYear(3, 14)},
      {"--0229", "", DateNoYear(2, 29)},
      {"1604-03-14", "1604", DateNoYear(3, 14)},
      {"1604-03-14", "", DateNoYear(3, 14)},
      {"1900-07-01", "1900", DateNoYear(7, 1)},
      {"0000-05-06", "", DateNoYear(5, 6)},
      {"2000-02-29", "", Date(2000, 2, 29)},
  };
  for (const auto& c : cases) {
    ContactDate d;
    EXPECT_TRUE(ParseVCardDate(c.text, c.omit, d)) << c.text;
    EXPECT_EQ(d, c.expected) << c.text;
  }
  for (const char* bad : {"", "not a date", "1985-13-01", "1985-02-29", "1985-04-31", "19850300", "--03", "---14",
                          "--1301", "0099-01-01", "1985/03-14", "198503141"}) {
    ContactDate d;
    EXPECT_FALSE(ParseVCardDate(bad, "", d)) << bad;
    EXPECT_FALSE(d.IsSet()) << bad;
  }
  // Text dates: a month named in English and a day, a year when one follows.
  ContactDate d;
  EXPECT_TRUE(ParseVCardTextDate("July 4th, 1985", "", d));
  EXPECT_EQ(d, Date(1985, 7, 4));
  for (const char* bad : {"circa 1800", "July", "4 July 5", "Julyy 4", "July 4 June", "1985 July 4", "July 4x"}) {
    EXPECT_FALSE(ParseVCardTextDate(bad, "", d)) << bad;
  }
}

TEST(VariantDate, KnownDaysAndTimes) {
  const struct {
    int y, m, d, h, min;
    double v;
  } cases[] = {
      {1899, 12, 30, 0, 0, 0.0},     {1900, 1, 1, 0, 0, 2.0},   {2000, 1, 1, 0, 0, 36526.0},
      {1899, 12, 30, 12, 0, 0.5},    {1899, 12, 29, 6, 0, -1.25}, {100, 1, 1, 0, 0, -657434.0},
      {9999, 12, 31, 0, 0, 2958465.0},
  };
  for (const auto& c : cases) {
    SystemTime st;
    st.wYear = static_cast<std::uint16_t>(c.y);
    st.wMonth = static_cast<std::uint16_t>(c.m);
    st.wDay = static_cast<std::uint16_t>(c.d);
    st.wHour = static_cast<std::uint16_t>(c.h);
    st.wMinute = static_cast<std::uint16_t>(c.min);
    double v = 1e9;
    ASSERT_TRUE(SystemTimeToVariantTime(st, v)) << c.y;
    EXPECT_DOUBLE_EQ(v, c.v) << c.y;
    SystemTime back;
    ASSERT_TRUE(VariantTimeToSystemTime(c.v, back)) << c.v;
    EXPECT_EQ(back.wYear, c.y);
    EXPECT_EQ(back.wMonth, c.m);
    EXPECT_EQ(back.wDay, c.d);
    EXPECT_EQ(back.wHour, c.h);
    EXPECT_EQ(back.wMinute, c.min);
  }
  SystemTime st;
  ASSERT_TRUE(VariantTimeToSystemTime(36526.0, st));
  EXPECT_EQ(st.wDayOfWeek, 6);  // 1 January 2000 was a Saturday
  ASSERT_TRUE(VariantTimeToSystemTime(-1.25, st));
  EXPECT_EQ(st.wDayOfWeek, 5);  // 29 December 1899 was a Friday
  // Rounding at the end of a day moves to the next day.
  ASSERT_TRUE(VariantTimeToSystemTime(1.0 - 1e-10, st));
  EXPECT_EQ(st.wDay, 31);
  EXPECT_EQ(st.wHour, 0);

  for (double bad : {-657435.0, 2958466.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_FALSE(VariantTimeToSystemTime(bad, st)) << bad;
  }
  SystemTime invalid;
  invalid.wYear = 2023;
  invalid.wMonth = 2;
  invalid.wDay = 29;
  double v = 0;
  EXPECT_FALSE(SystemTimeToVariantTime(invalid, v));
  invalid.wYear = 99;
  invalid.wDay = 1;
  EXPECT_FALSE(SystemTimeToVariantTime(invalid, v));
}
