#pragma once
// Sound events and sound categories as the registry describes them.
//
// An event <name> (HKEY_CURRENT_USER\ControlPanel\Sounds\<name>) names its file
// in "Sound" and its category in "Category" (the event's own name when absent);
// the category (HKEY_CURRENT_USER\ControlPanel\SoundCategories\<category>)
// gives the play script "Script" ("p" when absent, SoundScript.h), the volume
// step "InitVol" and "AttenuationCategory" (read and kept; the desktop has no
// other sounds to lower while an event plays).
//
// Volume steps: 0 is silent, 5 is full volume and each step below 5 is 6 dB
// quieter (4: 50 %, 3: 25 %, 2: 12.5 %, 1: 6.3 %); steps above 5 play at full
// volume; without InitVol the sound plays at full volume.
#include <cstdint>
#include <string>

namespace platform {

inline constexpr char16_t SOUND_EVENTS_KEY[] = u"ControlPanel\\Sounds";
inline constexpr char16_t SOUND_CATEGORIES_KEY[] = u"ControlPanel\\SoundCategories";
inline constexpr std::uint32_t SOUND_VOLUME_FULL = 5;

// The system's alarm clock: the event "Clock" of the category "Alarm".
inline constexpr char16_t SYSTEM_CLOCK_EVENT[] = u"Clock";
inline constexpr char16_t SYSTEM_ALARM_CATEGORY[] = u"Alarm";
inline constexpr char SYSTEM_ALARM_SCRIPT[] = "apw3r";
inline constexpr std::uint32_t SYSTEM_ALARM_VOLUME = 4;

struct EventSoundSettings {
  std::u16string event;
  std::u16string category;
  std::string file;  // empty when the event names no file
  std::string script = "p";
  std::uint32_t volume = SOUND_VOLUME_FULL;
  std::uint32_t attenuation = 0;
};

EventSoundSettings ReadEventSoundSettings(const std::u16string& event);

double VolumeStepToGain(std::uint32_t step);

// The freedesktop sound theme's alarm-clock sound, looked up in the data folders.
std::string SystemAlarmSoundFile();

// Writes the system's own values when they are missing: the "Clock" event
// (Sound: the alarm-clock sound; Category: "Alarm") and the "Alarm" category
// (Script "apw3r", InitVol 4, AttenuationCategory 2). Values already present are
// left as they are. False when a missing value could not be written.
bool EnsureSystemSoundDefaults();

}  // namespace platform
