#include "common/store/AddSeconds.h"

std::uint32_t AddSeconds(platform::SystemTime& time, std::int64_t seconds) {
  platform::FileTime ft = 0;
  if (!platform::SystemTimeToFileTime(time, ft)) return ADD_SECONDS_FAILED;
  constexpr auto kPerSecond = static_cast<std::int64_t>(platform::FILETIME_PER_SECOND);
  constexpr auto kMaxSeconds = static_cast<std::int64_t>(platform::TIME_NONE / platform::FILETIME_PER_SECOND);
  if (seconds > kMaxSeconds || seconds < -kMaxSeconds) return ADD_SECONDS_FAILED;
  const auto base = static_cast<std::int64_t>(ft);  // ft is at most TIME_NONE
  const std::int64_t delta = seconds * kPerSecond;
  if (delta < 0 ? base < -delta : base > static_cast<std::int64_t>(platform::TIME_NONE) - delta) {
    return ADD_SECONDS_FAILED;
  }
  platform::SystemTime result;
  if (!platform::FileTimeToSystemTime(static_cast<platform::FileTime>(base + delta), result)) return ADD_SECONDS_FAILED;
  time = result;
  return 0;
}
