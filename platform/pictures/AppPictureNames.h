#pragma once
// Names and sizes of the application's own pictures (zodiac signs, status
// pictures, the program icon), which are compiled into the programs. Plain C++,
// shared by the loader and the picture generator.
#include <string>

enum class StatusPicture { Note = 0, ReminderOn = 1, ReminderSkipped = 2, Snoozed = 3 };
inline constexpr int kStatusPictureCount = 4;

inline constexpr int kZodiacSignCount = 12;
// The large sizes serve screens wider than 176 pixels.
inline constexpr int kZodiacSizeLarge = 24;
inline constexpr int kZodiacSizeSmall = 16;
inline constexpr int kStatusSizeLarge = 16;
inline constexpr int kStatusSizeSmall = 12;
inline constexpr int kAppIconSizes[] = {32, 48, 256};
// Pictures of the plain schedule kinds, numbered as StorageIcon (1 Weekly,
// 2 Once, 3 Next24Hours, 4 Monthly): the picker size of the entry pictures for
// the editor's title, and their two row sizes.
inline constexpr int kKindPictureCount = 4;
inline constexpr int kKindPictureSizes[] = {48, 32, 24};

// Resource path prefix under which the programs find these pictures.
inline constexpr const char* kAppPictureRoot = ":/natalo-app/";

// Names relative to kAppPictureRoot, e.g. "zodiac/large/selected-3.png".
std::string ZodiacPictureName(int sign, bool bSelected, bool bHighRes);
std::string StatusPictureName(StatusPicture picture, bool bHighRes);
std::string AppIconPictureName(int size);
std::string KindPictureName(int storageIcon, int size);
