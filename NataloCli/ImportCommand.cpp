// natalo import [--birthdays on|off] [--anniversaries on|off] [--rule N]
// [--birthday-rule N] [--anniversary-rule N]: the contact scan of the menu,
// its conflicts settled by rule instead of a question, then its report.
#include <string>

#include "Natalo/import/ContactScan.h"
#include "Natalo/import/ScanReportText.h"
#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/StoredListChange.h"
#include "common/store/StorageSync.h"
#include "platform/contacts/ContactLog.h"
#include "platform/contacts/ContactStore.h"
#include "platform/text/Utf.h"

namespace {

int BadOption(const std::string& arg) {
  return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), "import");
}

int BadValue(const char16_t* key, const std::string& option, const std::string& value) {
  return CliUsageFail(CliText(key, {platform::FromUtf8(option), platform::FromUtf8(value)}), "import");
}

// The scan's settings from the arguments; an exit code other than kExitDone
// when they are wrong. A rule of one kind wins over --rule wherever it stands.
int ParseImportOptions(const CliArgs& args, ContactScanSettings& settings) {
  long rule = 0, birthdayRule = 0, anniversaryRule = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // The command takes no words, before "--" or after it.
    if (arg == "--") {
      if (i + 1 < args.size()) return BadOption(args[i + 1]);
      break;
    }
    const bool onOff = arg == "--birthdays" || arg == "--anniversaries";
    const bool isRule = arg == "--rule" || arg == "--birthday-rule" || arg == "--anniversary-rule";
    if ((!onOff && !isRule) || i + 1 >= args.size()) return BadOption(arg);
    const std::string& value = args[++i];
    if (onOff) {
      if (value != "on" && value != "off") return BadValue(u"CLI_IMPORT_BAD_SWITCH", arg, value);
      (arg == "--birthdays" ? settings.ImportBirthdays : settings.ImportAnniversaries) =
          value == "on" ? 1 : 0;
      continue;
    }
    long& target = arg == "--rule" ? rule : arg == "--birthday-rule" ? birthdayRule : anniversaryRule;
    // Rule 0 asks, which the command line never does.
    if (!ParseNumber(value, ConflictEntryTakesContactDate, ConflictLeaveBoth, target)) {
      return BadValue(u"CLI_IMPORT_BAD_RULE", arg, value);
    }
  }
  const auto pick = [rule](long own) {
    const long chosen = own != 0 ? own : rule;
    return static_cast<std::uint32_t>(chosen != 0 ? chosen : long{ConflictEntryTakesContactDate});
  };
  settings.BirthdayConflictRule = pick(birthdayRule);
  settings.AnniversaryConflictRule = pick(anniversaryRule);
  return kExitDone;
}

}  // namespace

int RunImport(const CliArgs& args) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (arg == "--help" || arg == "-h") return ShowHelp("import");
  }
  ContactScanSettings settings;
  if (const int failed = ParseImportOptions(args, settings); failed != kExitDone) return failed;
  ContactScanReport report;
  // The folder the application reads, from the same setting.
  platform::ContactStore store;
  int unreadable = 0;
  platform::SetContactLogHook([&unreadable](std::string_view line) {
    if (line.starts_with("skipped")) ++unreadable;
    CliFail(kExitDone, std::string(line));
  });
  const int code = ChangeStoredList(
      [&](FeskList& list, StorageNotice& notice) {
        ContactScanHooks hooks;
        // ChangeStoredList saves the list and has the engine recalculate.
        hooks.save = [](FeskList&) { return true; };
        if (ScanContacts(list, store, settings, hooks, &report) != 1) {
          return CliFail(kExitStorage,
                         CliText(u"CLI_IMPORT_NO_CONTACTS", {platform::FromUtf8(store.GetFolderPath())}));
        }
        report.filesUnreadable = unreadable;
        notice = {0, StorageChange::ListChanged};
        return static_cast<int>(kExitDone);
      },
      [&report](const FeskList&) { WriteStdout(platform::ToUtf8(ContactScanReportLines(report)) + "\n"); });
  platform::SetContactLogHook({});
  return code;
}
