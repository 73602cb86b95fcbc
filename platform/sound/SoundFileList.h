#pragma once
// The sound files offered to the user for a sound event.
//
// Event 1 (ring tones) offers the ring-tone-like sounds of the sound themes,
// events 5 and 6 (alarms) the alarm-like ones; every other event offers nothing.
// The themes are the folders <data>/sounds/<theme>/ (all their sub-folders) for
// <data> in $XDG_DATA_HOME (default ~/.local/share), then each folder of
// $XDG_DATA_DIRS (default /usr/local/share:/usr/share); the theme "freedesktop"
// comes first, the others follow by name. A theme sound is ring-tone-like or
// alarm-like by its name as the sound naming convention gives it (without the
// extension):
//   ring tones: phone-incoming-call, phone-outgoing-calling, message-new-instant,
//               message, bell, complete, window-attention, service-login
//   alarms:     alarm-clock-elapsed, bell, complete, dialog-warning,
//               dialog-information, window-attention, phone-incoming-call
// The user's own sounds folder, $XDG_DATA_HOME/Natalo/sounds, is offered in full
// for every event that offers anything.
//
// Files are those ending in .oga, .ogg, .opus, .wav, .flac, .mp3, .m4a or .wma
// (type SOUND_FILE_AUDIO for theme sounds, SOUND_FILE_USER for the user's) and
// .mid, .midi or .kar (type SOUND_FILE_UNPLAYABLE: listed, but the player has no
// synthesizer for them, so lists that play sounds skip them). Hidden files are
// skipped. A path found twice is listed once. Display names are the file name
// without its extension, "-" and "_" turned into spaces and the first letter in
// upper case for theme sounds ("Alarm clock elapsed"), as written for the user's.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum SoundFileType : std::uint32_t {
  SOUND_FILE_AUDIO = 0,
  SOUND_FILE_USER = 1,
  SOUND_FILE_UNPLAYABLE = 2,
};

enum class SoundLocation { All, System, User };

struct SoundFileInfo {
  std::u16string path;
  std::u16string displayName;
  std::uint32_t type = SOUND_FILE_AUDIO;
};

inline constexpr int SOUND_EVENT_RINGTONE = 1;
inline constexpr int SOUND_EVENT_ALARM_OLD = 5;
inline constexpr int SOUND_EVENT_ALARM = 6;

// The list, in the order above (themes in folder order, files by name within a
// folder). False for an event that offers nothing (the list is then empty).
bool GetSoundFileList(int event, SoundLocation location, std::vector<SoundFileInfo>& out);

// $XDG_DATA_HOME/Natalo/sounds.
std::string UserSoundFolder();

}  // namespace platform
