#include <gtest/gtest.h>

#include "platform/sound/SoundCategory.h"
#include "platform/sound/SoundScript.h"

using namespace platform;

TEST(SoundScript, ReminderScriptsParse) {
  using S = std::vector<SoundStep>;
  EXPECT_EQ(ParseSoundScript("apw2r"), (S{{'p', 0}, {'w', 2}, {'r', 0}}));
  EXPECT_EQ(ParseSoundScript("at80v0.2w0.5r"), (S{{'t', 80}, {'w', 0.2}, {'w', 0.5}, {'r', 0}}));
  EXPECT_EQ(ParseSoundScript("apw1.5c120pw3r"), (S{{'p', 0}, {'w', 1.5}, {'c', 120}, {'p', 0}, {'w', 3}, {'r', 0}}));
  // Unknown letters are skipped with their numbers; case and blanks do not matter.
  EXPECT_EQ(ParseSoundScript("x12 P q3.5W1"), (S{{'p', 0}, {'w', 1}}));
  EXPECT_EQ(ParseSoundScript(""), (S{{'p', 0}}));
  EXPECT_EQ(ParseSoundScript("v"), (S{{'w', 0}}));
  EXPECT_EQ(ParseSoundScript("w1.2.3"), (S{{'w', 1.2}}));

  EXPECT_TRUE(ScriptPlaysSound(ParseSoundScript("at80v0pw2r")));
  EXPECT_FALSE(ScriptPlaysSound(ParseSoundScript("at80v3w3r")));
  EXPECT_FALSE(ScriptPlaysSound(ParseSoundScript("rp")));
}

TEST(SoundCategory, VolumeSteps) {
  EXPECT_EQ(VolumeStepToGain(0), 0.0);
  EXPECT_EQ(VolumeStepToGain(5), 1.0);
  EXPECT_EQ(VolumeStepToGain(99), 1.0);
  EXPECT_NEAR(VolumeStepToGain(4), 0.501, 0.001);
  EXPECT_NEAR(VolumeStepToGain(1), 0.063, 0.001);
  for (std::uint32_t s = 1; s <= 5; ++s) EXPECT_GT(VolumeStepToGain(s), VolumeStepToGain(s - 1));
}
