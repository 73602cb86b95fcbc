#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>

#include "platform/registry/Registry.h"
#include "platform/sound/EventSound.h"
#include "platform/text/Utf.h"
#include "tests/support/TempDir.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

void PutLE(std::string& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A mono 16-bit 8 kHz sine tone; `claimedSeconds` in the header may exceed what follows.
std::string Wave(double seconds, double claimedSeconds) {
  const std::uint32_t rate = 8000;
  const auto frames = static_cast<std::uint32_t>(seconds * rate);
  const auto claimed = static_cast<std::uint32_t>(claimedSeconds * rate) * 2;
  std::string out = "RIFF";
  PutLE(out, 36 + claimed, 4);
  out += "WAVEfmt ";
  PutLE(out, 16, 4);
  PutLE(out, 1, 2);
  PutLE(out, 1, 2);
  PutLE(out, rate, 4);
  PutLE(out, rate * 2, 4);
  PutLE(out, 2, 2);
  PutLE(out, 16, 2);
  out += "data";
  PutLE(out, claimed, 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    auto sample = static_cast<std::int16_t>(8000 * std::sin(i * 2 * 3.14159265 * 440 / rate));
    PutLE(out, static_cast<std::uint16_t>(sample), 2);
  }
  return out;
}

class EventSoundTest : public ::testing::Test {
 protected:
  // No sound device here: a fake sink that keeps real time.
  EventSoundTest() { setenv("NATALO_AUDIO_SINK", "fakesink sync=true", 1); }

  testsupport::TestEnvironment m_env;

  ~EventSoundTest() override {
    for (const char16_t* name : {u"QV_FESK_Sample", u"QV_FESK_Reminder", u"Clock", u"Other"}) StopEventSounds(name);
  }

  std::string File(const std::string& name, const std::string& bytes) {
    const auto path = m_env.Root() / name;
    EXPECT_TRUE(testsupport::WriteFileBytes(path, bytes));
    return path.string();
  }

  // Writes an event of its own category, as the suite does before it plays.
  void SetCategory(const std::u16string& name, const std::string& file, const std::string& script,
                   std::uint32_t volume = 3) {
    const std::u16string sounds = u"ControlPanel\\Sounds\\" + name;
    const std::u16string category = u"ControlPanel\\SoundCategories\\" + name;
    ASSERT_TRUE(RegWriteString(RegistryRoot::CurrentUser, sounds, u"Category", name));
    ASSERT_TRUE(RegWriteString(RegistryRoot::CurrentUser, category, u"Script", FromUtf8(script)));
    ASSERT_TRUE(RegWriteDword(RegistryRoot::CurrentUser, category, u"InitVol", volume));
    ASSERT_TRUE(RegWriteDword(RegistryRoot::CurrentUser, category, u"AttenuationCategory", 2));
    ASSERT_TRUE(RegWriteString(RegistryRoot::CurrentUser, sounds, u"Sound", FromUtf8(file)));
  }

  // Seconds until no sound plays any more, at most `limit`.
  static double SecondsUntilSilent(double limit) {
    const auto start = Clock::now();
    while (CountPlayingEventSounds() > 0 && Clock::now() - start < std::chrono::duration<double>(limit)) {
      std::this_thread::sleep_for(20ms);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
  }
};

}  // namespace

TEST_F(EventSoundTest, PlaysForAsLongAsTheScriptSays) {
  // 0.4 s of sound, 0.4 s of pause, 0.4 s of sound again.
  SetCategory(u"QV_FESK_Sample", File("tone.wav", Wave(0.4, 0.4)), "apw0.4p");
  const auto start = Clock::now();
  ASSERT_EQ(PlayEventSound(u"QV_FESK_Sample", nullptr), 0);
  EXPECT_EQ(CountPlayingEventSounds(), 1);
  SecondsUntilSilent(5);
  const double total = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_GT(total, 1.1);
  EXPECT_LT(total, 2.5);

  // A time limit ends a repeating script by itself; vibration is a silent pause.
  SetCategory(u"QV_FESK_Reminder", File("tone2.wav", Wave(0.2, 0.2)), "at0.8v0.1pw0.1r");
  ASSERT_EQ(PlayEventSound(u"QV_FESK_Reminder", nullptr), 0);
  const double limited = SecondsUntilSilent(5);
  EXPECT_GT(limited, 0.6);
  EXPECT_LT(limited, 2.0);
}

TEST_F(EventSoundTest, StopEndsEverySoundOfTheCategoryAtOnce) {
  // A long tone: stopping must not wait for its end.
  const std::string tone = File("tone.wav", Wave(4, 4));
  SetCategory(u"QV_FESK_Reminder", tone, "apw0.2r");
  SetCategory(u"Other", tone, "pw0.2r");
  EXPECT_EQ(StopEventSounds(u"QV_FESK_Reminder"), 0);  // nothing plays yet
  ASSERT_EQ(PlayEventSound(u"QV_FESK_Reminder", nullptr), 0);
  ASSERT_EQ(PlayEventSound(u"QV_FESK_Reminder", nullptr), 0);
  ASSERT_EQ(PlayEventSound(u"Other", nullptr), 0);
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(CountPlayingEventSounds(), 3);  // still repeating
  const auto start = Clock::now();
  EXPECT_EQ(StopEventSounds(u"qv_fesk_reminder"), 0);
  EXPECT_LT(Clock::now() - start, 500ms);
  EXPECT_EQ(CountPlayingEventSounds(), 1);
  EXPECT_EQ(StopEventSounds(u"Other"), 0);
  EXPECT_EQ(CountPlayingEventSounds(), 0);
  EXPECT_EQ(StopEventSounds(u"Other"), 0);
}

TEST_F(EventSoundTest, FilesThatDoNotPlayFailAtOnce) {
  SetCategory(u"QV_FESK_Sample", (m_env.Root() / "missing.wav").string(), "p");
  EXPECT_EQ(PlayEventSound(u"QV_FESK_Sample", nullptr), SOUND_ERROR_NO_FILE);
  SetCategory(u"QV_FESK_Sample", m_env.Root().string(), "p");  // a folder
  EXPECT_EQ(PlayEventSound(u"QV_FESK_Sample", nullptr), SOUND_ERROR_NO_FILE);
  SetCategory(u"QV_FESK_Sample", File("junk.wav", std::string(5000, '\x5a')), "p");
  EXPECT_EQ(PlayEventSound(u"QV_FESK_Sample", nullptr), SOUND_ERROR_DECODE);
  SetCategory(u"QV_FESK_Sample", File("empty.oga", ""), "p");
  EXPECT_EQ(PlayEventSound(u"QV_FESK_Sample", nullptr), SOUND_ERROR_DECODE);
  EXPECT_EQ(CountPlayingEventSounds(), 0);
  // An event nobody described has no file.
  EXPECT_NE(PlayEventSound(u"Unknown", nullptr), 0);

  // A cut-off file either fails or plays what it has and ends.
  SetCategory(u"QV_FESK_Sample", File("cut.wav", Wave(0.2, 30)), "p");
  const int result = PlayEventSound(u"QV_FESK_Sample", nullptr);
  EXPECT_TRUE(result == 0 || result == SOUND_ERROR_DECODE) << result;
  EXPECT_LT(SecondsUntilSilent(5), 3.0);

  // A script without sound needs no file: a vibration alone is a silent pause.
  SetCategory(u"QV_FESK_Sample", (m_env.Root() / "missing.wav").string(), "at80v0.3w0.2");
  EXPECT_EQ(PlayEventSound(u"QV_FESK_Sample", nullptr), 0);
  EXPECT_GT(SecondsUntilSilent(5), 0.35);

  // A sink that cannot be made is the player's failure, not the file's.
  SetCategory(u"QV_FESK_Sample", File("fine.wav", Wave(0.2, 0.2)), "p");
  setenv("NATALO_AUDIO_SINK", "nosuchsink", 1);
  EXPECT_EQ(PlayEventSound(u"QV_FESK_Sample", nullptr), SOUND_ERROR_PLAYER);
}

TEST_F(EventSoundTest, TheSystemClockIsThereToFallBackTo) {
  SetCategory(u"QV_FESK_Reminder", (m_env.Root() / "gone.oga").string(), "apw2r");
  ASSERT_NE(PlayEventSound(u"QV_FESK_Reminder", nullptr), 0);
  // The system's own values were written on the first use.
  std::u16string text;
  std::uint32_t volume = 0;
  ASSERT_TRUE(RegReadString(RegistryRoot::CurrentUser, u"ControlPanel\\Sounds\\Clock", u"Sound", text));
  EXPECT_EQ(std::filesystem::path(ToUtf8(text)).filename(), "alarm-clock-elapsed.oga");
  ASSERT_TRUE(RegReadString(RegistryRoot::CurrentUser, u"ControlPanel\\SoundCategories\\Alarm", u"Script", text));
  EXPECT_EQ(text, u"apw3r");
  ASSERT_TRUE(RegReadDword(RegistryRoot::CurrentUser, u"ControlPanel\\SoundCategories\\Alarm", u"InitVol", volume));
  EXPECT_EQ(volume, 4u);

  ASSERT_EQ(PlayEventSound(u"Clock", nullptr), 0);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(CountPlayingEventSounds(), 1);
  StopEventSounds(u"Clock");
  EXPECT_EQ(CountPlayingEventSounds(), 0);

  // Values the user changed are kept.
  ASSERT_TRUE(RegWriteDword(RegistryRoot::CurrentUser, u"ControlPanel\\SoundCategories\\Alarm", u"InitVol", 2));
  ASSERT_TRUE(EnsureSystemSoundDefaults());
  ASSERT_TRUE(RegReadDword(RegistryRoot::CurrentUser, u"ControlPanel\\SoundCategories\\Alarm", u"InitVol", volume));
  EXPECT_EQ(volume, 2u);
}
