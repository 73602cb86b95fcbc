// natalo delete UID
// natalo edit UID [--first-name T] [--last-name T] [--name T] [--date D] [--note T] [--lead CODE]
//                 [--time HH:MM] [--sound FILE|default] [--reminder on|off] [--skip-next]

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <optional>

#include "Natalo/import/ContactScan.h"
#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/EntryChecks.h"
#include "NataloCli/EntryFacts.h"
#include "NataloCli/StoredListChange.h"
#include "common/entries/EntryKind.h"
#include "common/entries/EntryReminder.h"
#include "common/entries/ReminderChoice.h"
#include "common/settings/AppSettings.h"
#include "platform/text/Utf.h"

namespace {

struct EditRequest {
  std::int32_t uid = 0;
  std::optional<std::u16string> firstName;
  std::optional<std::u16string> lastName;
  std::optional<std::u16string> name;
  std::optional<CalendarDate> date;
  std::optional<std::u16string> note;
  std::optional<std::uint32_t> lead;
  std::optional<std::uint16_t> time;
  std::optional<std::u16string> sound;  // empty: the program's sound
  std::optional<bool> reminder;
  bool skipNext = false;

  bool ChangesNothing() const {
    return !firstName && !lastName && !name && !date && !note && !lead && !time && !sound && !reminder && !skipNext;
  }
};

std::u16string Trimmed(std::u16string text) {
  text.erase(0, text.find_first_not_of(u' '));
  text.erase(text.find_last_not_of(u' ') + 1);
  return text;
}

// The UID of the only positional argument; the options before and after it
// go to `options`. An exit code other than kExitDone when the arguments are wrong.
int SplitUidArgument(const CliArgs& args, const char* command, const std::vector<std::string>& valueOptions,
                     std::int32_t& uid, CliArgs& options) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      positional.insert(positional.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    }
    if (arg.size() > 1 && arg[0] == '-') {
      options.push_back(arg);
      if (std::find(valueOptions.begin(), valueOptions.end(), arg) != valueOptions.end()) {
        if (i + 1 >= args.size()) return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), command);
        options.push_back(args[++i]);
      }
    } else {
      positional.push_back(arg);
    }
  }
  long number = 0;
  if (positional.size() != 1) return CliUsageFail(CliText(u"CLI_UID_USAGE"), command);
  // Stars have no positive UID: they are never stored, so never edited or deleted.
  if (!ParseNumber(positional[0], 1, std::numeric_limits<std::int32_t>::max(), number)) {
    return CliUsageFail(CliText(u"CLI_BAD_UID", {platform::FromUtf8(positional[0])}), command);
  }
  uid = static_cast<std::int32_t>(number);
  return kExitDone;
}

int BadValue(const std::string& option, const std::string& value) {
  return CliUsageFail(CliText(u"CLI_BAD_VALUE", {platform::FromUtf8(value), platform::FromUtf8(option)}), "edit");
}

int ParseEditRequest(const CliArgs& args, EditRequest& request) {
  static const std::vector<std::string> kValueOptions = {"--first-name", "--last-name", "--name",  "--date",
                                                          "--note",       "--lead",      "--time",  "--sound",
                                                          "--reminder"};
  CliArgs options;
  if (const int failed = SplitUidArgument(args, "edit", kValueOptions, request.uid, options); failed != kExitDone) {
    return failed;
  }
  for (std::size_t i = 0; i < options.size(); ++i) {
    const std::string& option = options[i];
    if (option == "--skip-next") {
      request.skipNext = true;
      continue;
    }
    if (std::find(kValueOptions.begin(), kValueOptions.end(), option) == kValueOptions.end()) {
      return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(option)}), "edit");
    }
    const std::string& value = options[++i];
    const std::u16string text = platform::FromUtf8(value);
    if (option == "--first-name" || option == "--last-name" || option == "--name") {
      if (HasControlCharacter(text, false)) return CliUsageFail(CliText(u"CLI_BAD_NAME"), "edit");
      (option == "--first-name" ? request.firstName : option == "--last-name" ? request.lastName : request.name) =
          Trimmed(text);
    } else if (option == "--note") {
      if (HasControlCharacter(text, true)) return CliUsageFail(CliText(u"CLI_BAD_NOTE"), "edit");
      if (text.size() > kMaxNoteChars) return CliUsageFail(CliText(u"CLI_TOO_LONG"), "edit");
      request.note = text;
    } else if (option == "--date") {
      CalendarDate date;
      if (!ParseEntryDate(value, date)) return CliUsageFail(CliText(u"CLI_BAD_DATE", {text}), "edit");
      request.date = date;
    } else if (option == "--lead") {
      long code = 0;
      if (!ParseNumber(value, 0, kHighestReminderOffset, code)) return BadValue(option, value);
      request.lead = static_cast<std::uint32_t>(code);
    } else if (option == "--time") {
      long hour = 0;
      long minute = 0;
      if (value.size() != 5 || value[2] != ':' || !ParseNumber(value.substr(0, 2), 0, 23, hour) ||
          !ParseNumber(value.substr(3, 2), 0, 59, minute)) {
        return BadValue(option, value);
      }
      request.time = static_cast<std::uint16_t>(hour << 8 | minute);
    } else if (option == "--sound") {
      if (value == "default") {
        request.sound = u"";
        continue;
      }
      // Kept as an absolute path: the reminder utility plays it from another folder.
      std::error_code error;
      const std::string path = std::filesystem::absolute(value, error).lexically_normal().string();
      const std::u16string stored = platform::FromUtf8(path);
      struct stat info {};
      if (error || HasControlCharacter(stored, false) || stored.size() > kMaxSoundFileChars ||
          stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return BadValue(option, value);
      }
      request.sound = stored;
    } else if (value == "on" || value == "off") {  // --reminder
      request.reminder = value == "on";
    } else {
      return BadValue(option, value);
    }
  }
  if (request.ChangesNothing()) return CliUsageFail(CliText(u"CLI_EDIT_NOTHING"), "edit");
  return kExitDone;
}

// The entry of the UID in the freshly loaded list, or the exit code of the refusal.
int FindEditable(FeskList& list, std::int32_t uid, const char* command, FeskItem*& entry) {
  entry = AsEntry(list.FindByUID(uid));
  if (entry == nullptr) return CliFail(kExitNothingFound, CliText(u"CLI_NO_ENTRY", {platform::FromUtf8(std::to_string(uid))}));
  if (entry->IsStar()) return CliUsageFail(CliText(u"MSG_CANT_EDIT_STAR"), command);
  return kExitDone;
}

// Makes the changes as the editors and the menu's commands make them.
int ApplyEdit(const EditRequest& request, FeskItem& entry) {
  const bool birthday = entry.m_wKind == Birthday;
  if ((request.firstName || request.lastName) && !birthday) {
    return CliUsageFail(CliText(u"CLI_EDIT_NOT_FOR_KIND", {request.firstName ? u"--first-name" : u"--last-name"}), "edit");
  }
  if (request.name && birthday) return CliUsageFail(CliText(u"CLI_EDIT_NOT_FOR_KIND", {u"--name"}), "edit");
  if (request.firstName) entry.SetFirstName(*request.firstName);
  if (request.lastName) entry.SetLastName(*request.lastName);
  if (request.name) entry.SetName(*request.name);
  if (const int failed = CheckEntryNames(entry, "edit"); failed != kExitDone) return failed;
  if (request.note) entry.SetNote(*request.note);

  // The reminder keeps its offset and time across a change of the date.
  std::uint32_t code = g_settings.g_dwReminderDate;
  std::uint16_t time = g_settings.g_wReminderTime;
  if (entry.m_bOwnReminder != 0) {
    code = ReminderChoiceForDays(ReminderDays(entry.m_ftDate, entry.m_ftStart));
    platform::SystemTime at;
    if (platform::FileTimeToSystemTime(entry.m_ftStart, at)) time = static_cast<std::uint16_t>(at.wHour << 8 | at.wMinute);
  }
  if (request.date) {
    if (const int failed = CheckEntryDate(entry.m_wKind, *request.date, "edit"); failed != kExitDone) return failed;
    if (!SetEntryDate(entry, *request.date)) return CliUsageFail(CliText(u"CLI_BAD_DATE", {u""}), "edit");
  }
  if (request.lead || request.time) entry.m_bOwnReminder = 1;
  if (entry.m_bOwnReminder != 0) {
    ApplyReminder(entry, request.lead.value_or(code), request.time.value_or(time));
  } else {
    ApplyDefaultReminder(entry);
  }

  if (request.sound && request.sound->empty()) {
    entry.m_bOwnSound = 0;
    entry.m_dwSoundSource = 0;
    entry.m_dwVolume = 0;
    entry.SetSoundFile({});
  } else if (request.sound) {
    // An entry that took the program's sound starts from its type and volume.
    if (entry.m_bOwnSound == 0) {
      entry.m_dwSoundType = g_settings.g_dwSoundType;
      entry.m_dwVolume = g_settings.g_dwSoundVolume;
    }
    entry.m_bOwnSound = 1;
    entry.m_dwSoundSource = 2;
    entry.SetSoundFile(*request.sound);
  }
  if (request.reminder && (entry.m_bEnabled != 0) != *request.reminder) {
    // As the menu's command: switching clears what the reminder had skipped or snoozed.
    entry.m_bEnabled = *request.reminder ? 1 : 0;
    entry.m_wSkipNext = 0;
    entry.m_ftSnooze = 0;
    entry.m_dwAutoSnoozeCounter = 0;
    entry.m_dwSnoozeCounter = 0;
  }
  if (request.skipNext) entry.m_wSkipNext = 1;
  return kExitDone;
}

std::u16string UidText(std::int32_t uid) { return platform::FromUtf8(std::to_string(uid)); }

}  // namespace

int RunEdit(const CliArgs& args) {
  if (std::find(args.begin(), args.end(), "--help") != args.end()) return ShowHelp("edit");
  EditRequest request;
  if (const int failed = ParseEditRequest(args, request); failed != kExitDone) return failed;
  return ChangeStoredList(
      [&request](FeskList& list, StorageNotice& notice) {
        FeskItem* entry = nullptr;
        if (const int failed = FindEditable(list, request.uid, "edit", entry); failed != kExitDone) return failed;
        if (const int failed = ApplyEdit(request, *entry); failed != kExitDone) return failed;
        if (const int refused = CheckNotDuplicate(list, *entry); refused != kExitDone) return refused;
        notice = {request.uid, StorageChange::EntryChanged};
        return static_cast<int>(kExitDone);
      },
      [&request](const FeskList& list) {
        const FeskItem* saved = AsEntry(list.FindByUID(request.uid));
        WriteStdout(CliText(u"CLI_CHANGED", {saved->GetDisplayName(), UidText(request.uid)}) + "\n");
      });
}

int RunDelete(const CliArgs& args) {
  if (std::find(args.begin(), args.end(), "--help") != args.end()) return ShowHelp("delete");
  std::int32_t uid = 0;
  CliArgs options;
  if (const int failed = SplitUidArgument(args, "delete", {}, uid, options); failed != kExitDone) return failed;
  if (!options.empty()) return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(options[0])}), "delete");
  std::u16string name;
  std::uint16_t kind = Birthday;
  std::uint32_t contactId = 0;
  return ChangeStoredList(
      [&](FeskList& list, StorageNotice& notice) {
        FeskItem* entry = nullptr;
        if (const int failed = FindEditable(list, uid, "delete", entry); failed != kExitDone) return failed;
        name = entry->GetDisplayName();
        kind = entry->m_wKind;
        contactId = entry->m_dwContactOid;
        list.Remove(entry);
        notice = {uid, StorageChange::EntryRemoved};
        return static_cast<int>(kExitDone);
      },
      [&](const FeskList&) {
        // The next contact scan does not bring the entry back, as after the list's delete.
        FeskItem removed(kind);
        removed.m_dwContactOid = contactId;
        RememberDeletedContactEntry(removed);
        WriteStdout(CliText(u"CLI_DELETED", {name, UidText(uid)}) + "\n");
      });
}
