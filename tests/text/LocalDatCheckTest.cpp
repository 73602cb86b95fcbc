#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/text/LocalTable.h"
#include "data/local/LocalDatCheck.h"
#include "platform/text/Utf.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

bool Mentions(const std::vector<std::string>& problems, const std::string& what) {
  return std::any_of(problems.begin(), problems.end(),
                     [&](const std::string& p) { return p.find(what) != std::string::npos; });
}

class LocalDat : public ::testing::Test {
 protected:
  fs::path Write(const std::string& name, const std::string& text) {
    const fs::path p = m_dir.Path() / name;
    EXPECT_TRUE(testsupport::WriteFileBytes(p, text));
    return p;
  }
  std::vector<std::string> Build(const std::string& en, const std::string& de) {
    const auto enFile = Write("English.txt", en);
    const auto deFile = Write("German.txt", de);
    return localdat::Generate(m_out, {{"Default", enFile}, {"English", enFile}, {"German", deFile}});
  }
  testsupport::TempDir m_dir;
  fs::path m_out = m_dir.Path() / "local.dat";
};

}  // namespace

TEST_F(LocalDat, GeneratedFileReadsBackPerSection) {
  ASSERT_TRUE(Build("# comment, with a comma\n\nAPP_NAME, Natalo\r\nHINT, a\\nb\n", "APP_NAME, Natalo\nHINT, Grüße\n").empty());
  const std::string bytes = testsupport::ReadFileBytes(m_out);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  LocalTable en, de;
  ASSERT_TRUE(en.LoadFile(m_out.string(), u"[English]"));
  ASSERT_TRUE(de.LoadFile(m_out.string(), u"[German]"));
  EXPECT_EQ(en.Get(u"HINT"), u"a\nb");
  EXPECT_EQ(de.Get(u"HINT"), u"Grüße");
  EXPECT_EQ(en.Entries().size(), 2u);  // the comment is not an entry
}

TEST_F(LocalDat, GenerationRefusesBrokenSources) {
  const auto problems = Build("KEY,value\nA, 1\nA, 2\nBAD, \xC3\n", "A, 1\n");
  EXPECT_TRUE(Mentions(problems, "English.txt:1"));
  EXPECT_TRUE(Mentions(problems, "key given twice"));
  EXPECT_TRUE(Mentions(problems, "invalid UTF-8"));
  EXPECT_FALSE(fs::exists(m_out));
}

TEST_F(LocalDat, CheckFindsMissingKeysAndMismatchedFormats) {
  ASSERT_TRUE(Build("F3, Turns %s in %s days\nLIST, a;b;c\nZ, Sagittarius\nEXTRA, %d items\nPLAIN, 100%% sure\n",
                    "F3, Wird %s\nLIST, a;b\nZ, Schütze\nEXTRA, %s Stück\nPLAIN, 100%% sicher\n")
                  .empty());
  std::vector<std::string> readProblems;
  const auto required = localdat::ReadRequiredKeys(
      Write("keys.txt", "# keys\nF3 fmt=ss\nLIST items=3\nZ maxlen=11\nPLAIN\nMISSING\n"), readProblems);
  ASSERT_TRUE(readProblems.empty());
  ASSERT_EQ(required.size(), 5u);
  const auto problems = localdat::Check(m_out, required, {"Default", "English", "German"});
  EXPECT_TRUE(Mentions(problems, "[German] F3 takes \"s\""));
  EXPECT_FALSE(Mentions(problems, "[English] F3"));
  EXPECT_TRUE(Mentions(problems, "[German] LIST has 2 pieces"));
  EXPECT_TRUE(Mentions(problems, "[Default] MISSING is missing"));
  EXPECT_TRUE(Mentions(problems, "[German] EXTRA takes \"s\" but takes \"d\""));
  EXPECT_FALSE(Mentions(problems, "PLAIN"));
  EXPECT_FALSE(Mentions(problems, " Z "));
}

TEST_F(LocalDat, CheckMeasuresEachLanguageByEnglishAndItsPluralRules) {
  const auto en = Write("English.txt", "SWAP, %s of %d\nSPIN, a;b;c\nD, in %s days\nD_1, tomorrow\nREQ, x\n");
  const auto ru = Write("Russian.txt",
                        "SWAP, %d из %s\nSPIN, а;б\nD, через %s дн.\nD_1, завтра\nD_PL_ONE, через %s день\n"
                        "D_PL_FEW, через %s дня\nD_PL_OTHER, через %s дня\nD_PL_TWO, x\n");
  const auto ja = Write("Japanese.txt", "SWAP, %s/%d\nSPIN, あ;い;う\nD, %s日後\nD_1, 明日\nREQ, x\n"
                                        "D_PL_OTHER, %s日後\nD_1_PL_OTHER, 明日\n");
  ASSERT_TRUE(localdat::Generate(m_out, {{"English", en}, {"Russian", ru}, {"Japanese", ja}}).empty());
  std::vector<std::string> readProblems;
  const auto required = localdat::ReadRequiredKeys(Write("keys.txt", "REQ\n"), readProblems);
  const auto problems = localdat::Check(m_out, required, {"English", "Russian", "Japanese"});
  EXPECT_TRUE(Mentions(problems, "[Russian] REQ is missing"));
  EXPECT_TRUE(Mentions(problems, "[Russian] SWAP takes \"ds\" but takes \"sd\""));
  EXPECT_TRUE(Mentions(problems, "[Russian] SPIN has 2 pieces, English 3"));
  EXPECT_TRUE(Mentions(problems, "[Russian] D_PL_MANY is missing"));
  EXPECT_TRUE(Mentions(problems, "[Russian] D_1_PL_ONE is missing"));
  EXPECT_TRUE(Mentions(problems, "[Russian] D_PL_TWO names a plural category"));
  EXPECT_FALSE(Mentions(problems, "D_0"));  // English has no such variant
  EXPECT_FALSE(Mentions(problems, "[Japanese]"));
}

TEST(LocalDatConversions, CountsPrintfConversions) {
  EXPECT_EQ(localdat::Conversions(u"%s and %d%% of %5.2lf, %c"), "sdfc");
  EXPECT_EQ(localdat::Conversions(u"no args, 100%%"), "");
  EXPECT_EQ(localdat::Conversions(u"trailing %"), "");
}

TEST(LocalDatScan, FindsKeysPassedToGet) {
  testsupport::TempDir dir;
  fs::create_directories(dir.Path() / "sub");
  ASSERT_TRUE(testsupport::WriteFileBytes(dir.Path() / "sub" / "A.cpp",
                                          "auto& t = GetLocalTable();\nt.Get(u\"MENU_NEW\");\n"
                                          "table->Get( u\"DLG_MONTHLY_LASTDAY-1\" );\nGet(u\"lower_case\");\n"
                                          "Other(u\"NOT_A_KEY\"); Get(name);\n"));
  ASSERT_TRUE(testsupport::WriteFileBytes(dir.Path() / "B.txt", "Get(u\"IN_TEXT_FILE\")"));
  const auto keys = localdat::ScanSourceKeys({dir.Path(), dir.Path() / "missing"});
  EXPECT_EQ(keys, (std::vector<std::string>{"DLG_MONTHLY_LASTDAY-1", "MENU_NEW", "lower_case"}));
}

TEST(LocalDatShipped, HoldsEveryRequiredKeyInEverySection) {
  std::vector<std::string> problems;
  const auto required = localdat::ReadRequiredKeys(fs::path(NATALO_SOURCE_DIR) / "data/local/required-keys.txt", problems);
  EXPECT_GE(required.size(), 270u);
  // Every language the build put into local.dat.
  std::vector<std::string> sections = {"Default"};
  for (const char* language : {"English", "German", "French", "Spanish", "Italian", "Portuguese", "Dutch", "Polish",
                               "Russian", "Japanese"}) {
    LocalTable table;
    ASSERT_TRUE(table.LoadFile(NATALO_LOCAL_DAT, u"[" + platform::FromUtf8(language) + u"]"));
    if (table.Section() != u"Default") sections.push_back(language);
  }
  EXPECT_GE(sections.size(), 3u);
  const auto found = localdat::Check(NATALO_LOCAL_DAT, required, sections);
  problems.insert(problems.end(), found.begin(), found.end());
  for (const auto& p : problems) ADD_FAILURE() << p;
  LocalTable de;
  ASSERT_TRUE(de.LoadFile(NATALO_LOCAL_DAT, u"[German]"));
  EXPECT_EQ(de.Get(u"MENU_DELETE"), u"Löschen");
  EXPECT_EQ(de.Get(u"STARS_FILE"), u"stars.dat");
}
