#include "NataloCustomTool/SetupAction.h"

#include <string>

#include "common/cmdline/CommandValue.h"

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

SetupAction ParseSetupAction(std::string_view commandLine) {
  if (commandLine.empty()) return SetupAction::NoCommandLine;
  const std::string action = GetCommandValue(commandLine, "/A=");
  if (action.empty()) return SetupAction::Missing;
  if (EqualsIgnoringCase(action, "install")) return SetupAction::Install;
  if (EqualsIgnoringCase(action, "uninstall")) return SetupAction::Uninstall;
  return SetupAction::Unknown;
}

int ExitCodeOf(SetupAction action) {
  switch (action) {
    case SetupAction::Install:
    case SetupAction::Uninstall:
      return 0;
    case SetupAction::Unknown:
      return 2;
    case SetupAction::Missing:
      return 3;
    case SetupAction::NoCommandLine:
      return 1;
  }
  return 1;
}
