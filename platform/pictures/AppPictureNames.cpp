#include "platform/pictures/AppPictureNames.h"

namespace {

const char* SizeFolder(bool bHighRes) { return bHighRes ? "large" : "small"; }

}  // namespace

std::string ZodiacPictureName(int sign, bool bSelected, bool bHighRes) {
  return std::string("zodiac/") + SizeFolder(bHighRes) + (bSelected ? "/selected-" : "/normal-") +
         std::to_string(sign) + ".png";
}

std::string StatusPictureName(StatusPicture picture, bool bHighRes) {
  static const char* const kNames[] = {"note", "reminder-on", "reminder-skipped", "snoozed"};
  return std::string("status/") + SizeFolder(bHighRes) + "/" + kNames[static_cast<int>(picture)] + ".png";
}

std::string KindPictureName(int storageIcon, int size) {
  return "kind/" + std::to_string(size) + "/" + std::to_string(storageIcon) + ".png";
}

std::string AppIconPictureName(int size) { return "icon/natalo-" + std::to_string(size) + ".png"; }
