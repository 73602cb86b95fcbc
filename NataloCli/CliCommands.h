#pragma once
// The sub-commands of the command line. Each takes the arguments after its
// name and returns the process's exit code (CliSession.h).
#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;

int RunList(const CliArgs& args);
int RunNext(const CliArgs& args);
int RunExport(const CliArgs& args);
int RunAdd(const CliArgs& args);
int RunImport(const CliArgs& args);
int RunStatus(const CliArgs& args);
// natalo snooze UID and natalo dismiss UID (`dismiss` false for snooze).
int RunReminderAnswer(const CliArgs& args, bool dismiss);
int RunEdit(const CliArgs& args);
int RunDelete(const CliArgs& args);
int RunConfig(const CliArgs& args);

// Writes the help of a command ("" for the whole program) to standard output.
int ShowHelp(const std::string& command);
