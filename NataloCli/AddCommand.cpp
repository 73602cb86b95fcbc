// natalo add birthday|anniversary|other NAME... DATE [--note TEXT] [--no-reminder]
// DATE is YYYY-MM-DD, or --MM-DD for a birthday or anniversary without a year.

#include <algorithm>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/EntryChecks.h"
#include "NataloCli/EntryFacts.h"
#include "NataloCli/StoredListChange.h"
#include "common/entries/EntryMatching.h"
#include "common/entries/EntryStrings.h"
#include "common/entries/EntryReminder.h"
#include "common/settings/AppSettings.h"
#include "common/store/StorageSync.h"
#include "platform/text/Utf.h"

namespace {

struct AddRequest {
  std::uint16_t kind = Birthday;
  std::vector<std::u16string> words;
  CalendarDate date;
  std::u16string note;
  bool reminder = true;
};

// The request from the arguments; an exit code other than kExitDone when they are wrong.
int ParseAddRequest(const CliArgs& args, AddRequest& request) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--note" && i + 1 < args.size()) {
      request.note = platform::FromUtf8(args[++i]);
    } else if (arg == "--no-reminder") {
      request.reminder = false;
    } else if (arg == "--") {
      positional.insert(positional.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-' && !LooksLikeYearlessDate(arg)) {
      return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), "add");
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() < 3) return CliUsageFail(CliText(u"CLI_ADD_USAGE"), "add");
  if (!ParseKindWord(positional.front(), request.kind)) {
    return CliUsageFail(CliText(u"CLI_BAD_KIND", {platform::FromUtf8(positional.front())}), "add");
  }
  if (!ParseEntryDate(positional.back(), request.date)) {
    return CliUsageFail(CliText(u"CLI_BAD_ENTRY_DATE", {platform::FromUtf8(positional.back())}), "add");
  }
  // An other date is a single day, which needs its year.
  if (request.kind == OtherDate && IsYearUnknown(request.date)) {
    return CliUsageFail(CliText(u"CLI_DATE_NEEDS_YEAR"), "add");
  }
  for (std::size_t i = 1; i + 1 < positional.size(); ++i) {
    std::u16string word = platform::FromUtf8(positional[i]);
    if (HasControlCharacter(word, false)) return CliUsageFail(CliText(u"CLI_BAD_NAME"), "add");
    word.erase(0, word.find_first_not_of(u' '));
    word.erase(word.find_last_not_of(u' ') + 1);
    if (!word.empty()) request.words.push_back(std::move(word));
  }
  if (HasControlCharacter(request.note, true)) return CliUsageFail(CliText(u"CLI_BAD_NOTE"), "add");
  if (request.note.size() > kMaxNoteChars) return CliUsageFail(CliText(u"CLI_TOO_LONG"), "add");
  return kExitDone;
}

std::u16string JoinWords(const std::vector<std::u16string>& words, std::size_t from, std::size_t to) {
  std::u16string out;
  for (std::size_t i = from; i < to; ++i) out += (out.empty() ? u"" : u" ") + words[i];
  return out;
}

// The new entry as the editors make it; an exit code other than kExitDone
// when it fails their checks.
int BuildEntry(const AddRequest& request, FeskItem& entry) {
  if (request.kind == Birthday && !request.words.empty()) {
    // The last word is the last name; a single word is a first name.
    const std::size_t split = request.words.size() == 1 ? 1 : request.words.size() - 1;
    entry.SetFirstName(JoinWords(request.words, 0, split));
    entry.SetLastName(JoinWords(request.words, split, request.words.size()));
  } else {
    entry.SetName(JoinWords(request.words, 0, request.words.size()));
  }
  if (const int failed = CheckEntryNames(entry, "add"); failed != kExitDone) return failed;
  if (const int failed = CheckEntryDate(request.kind, request.date, "add"); failed != kExitDone) return failed;
  if (!SetEntryDate(entry, request.date)) return CliUsageFail(CliText(u"CLI_BAD_DATE", {u""}), "add");
  entry.SetNote(request.note);
  entry.m_dwIcon = DefaultIconOfKind(request.kind);
  entry.m_bEnabled = request.reminder ? 1 : 0;
  ApplyDefaultReminder(entry);
  return kExitDone;
}

}  // namespace

int RunAdd(const CliArgs& args) {
  if (std::find(args.begin(), args.end(), "--help") != args.end()) return ShowHelp("add");
  AddRequest request;
  if (const int failed = ParseAddRequest(args, request); failed != kExitDone) return failed;
  auto entry = std::make_unique<FeskItem>(request.kind);
  if (const int failed = BuildEntry(request, *entry); failed != kExitDone) return failed;
  std::int32_t addedUid = 0;
  const int code = ChangeStoredList(
      [&entry, &addedUid](FeskList& list, StorageNotice& notice) {
        if (const int refused = CheckNotDuplicate(list, *entry); refused != kExitDone) return refused;
        addedUid = list.Add(std::move(entry))->m_nUID;
        notice = {addedUid, StorageChange::EntryAdded};
        return static_cast<int>(kExitDone);
      },
      [&addedUid](const FeskList& list) {
        const FeskItem* saved = AsEntry(list.FindByUID(addedUid));
        // The entry is saved; a lost confirmation changes nothing.
        WriteStdout(CliText(u"CLI_ADDED", {saved->GetDisplayName(), platform::FromUtf8(std::to_string(addedUid))}) +
                    "\n");
      });
  return code;
}
