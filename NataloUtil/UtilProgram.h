#pragma once
// One run of the reminder utility: recalculation, or the one reminder of its
// command line from start to end.
#include <string>

// Set by the notification service when it starts a reminder late because it
// was not running or the machine slept at the reminder's moment.
inline constexpr char kMissedReminderVariable[] = "NATALO_MISSED_REMINDER";

// Test hooks, read from the environment:
// NATALO_UTIL_TRACE names a file that receives one line per step worth
// checking ("start <local FileTime>", "texts <local FileTime>", "shown <uid> <local FileTime of the first paint>", "done <peak resident kB>").
// NATALO_UTIL_COMMANDS lists window commands (comma-separated numbers) that
// are run one after another once the window is painted, as if chosen,
// NATALO_UTIL_COMMAND_DELAY_MS apart (100 when unset).
inline constexpr char kTraceVariable[] = "NATALO_UTIL_TRACE";
inline constexpr char kCommandsVariable[] = "NATALO_UTIL_COMMANDS";
inline constexpr char kCommandDelayVariable[] = "NATALO_UTIL_COMMAND_DELAY_MS";

int RunNataloUtil(int argc, char** argv);
