// The setup helper NataloCustomTool: run by the installer with "/A=install"
// (starts the reminder utility once, so that the reminders of an existing
// storage.dat are armed at once) or "/A=uninstall" (nothing to do).
#include "NataloCustomTool/SetupAction.h"
#include "platform/folder/ProgramFolder.h"
#include "platform/process/Process.h"

int main(int argc, char** argv) {
  const SetupAction action = ParseSetupAction(platform::CommandLineOf(argc, argv));
  if (action == SetupAction::Install) {
    // Started detached and without arguments; a failure to start is not reported.
    platform::StartProcess(platform::GetExecutableFolder() + platform::MapPlatformFileName("NataloUtil.exe"), {});
  }
  return ExitCodeOf(action);
}
