#pragma once
// Play scripts of the event sounds: letters, each followed by an optional
// number (digits with an optional decimal point).
//
//   p       play the category's sound file once, from its start to its end
//   w<N>    wait N seconds
//   v<N>    vibrate N seconds; a desktop has no vibrator, so this is a silent
//           pause of N seconds (v0 or a bare v pauses for nothing)
//   r       repeat the script from its start (steps after it are never reached);
//           a pass that takes less than 100 ms ends the script instead, so a
//           script without sound or pauses cannot spin
//   t<N>    end the whole script N seconds after it started
//   c<N>    multiply the volume by N percent (c120: 20 % louder, "crescendo"),
//           never above full volume
//   a       the "alarm" marker: plays even in a silent profile; accepted and
//           ignored, since the desktop has no sound profiles
//
// Any other letter is skipped together with its number; spaces are skipped.
// An empty script plays the file once, as "p" does.
#include <string_view>
#include <vector>

namespace platform {

struct SoundStep {
  char op = 'p';  // 'p', 'w', 'r', 't' or 'c'; 'v' is given as 'w'; 'a' is dropped
  double value = 0;  // seconds for 'w' and 't', percent for 'c'
  friend bool operator==(const SoundStep&, const SoundStep&) = default;
};

std::vector<SoundStep> ParseSoundScript(std::string_view script);
bool ScriptPlaysSound(const std::vector<SoundStep>& steps);

}  // namespace platform
