#pragma once
// The fixed snooze lengths of the reminder utility and the rules that pick
// them; these are not settings.
#include <array>
#include <cstdint>

#include "common/entries/EntryCalendar.h"
#include "platform/clock/Clock.h"

class FeskItem;

// Menu commands of the reminder window.
inline constexpr int kCmdDismiss = 32777;
inline constexpr int kCmdCancel = 2;
inline constexpr int kCmdSnoozeFirst = 32791;  // .. 32798
inline constexpr int kCmdSnoozeLast = 32798;
inline constexpr int kCmdToggleSound = 32900;
// The snooze of the desktop notification's action: five minutes, offered
// whatever the days to the event.
inline constexpr int kDefaultSnoozeCommand = kCmdSnoozeFirst + 1;

// Seconds of "BTN_UTIL_SNOOZE_1" .. "_8", in menu order.
inline constexpr std::array<std::uint32_t, 8> kSnoozeTable = {60, 300, 1800, 3600, 14400, 86400, 172800, 604800};
// Seconds of the automatic snoozes in a row, by m_dwAutoSnoozeCounter. The
// seventh and eighth lengths are 14440 and 28880 on purpose.
inline constexpr std::array<std::uint32_t, 9> kAutoSnoozeTable = {300, 600, 900, 1800, 3600, 7200, 14440, 28880, 43200};
inline constexpr std::uint32_t kBusySnoozeSeconds = 120;

// The snooze length of a menu command; 0 for any other command.
std::uint32_t SnoozeSecondsOfCommand(int command);

// Now plus `seconds` on the local calendar, as a FileTime; 0 when it cannot be represented.
platform::FileTime NowPlusSeconds(std::int64_t seconds);

// Whole days from `today` to the entry's next date, 0 on the day itself. A
// 29 February falls on the 28th in a common year (Gregorian rule).
int DaysToEvent(const FeskItem& item, const CalendarDate& today);
int DaysToEvent(const FeskItem& item);

// Whether the snooze of a menu command is offered with D days to the event:
// one day needs D >= 1, two days D >= 2, one week D >= 7.
bool IsSnoozeAvailable(int command, int daysToEvent);
