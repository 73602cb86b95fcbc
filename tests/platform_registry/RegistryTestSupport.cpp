#include "tests/platform_registry/RegistryTestSupport.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace registrytest {

bool IncrementDword(platform::RegistryValue& value, bool exists) {
  const std::uint32_t count = exists ? platform::DwordFromValue(value).value_or(0) : 0;
  value = platform::MakeDwordValue(count + 1);
  return true;
}

pid_t StartHelper(const std::vector<std::string>& args) {
  std::vector<std::string> all{REGISTRY_HELPER_PATH};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, REGISTRY_HELPER_PATH, nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

int WaitForExit(pid_t pid) {
  int status = 0;
  pid_t done = -1;
  do {
    done = waitpid(pid, &status, 0);
  } while (done < 0 && errno == EINTR);
  return done == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace registrytest
