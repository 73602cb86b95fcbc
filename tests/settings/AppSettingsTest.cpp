#include <gtest/gtest.h>

#include "common/settings/AppSettings.h"
#include "common/settings/PasswordScramble.h"
#include "tests/support/TempDir.h"

using platform::RegistryType;

namespace {

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetRegistryFile(m_env.RegistryFile());
    g_settings = AppSettings{};
  }
  void TearDown() override {
    platform::SetRegistryFile({});
    g_settings = AppSettings{};
  }
  static std::vector<std::uint8_t> Raw(std::u16string_view name) {
    RegistryType type{};
    std::vector<std::uint8_t> data;
    EXPECT_TRUE(ReadRegistryValue(SettingPath(name), type, data, 4096));
    return data;
  }
  static void WriteDw(std::u16string_view name, std::uint32_t v) { ASSERT_TRUE(WriteRegistryDword(SettingPath(name), v)); }

  const RetryRule m_fast{1, std::chrono::milliseconds(0)};
  testsupport::TestEnvironment m_env;
};

}  // namespace

TEST_F(Settings, EmptyRegistryKeepsTheDefaults) {
  LoadAllSettings();
  const AppSettings& s = g_settings;
  EXPECT_TRUE(s.g_bSortAscending && s.g_bShowBirthdays && s.g_bShowAnniversaries && s.g_bShowOtherDates &&
              s.g_bShowStars);
  EXPECT_EQ(s.g_dwSort, 0u);
  EXPECT_EQ(s.g_dwDisplayNames, 0u);
  EXPECT_EQ(s.g_dwFirstLineFormat, 0u);
  EXPECT_EQ(s.g_dwDisplayAge, 1u);
  EXPECT_EQ(s.g_dwDaysLeft, 1u);
  EXPECT_EQ(s.g_dwDateFormat, 5u);
  EXPECT_EQ(s.g_dwYearValue, 0u);
  EXPECT_EQ(s.g_dwZodiac, 1u);
  EXPECT_EQ(s.g_dwReminderDate, 2u);
  EXPECT_EQ(s.g_wReminderTime, 0x0C00);
  EXPECT_EQ(s.g_dwNeedUnlock, 1u);
  EXPECT_EQ(s.g_szDevicePassword, u"");
  EXPECT_EQ(s.g_dwSoundType, 0u);
  EXPECT_EQ(s.g_dwSoundVolume, 3u);
  EXPECT_EQ(s.g_dwBSoundType + s.g_dwASoundType + s.g_dwOSoundType, 0u);
  EXPECT_EQ(s.g_szBSoundFile + s.g_szASoundFile + s.g_szOSoundFile, u"");
  EXPECT_EQ(ReadFirstRunScanImportDone(), 0u);
}

TEST_F(Settings, ShowBitsAndSort) {
  WriteDw(u"Show", 0x06);
  g_settings.g_dwSort = 4;  // Sort is cleared before it is read
  LoadShowSort();
  EXPECT_EQ(g_settings.g_bSortAscending, 0u);
  EXPECT_EQ(g_settings.g_bShowBirthdays, 1u);
  EXPECT_EQ(g_settings.g_bShowAnniversaries, 1u);
  EXPECT_EQ(g_settings.g_bShowOtherDates, 0u);
  EXPECT_EQ(g_settings.g_bShowStars, 0u);
  EXPECT_EQ(g_settings.g_dwSort, 0u);

  g_settings.g_bSortAscending = 7;  // any non-zero flag counts as set
  g_settings.g_bShowStars = 1;
  g_settings.g_dwSort = 3;
  SaveShowSort(g_settings, m_fast);
  EXPECT_EQ(Raw(u"Show"), (std::vector<std::uint8_t>{0x17, 0, 0, 0}));
  AppSettings reloaded;
  LoadShowSort(reloaded);
  EXPECT_EQ(reloaded.g_dwSort, 3u);
  EXPECT_EQ(reloaded.g_bSortAscending, 1u);
}

TEST_F(Settings, GroupsRoundTrip) {
  AppSettings s;
  s.g_dwDisplayNames = 3;
  s.g_dwFirstLineFormat = 2;
  s.g_dwDisplayAge = 0;
  s.g_dwDaysLeft = 0;
  s.g_dwDateFormat = 1;
  s.g_dwYearValue = 1;
  s.g_dwZodiac = 0;
  s.g_dwReminderDate = 9;
  s.g_wReminderTime = 0x121E;
  s.g_dwNeedUnlock = 0;
  s.g_szDevicePassword = u"0815";
  s.g_dwSoundType = 6;
  s.g_dwSoundVolume = 1;
  s.g_dwBSoundType = 1;
  s.g_dwASoundType = 2;
  s.g_szBSoundFile = u"/home/me/Music/bell.ogg";
  s.g_szOSoundFile = u"/usr/share/sounds/alarm.oga";
  SaveViewSettings(s, m_fast);
  SaveReminderSettings(s, m_fast);
  SaveSoundSettings(s, m_fast);

  AppSettings loaded;
  LoadAllSettings(loaded);
  EXPECT_EQ(loaded.g_dwDisplayNames, 3u);
  EXPECT_EQ(loaded.g_dwFirstLineFormat, 2u);
  EXPECT_EQ(loaded.g_dwDisplayAge, 0u);
  EXPECT_EQ(loaded.g_dwDaysLeft, 0u);
  EXPECT_EQ(loaded.g_dwDateFormat, 1u);
  EXPECT_EQ(loaded.g_dwYearValue, 1u);
  EXPECT_EQ(loaded.g_dwZodiac, 0u);
  EXPECT_EQ(loaded.g_dwReminderDate, 9u);
  EXPECT_EQ(loaded.g_wReminderTime, 0x121E);
  EXPECT_EQ(loaded.g_dwNeedUnlock, 0u);
  EXPECT_EQ(loaded.g_szDevicePassword, u"0815");
  EXPECT_EQ(loaded.g_dwSoundType, 6u);
  EXPECT_EQ(loaded.g_dwSoundVolume, 1u);
  EXPECT_EQ(loaded.g_dwBSoundType, 1u);
  EXPECT_EQ(loaded.g_dwASoundType, 2u);
  EXPECT_EQ(loaded.g_szBSoundFile, s.g_szBSoundFile);
  EXPECT_EQ(loaded.g_szASoundFile, u"");
  EXPECT_EQ(loaded.g_szOSoundFile, s.g_szOSoundFile);
  EXPECT_EQ(Raw(u"Sound\\BFile").size(), 2 * (s.g_szBSoundFile.size() + 1));
}

TEST_F(Settings, ValuesOfTheWrongTypeOrSizeKeepTheDefaults) {
  ASSERT_TRUE(WriteRegistryStringRetry(SettingPath(u"View\\Zodiac"), u"0"));
  ASSERT_TRUE(WriteRegistryValue(SettingPath(u"View\\Date Format"), RegistryType::DWord, {1, 0}));
  ASSERT_TRUE(WriteRegistryValue(SettingPath(u"Show"), RegistryType::Binary, {0, 0, 0, 0}));
  ASSERT_TRUE(WriteRegistryDword(SettingPath(u"Sound\\AFile"), 5));
  ASSERT_TRUE(WriteRegistryStringRetry(SettingPath(u"Sound\\BFile"), std::u16string(300, u'x')));
  ASSERT_TRUE(WriteRegistryDword(SettingPath(u"Reminder\\DP"), 0x31003100));
  ASSERT_TRUE(WriteRegistryValue(SettingPath(u"Reminder\\Time"), RegistryType::DWord, {0x1E, 0x09, 0x34, 0x12}));
  LoadAllSettings();
  EXPECT_EQ(g_settings.g_dwZodiac, 1u);
  EXPECT_EQ(g_settings.g_dwDateFormat, 5u);
  EXPECT_EQ(g_settings.g_bShowBirthdays, 1u);
  EXPECT_EQ(g_settings.g_szASoundFile, u"");
  EXPECT_EQ(g_settings.g_szBSoundFile, u"");
  EXPECT_EQ(g_settings.g_szDevicePassword, u"");
  EXPECT_EQ(g_settings.g_wReminderTime, 0x091E);  // only the low 16 bits count
}

TEST_F(Settings, DevicePasswordIsStoredScrambled) {
  AppSettings s;
  s.g_szDevicePassword = u"7";
  SaveReminderSettings(s, m_fast);
  const auto one = Raw(u"Reminder\\DP");
  ASSERT_EQ(one.size(), 2u);
  EXPECT_NE(one, (std::vector<std::uint8_t>{'7', 0}));

  s.g_szDevicePassword.clear();
  SaveReminderSettings(s, m_fast);
  EXPECT_TRUE(Raw(u"Reminder\\DP").empty());
  AppSettings loaded;
  loaded.g_szDevicePassword = u"old";
  LoadReminderSettings(loaded);
  EXPECT_EQ(loaded.g_szDevicePassword, u"");

  // Both programs undo the same scrambling; a stray odd byte is dropped.
  const std::u16string pin = u"1234567890123456";
  auto stored = ScramblePassword(pin);
  EXPECT_EQ(UnscramblePassword(stored), pin);
  stored.push_back(0x55);
  EXPECT_EQ(UnscramblePassword(stored), pin);
  // Equal characters scramble differently along the text.
  const auto same = ScramblePassword(u"1111");
  EXPECT_NE(same[0], same[2]);

  // A stored value above 260 bytes is not read.
  ASSERT_TRUE(WriteRegistryValue(SettingPath(u"Reminder\\DP"), RegistryType::Binary, ScramblePassword(std::u16string(131, u'9'))));
  loaded.g_szDevicePassword = u"kept";
  LoadReminderSettings(loaded);
  EXPECT_EQ(loaded.g_szDevicePassword, u"kept");
}

TEST_F(Settings, FirstRunFlag) {
  EXPECT_TRUE(WriteFirstRunScanImportDone());
  EXPECT_EQ(ReadFirstRunScanImportDone(), 1u);
}

TEST_F(Settings, ReminderChoicesKeepThePasswordAndFailedWritesAreReported) {
  AppSettings s;
  s.g_szDevicePassword = u"12";
  ASSERT_TRUE(SaveReminderSettings(s, m_fast));
  s.g_szDevicePassword = u"99";
  s.g_dwReminderDate = 7;
  EXPECT_TRUE(SaveReminderChoices(s, m_fast));
  AppSettings loaded;
  LoadReminderSettings(loaded);
  EXPECT_EQ(loaded.g_dwReminderDate, 7u);
  EXPECT_EQ(loaded.g_szDevicePassword, u"12");

  // A registry below a plain file cannot be created, not even by root.
  platform::SetRegistryFile(m_env.RegistryFile() + "/registry");
  EXPECT_FALSE(SaveViewSettings(s, m_fast));
  EXPECT_FALSE(SaveReminderChoices(s, m_fast));
  EXPECT_FALSE(SaveReminderSettings(s, m_fast));
  EXPECT_FALSE(SaveSoundSettings(s, m_fast));
}
