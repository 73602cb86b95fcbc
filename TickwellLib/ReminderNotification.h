#pragma once
// The operating-system notifications that start the reminder utility.
#include <string>
#include <vector>

#include <cstdint>
#include "platform/clock/Clock.h"
#include "platform/notify/UserNotification.h"

// The utility's command line for a reminder: /T="<FileTime in decimal>"
// /ID="<the UIDs, joined by ','>".
std::string ReminderArguments(platform::FileTime earliest, const std::vector<std::int32_t>& uids);

// Starts the utility with `arguments` at the local moment `at`.
platform::NotificationTrigger TimedTrigger(const std::string& utilityPath, platform::FileTime at,
                                           const std::string& arguments);
// Starts the utility without arguments when the system time is changed.
platform::NotificationTrigger TimeChangeTrigger(const std::string& utilityPath);

// Clears every armed notification that starts the utility (its application path
// is the utility path); other programs' notifications stay, also those whose
// path merely contains the utility's ("/backup/.../NataloUtil", "...Util.old").
// Does nothing for an empty path.
void RemoveOldNotifications(const std::string& utilityPath);

// Arms a notification with up to 10 attempts, 100 ms apart; logs `warning` when
// all fail. Returns whether it was armed.
bool ArmWithRetries(const platform::NotificationTrigger& trigger, const char* warning);
