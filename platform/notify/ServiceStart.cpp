#include "platform/notify/ServiceStart.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

CommandResult RunWithManagerTimeout(const std::vector<std::string>& argv) {
  return RunCommand(argv, kUserManagerTimeout);
}

bool UserManagerRuns() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime || *runtime != '/') return false;
  struct stat st {};
  return stat((std::string(runtime) + "/systemd/private").c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

ServiceStartWay StartServiceThroughUserManager(bool userManagerRuns, bool programOverridden,
                                               const CommandRunner& run) {
  if (!userManagerRuns || programOverridden) return ServiceStartWay::Spawn;
  const CommandResult result = run({"systemctl", "--user", "start", kServiceUnitName});
  if (result.exitCode == 0) return ServiceStartWay::UserManager;
  // 5: the unit is not installed (a build folder, an install without the unit).
  const std::string why = result.exitCode < 0 ? "no answer" : "exit code " + std::to_string(result.exitCode);
  std::fprintf(stderr, "natalo: the user manager did not start %s (%s); starting the service directly\n",
               kServiceUnitName, why.c_str());
  return ServiceStartWay::Spawn;
}

}  // namespace platform
