#pragma once
// How a client gets the notification service running. Where the user's systemd
// manager runs, it starts the installed unit, so the service belongs to the
// graphical session and ends with it; where none runs, where the unit is not
// installed or the manager refuses, the client starts the program itself.
// Either way the service's own lock keeps it to one per user.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/process/Process.h"

namespace platform {

inline constexpr char kServiceUnitName[] = "natalo-notifyd.service";
// The longest a client or the service waits for the user manager to answer.
inline constexpr std::chrono::seconds kUserManagerTimeout{3};

// Runs a command line (no shell) with the time limit above; RunCommand outside tests.
using CommandRunner = std::function<CommandResult(const std::vector<std::string>& argv)>;
CommandResult RunWithManagerTimeout(const std::vector<std::string>& argv);

// Whether the user's systemd manager runs: its private socket in the runtime
// folder ($XDG_RUNTIME_DIR), which it makes when it starts.
bool UserManagerRuns();

enum class ServiceStartWay {
  UserManager,  // the manager started the unit
  Spawn,        // the caller starts the program itself
};

// Asks the user manager to start the unit when one runs and no program path
// was given explicitly (a test's or a developer's service); on a refusal it
// logs why and answers Spawn.
ServiceStartWay StartServiceThroughUserManager(bool userManagerRuns, bool programOverridden,
                                               const CommandRunner& run);

}  // namespace platform
