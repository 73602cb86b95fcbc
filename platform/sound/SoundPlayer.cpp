#include "platform/sound/SoundPlayer.h"

#include <gst/gst.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// playbin's flags: audio only (no video or subtitle windows), with its own volume.
constexpr guint kPlayFlagAudio = 1u << 1;
constexpr guint kPlayFlagSoftVolume = 1u << 4;

constexpr double kMinimumPassSeconds = 0.1;

bool InitGStreamer() {
  static const bool ok = gst_init_check(nullptr, nullptr, nullptr) != FALSE;
  return ok;
}

GstElement* MakeAudioSink() {
  const char* description = std::getenv("NATALO_AUDIO_SINK");
  if (description == nullptr || description[0] == '\0') return gst_element_factory_make("autoaudiosink", nullptr);
  GError* error = nullptr;
  GstElement* sink = gst_parse_bin_from_description(description, TRUE, &error);
  if (error != nullptr) g_error_free(error);
  return sink;
}

gint64 SecondsToNs(double seconds) { return static_cast<gint64>(seconds * 1e9); }

}  // namespace

struct SoundPlayer::Pipeline {
  GstElement* playbin = nullptr;
  GstBus* bus = nullptr;
  ~Pipeline() {
    if (playbin != nullptr) gst_element_set_state(playbin, GST_STATE_NULL);
    if (bus != nullptr) gst_object_unref(bus);
    if (playbin != nullptr) gst_object_unref(playbin);
  }
  // Waits for one of the message types; nullptr on time-out. The caller unrefs.
  GstMessage* Pop(GstMessageType types, gint64 timeoutNs) {
    return gst_bus_timed_pop_filtered(bus, timeoutNs < 0 ? GST_CLOCK_TIME_NONE : static_cast<GstClockTime>(timeoutNs),
                                      types);
  }
};

SoundPlayer::SoundPlayer(EventSoundSettings settings)
    : m_settings(std::move(settings)), m_steps(ParseSoundScript(m_settings.script)) {
  m_gain = VolumeStepToGain(m_settings.volume);
}

SoundPlayer::~SoundPlayer() { Stop(); }

bool SoundPlayer::Prepare() {
  if (!InitGStreamer()) return false;
  GstElement* playbin = gst_element_factory_make("playbin", nullptr);
  if (playbin == nullptr) return false;
  gst_object_unref(gst_object_ref_sink(playbin));
  // What the player needs for the system's own sounds (Ogg Vorbis) besides:
  // recognising, unpacking, decoding and converting them.
  for (const char* name : {"typefindfunctions", "ogg", "vorbis", "audioconvert", "audioresample", "volume"}) {
    if (GstPlugin* plugin = gst_plugin_load_by_name(name)) gst_object_unref(plugin);
  }
  return true;
}

int SoundPlayer::Start() {
  if (ScriptPlaysSound(m_steps)) {
    struct stat st {};
    if (m_settings.file.empty() || ::stat(m_settings.file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      return SOUND_ERROR_NO_FILE;
    }
    if (!InitGStreamer()) return SOUND_ERROR_PLAYER;
    auto pipeline = std::make_unique<Pipeline>();
    pipeline->playbin = gst_element_factory_make("playbin", nullptr);
    if (pipeline->playbin != nullptr) gst_object_ref_sink(pipeline->playbin);
    GstElement* sink = MakeAudioSink();
    if (pipeline->playbin == nullptr || sink == nullptr) {
      if (sink != nullptr) gst_object_unref(sink);
      return SOUND_ERROR_PLAYER;
    }
    pipeline->bus = gst_element_get_bus(pipeline->playbin);
    gchar* uri = gst_filename_to_uri(m_settings.file.c_str(), nullptr);
    if (uri == nullptr) return SOUND_ERROR_NO_FILE;
    g_object_set(pipeline->playbin, "uri", uri, "audio-sink", sink, "flags", kPlayFlagAudio | kPlayFlagSoftVolume,
                 "volume", m_gain, nullptr);
    g_free(uri);

    // Prerolled means the file was found, recognised and decoded up to its first sound.
    if (gst_element_set_state(pipeline->playbin, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
      return SOUND_ERROR_DECODE;
    }
    GstMessage* msg = pipeline->Pop(
        static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR | GST_MESSAGE_EOS),
        SecondsToNs(PREROLL_TIMEOUT_MS / 1000.0));
    const bool ready = msg != nullptr && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ASYNC_DONE;
    if (msg != nullptr) gst_message_unref(msg);
    if (!ready) return SOUND_ERROR_DECODE;
    m_pipeline = std::move(pipeline);
  }
  m_thread = std::thread([this] { Run(); });
  return 0;
}

void SoundPlayer::Stop() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
  }
  m_wake.notify_all();
  if (m_pipeline) gst_bus_post(m_pipeline->bus, gst_message_new_application(nullptr, gst_structure_new_empty("natalo-stop")));
  if (m_thread.joinable()) m_thread.join();
  m_pipeline.reset();
  m_finished = true;
}

bool SoundPlayer::Wait(double seconds) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_wake.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return m_stop.load(); });
  return !m_stop;
}

// Plays the file from its start to its end, at most secondsLeft (negative: no limit).
// False when the script must end: stopped, or the file failed while playing.
bool SoundPlayer::PlayOnce(double secondsLeft) {
  if (!m_pipeline || m_stop) return !m_stop;
  GstElement* playbin = m_pipeline->playbin;
  gst_element_seek_simple(playbin, GST_FORMAT_TIME,
                          static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), 0);
  if (gst_element_set_state(playbin, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) return false;
  GstMessage* msg = m_pipeline->Pop(
      static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR | GST_MESSAGE_APPLICATION),
      secondsLeft < 0 ? -1 : SecondsToNs(secondsLeft));
  const bool ended = msg != nullptr && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
  const bool timedOut = msg == nullptr;
  if (msg != nullptr) gst_message_unref(msg);
  gst_element_set_state(playbin, GST_STATE_PAUSED);
  return (ended || timedOut) && !m_stop;
}

void SoundPlayer::Run() {
  const auto start = Clock::now();
  auto deadline = Clock::time_point::max();
  auto secondsLeft = [&]() -> double {
    if (deadline == Clock::time_point::max()) return -1;
    return std::max(0.0, std::chrono::duration<double>(deadline - Clock::now()).count());
  };
  bool running = true;
  while (running && !m_stop) {
    const auto passStart = Clock::now();
    bool repeat = false;
    for (const SoundStep& step : m_steps) {
      if (m_stop || (deadline != Clock::time_point::max() && Clock::now() >= deadline)) {
        running = false;
        break;
      }
      if (step.op == 'p') {
        running = PlayOnce(secondsLeft());
      } else if (step.op == 'w') {
        const double left = secondsLeft();
        running = Wait(left < 0 ? step.value : std::min(step.value, left));
      } else if (step.op == 't') {
        deadline = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(step.value));
      } else if (step.op == 'c') {
        m_gain = std::min(1.0, m_gain * step.value / 100.0);
        if (m_pipeline) g_object_set(m_pipeline->playbin, "volume", m_gain, nullptr);
      } else if (step.op == 'r') {
        repeat = true;
        break;
      }
      if (!running) break;
    }
    if (!repeat) break;
    if (std::chrono::duration<double>(Clock::now() - passStart).count() < kMinimumPassSeconds) break;
  }
  if (m_pipeline) gst_element_set_state(m_pipeline->playbin, GST_STATE_NULL);
  m_finished = true;
}

}  // namespace platform
