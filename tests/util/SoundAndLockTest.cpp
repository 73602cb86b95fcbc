#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>
#include <utility>

#include "NataloUtil/DeviceLock.h"
#include "NataloUtil/ReminderSound.h"
#include "common/settings/RegistryAccess.h"
#include "platform/registry/Registry.h"
#include "platform/text/Utf.h"
#include "tests/support/TempDir.h"
#include "tests/util/UtilTestSupport.h"

using namespace utiltest;

TEST(ReminderSound, AlarmScriptNormalisation) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"apw5r", u"apw2r"}, {u"pw3", u"apw3w2r"}, {u"p", u"apw2r"}, {u"apr", u"apr"}, {u"", u"aw2r"},
      {u"apwr", u"apwr"},   {u"apw", u"apww2r"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(NormaliseAlarmScript(in), out) << platform::ToUtf8(in);
  EXPECT_EQ(ScriptOfSoundType(2), u"at80v3w3r");
  EXPECT_EQ(ScriptOfSoundType(9), ScriptOfSoundType(7));
}

TEST(ReminderSound, ChoiceOfFileScriptAndVolume) {
  testsupport::TestEnvironment env;
  const std::string own = (env.Root() / "own.oga").string();
  const std::string kindFile = (env.Root() / "kind.oga").string();
  std::ofstream(own) << "x";
  std::ofstream(kindFile) << "x";
  const std::u16string clock = u"/sounds/alarm.oga";
  ASSERT_TRUE(WriteRegistryStringRetry(u"HKEY_CURRENT_USER\\ControlPanel\\Sounds\\Clock\\Sound", clock));
  ASSERT_TRUE(WriteRegistryStringRetry(u"HKEY_CURRENT_USER\\ControlPanel\\SoundCategories\\Alarm\\Script", u"apw5r"));

  AppSettings settings;
  settings.g_dwSoundType = 0;
  settings.g_dwSoundVolume = 1;  // plus one is 2, not the alarm's default of 3
  settings.g_szBSoundFile = platform::FromUtf8(kindFile);
  struct Case {
    const char* what;
    std::uint32_t ownSound, type, source, volume, kindFlag;
    std::string file;
    std::u16string expectFile, expectScript;
    std::uint32_t expectVolume;
  };
  const std::u16string ownW = platform::FromUtf8(own), kindW = platform::FromUtf8(kindFile);
  const Case cases[] = {
      {"own settings, own file", 1, 2, 2, 4, 0, own, ownW, u"at80v3w3r", 5},
      {"own settings, missing file", 1, 2, 2, 4, 0, "/nowhere.oga", clock, u"at80v3w3r", 5},
      {"own settings, type 0 keeps the alarm", 1, 0, 1, 4, 0, "", clock, u"apw2r", 3},
      {"defaults, kind flag off", 0, 0, 0, 0, 0, "", clock, u"apw2r", 3},
      {"defaults, kind flag on", 0, 0, 0, 0, 1, "", kindW, u"apw2r", 3},
      {"defaults, entry file", 0, 0, 2, 0, 0, own, ownW, u"apw2r", 3},
  };
  for (const Case& c : cases) {
    auto entry = Entry(Birthday, "Anna Berg", {1985, 3, 14});
    entry->m_bOwnSound = c.ownSound;
    entry->m_dwSoundType = c.type;
    entry->m_dwSoundSource = c.source;
    entry->m_dwVolume = c.volume;
    entry->SetSoundFile(platform::FromUtf8(c.file));
    settings.g_dwBSoundType = c.kindFlag;
    const ReminderSoundChoice choice = ChooseReminderSound(*entry, settings);
    EXPECT_EQ(choice.file, c.expectFile) << c.what;
    EXPECT_EQ(choice.script, c.expectScript) << c.what;
    EXPECT_EQ(choice.volume, c.expectVolume) << c.what;
  }
  // Program defaults with a sound type use the program's volume + 1.
  settings.g_dwSoundType = 3;
  const auto entry = Entry(Anniversary, "Wedding", {2010, 6, 19});
  const ReminderSoundChoice typed = ChooseReminderSound(*entry, settings);
  EXPECT_EQ(typed.volume, 2u);
  EXPECT_EQ(typed.script, u"at80v0.2w0.5v0.2w0.5v0.2w3r");
  ASSERT_TRUE(WriteReminderSoundCategory(typed));
  std::u16string category;
  EXPECT_TRUE(ReadRegistryString(u"HKEY_CURRENT_USER\\ControlPanel\\Sounds\\QV_FESK_Reminder\\Category", category));
  EXPECT_EQ(category, u"QV_FESK_Reminder");
  std::uint32_t attenuation = 0;
  EXPECT_TRUE(ReadRegistryDword(u"HKEY_CURRENT_USER\\ControlPanel\\SoundCategories\\QV_FESK_Reminder\\AttenuationCategory",
                                attenuation));
  EXPECT_EQ(attenuation, 2u);
}

namespace {

std::vector<std::u16string> g_played;
int g_failures = 0;
int FakePlay(const std::u16string& event, const void*) {
  g_played.push_back(event);
  return g_failures-- > 0 ? 1 : 0;
}
int FakeStop(const std::u16string& name) {
  g_played.push_back(u"stop " + name);
  return 0;
}

}  // namespace

TEST(ReminderSound, FallsBackToTheAlarmClockOnce) {
  for (const bool inBackground : {false, true}) {
    g_played.clear();
    g_failures = 5;
    ReminderSoundPlayer player(&FakePlay, &FakeStop, inBackground);
    player.StartSound(nullptr);
    player.StopSound();
    EXPECT_EQ(g_played, (std::vector<std::u16string>{u"stop QV_FESK_Reminder", u"QV_FESK_Reminder", u"Clock", u"stop Clock"}))
        << inBackground;
  }
}

namespace {

std::atomic<bool> g_playMayEnd{false};
std::atomic<bool> g_playEnded{false};
std::atomic<int> g_slowPlays{0};
// A sound that takes until the test lets it start (at most five seconds).
int SlowPlay(const std::u16string&, const void*) {
  ++g_slowPlays;
  for (int i = 0; i < 500 && !g_playMayEnd; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  g_playEnded = true;
  return 0;
}
int SilentStop(const std::u16string&) { return 0; }

}  // namespace

// The window paints while the sound's values are written and the sound starts;
// the window's own start finds the sound started ahead of it; a stop waits for
// that start, and a start after the stop plays again.
TEST(ReminderSound, StartsInTheBackgroundAndStopWaitsForIt) {
  ReminderSoundPlayer player(&SlowPlay, &SilentStop, true);
  bool preparedFirst = false;
  player.StartSoundAhead(nullptr, [&preparedFirst] { preparedFirst = g_slowPlays == 0; });
  player.StartSound(nullptr);
  EXPECT_FALSE(g_playEnded);
  g_playMayEnd = true;
  player.StopSound();
  EXPECT_TRUE(g_playEnded);
  EXPECT_EQ(g_slowPlays, 1);
  EXPECT_TRUE(preparedFirst);
  player.StartSound(nullptr);
  player.StopSound();
  EXPECT_EQ(g_slowPlays, 2);
}

namespace {

// Records what the unlock rules send; the foreground window changes after
// `promptAfter` pauses.
class RecordingKeySender : public KeySender {
 public:
  void SendKey(std::uint8_t key, std::uint8_t scan, bool down) override {
    m_log += (down ? "+" : "-") + std::to_string(key) + (scan ? "/" + std::to_string(scan) : "") + " ";
  }
  void Sleep(int ms) override {
    m_log += "w" + std::to_string(ms) + " ";
    ++m_sleeps;
  }
  std::uintptr_t ForegroundWindow() override { return m_sleeps >= 3 ? 2 : 1; }
  std::string m_log;
  int m_sleeps = 0;
};

}  // namespace

TEST(DeviceLock, UnlockKeySequences) {
  struct Case {
    std::uint32_t lock, need;
    const char16_t* password;
    const char* keys;
  };
  const Case cases[] = {
      {2, 0, u"", ""},
      {0, 1, u"", ""},
      {2, 1, u"", "+115 -115 w20 +112 -112 w100 w100 +119 w20 -119 w20 "},
      {1, 1, u"", "+112 -112 w100 w100 w100 +112 w20 -112 w20 "},
      {3, 1, u"7A", "+112 -112 w100 w100 w100 +55/55 w20 -55/55 w20 +65/65 w20 -65/65 w20 +112 w20 -112 w20 "},
  };
  for (const Case& c : cases) {
    RecordingKeySender sender;
    CheckLockUnlock(c.lock, c.need, c.password, sender);
    EXPECT_EQ(sender.m_log, c.keys) << c.lock << " " << c.need;
  }
}

TEST(DeviceLock, StateValues) {
  testsupport::TestEnvironment env;
  using platform::RegistryRoot;
  EXPECT_EQ(ReadLockState(), 0u);
  EXPECT_FALSE(IsPhoneCallActive());
  // A value of the wrong type counts as unlocked and no call.
  ASSERT_TRUE(platform::RegWriteString(RegistryRoot::LocalMachine, u"System\\State", u"Lock", u"3"));
  EXPECT_EQ(ReadLockState(), 0u);
  for (const std::uint32_t bits : {0x10000u, 0x20000u, 0x20000000u}) {
    ASSERT_TRUE(platform::RegWriteDword(RegistryRoot::LocalMachine, u"System\\State\\Phone", u"Status", bits | 1u));
    EXPECT_TRUE(IsPhoneCallActive()) << bits;
  }
  ASSERT_TRUE(platform::RegWriteDword(RegistryRoot::LocalMachine, u"System\\State\\Phone", u"Status", 0x40000u));
  EXPECT_FALSE(IsPhoneCallActive());
}
