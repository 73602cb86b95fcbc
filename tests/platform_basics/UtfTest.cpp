#include <gtest/gtest.h>

#include "platform/text/Utf.h"

using namespace platform;

TEST(Utf, RoundTripsAllPlanes) {
  const std::u16string text = u"Grüße, 日本, \U0001F382 cake";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(u"\U0001F382"), "\xF0\x9F\x8E\x82");
}

TEST(Utf, InvalidInputBecomesReplacementCharacter) {
  const std::u16string lone = {u'a', static_cast<char16_t>(0xD800), u'b'};
  EXPECT_EQ(ToUtf8(lone), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(FromUtf8("a\xC3"), u"a\uFFFD");          // cut sequence
  EXPECT_EQ(FromUtf8("\xC0\x80"), u"\uFFFD\uFFFD");  // overlong NUL
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
}

TEST(Utf, AsciiCaseFolding) {
  EXPECT_TRUE(EqualsIgnoreCase(u"Hint_MainScreen", u"HINT_MAINSCREEN"));
  EXPECT_FALSE(EqualsIgnoreCase(u"abc", u"abd"));
  EXPECT_EQ(AsciiUpper(u"/tmp/storage.dat"), u"/TMP/STORAGE.DAT");
}

// Appending gives what ToUtf8 gives wherever the first unit beyond ASCII
// lies: the units before it are narrowed eight at a time.
TEST(Utf, AppendingMatchesWhereverAsciiEnds) {
  for (const char16_t other : {u'\x80', u'\xFF', u'\u07FF', u'\u65E5', static_cast<char16_t>(0xD83C)}) {
    for (std::size_t at = 0; at <= 17; ++at) {
      std::u16string text(17, u'\x7F');
      if (at < text.size()) text[at] = other;
      std::string out = "x";
      AppendUtf8(out, text);
      EXPECT_EQ(out, "x" + ToUtf8(text)) << "at " << at << " unit " << static_cast<int>(other);
    }
  }
}
