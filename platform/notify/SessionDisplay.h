#pragma once
// The session's display for the programs the service starts. A service started
// by the user manager early in a login may lack DISPLAY and WAYLAND_DISPLAY,
// which the session hands to the manager only once its compositor runs; a
// reminder window started with neither could not appear.
#include <string>
#include <vector>

namespace platform {

// The "NAME=value" entries a started program needs added: each of DISPLAY,
// WAYLAND_DISPLAY and XAUTHORITY missing from `own` (the service's environment
// as "NAME=value" entries) that `manager` (the output of `systemctl --user
// show-environment`) has. When neither display is known after that, a
// "wayland-N" socket in `runtimeFolder` gives WAYLAND_DISPLAY and an "XN" socket
// of the user's or root's in `x11Folder` gives DISPLAY (the lowest N of each).
std::vector<std::string> MissingDisplayEnvironment(const std::vector<std::string>& own,
                                                   const std::string& manager,
                                                   const std::string& runtimeFolder,
                                                   const std::string& x11Folder = "/tmp/.X11-unix");

// The same for this process: asks the user manager only when a variable is
// missing and a manager runs.
std::vector<std::string> SessionDisplayEnvironment();

}  // namespace platform
