#pragma once
// Where the running program and its files live.
#include <string>

namespace platform {

// Folder of the running executable, ending with '/'. Empty on failure.
std::string GetExecutableFolder();

// Folder of the shared object (or executable) that contains `address`, ending
// with '/'. Pass the address of a function of the library itself. Empty on failure.
std::string GetModuleFolder(const void* address);

// Last path component of a folder ("/opt/x/Natalo/" gives "Natalo").
std::string FolderName(const std::string& folder);

// The file-name endings of the phone platform mapped to this one, in one place:
// ".dll" becomes ".so" and ".exe" is dropped ("Natalo.dll" gives "Natalo.so").
std::string MapPlatformFileName(const std::string& name);

}  // namespace platform
