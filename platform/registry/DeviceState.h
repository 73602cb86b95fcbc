#pragma once
// The device-state values that the reminder utility reads: the lock state and
// the phone status, under HKEY_LOCAL_MACHINE. A desktop has no phone and no
// device lock of its own, so both start at 0; tests set them directly.
#include <string_view>

namespace platform {

inline constexpr std::u16string_view kDeviceStateKey = u"System\\State";
inline constexpr std::u16string_view kLockValue = u"Lock";
inline constexpr std::u16string_view kPhoneStateKey = u"System\\State\\Phone";
inline constexpr std::u16string_view kPhoneStatusValue = u"Status";

// Writes Lock = 0 and Phone\Status = 0 where they are missing or are not
// 32-bit numbers; values that are there stay as they are. True when both
// values hold 32-bit numbers afterwards.
bool EnsureDeviceStateDefaults();

}  // namespace platform
