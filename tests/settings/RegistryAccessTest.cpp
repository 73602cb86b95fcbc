#include <gtest/gtest.h>

#include <chrono>

#include "common/settings/RegistryAccess.h"
#include "tests/support/TempDir.h"

using platform::RegistryType;

namespace {

class RegistryAccess : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetRegistryFile(m_env.RegistryFile()); }
  void TearDown() override { platform::SetRegistryFile({}); }
  testsupport::TestEnvironment m_env;
};

}  // namespace

TEST(RegistryPathParse, RootsMustMatchExactly) {
  RegistryPath p;
  EXPECT_TRUE(ParseRegistryPath(u"HKEY_CURRENT_USER\\Software\\Quorvex\\Natalo\\View\\Zodiac", p));
  EXPECT_EQ(p.root, u"HKEY_CURRENT_USER");
  EXPECT_EQ(p.key, u"Software\\Quorvex\\Natalo\\View");
  EXPECT_EQ(p.name, u"Zodiac");
  EXPECT_TRUE(ParseRegistryPath(u"HKEY_LOCAL_MACHINE\\Value", p));
  EXPECT_EQ(p.key, u"");
  EXPECT_EQ(p.name, u"Value");
  EXPECT_TRUE(ParseRegistryPath(u"HKEY_USERS\\a\\b", p));
  EXPECT_TRUE(ParseRegistryPath(u"HKEY_CLASSES_ROOT\\a", p));

  for (std::u16string_view bad : {u"HKEY_CURRENT_USERX\\Software\\Value", u"HKEY_CURRENT_USER",
                                  u"HKEY_CURRENT_USERX", u"hkey_current_user\\Value", u"HKCU\\Value", u"",
                                  u"\\Value", u"HKEY_CURRENT_USE\\Value"}) {
    EXPECT_FALSE(ParseRegistryPath(bad, p)) << std::string(bad.begin(), bad.end());
  }
}

TEST_F(RegistryAccess, ReadsWhatWasWrittenAndNeverCreatesOnRead) {
  RegistryType type{};
  std::vector<std::uint8_t> data;
  EXPECT_FALSE(ReadRegistryValue(u"HKEY_CURRENT_USER\\Software\\Test\\Missing", type, data, 16));
  EXPECT_FALSE(platform::RegKeyExists(platform::RegistryRoot::CurrentUser, u"Software\\Test"));

  EXPECT_TRUE(WriteRegistryValue(u"HKEY_CURRENT_USER\\Software\\Test\\Deep\\Bin", RegistryType::Binary, {1, 2, 3}));
  ASSERT_TRUE(ReadRegistryValue(u"HKEY_CURRENT_USER\\Software\\Test\\Deep\\Bin", type, data, 3));
  EXPECT_EQ(type, RegistryType::Binary);
  EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_FALSE(ReadRegistryValue(u"HKEY_CURRENT_USER\\Software\\Test\\Deep\\Bin", type, data, 2));  // too large

  EXPECT_TRUE(WriteRegistryDword(u"HKEY_LOCAL_MACHINE\\AtRoot", 7));
  std::uint32_t v = 0;
  EXPECT_TRUE(ReadRegistryDword(u"HKEY_LOCAL_MACHINE\\AtRoot", v));
  EXPECT_EQ(v, 7u);

  // Roots this system does not keep, and malformed paths, fail both ways.
  EXPECT_FALSE(WriteRegistryDword(u"HKEY_CLASSES_ROOT\\Key\\Value", 1));
  EXPECT_FALSE(WriteRegistryDword(u"HKEY_CURRENT_USERX\\Key\\Value", 1));
  EXPECT_FALSE(ReadRegistryDword(u"HKEY_USERS\\Key\\Value", v));
}

TEST_F(RegistryAccess, TypedReadsRefuseOtherTypesAndSizes) {
  const std::u16string path = u"HKEY_CURRENT_USER\\Software\\Test\\V";
  std::uint32_t dw = 42;
  std::u16string text = u"kept";

  ASSERT_TRUE(WriteRegistryValue(path, RegistryType::DWord, {1, 2}));
  EXPECT_FALSE(ReadRegistryDword(path, dw));
  ASSERT_TRUE(WriteRegistryValue(path, RegistryType::Binary, {1, 0, 0, 0}));
  EXPECT_FALSE(ReadRegistryDword(path, dw));
  EXPECT_FALSE(ReadRegistryString(path, text));
  EXPECT_EQ(dw, 42u);
  EXPECT_EQ(text, u"kept");

  ASSERT_TRUE(WriteRegistryStringRetry(path, u"Grüße"));
  RegistryType type{};
  std::vector<std::uint8_t> raw;
  ASSERT_TRUE(ReadRegistryValue(path, type, raw, 100));
  EXPECT_EQ(raw.size(), 2u * (5 + 1));  // with its terminator
  EXPECT_TRUE(ReadRegistryString(path, text));
  EXPECT_EQ(text, u"Grüße");
  EXPECT_FALSE(ReadRegistryDword(path, dw));

  ASSERT_TRUE(WriteRegistryStringRetry(path, std::u16string(260, u'x')));  // 261 characters with the zero
  EXPECT_FALSE(ReadRegistryString(path, text, 260));
  EXPECT_EQ(text, u"Grüße");
  ASSERT_TRUE(WriteRegistryStringRetry(path, std::u16string(259, u'x')));
  EXPECT_TRUE(ReadRegistryString(path, text, 260));
  EXPECT_EQ(text.size(), 259u);
}

TEST_F(RegistryAccess, RetriesAFailingWriteAndGivesUp) {
  using Clock = std::chrono::steady_clock;
  const RetryRule rule{3, std::chrono::milliseconds(30)};
  auto start = Clock::now();
  EXPECT_FALSE(WriteRegistryDwordRetry(u"HKEY_CLASSES_ROOT\\Key\\Value", 1, rule));
  const auto failed = Clock::now() - start;
  EXPECT_GE(failed, std::chrono::milliseconds(60));   // two pauses between three attempts
  EXPECT_LT(failed, std::chrono::milliseconds(2000));

  // A write that succeeds at once makes no pause: with a pause of a minute,
  // returning within seconds shows that no retry happened, however busy the machine.
  const RetryRule slowRule{3, std::chrono::seconds(60)};
  start = Clock::now();
  EXPECT_TRUE(WriteRegistryDwordRetry(u"HKEY_CURRENT_USER\\Key\\Value", 1, slowRule));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
  EXPECT_EQ(kSettingsRetry.attempts, 5);
  EXPECT_EQ(kSettingsRetry.delay, std::chrono::milliseconds(500));
}
