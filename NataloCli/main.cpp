// NataloCli: the command line of Natalo. The launcher `natalo` runs it with
// the sub-command and its arguments.
#include <csignal>
#include <cstdlib>
#include <iostream>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "common/text/Version.h"
#include "platform/text/Utf.h"

int ShowHelp(const std::string& command) {
  std::u16string key = u"CLI_HELP";
  if (!command.empty()) key += u"_" + platform::AsciiUpper(platform::FromUtf8(command));
  return WriteStdout(CliText(key) + "\n") ? kExitDone : kExitStorage;
}

// The arguments after the command, each "--opt=value" before a "--" split
// into "--opt" and "value", so that every verb reads only the pair. "--" and
// what follows it pass as they are, as does an argument without "=" (a date
// without a year, "--07-04").
CliArgs SplitOptionValues(char** first, char** last) {
  CliArgs out;
  bool optionsEnded = false;
  for (; first != last; ++first) {
    const std::string arg = *first;
    const std::size_t equals = arg.find('=');
    if (!optionsEnded && arg.size() > 2 && arg.compare(0, 2, "--") == 0 && equals != std::string::npos && equals > 2) {
      out.push_back(arg.substr(0, equals));
      out.push_back(arg.substr(equals + 1));
    } else {
      optionsEnded = optionsEnded || arg == "--";
      out.push_back(arg);
    }
  }
  return out;
}

int main(int argc, char** argv) {
  // A closed pipe makes a write fail with a message instead of ending the process.
  std::signal(SIGPIPE, SIG_IGN);
  // The version needs no texts or storage, so it is answered before the session starts.
  if (argc == 2 && std::string(argv[1]) == "--version") {
    return WriteStdout("natalo " NATALO_VERSION "\n") ? kExitDone : kExitStorage;
  }
  const CliArgs args = SplitOptionValues(argv + (argc > 1 ? 2 : argc), argv + argc);
  const std::string command = argc > 1 ? argv[1] : "";
  // Help reads only the texts, so it answers even where the data folder cannot be used.
  const bool help = command == "--help" || command == "-h" || command == "help";
  if (!StartCliSession(!help)) return kExitStorage;
  if (command.empty()) return CliUsageFail(CliText(u"CLI_NO_COMMAND"), "");
  if (help) return ShowHelp(args.empty() || args[0].size() > 16 ? "" : args[0]);
  int code = kExitBadUsage;
  if (command == "list") {
    code = RunList(args);
  } else if (command == "next") {
    code = RunNext(args);
  } else if (command == "export") {
    code = RunExport(args);
  } else if (command == "add") {
    code = RunAdd(args);
  } else if (command == "import") {
    code = RunImport(args);
  } else if (command == "status") {
    code = RunStatus(args);
  } else if (command == "snooze" || command == "dismiss") {
    code = RunReminderAnswer(args, command == "dismiss");
  } else if (command == "edit") {
    code = RunEdit(args);
  } else if (command == "delete") {
    code = RunDelete(args);
  } else if (command == "config") {
    code = RunConfig(args);
  } else {
    code = CliUsageFail(CliText(u"CLI_BAD_COMMAND", {platform::FromUtf8(command)}), "");
  }
  // Everything is written (standard output unbuffered, files closed): end at
  // once instead of freeing the loaded entries one by one.
  std::cerr.flush();
  std::_Exit(code);
}
