// natalo add birthday|anniversary|other NAME... DATE [--note TEXT] [--no-reminder]
// DATE is YYYY-MM-DD, or --MM-DD for a birthday or anniversary without a year.

#include <algorithm>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/EntryFacts.h"
#include "NataloCli/StoredListChange.h"
#include "common/entries/EntryMatching.h"
#include "common/entries/EntryStrings.h"
#include "common/entries/EntryReminder.h"
#include "common/settings/AppSettings.h"
#include "common/store/StorageSync.h"
#include "platform/text/Utf.h"

namespace {

// The most characters the editors' fields take.
constexpr std::size_t kMaxPersonNameChars = 120;
constexpr std::size_t kMaxNameChars = 250;
constexpr std::size_t kMaxNoteChars = 1024;

// C0 controls, DEL and the C1 controls U+0080..U+009F, which would reach a
// terminal or a calendar as they are.
bool HasControlCharacter(std::u16string_view text, bool lineFeedAllowed) {
  return std::any_of(text.begin(), text.end(), [&](char16_t c) {
    return (c < 0x20 && !(lineFeedAllowed && c == u'\n')) || (c >= 0x7F && c <= 0x9F);
  });
}

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
  if (request.words.empty()) {
    const char16_t* key = request.kind == Birthday      ? u"MSG_BIRTHDAY_NAMES_EMPTY"
                          : request.kind == Anniversary ? u"MSG_ANNIVERSARY_NAME_EMPTY"
                                                        : u"MSG_OTHERDATE_NAME_EMPTY";
    return CliUsageFail(CliText(key), "add");
  }
  if (request.kind == Birthday) {
    // The last word is the last name; a single word is a first name.
    const std::size_t split = request.words.size() == 1 ? 1 : request.words.size() - 1;
    entry.m_szFirstName = JoinWords(request.words, 0, split);
    entry.m_szLastName = JoinWords(request.words, split, request.words.size());
    if (entry.m_szFirstName.size() > kMaxPersonNameChars || entry.m_szLastName.size() > kMaxPersonNameChars) {
      return CliUsageFail(CliText(u"CLI_TOO_LONG"), "add");
    }
  } else {
    entry.m_szName = JoinWords(request.words, 0, request.words.size());
    if (entry.m_szName.size() > kMaxNameChars) return CliUsageFail(CliText(u"CLI_TOO_LONG"), "add");
  }
  // Birthdays and anniversaries lie in the past or today; other dates may lie ahead.
  if (request.kind != OtherDate && DayNumber(request.date) > DayNumber(Today())) {
    return CliUsageFail(CliText(u"MSG_WRONG_DATE"), "add");
  }
  platform::SystemTime st{};
  st.wYear = static_cast<std::uint16_t>(request.date.year);
  st.wMonth = static_cast<std::uint16_t>(request.date.month);
  st.wDay = static_cast<std::uint16_t>(request.date.day);
  st.wHour = static_cast<std::uint16_t>(g_settings.g_wReminderTime >> 8);
  st.wMinute = static_cast<std::uint16_t>(g_settings.g_wReminderTime & 0xFF);
  if (!platform::SystemTimeToFileTime(st, entry.m_ftDate)) return CliUsageFail(CliText(u"CLI_BAD_DATE", {u""}), "add");
  entry.m_szNote = request.note;
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
      [&entry, &request, &addedUid](FeskList& list, StorageNotice& notice) {
        std::int32_t uid = 0;
        const FeskItem* match = nullptr;
        if (request.kind != OtherDate && FindMatchingEntry(list, *entry, request.kind, &uid, &match) &&
            match != nullptr) {
          const std::u16string key =
              request.kind == Birthday ? u"MSG_DUPLICATE_BIRTHDAY" : u"MSG_DUPLICATE_ANNIVERSARY";
          return CliFail(kExitNothingFound,
                         CliText(key) + " " +
                             CliText(u"CLI_EXISTING_ENTRY",
                                     {match->GetDisplayName(), platform::FromUtf8(std::to_string(uid))}));
        }
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
