#pragma once
// Helpers shared by the registry tests and their helper process.
#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/registry/Registry.h"

namespace registrytest {

// A RegUpdateValue change that adds 1 to a DWORD (a missing value counts 0).
bool IncrementDword(platform::RegistryValue& value, bool exists);

// Starts the helper process with the given arguments and this process's
// environment; -1 on failure.
pid_t StartHelper(const std::vector<std::string>& args);
// Waits for a started process; its exit code, or -1 when it did not exit normally.
int WaitForExit(pid_t pid);

}  // namespace registrytest
