#include "common/entries/EntryPictures.h"

#include <atomic>

namespace {

std::atomic<bool> g_bHighResolution{false};

constexpr int kStatusLarge[] = {141, 143, 142, 145};  // Note, ReminderOn, ReminderSkipped, Snoozed
constexpr int kStatusSmall[] = {138, 140, 139, 144};

}  // namespace

void SetHighResolutionScreen(bool bHighRes) { g_bHighResolution = bHighRes; }

bool IsHighResolutionScreen() { return g_bHighResolution; }

int StatusPictureNumber(StatusPicture picture, bool bHighRes) {
  const int index = static_cast<int>(picture);
  if (index < 0 || index >= kStatusPictureCount) return 0;
  return bHighRes ? kStatusLarge[index] : kStatusSmall[index];
}

bool StatusPictureOfNumber(int number, StatusPicture& picture, bool& bHighRes) {
  for (int i = 0; i < kStatusPictureCount; ++i) {
    if (number == kStatusLarge[i] || number == kStatusSmall[i]) {
      picture = static_cast<StatusPicture>(i);
      bHighRes = number == kStatusLarge[i];
      return true;
    }
  }
  return false;
}

int ZodiacPictureNumber(int sign, bool bSelected, bool bHighRes) {
  if (sign < 0 || sign >= kZodiacSignCount) return 0;
  return (bSelected ? 224 : 200) + (bHighRes ? 1 : 0) + 2 * sign;
}
