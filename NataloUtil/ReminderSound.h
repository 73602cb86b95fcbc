#pragma once
// The reminder's sound: file, script and volume chosen from the entry's own
// sound settings or the program's defaults, written into the utility's own
// sound category "QV_FESK_Reminder" and played as that event.
#include <cstdint>
#include <string>

#include "common/settings/AppSettings.h"

class FeskItem;

inline constexpr char16_t kReminderSoundCategory[] = u"QV_FESK_Reminder";
inline constexpr char16_t kClockSoundEvent[] = u"Clock";

struct ReminderSoundChoice {
  std::u16string file;
  std::u16string script;
  std::uint32_t volume = 3;
};

// The play script of sound type 1 and above (7 and above share the last one).
std::u16string ScriptOfSoundType(std::uint32_t type);
// The platform's Alarm script made to start with "a" and to repeat ("w2r").
std::u16string NormaliseAlarmScript(std::u16string script);

// Chooses file, script and volume for the entry; `settings` holds the
// program's sound settings.
ReminderSoundChoice ChooseReminderSound(const FeskItem& item, const AppSettings& settings);
// Writes the category values in their fixed order; false when one failed.
bool WriteReminderSoundCategory(const ReminderSoundChoice& choice);

// The event-sound functions the utility plays through.
using PlayEventSoundFn = int (*)(const std::u16string& event, const void* window);
using StopEventSoundsFn = int (*)(const std::u16string& name);

// Plays and stops the reminder's event; switches once to the system alarm
// clock when the reminder's own sound cannot be played.
class ReminderSoundPlayer {
 public:
  ReminderSoundPlayer(PlayEventSoundFn play, StopEventSoundsFn stop) : m_play(play), m_stop(stop) {}

  // Stops the category's sounds and plays its event; on failure plays "Clock".
  void StartSound(const void* window);
  void StopSound();
  const std::u16string& Category() const { return m_category; }

 private:
  PlayEventSoundFn m_play;
  StopEventSoundsFn m_stop;
  std::u16string m_category = kReminderSoundCategory;
};
