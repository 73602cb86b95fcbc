#pragma once
// Calendar arithmetic on a local date-time.
#include <cstdint>

#include "platform/clock/Clock.h"

inline constexpr std::uint32_t ADD_SECONDS_FAILED = 0x80004005u;

// Adds a signed number of seconds to `time` by way of a FileTime. Returns 0, or
// ADD_SECONDS_FAILED (leaving `time` unchanged) when the time is not a valid
// date-time or the result leaves the range of calendar dates.
std::uint32_t AddSeconds(platform::SystemTime& time, std::int64_t seconds);
