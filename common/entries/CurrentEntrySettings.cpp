// The entries' view of the program's settings (common/settings).
#include "common/entries/EntrySettings.h"
#include "common/settings/AppSettings.h"

EntryViewSettings CurrentViewSettings() {
  const AppSettings& s = g_settings;
  return {s.g_dwDisplayNames, s.g_dwFirstLineFormat, s.g_dwDisplayAge, s.g_dwDaysLeft,
          s.g_dwDateFormat,   s.g_dwYearValue,       s.g_dwZodiac};
}

EntryOrderSettings CurrentOrderSettings() {
  const AppSettings& s = g_settings;
  return {s.g_bSortAscending != 0, s.g_bShowBirthdays != 0, s.g_bShowAnniversaries != 0,
          s.g_bShowOtherDates != 0, s.g_bShowStars != 0,    s.g_dwSort};
}

EntryReminderDefaults CurrentReminderDefaults() {
  return {g_settings.g_dwReminderDate, g_settings.g_wReminderTime};
}
