#pragma once
// Where the registry database lives, and creating it with owner-only access.
#include <string>

namespace platform {

// $XDG_CONFIG_HOME/Natalo/registry.db, with ~/.config when the variable is unset,
// empty or relative. Empty when no home folder is known.
std::string DefaultRegistryFile();

// Creates the missing folders above `path` with mode 0700.
bool CreateParentFolders(const std::string& path);

// Creates a new empty file with mode 0600 whatever the umask; false when it
// exists or cannot be created.
bool CreatePrivateFile(const std::string& path);

}  // namespace platform
