// QtLocale() for a program that should start without Qt: Qt's tables are
// loaded, as the module next to the program, only when a locale outside the
// built-in table is asked for. Without the module such a locale reads as C.
#include <dlfcn.h>

#include "platform/folder/ProgramFolder.h"
#include "platform/locale/QtLocale.h"

namespace platform {

const QtLocaleFunctions* QtLocale() {
  static const QtLocaleFunctions* const loaded = []() -> const QtLocaleFunctions* {
    const std::string path = GetExecutableFolder() + "NataloLocale.so";
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) return nullptr;
    const auto entry = reinterpret_cast<decltype(&natalo_qt_locale)>(dlsym(module, "natalo_qt_locale"));
    return entry != nullptr ? entry() : nullptr;
  }();
  return loaded;
}

}  // namespace platform
