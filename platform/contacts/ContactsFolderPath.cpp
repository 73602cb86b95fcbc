#include "platform/contacts/ContactsFolderPath.h"

#include <cstdlib>

#include "platform/folder/DataFolder.h"
#include "platform/registry/Registry.h"
#include "platform/text/Utf.h"

namespace platform {
namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? std::string(value) : fallback;
}

std::string HomeFolder() { return EnvOr("HOME", "/"); }

}  // namespace

std::string GetContactsFolderPath() {
  std::u16string configured;
  if (RegReadString(RegistryRoot::CurrentUser, CONTACTS_FOLDER_KEY, CONTACTS_FOLDER_VALUE, configured) &&
      !configured.empty()) {
    std::string path = ToUtf8(configured);
    if (path == "~" || path.rfind("~/", 0) == 0) path = HomeFolder() + path.substr(1);
    return path;
  }
  return UserDataHome() + "Natalo/contacts";
}

}  // namespace platform
