#pragma once
// Draws the application's own pictures: zodiac signs, status pictures and the
// program icon.
#include <QImage>
#include <QString>

#include "platform/pictures/AppPictureNames.h"

struct PictureFonts {
  QString emojiFamily;   // colour emoji
  QString symbolFamily;  // a font with the zodiac symbols U+2648..U+2653
};

// The sign's glyph in a quiet slate blue; the selected variant is white, to
// stand on the highlight colour like the row's text.
QImage DrawZodiacPicture(const PictureFonts& fonts, int sign, bool bSelected, int size);
// Note, reminder on (a bell), the next reminder skipped (the bell with a
// skip-forward mark) and the reminder snoozed (the bell with a "z").
QImage DrawStatusPicture(const PictureFonts& fonts, StatusPicture picture, int size);
QImage DrawAppIcon(const PictureFonts& fonts, int size);
// The picture of a plain schedule kind (StorageIcon 1..4): repeat arrows for
// weekly, a pin for once, an alarm clock for the next 24 hours and a
// calendar for monthly. Null for other numbers.
QImage DrawKindPicture(const PictureFonts& fonts, int storageIcon, int size);
