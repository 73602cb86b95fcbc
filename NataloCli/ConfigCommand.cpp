// natalo config get [NAME]
// natalo config set NAME VALUE
//
// The program's settings under names of the command line, written to the
// registry in their groups as the options dialogs write them. A running
// application reads them when it starts and its options dialogs when they open.

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/EntryChecks.h"
#include "NataloCli/StoredListChange.h"
#include "common/entries/EntryKind.h"
#include "common/entries/EntryReminder.h"
#include "common/settings/AppSettings.h"
#include "platform/text/Utf.h"

namespace {

enum class Form { Number, OnOff, Time, Path };
// Which group's save writes the setting.
enum class Group { View, Reminder, Sound, ShowSort, Export };

struct ConfigSetting {
  const char* name;
  Form form;
  Group group;
  std::uint32_t AppSettings::*number = nullptr;  // Number and OnOff
  std::uint32_t highest = 1;                     // Number: 0..highest
  const char16_t* choices = nullptr;             // a text of ';'-separated choice names, in value order
  std::u16string AppSettings::*text = nullptr;   // Path kept in the settings
};

// The stored string that the settings object does not hold: the folder that
// the application and the writing verbs keep a calendar in.
constexpr char16_t kCalendarFolderValue[] = u"Export\\CalendarFolder";

// Never the reminder's unlock password (Reminder\DP).
const ConfigSetting kSettings[] = {
    {"view.display-names", Form::Number, Group::View, &AppSettings::g_dwDisplayNames, 3, u"DLG_VO_DISPLAYNAMES"},
    {"view.first-line", Form::Number, Group::View, &AppSettings::g_dwFirstLineFormat, 2, u"DLG_VO_FFF"},
    {"view.display-age", Form::Number, Group::View, &AppSettings::g_dwDisplayAge, 2, u"DLG_VO_DISPLAYAGE"},
    {"view.days-left", Form::Number, Group::View, &AppSettings::g_dwDaysLeft, 1, u"DLG_VO_SHOWDAYSLEFT"},
    {"view.date-format", Form::Number, Group::View, &AppSettings::g_dwDateFormat, 5},
    {"view.year-value", Form::Number, Group::View, &AppSettings::g_dwYearValue, 1, u"DLG_VO_YEARVALUE"},
    {"view.zodiac", Form::Number, Group::View, &AppSettings::g_dwZodiac, 1, u"DLG_VO_ZODIAC"},
    {"sort.key", Form::Number, Group::ShowSort, &AppSettings::g_dwSort, 5, u"CLI_CONFIG_SORT_KEYS"},
    {"sort.ascending", Form::OnOff, Group::ShowSort, &AppSettings::g_bSortAscending},
    {"show.birthdays", Form::OnOff, Group::ShowSort, &AppSettings::g_bShowBirthdays},
    {"show.anniversaries", Form::OnOff, Group::ShowSort, &AppSettings::g_bShowAnniversaries},
    {"show.other-dates", Form::OnOff, Group::ShowSort, &AppSettings::g_bShowOtherDates},
    {"show.stars", Form::OnOff, Group::ShowSort, &AppSettings::g_bShowStars},
    {"reminder.lead", Form::Number, Group::Reminder, &AppSettings::g_dwReminderDate, kHighestReminderOffset,
     u"DLG_RO_DATE"},
    {"reminder.time", Form::Time, Group::Reminder},
    {"reminder.unlock", Form::Number, Group::Reminder, &AppSettings::g_dwNeedUnlock, 1, u"DLG_RO_NEEDUNLOCK"},
    {"reminder.show-as", Form::Number, Group::Reminder, &AppSettings::g_dwShowRemindersAs, 2, u"DLG_RO_SHOWAS"},
    {"sound.type", Form::Number, Group::Sound, &AppSettings::g_dwSoundType, 7, u"DLG_SOUND_TYPE"},
    {"sound.volume", Form::Number, Group::Sound, &AppSettings::g_dwSoundVolume, 4, u"DLG_SOUND_VOLUME"},
    {"sound.birthday-source", Form::Number, Group::Sound, &AppSettings::g_dwBSoundType, 2, u"CLI_CONFIG_SOUND_SOURCES"},
    {"sound.anniversary-source", Form::Number, Group::Sound, &AppSettings::g_dwASoundType, 2,
     u"CLI_CONFIG_SOUND_SOURCES"},
    {"sound.other-source", Form::Number, Group::Sound, &AppSettings::g_dwOSoundType, 2, u"CLI_CONFIG_SOUND_SOURCES"},
    {"sound.birthday-file", Form::Path, Group::Sound, nullptr, 0, nullptr, &AppSettings::g_szBSoundFile},
    {"sound.anniversary-file", Form::Path, Group::Sound, nullptr, 0, nullptr, &AppSettings::g_szASoundFile},
    {"sound.other-file", Form::Path, Group::Sound, nullptr, 0, nullptr, &AppSettings::g_szOSoundFile},
    {"export.calendar-folder", Form::Path, Group::Export},
};

const ConfigSetting* FindSetting(const std::string& name) {
  const auto it = std::find_if(std::begin(kSettings), std::end(kSettings),
                               [&name](const ConfigSetting& s) { return name == s.name; });
  return it == std::end(kSettings) ? nullptr : &*it;
}

std::u16string CalendarFolder() {
  std::u16string folder;
  ReadRegistryString(SettingPath(kCalendarFolderValue), folder, kMaxSettingChars);
  return folder;
}

std::string ValueText(const ConfigSetting& setting) {
  switch (setting.form) {
    case Form::Number: return std::to_string(g_settings.*setting.number);
    case Form::OnOff: return g_settings.*setting.number != 0 ? "on" : "off";
    case Form::Time: {
      char text[8];
      std::snprintf(text, sizeof text, "%02u:%02u", std::min(g_settings.g_wReminderTime >> 8, 99),
                    std::min(g_settings.g_wReminderTime & 0xFF, 99));
      return text;
    }
    case Form::Path: return platform::ToUtf8(setting.text ? g_settings.*setting.text : CalendarFolder());
  }
  return {};
}

// What the setting takes, for the refusal of a wrong value.
std::string RangeText(const ConfigSetting& setting) {
  switch (setting.form) {
    case Form::Number: {
      std::string range = CliText(u"CLI_CONFIG_NUMBERS", {u"0", platform::FromUtf8(std::to_string(setting.highest))});
      if (setting.choices == nullptr) return range;
      const std::string names = CliText(setting.choices);
      std::size_t from = 0;
      for (std::uint32_t value = 0; value <= setting.highest && from <= names.size(); ++value) {
        const std::size_t end = std::min(names.find(';', from), names.size());
        range += (value == 0 ? ": " : ", ") + std::to_string(value) + " " + names.substr(from, end - from);
        from = end + 1;
      }
      return range;
    }
    case Form::OnOff: return CliText(u"CLI_CONFIG_ONOFF");
    case Form::Time: return CliText(u"CLI_CONFIG_TIME");
    case Form::Path: return CliText(u"CLI_CONFIG_PATH");
  }
  return {};
}

// Puts the value into the settings; false when the setting does not take it.
bool TakeValue(const ConfigSetting& setting, const std::string& value, std::u16string& path) {
  long number = 0;
  switch (setting.form) {
    case Form::Number:
      if (!ParseNumber(value, 0, setting.highest, number)) return false;
      g_settings.*setting.number = static_cast<std::uint32_t>(number);
      return true;
    case Form::OnOff:
      if (value != "on" && value != "off") return false;
      g_settings.*setting.number = value == "on" ? 1 : 0;
      return true;
    case Form::Time: {
      long hour = 0;
      long minute = 0;
      if (value.size() != 5 || value[2] != ':' || !ParseNumber(value.substr(0, 2), 0, 23, hour) ||
          !ParseNumber(value.substr(3, 2), 0, 59, minute)) {
        return false;
      }
      g_settings.g_wReminderTime = static_cast<std::uint16_t>(hour << 8 | minute);
      return true;
    }
    case Form::Path:
      path = platform::FromUtf8(value);
      if (HasControlCharacter(path, false) || path.size() >= kMaxSettingChars ||
          (!path.empty() && path.front() != u'/')) {
        return false;
      }
      if (setting.text) g_settings.*setting.text = path;
      return true;
  }
  return false;
}

bool SaveGroup(const ConfigSetting& setting, const std::u16string& path) {
  switch (setting.group) {
    case Group::View: return SaveViewSettings();
    case Group::Reminder: return SaveReminderChoices();
    case Group::Sound: return SaveSoundSettings();
    case Group::ShowSort: SaveShowSort(); return true;
    case Group::Export: return WriteRegistryStringRetry(SettingPath(kCalendarFolderValue), path);
  }
  return false;
}

// A new default lead or time moves the reminders of the entries that follow
// the default, as the reminder options do; the application reads the list again.
int PlaceDefaultReminders() {
  // Without a storage file there is nothing to move, and none is made.
  if (access(CommandList().m_szPath.c_str(), F_OK) != 0) return kExitDone;
  return ChangeStoredList([](FeskList& list, StorageNotice& notice) {
    for (StorageItem& item : list) {
      FeskItem* entry = AsEntry(&item);
      if (entry != nullptr && !entry->IsStar() && entry->m_bOwnReminder == 0) ApplyDefaultReminder(*entry);
    }
    notice = {0, StorageChange::ListChanged};
    return static_cast<int>(kExitDone);
  });
}

}  // namespace

int RunConfig(const CliArgs& args) {
  if (std::find(args.begin(), args.end(), "--help") != args.end()) return ShowHelp("config");
  CliArgs words;
  for (const std::string& arg : args) {
    if (arg != "--") words.push_back(arg);
  }
  const bool get = !words.empty() && words[0] == "get" && words.size() <= 2;
  const bool set = !words.empty() && words[0] == "set" && words.size() == 3;
  if (!get && !set) return CliUsageFail(CliText(u"CLI_CONFIG_USAGE"), "config");
  LoadAllSettings(g_settings);
  if (get && words.size() == 1) {
    std::string out;
    for (const ConfigSetting& setting : kSettings) out += std::string(setting.name) + "\t" + ValueText(setting) + "\n";
    return WriteStdout(out) ? kExitDone : kExitStorage;
  }
  const ConfigSetting* setting = FindSetting(words[1]);
  if (setting == nullptr) return CliUsageFail(CliText(u"CLI_CONFIG_UNKNOWN", {platform::FromUtf8(words[1])}), "config");
  if (get) return WriteStdout(ValueText(*setting) + "\n") ? kExitDone : kExitStorage;
  std::u16string path;
  if (!TakeValue(*setting, words[2], path)) {
    return CliUsageFail(CliText(u"CLI_CONFIG_RANGE", {platform::FromUtf8(setting->name), platform::FromUtf8(RangeText(*setting))}),
                        "config");
  }
  if (!SaveGroup(*setting, path)) return CliFail(kExitStorage, CliText(u"CLI_CONFIG_NOT_SAVED"));
  if (setting->number == &AppSettings::g_dwReminderDate || setting->form == Form::Time) return PlaceDefaultReminders();
  return kExitDone;
}
