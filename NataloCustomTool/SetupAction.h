#pragma once
// The setup helper's one option, "/A=install" or "/A=uninstall", and its exit codes.
#include <string_view>

enum class SetupAction { Install, Uninstall, Unknown, Missing, NoCommandLine };

SetupAction ParseSetupAction(std::string_view commandLine);
// 0 install and uninstall, 2 any other action, 3 no action, 1 an empty command line.
int ExitCodeOf(SetupAction action);
