#pragma once
// How another program answers the reminder the utility shows, as the
// window's keys would. While its window is up, the utility holds one event
// per answer, named after the entry's UID; a program that sets one has first
// created the "answered" event of that UID, which the utility sets once the
// answer is written into storage.dat and the window and notification are gone.
// No event of the UID means that no utility shows its reminder.
#include <cstdint>
#include <string>

enum class ReminderAnswer { Snooze, Dismiss };

inline std::u16string ReminderAnswerEventName(std::int32_t uid, ReminderAnswer answer) {
  const std::string name =
      (answer == ReminderAnswer::Dismiss ? "FESK_UTIL_DISMISS_" : "FESK_UTIL_SNOOZE_") + std::to_string(uid);
  return std::u16string(name.begin(), name.end());
}

inline std::u16string ReminderAnsweredEventName(std::int32_t uid) {
  const std::string name = "FESK_UTIL_ANSWERED_" + std::to_string(uid);
  return std::u16string(name.begin(), name.end());
}
