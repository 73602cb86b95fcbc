// Test helper: a second process that uses the registry named by the inherited
// environment.
//   increment N   adds 1 to HKEY_CURRENT_USER\Test\Counter\Count N times
//   lock V        writes HKEY_LOCAL_MACHINE\System\State\Lock = V
// Exits with 0 when every call succeeded.
#include <cstdlib>
#include <string>

#include "platform/registry/Registry.h"
#include "tests/platform_registry/RegistryTestSupport.h"

using namespace platform;

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string command = argv[1];
  const unsigned long number = std::strtoul(argv[2], nullptr, 10);
  if (command == "increment") {
    int failures = 0;
    for (unsigned long i = 0; i < number; ++i) {
      if (!RegUpdateValue(RegistryRoot::CurrentUser, u"Test\\Counter", u"Count",
                          registrytest::IncrementDword))
        ++failures;
    }
    return failures == 0 ? 0 : 1;
  }
  if (command == "lock") {
    return RegWriteDword(RegistryRoot::LocalMachine, u"System\\State", u"Lock",
                         static_cast<std::uint32_t>(number))
               ? 0
               : 1;
  }
  return 2;
}
