#include "platform/registry/DeviceState.h"

#include <string>

#include "platform/registry/Registry.h"

namespace platform {
namespace {

bool EnsureDwordDefault(std::u16string_view key, std::u16string_view name) {
  const std::u16string keyText(key);
  const std::u16string nameText(name);
  RegUpdateValue(RegistryRoot::LocalMachine, keyText, nameText, [](RegistryValue& value, bool exists) {
    if (exists && DwordFromValue(value)) return false;
    value = MakeDwordValue(0);
    return true;
  });
  std::uint32_t current = 0;
  return RegReadDword(RegistryRoot::LocalMachine, keyText, nameText, current);
}

}  // namespace

bool EnsureDeviceStateDefaults() {
  const bool lock = EnsureDwordDefault(kDeviceStateKey, kLockValue);
  const bool phone = EnsureDwordDefault(kPhoneStateKey, kPhoneStatusValue);
  return lock && phone;
}

}  // namespace platform
