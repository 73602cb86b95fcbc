#pragma once
// The reminder's sound: file, script and volume chosen from the entry's own
// sound settings or the program's defaults, written into the utility's own
// sound category "QV_FESK_Reminder" and played as that event.
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

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
// clock when the reminder's own sound cannot be played. Starting a sound
// file takes a while (the player finds, opens and decodes it up to its first
// sound): with `inBackground` the start runs on a thread of its own, so that
// the window paints meanwhile; a stop waits for a start still under way.
class ReminderSoundPlayer {
 public:
  ReminderSoundPlayer(PlayEventSoundFn play, StopEventSoundsFn stop, bool inBackground = false)
      : m_play(play), m_stop(stop), m_bInBackground(inBackground) {}
  ~ReminderSoundPlayer() { FinishStart(); }
  ReminderSoundPlayer(const ReminderSoundPlayer&) = delete;
  ReminderSoundPlayer& operator=(const ReminderSoundPlayer&) = delete;

  // Stops the category's sounds and plays its event; on failure plays "Clock".
  void StartSound(const void* window);
  // Starts the sound while the window that plays it is still being made: the
  // window's own StartSound then finds it started. `prepare` runs first, on
  // the same thread as the start.
  void StartSoundAhead(const void* window, std::function<void()> prepare = {});
  void StopSound();
  const std::u16string& Category() {
    FinishStart();
    return m_category;
  }

 private:
  void Start(const void* window, const std::function<void()>& prepare);
  // Waits for a start running in the background.
  void FinishStart() {
    if (m_starting.joinable()) m_starting.join();
  }

  PlayEventSoundFn m_play;
  StopEventSoundsFn m_stop;
  bool m_bInBackground;
  bool m_bStartedAhead = false;
  std::u16string m_category = kReminderSoundCategory;
  std::thread m_starting;
};
