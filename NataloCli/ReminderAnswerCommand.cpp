// natalo snooze UID, natalo dismiss UID: answers the reminder of that entry
// which the reminder utility shows, as its keys would. The utility writes the
// answer, stops the sound and takes its window and notification away.
#include <climits>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "common/store/ReminderAnswer.h"
#include "platform/sync/NamedEvent.h"
#include "platform/text/Utf.h"

namespace {

// The utility looks for answers ten times a second; its write of the state
// waits for the storage mutex, which another program may hold a while.
constexpr std::uint32_t kAnswerWaitMs = 15'000;

}  // namespace

int RunReminderAnswer(const CliArgs& args, bool dismiss) {
  const char* command = dismiss ? "dismiss" : "snooze";
  std::vector<std::string> words;
  bool options = true;
  for (const std::string& arg : args) {
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "--help" || arg == "-h")) {
      return ShowHelp(command);
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), command);
    } else {
      words.push_back(arg);
    }
  }
  const std::string uidText = words.size() == 1 ? words.front() : std::string();
  long uid = 0;
  if (uidText.empty() || !ParseNumber(uidText, 1, INT32_MAX, uid)) {
    return CliUsageFail(CliText(u"CLI_BAD_UID", {platform::FromUtf8(uidText)}), command);
  }
  const auto id = static_cast<std::int32_t>(uid);
  const std::u16string uidWord = platform::FromUtf8(uidText);
  // Made before the answer is given, so that the utility finds it to tell the answer is done.
  const auto answered = platform::NamedEvent::Create(ReminderAnsweredEventName(id));
  const auto answer = platform::NamedEvent::Open(
      ReminderAnswerEventName(id, dismiss ? ReminderAnswer::Dismiss : ReminderAnswer::Snooze));
  if (!answer) return CliFail(kExitNothingFound, CliText(u"CLI_ANSWER_NOT_SHOWN", {uidWord}));
  if (!answered || !answer->Set()) return CliFail(kExitStorage, CliText(u"CLI_ANSWER_FAILED", {uidWord}));
  // A window closed meanwhile by its own keys never answers.
  if (answered->Wait(kAnswerWaitMs) != platform::WaitResult::Acquired) {
    return CliFail(kExitNothingFound, CliText(u"CLI_ANSWER_NOT_SHOWN", {uidWord}));
  }
  return WriteStdout(CliText(dismiss ? u"CLI_ANSWER_DISMISSED" : u"CLI_ANSWER_SNOOZED", {uidWord}) + "\n")
             ? kExitDone
             : kExitStorage;
}
