#pragma once
// Event sounds: the sound of a named event played as the registry describes it
// (SoundCategory.h), with its category's script (SoundScript.h) and volume.
//
// Thread-safe. Several sounds may play at once, also of one category.
#include <string>

#include "platform/sound/SoundPlayer.h"

namespace platform {

// Starts the event's sound and returns once it plays: 0 on success, otherwise a
// SoundError (no such file, a file that does not decode within
// SoundPlayer::PREROLL_TIMEOUT_MS, no player). A script without "p" plays
// nothing and succeeds without looking at the file. The window is the caller's
// and is not used: the sound does not end with it. Writes the system's own
// sound values first when they are missing (EnsureSystemSoundDefaults).
int PlayEventSound(const std::u16string& event, const void* window);

// Stops, and waits for, every playing sound whose event or category has that
// name (ignoring ASCII case). Returns 0, also when nothing plays.
int StopEventSounds(const std::u16string& name);

// The number of sounds still playing; for tests and diagnostics.
int CountPlayingEventSounds();

}  // namespace platform
