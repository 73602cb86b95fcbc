#pragma once
// The text of one notification record file. A record is small, versioned and
// readable by a person:
//
//   # Natalo user notification
//   version=1
//   kind=time                      (time | event)
//   event=none                     (none | timechange)
//   start=133577064000000000       (local FileTime, decimal; 0 = none)
//   end=0
//   application=/path/of/program
//   arguments=/T="..." /ID="..."
//
// Values run to the end of the line; a backslash, a line feed and a carriage
// return in a value are written as \\, \n and \r. Lines starting with '#' are
// comments; unknown keys are ignored so that a later version 1 writer may add some.
#include <string>
#include <string_view>

#include "platform/notify/UserNotification.h"

namespace platform {

inline constexpr int NOTIFICATION_RECORD_VERSION = 1;

// True when the trigger can be armed: a known kind (a time notification with a
// valid start time, an event notification for a known event), a non-empty
// application path, and no NUL character in the path or the arguments.
bool IsValidTrigger(const NotificationTrigger& trigger);

// The record text of a valid trigger.
std::string FormatNotificationRecord(const NotificationTrigger& trigger);

// Reads a record; on failure returns false, leaves `out` unchanged and says why in `error`.
bool ParseNotificationRecord(std::string_view text, NotificationTrigger& out, std::string& error);

// A calendar time as a FileTime, 0 for the all-zero SystemTime; false when invalid.
bool TriggerTimeToFileTime(const SystemTime& st, FileTime& out);

}  // namespace platform
