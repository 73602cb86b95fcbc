#pragma once
// Draws the application's own pictures: zodiac signs, status pictures and the
// program icon.
#include <QImage>
#include <QString>

#include "common/icons/AppPictureNames.h"

struct PictureFonts {
  QString emojiFamily;   // colour emoji
  QString symbolFamily;  // a font with the zodiac symbols U+2648..U+2653
};

// A sign on a disc of its element's colour; the selected variant is inverted
// (white disc, coloured sign) so that it stands out on the highlight colour.
QImage DrawZodiacPicture(const PictureFonts& fonts, int sign, bool bSelected, int size);
QImage DrawStatusPicture(const PictureFonts& fonts, StatusPicture picture, int size);
QImage DrawAppIcon(const PictureFonts& fonts, int size);
