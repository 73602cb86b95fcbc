#pragma once
// The program-wide settings, kept under HKEY_CURRENT_USER\Software\Quorvex\Natalo.
// Each member holds its default until its value is read; a value that is
// missing or of another type or size leaves the member as it is. Writes go
// through WriteRegistryValueRetry; a write that fails in the end is dropped and
// the member keeps its new value.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/settings/RegistryAccess.h"

inline constexpr std::u16string_view kSettingsKey = u"HKEY_CURRENT_USER\\Software\\Quorvex\\Natalo\\";

// Bits of the Show value.
enum ShowBits : std::uint32_t {
  kShowAscending = 1u << 0,
  kShowBirthdays = 1u << 1,
  kShowAnniversaries = 1u << 2,
  kShowOtherDates = 1u << 3,
  kShowStars = 1u << 4,
};

inline constexpr std::size_t kMaxSettingChars = 260;   // string values, terminator included
inline constexpr std::size_t kMaxPasswordBytes = 260;  // Reminder\DP

// How the reminder utility shows a reminder (Reminder\ShowAs); the order of
// the choice's items in the reminder options.
enum ShowRemindersAs : std::uint32_t {
  kShowWindowAndNotification = 0,
  kShowNotificationOnly = 1,
  kShowWindowOnly = 2,
};

struct AppSettings {
  // Show, Sort
  std::uint32_t g_bSortAscending = 1;
  std::uint32_t g_bShowBirthdays = 1;
  std::uint32_t g_bShowAnniversaries = 1;
  std::uint32_t g_bShowOtherDates = 1;
  std::uint32_t g_bShowStars = 1;
  std::uint32_t g_dwSort = 0;  // 0..5
  // View\ ...
  std::uint32_t g_dwDisplayNames = 0;     // 0..3
  std::uint32_t g_dwFirstLineFormat = 0;  // 0..2
  std::uint32_t g_dwDisplayAge = 1;       // 0 none, 1 completed years "+", 2 the next age
  std::uint32_t g_dwDaysLeft = 1;
  std::uint32_t g_dwDateFormat = 5;  // 0..5
  std::uint32_t g_dwYearValue = 0;
  std::uint32_t g_dwZodiac = 1;
  // Reminder\ ...
  std::uint32_t g_dwReminderDate = 2;       // ReminderOffset code 0..9
  std::uint16_t g_wReminderTime = 0x0C00;   // hour in the high byte, minute in the low byte
  std::uint32_t g_dwNeedUnlock = 1;
  std::uint32_t g_dwShowRemindersAs = 0;    // Reminder\ShowAs: a ShowRemindersAs value
  std::u16string g_szDevicePassword;        // Reminder\DP, unscrambled
  // Sound\ ...
  std::uint32_t g_dwSoundType = 0;
  std::uint32_t g_dwSoundVolume = 3;
  std::uint32_t g_dwBSoundType = 0;  // 0 system alarm, 1 own file, 2 offered file
  std::uint32_t g_dwASoundType = 0;
  std::uint32_t g_dwOSoundType = 0;
  std::u16string g_szBSoundFile;
  std::u16string g_szASoundFile;
  std::u16string g_szOSoundFile;
  // Export\CalendarFolder: the folder kept as one calendar file per entry
  // after every save; empty when none is kept.
  std::u16string g_szCalendarFolder;
};

// The settings of this process. Tests replace them by assigning a fresh object.
extern AppSettings g_settings;

// The full registry path of a value under the settings key ("View\\Zodiac").
std::u16string SettingPath(std::u16string_view name);

void LoadViewSettings(AppSettings& s = g_settings);
// The Save functions write every value of their group and return false when
// any write still failed after its retries.
bool SaveViewSettings(const AppSettings& s = g_settings, const RetryRule& rule = kSettingsRetry);
void LoadReminderSettings(AppSettings& s = g_settings);
bool SaveReminderSettings(const AppSettings& s = g_settings, const RetryRule& rule = kSettingsRetry);
// Reminder\Date, Reminder\Time, Reminder\Unlock and Reminder\ShowAs only; Reminder\DP is left as stored.
bool SaveReminderChoices(const AppSettings& s = g_settings, const RetryRule& rule = kSettingsRetry);
void LoadSoundSettings(AppSettings& s = g_settings);
bool SaveSoundSettings(const AppSettings& s = g_settings, const RetryRule& rule = kSettingsRetry);
void LoadShowSort(AppSettings& s = g_settings);
void SaveShowSort(const AppSettings& s = g_settings, const RetryRule& rule = kSettingsRetry);
void LoadExportSettings(AppSettings& s = g_settings);
bool SaveExportSettings(const AppSettings& s = g_settings, const RetryRule& rule = kSettingsRetry);
// View, reminder, sound, then show and sort, then export.
void LoadAllSettings(AppSettings& s = g_settings);

// FirstRunScanImportDone: missing counts as 0; written once, without retry.
std::uint32_t ReadFirstRunScanImportDone();
bool WriteFirstRunScanImportDone(std::uint32_t value = 1);
