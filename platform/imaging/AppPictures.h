#pragma once
// The application's own pictures, compiled into the programs: the 24 zodiac
// pictures and the status pictures of one screen size, and the program
// icon. Like the entry pictures they are QImage (see IconLibrary.h).
#include <QImage>

#include <array>

#include "platform/pictures/AppPictureNames.h"

class AppPictures {
 public:
  // Decodes the pictures of the screen size (bHighRes: wider than 176 pixels).
  // False when one is missing; the ones decoded stay usable.
  bool Load(bool bHighRes);
  void Free();
  // nullptr for a sign outside 0..11 or a picture that is not loaded.
  const QImage* Zodiac(int sign, bool bSelected) const;
  const QImage* Status(StatusPicture picture) const;

 private:
  std::array<QImage, kZodiacSignCount> m_zodiac;
  std::array<QImage, kZodiacSignCount> m_zodiacSelected;
  std::array<QImage, kStatusPictureCount> m_status;
};

// One of the app pictures by its name (AppPictureNames.h); null when missing.
QImage LoadAppPicture(const std::string& name);
// The picture of a plain schedule kind (StorageIcon) at one of
// kKindPictureSizes; null for other kinds and sizes.
QImage LoadKindPicture(int storageIcon, int size);
// The program icon at one of kAppIconSizes; null for other sizes.
QImage LoadAppIcon(int size);
