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

// The sign's glyph in a quiet slate blue; the selected variant is white, to
// stand on the highlight colour like the row's text.
QImage DrawZodiacPicture(const PictureFonts& fonts, int sign, bool bSelected, int size);
// Note, reminder on (a bell), and the next reminder skipped (the bell with a
// skip-forward mark).
QImage DrawStatusPicture(const PictureFonts& fonts, StatusPicture picture, int size);
QImage DrawAppIcon(const PictureFonts& fonts, int size);
