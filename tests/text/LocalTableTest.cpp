#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/plurrule.h>
#include <unicode/strenum.h>

#include <filesystem>
#include <memory>

#include "common/text/LocalTable.h"
#include "common/text/PluralForm.h"
#include "common/text/ProgramFolder.h"
#include "platform/text/Utf.h"
#include "tests/support/TempDir.h"
#include "tests/text/ScopedLocaleEnv.h"

namespace {

// UTF-16LE bytes of `text`, behind a byte-order mark unless told otherwise.
std::string Utf16(std::u16string_view text, bool bom = true) {
  std::string bytes;
  if (bom) bytes += "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

LocalTable Parse(std::u16string_view text, std::u16string_view wanted = u"[English]", bool bom = true) {
  LocalTable table;
  EXPECT_TRUE(table.LoadBytes(Utf16(text, bom), wanted));
  return table;
}

}  // namespace

TEST(LocalTable, LanguageSectionReplacesDefaultWithoutPerKeyFallback) {
  const auto table = Parse(u"[Default]\r\nA, default a\r\nB, default b\r\n[English]\r\nA, english a\r\n[German]\r\nA, x\r\n");
  EXPECT_EQ(table.Get(u"A"), u"english a");
  EXPECT_EQ(table.Get(u"B"), kUndefinedText);
  EXPECT_EQ(table.Entries().size(), 1u);
}

TEST(LocalTable, WithoutLanguageSectionTheLastDefaultCounts) {
  const auto table = Parse(u"A, before\n[Default]\nA, first\nC, only first\n[French]\nA, fr\n[Default]\nA, second\n",
                           u"[German]");
  EXPECT_EQ(table.Get(u"A"), u"second");
  EXPECT_EQ(table.Get(u"C"), kUndefinedText);
  // Without any header the lines before the first foreign header count; a
  // foreign section is skipped but keeps what came before it.
  const auto noHeader = Parse(u"A, top\n[French]\nB, fr\n", u"[German]");
  EXPECT_EQ(noHeader.Get(u"A"), u"top");
  EXPECT_EQ(noHeader.Get(u"B"), kUndefinedText);
}

TEST(LocalTable, WantedSectionEndsAtTheNextHeaderWhateverFollows) {
  const auto table = Parse(u"[english]\nA, 1\n[Default]\nA, 2\nB, 3\n[English]\nB, 4\n");
  EXPECT_EQ(table.Get(u"A"), u"1");
  EXPECT_EQ(table.Get(u"B"), kUndefinedText);
}

TEST(LocalTable, KeysCompareWithoutCaseAndTheFirstOccurrenceWins) {
  const auto table = Parse(u"[English]\nHint_Main, first\nHINT_MAIN, second\n");
  EXPECT_EQ(table.Get(u"hint_main"), u"first");
  EXPECT_EQ(table.Get(u"HINT_MAINX"), kUndefinedText);
}

TEST(LocalTable, SplitsAtTheFirstCommaSpaceAndKeepsTheRest) {
  const auto table = Parse(
      u"[English]\n"
      u"a, b, c\n"
      u"KEY,value\n"
      u"  SPACED, x\n"
      u"LEAD,   three  \t \r\n"
      u"ESC, one\\ntwo\\n\n"
      u"BACK, a\\\\nb\\x\n"
      u"; comment, with a comma\n"
      u"Bare text without separator\n");
  EXPECT_EQ(table.Get(u"a"), u"b, c");
  EXPECT_EQ(table.Get(u"KEY"), kUndefinedText);
  EXPECT_EQ(table.Get(u"KEY,value"), kUndefinedText);
  EXPECT_EQ(table.Get(u"  SPACED"), u"x");  // leading spaces belong to the key
  EXPECT_EQ(table.Get(u"SPACED"), kUndefinedText);
  EXPECT_EQ(table.Get(u"LEAD"), u"  three");
  EXPECT_EQ(table.Get(u"ESC"), u"one\ntwo\n");
  EXPECT_EQ(table.Get(u"BACK"), u"a\\\nb\\x");
  EXPECT_EQ(table.Get(u"; comment"), u"with a comma");  // any line with ", " is an entry
}

TEST(LocalTable, FirstCharacterIsSkippedWhateverItIs) {
  const auto table = Parse(u"XAB, 1\nCD, 2", u"[English]", false);
  EXPECT_EQ(table.Get(u"AB"), u"1");
  EXPECT_EQ(table.Get(u"CD"), u"2");  // last line without line feed
}

TEST(LocalTable, LongLinesAreReadInPiecesOf1999Characters) {
  std::u16string text = u"[English]\nK, ";
  text.append(3000, u'a');
  text += u"\n";
  const std::u16string exact = u"E, " + std::u16string(1999 - 3, u'b');
  text += exact + u"\nN, next\n";
  // A continuation piece that holds ", " is an entry of its own.
  text += u"L, " + std::u16string(1996, u'c') + u"X, continued\n";
  const auto table = Parse(text);
  EXPECT_EQ(table.Get(u"K").size(), 1999u - 3u);
  EXPECT_EQ(table.Get(u"E").size(), 1996u);
  EXPECT_EQ(table.Get(u"N"), u"next");
  EXPECT_EQ(table.Get(u"X"), u"continued");
  // So is one that is a header, also in a section that is passed over.
  const auto header = Parse(u"[French]\nF, " + std::u16string(1996, u'f') + u"[English]\nA, found\n");
  EXPECT_EQ(header.Get(u"A"), u"found");
}

TEST(LocalTable, JunkNeverBreaksTheReader) {
  LocalTable table;
  EXPECT_TRUE(table.LoadBytes({}, u"[English]"));
  EXPECT_TRUE(table.LoadBytes("\xFF", u"[English]"));
  EXPECT_TRUE(table.LoadBytes(Utf16(u"A, 1\n") + "\x41", u"[English]"));  // odd length
  EXPECT_EQ(table.Get(u"A"), u"1");

  const std::u16string lone = {u'S', u',', u' ', static_cast<char16_t>(0xDC00), u'x', static_cast<char16_t>(0xD800)};
  EXPECT_TRUE(table.LoadBytes(Utf16(lone), u"[English]"));
  EXPECT_EQ(table.Get(u"S"), std::u16string(lone.substr(3)));

  const std::u16string nul = {u'Z', u',', u' ', u'a', u'\0', u'b', u'\n'};
  EXPECT_TRUE(table.LoadBytes(Utf16(nul), u"[English]"));
  EXPECT_EQ(table.Get(u"Z"), u"a");  // a line ends at its first NUL

  std::string junk;
  for (int i = 0; i < 200000; ++i) junk += static_cast<char>((i * 7919 + i / 3) & 0xFF);
  EXPECT_TRUE(table.LoadBytes(junk, u"[English]"));

  std::u16string huge = u"[English]\n" + std::u16string(100000, u'[') + u"]\nA, after\n";
  EXPECT_TRUE(table.LoadBytes(Utf16(huge), u"[English]"));
}

TEST(LocalTable, HelpFileAndAppName) {
  auto table = Parse(u"[English]\nAPP_NAME, Natalo\n");
  EXPECT_EQ(table.GetAppName(), u"Natalo");
  EXPECT_EQ(table.GetHelpFile(), u"help.html");
  table = Parse(u"[English]\nHELP_FILE, manual.html\n");
  EXPECT_EQ(table.GetHelpFile(), u"manual.html");
  EXPECT_EQ(table.GetAppName(), kUndefinedText);
}

TEST(LocalTable, LoadReadsLocalDatFromTheProgramFolderInTheUserLanguage) {
  testsupport::TestEnvironment env;
  ScopedLocaleEnv locale("de_DE.UTF-8");
  SetProgramFolder(platform::FromUtf8(env.ProgramFolder()));
  LocalTable missing;
  EXPECT_FALSE(missing.Load());

  ASSERT_TRUE(testsupport::WriteFileBytes(std::filesystem::path(env.ProgramFolder()) / "local.dat",
                                          Utf16(u"[Default]\r\nMENU_NEW, New\r\n[German]\r\nMENU_NEW, Neu\r\n")));
  LocalTable table;
  EXPECT_TRUE(table.Load());
  EXPECT_EQ(table.Get(u"MENU_NEW"), u"Neu");
  SetProgramFolder(u"");
}

TEST(LocalTable, SectionNameFollowsTheMessagesLocale) {
  {
    ScopedLocaleEnv locale("de_DE.UTF-8");
    EXPECT_EQ(WantedLocalSection(), u"[German]");
  }
  {
    ScopedLocaleEnv locale("de_DE.UTF-8", "fr_FR.UTF-8");
    EXPECT_EQ(WantedLocalSection(), u"[French]");
  }
  {
    ScopedLocaleEnv locale("de_DE.UTF-8", "", "ja_JP.UTF-8");
    EXPECT_EQ(WantedLocalSection(), u"[Japanese]");
  }
  for (const char* name : {"C", "POSIX", "C.UTF-8", "", "xx_YY"}) {
    ScopedLocaleEnv locale(name);
    EXPECT_EQ(WantedLocalSection(), u"[Default]") << name;
  }
}

TEST(LocalTable, LanguagePreferenceListComesFirstAndMissingKeysFallBackToEnglish) {
  const std::u16string file = u"[Default]\nK, default\n[English]\nK, english\nONLY_EN, only english\n"
                              u"[German]\nK, deutsch\n[Portuguese]\nK, português\n[Japanese]\nK, 日本語\n";
  struct Row {
    const char* lang;
    const char* language;
    std::u16string_view section;
  };
  for (const Row& row : {Row{"de_DE.UTF-8", "", u"German"}, Row{"de_DE.UTF-8", "sv:ja_JP", u"Japanese"},
                         Row{"C", "C::pt_PT", u"Portuguese"}, Row{"de_DE.UTF-8", "pt_BR:de", u"Portuguese"},
                         Row{"sv_SE.UTF-8", "sv", u"Default"}}) {
    ScopedLocaleEnv locale(row.lang, "", "", row.language);
    LocalTable table;
    ASSERT_TRUE(table.LoadBytes(Utf16(file), WantedLocalSections()));
    EXPECT_EQ(table.Section(), row.section) << row.lang << " " << row.language;
  }
  const auto table = Parse(file, u"[German]");
  EXPECT_EQ(table.Get(u"ONLY_EN"), u"only english");
  EXPECT_EQ(table.Find(u"ONLY_EN"), nullptr);
  EXPECT_EQ(table.Get(u"K"), u"deutsch");
}

TEST(LocalTable, CountTextsTakeTheFormOfTheLanguagesPluralCategory) {
  const std::u16string file =
      u"[English]\nD, in %s days\nD_0, today\nY, %s years in %s days\nY_Y1, %s year in %s days\n"
      u"[Russian]\nD, через %s дн.\nD_0, сегодня\nD_PL_ONE, через %s день\nD_PL_FEW, через %s дня\n"
      u"D_PL_MANY, через %s дней\nD_PL_OTHER, через %s дня\nY, %s лет через %s дн.\nY_PL_ONE, %s год через %s дн.\n"
      u"Y_PL_FEW, %s года через %s дн.\nY_PL_MANY, %s лет через %s дн.\nY_PL_OTHER, %s года через %s дн.\n"
      u"[Polish]\nD, za %s dni\nD_PL_ONE, za %s dzień\nD_PL_FEW, za %s dni\nD_PL_MANY, za %s dni\n"
      u"D_PL_OTHER, za %s dnia\n"
      u"[French]\nD, dans %s jours\nD_PL_ONE, dans %s jour\nD_PL_MANY, dans %s de jours\nD_PL_OTHER, dans %s jours\n"
      u"[Japanese]\nD, %s日\nD_PL_OTHER, %s日後\n";
  // The count put in for each "%s", as the programs fill the text.
  const auto filled = [](std::u16string text, std::u16string_view years, std::u16string_view days) {
    for (std::u16string_view n : {years.empty() ? days : years, days}) {
      const auto at = text.find(u"%s");
      if (at != std::u16string::npos) text.replace(at, 2, n);
    }
    return text;
  };
  struct Row {
    std::u16string_view section, key, years, days, expected;
  };
  for (const Row& row : std::initializer_list<Row>{
           {u"Russian", u"D", u"", u"0", u"сегодня"},         {u"Russian", u"D", u"", u"1", u"через 1 день"},
           {u"Russian", u"D", u"", u"2", u"через 2 дня"},      {u"Russian", u"D", u"", u"5", u"через 5 дней"},
           {u"Russian", u"D", u"", u"11", u"через 11 дней"},   {u"Russian", u"D", u"", u"21", u"через 21 день"},
           {u"Russian", u"D", u"", u"22", u"через 22 дня"},    {u"Russian", u"D", u"", u"101", u"через 101 день"},
           {u"Russian", u"Y", u"21", u"5", u"21 год через 5 дн."}, {u"Russian", u"Y", u"5", u"21", u"5 лет через 21 дн."},
           {u"Polish", u"D", u"", u"1", u"za 1 dzień"},        {u"Polish", u"D", u"", u"2", u"za 2 dni"},
           {u"Polish", u"D", u"", u"5", u"za 5 dni"},          {u"Polish", u"D", u"", u"22", u"za 22 dni"},
           {u"French", u"D", u"", u"0", u"dans 0 jour"},       {u"French", u"D", u"", u"1", u"dans 1 jour"},
           {u"French", u"D", u"", u"2", u"dans 2 jours"},      {u"Japanese", u"D", u"", u"1", u"1日後"},
           {u"Japanese", u"D", u"", u"22", u"22日後"},         {u"English", u"D", u"", u"0", u"today"},
           {u"English", u"D", u"", u"1", u"in 1 days"},        {u"English", u"Y", u"1", u"5", u"1 year in 5 days"},
           {u"English", u"Y", u"21", u"5", u"21 years in 5 days"}}) {
    const auto table = Parse(file, u"[" + std::u16string(row.section) + u"]");
    EXPECT_EQ(filled(table.GetCounted(row.key, row.years, row.days), row.years, row.days), row.expected)
        << platform::ToUtf8(row.section) << " " << platform::ToUtf8(row.days);
  }
}

TEST(PluralForm, CategoriesAreIcusForEachLanguage) {
  const auto upper = [](const icu::UnicodeString& keyword) {
    std::string text;
    keyword.toUTF8String(text);
    return platform::AsciiUpper(platform::FromUtf8(text));
  };
  for (std::u16string_view section : {u"English", u"German", u"French", u"Spanish", u"Italian", u"Portuguese",
                                      u"Dutch", u"Polish", u"Russian", u"Japanese"}) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::PluralRules> rules(
        icu::PluralRules::forLocale(icu::Locale(PluralLocaleOfSection(section).c_str()), status));
    ASSERT_TRUE(U_SUCCESS(status));
    const std::unique_ptr<icu::StringEnumeration> keywords(rules->getKeywords(status));
    std::vector<std::u16string> expected;
    while (const icu::UnicodeString* keyword = keywords->snext(status)) expected.push_back(upper(*keyword));
    EXPECT_EQ(PluralCategories(section), expected) << platform::ToUtf8(section);
    std::vector<std::int64_t> counts(1001);
    for (std::int64_t n = 0; n <= 1000; ++n) counts[n] = n;
    // Millions, and counts a double does not hold exactly.
    counts.insert(counts.end(), {1000000, 1000001, 21000000, 123456789012345678, 999999999999999999});
    for (const std::int64_t n : counts) {
      EXPECT_EQ(PluralCategory(section, platform::FromUtf8(std::to_string(n))),
                upper(rules->select(static_cast<double>(n))))
          << platform::ToUtf8(section) << " " << n;
    }
  }
}

TEST(ProgramFolder, IsTheExecutableFolderUnlessSet) {
  const std::u16string own = GetProgramFolder();
  ASSERT_FALSE(own.empty());
  EXPECT_EQ(own.back(), u'/');
  SetProgramFolder(u"/opt/Natalo");
  EXPECT_EQ(GetProgramFolder(), u"/opt/Natalo/");
  SetProgramFolder(u"");
  EXPECT_EQ(GetProgramFolder(), own);
}
