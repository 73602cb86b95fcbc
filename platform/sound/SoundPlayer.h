#pragma once
// One playing event sound: a GStreamer playbin for the file and a thread that
// runs the category's script.
//
// The audio sink is the environment variable NATALO_AUDIO_SINK (a pipeline
// description such as "fakesink sync=true") or, without it, autoaudiosink.
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound/SoundCategory.h"
#include "platform/sound/SoundScript.h"

namespace platform {

// Results of PlayEventSound besides 0 (success).
enum SoundError : int {
  SOUND_ERROR_NO_FILE = 1,     // the event names no file, or the file does not exist
  SOUND_ERROR_DECODE = 2,      // the file does not play (not audio, damaged, no decoder)
  SOUND_ERROR_PLAYER = 3,      // the player could not be set up (no GStreamer, no sink)
};

class SoundPlayer {
 public:
  // How long Start waits for the file to be opened and decoded up to its first sound.
  static constexpr int PREROLL_TIMEOUT_MS = 5000;

  explicit SoundPlayer(EventSoundSettings settings);
  ~SoundPlayer();  // stops
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  // Opens the file (when the script plays it), waits until it is ready to play
  // or fails, then runs the script in the background. 0 or a SoundError.
  int Start();
  // Loads the sound system and its player ahead of a first Start, which then
  // only opens its file. Any thread; false when there is no player.
  static bool Prepare();
  // Stops the sound and waits for the script to end. Harmless when already ended.
  void Stop();
  bool Finished() const { return m_finished.load(); }
  const EventSoundSettings& Settings() const { return m_settings; }

 private:
  struct Pipeline;
  void Run();
  bool PlayOnce(double secondsLeft);
  bool Wait(double seconds);

  EventSoundSettings m_settings;
  std::vector<SoundStep> m_steps;
  std::unique_ptr<Pipeline> m_pipeline;
  double m_gain = 1.0;
  std::thread m_thread;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_finished{false};
};

}  // namespace platform
