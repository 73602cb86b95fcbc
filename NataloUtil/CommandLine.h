#pragma once
// The reminder utility's command line: empty or "TIMECHANGE" recalculates;
// any other text is a reminder start with "/T=" (the armed moment) and "/ID="
// (the UIDs due then), as the engine arms them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/cmdline/CommandValue.h"
#include "platform/clock/Clock.h"

inline constexpr std::size_t kMaxReminderUids = 32;

// True for the two recalculation forms.
bool IsRecalculationCommand(std::string_view line);

// A signed decimal number as the C library's atoi reads it (leading blanks,
// a sign, digits up to the first other character); text that is not a number
// gives 0, and numbers beyond the type's range are clamped.
std::int64_t ParseDecimal(std::string_view text);

// The UIDs of an "/ID=" value, at most kMaxReminderUids. When the value was cut
// short, its last piece is a cut-off number and is dropped rather than taken
// for another entry's UID.
std::vector<std::int32_t> ParseUidList(std::string_view value, bool truncated);

struct ReminderCommand {
  std::vector<std::int32_t> uids;
  platform::FileTime fireTime = 0;  // 0 when "/T=" is missing, junk or negative
};

ReminderCommand ParseReminderCommand(std::string_view line);
