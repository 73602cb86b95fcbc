#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/sound/SoundFileList.h"
#include "platform/text/Utf.h"
#include "tests/support/TempDir.h"

using namespace platform;

namespace {

void Touch(const std::filesystem::path& file) {
  std::filesystem::create_directories(file.parent_path());
  ASSERT_TRUE(testsupport::WriteFileBytes(file, "x"));
}

std::vector<std::string> Names(const std::vector<SoundFileInfo>& list) {
  std::vector<std::string> out;
  for (const auto& f : list) out.push_back(ToUtf8(f.displayName) + "|" + std::to_string(f.type));
  return out;
}

}  // namespace

TEST(SoundFileList, ThemesAndTheUsersFolder) {
  testsupport::TestEnvironment env;
  const auto system = env.Root() / "share";
  const char* oldDirs = std::getenv("XDG_DATA_DIRS");
  const std::string savedDirs = oldDirs ? oldDirs : "";
  setenv("XDG_DATA_DIRS", system.string().c_str(), 1);
  Touch(system / "sounds/freedesktop/stereo/alarm-clock-elapsed.oga");
  Touch(system / "sounds/freedesktop/stereo/bell.oga");
  Touch(system / "sounds/freedesktop/stereo/audio-test-signal.oga");
  Touch(system / "sounds/aaa-theme/stereo/phone-incoming-call.ogg");
  Touch(system / "sounds/aaa-theme/stereo/phone-incoming-call.txt");
  Touch(system / "sounds/aaa-theme/.hidden/bell.oga");
  const auto user = std::filesystem::path(UserSoundFolder());
  Touch(user / "My Song.MP3");
  Touch(user / "tune.mid");
  Touch(user / "readme.txt");
  Touch(user / ".secret.wav");

  std::vector<SoundFileInfo> ring;
  ASSERT_TRUE(GetSoundFileList(SOUND_EVENT_RINGTONE, SoundLocation::All, ring));
  EXPECT_EQ(Names(ring), (std::vector<std::string>{"Bell|0", "Phone incoming call|0", "My Song|1", "tune|2"}));
  EXPECT_EQ(ring[0].path, FromUtf8((system / "sounds/freedesktop/stereo/bell.oga").string()));

  std::vector<SoundFileInfo> alarm;
  ASSERT_TRUE(GetSoundFileList(SOUND_EVENT_ALARM, SoundLocation::System, alarm));
  EXPECT_EQ(Names(alarm), (std::vector<std::string>{"Alarm clock elapsed|0", "Bell|0", "Phone incoming call|0"}));
  std::vector<SoundFileInfo> old;
  ASSERT_TRUE(GetSoundFileList(SOUND_EVENT_ALARM_OLD, SoundLocation::User, old));
  EXPECT_EQ(Names(old), (std::vector<std::string>{"My Song|1", "tune|2"}));

  std::vector<SoundFileInfo> none{SoundFileInfo{}};
  EXPECT_FALSE(GetSoundFileList(2, SoundLocation::All, none));
  EXPECT_TRUE(none.empty());
  if (oldDirs) {
    setenv("XDG_DATA_DIRS", savedDirs.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_DIRS");
  }
}
