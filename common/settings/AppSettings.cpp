#include "common/settings/AppSettings.h"

#include "common/settings/PasswordScramble.h"

AppSettings g_settings;

namespace {

struct DwordSetting {
  std::u16string_view name;
  std::uint32_t AppSettings::*member;
};

constexpr DwordSetting kViewSettings[] = {
    {u"View\\Display Names", &AppSettings::g_dwDisplayNames},
    {u"View\\First Line Format", &AppSettings::g_dwFirstLineFormat},
    {u"View\\Display Age", &AppSettings::g_dwDisplayAge},
    {u"View\\Days Left", &AppSettings::g_dwDaysLeft},
    {u"View\\Date Format", &AppSettings::g_dwDateFormat},
    {u"View\\Year Value", &AppSettings::g_dwYearValue},
    {u"View\\Zodiac", &AppSettings::g_dwZodiac},
};

constexpr DwordSetting kSoundDwords[] = {
    {u"Sound\\Type", &AppSettings::g_dwSoundType},
    {u"Sound\\Volume", &AppSettings::g_dwSoundVolume},
    {u"Sound\\BType", &AppSettings::g_dwBSoundType},
    {u"Sound\\AType", &AppSettings::g_dwASoundType},
    {u"Sound\\OType", &AppSettings::g_dwOSoundType},
};

struct StringSetting {
  std::u16string_view name;
  std::u16string AppSettings::*member;
};

constexpr StringSetting kSoundFiles[] = {
    {u"Sound\\BFile", &AppSettings::g_szBSoundFile},
    {u"Sound\\AFile", &AppSettings::g_szASoundFile},
    {u"Sound\\OFile", &AppSettings::g_szOSoundFile},
};

void ReadDword(std::u16string_view name, std::uint32_t& member) { ReadRegistryDword(SettingPath(name), member); }

bool WriteDword(std::u16string_view name, std::uint32_t value, const RetryRule& rule) {
  return WriteRegistryDwordRetry(SettingPath(name), value, rule);
}

}  // namespace

std::u16string SettingPath(std::u16string_view name) { return std::u16string(kSettingsKey) + std::u16string(name); }

void LoadViewSettings(AppSettings& s) {
  for (const auto& v : kViewSettings) ReadDword(v.name, s.*v.member);
}

bool SaveViewSettings(const AppSettings& s, const RetryRule& rule) {
  bool ok = true;
  for (const auto& v : kViewSettings) ok = WriteDword(v.name, s.*v.member, rule) && ok;
  return ok;
}

void LoadReminderSettings(AppSettings& s) {
  ReadDword(u"Reminder\\Date", s.g_dwReminderDate);
  std::uint32_t time = 0;
  if (ReadRegistryDword(SettingPath(u"Reminder\\Time"), time)) s.g_wReminderTime = static_cast<std::uint16_t>(time);
  ReadDword(u"Reminder\\Unlock", s.g_dwNeedUnlock);
  ReadDword(u"Reminder\\ShowAs", s.g_dwShowRemindersAs);
  platform::RegistryType type{};
  std::vector<std::uint8_t> stored;
  if (ReadRegistryValue(SettingPath(u"Reminder\\DP"), type, stored, kMaxPasswordBytes) &&
      type == platform::RegistryType::Binary) {
    s.g_szDevicePassword = UnscramblePassword(stored);
  }
}

bool SaveReminderChoices(const AppSettings& s, const RetryRule& rule) {
  bool ok = WriteDword(u"Reminder\\Date", s.g_dwReminderDate, rule);
  ok = WriteDword(u"Reminder\\Time", s.g_wReminderTime, rule) && ok;
  ok = WriteDword(u"Reminder\\Unlock", s.g_dwNeedUnlock, rule) && ok;
  return WriteDword(u"Reminder\\ShowAs", s.g_dwShowRemindersAs, rule) && ok;
}

bool SaveReminderSettings(const AppSettings& s, const RetryRule& rule) {
  const bool ok = SaveReminderChoices(s, rule);
  return WriteRegistryValueRetry(SettingPath(u"Reminder\\DP"), platform::RegistryType::Binary,
                          ScramblePassword(s.g_szDevicePassword), rule) && ok;
}

void LoadSoundSettings(AppSettings& s) {
  for (const auto& v : kSoundDwords) ReadDword(v.name, s.*v.member);
  for (const auto& v : kSoundFiles) ReadRegistryString(SettingPath(v.name), s.*v.member, kMaxSettingChars);
}

bool SaveSoundSettings(const AppSettings& s, const RetryRule& rule) {
  bool ok = true;
  for (const auto& v : kSoundDwords) ok = WriteDword(v.name, s.*v.member, rule) && ok;
  for (const auto& v : kSoundFiles) ok = WriteRegistryStringRetry(SettingPath(v.name), s.*v.member, rule) && ok;
  return ok;
}

void LoadShowSort(AppSettings& s) {
  std::uint32_t show = 0;
  if (ReadRegistryDword(SettingPath(u"Show"), show)) {
    s.g_bSortAscending = (show & kShowAscending) ? 1 : 0;
    s.g_bShowBirthdays = (show & kShowBirthdays) ? 1 : 0;
    s.g_bShowAnniversaries = (show & kShowAnniversaries) ? 1 : 0;
    s.g_bShowOtherDates = (show & kShowOtherDates) ? 1 : 0;
    s.g_bShowStars = (show & kShowStars) ? 1 : 0;
  }
  s.g_dwSort = 0;
  ReadDword(u"Sort", s.g_dwSort);
}

void SaveShowSort(const AppSettings& s, const RetryRule& rule) {
  std::uint32_t show = 0;
  if (s.g_bSortAscending) show |= kShowAscending;
  if (s.g_bShowBirthdays) show |= kShowBirthdays;
  if (s.g_bShowAnniversaries) show |= kShowAnniversaries;
  if (s.g_bShowOtherDates) show |= kShowOtherDates;
  if (s.g_bShowStars) show |= kShowStars;
  WriteDword(u"Show", show, rule);
  WriteDword(u"Sort", s.g_dwSort, rule);
}

void LoadExportSettings(AppSettings& s) {
  ReadRegistryString(SettingPath(u"Export\\CalendarFolder"), s.g_szCalendarFolder, kMaxSettingChars);
}

bool SaveExportSettings(const AppSettings& s, const RetryRule& rule) {
  return WriteRegistryStringRetry(SettingPath(u"Export\\CalendarFolder"), s.g_szCalendarFolder, rule);
}

void LoadAllSettings(AppSettings& s) {
  LoadViewSettings(s);
  LoadReminderSettings(s);
  LoadSoundSettings(s);
  LoadShowSort(s);
  LoadExportSettings(s);
}

std::uint32_t ReadFirstRunScanImportDone() {
  std::uint32_t done = 0;
  ReadRegistryDword(SettingPath(u"FirstRunScanImportDone"), done);
  return done;
}

bool WriteFirstRunScanImportDone(std::uint32_t value) {
  return WriteRegistryDword(SettingPath(u"FirstRunScanImportDone"), value);
}
