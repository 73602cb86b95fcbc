#include <gtest/gtest.h>

#include "platform/locale/PictureTranslation.h"

using platform::AddSecondsToTimePicture;
using platform::QtFormatToPicture;

TEST(PictureTranslation, MarkersZonesAndHours) {
  EXPECT_EQ(QtFormatToPicture(u"h:mm:ss AP t"), u"h:mm:ss tt");
  EXPECT_EQ(QtFormatToPicture(u"AP h:mm"), u"tt h:mm");
  EXPECT_EQ(QtFormatToPicture(u"h:mm ap"), u"h:mm tt");
  EXPECT_EQ(QtFormatToPicture(u"HH:mm:ss t"), u"HH:mm:ss");
  EXPECT_EQ(QtFormatToPicture(u"H:mm:ss (t)"), u"H:mm:ss");
  EXPECT_EQ(QtFormatToPicture(u"t HH:mm:ss"), u"HH:mm:ss");
  EXPECT_EQ(QtFormatToPicture(u"h:mm"), u"H:mm");  // Qt's h is the 24-hour clock without a marker
  EXPECT_EQ(QtFormatToPicture(u"hh:mm:ss.zzz"), u"HH:mm:ss");
}

TEST(PictureTranslation, LiteralsAreQuotedTheWayPicturesQuote) {
  EXPECT_EQ(QtFormatToPicture(u"dddd, d 'de' MMMM 'de' yyyy"), u"dddd, d 'de' MMMM 'de' yyyy");
  EXPECT_EQ(QtFormatToPicture(u"yyyy年M月d日dddd"), u"yyyy'年'M'月'd'日'dddd");
  EXPECT_EQ(QtFormatToPicture(u"dddd, d MMMM yyyy 'г'."), u"dddd, d MMMM yyyy 'г'.");
  EXPECT_EQ(QtFormatToPicture(u"d 'o''clock' ''"), u"d 'o''clock' ''''");
  EXPECT_EQ(QtFormatToPicture(u"d. MMMM yyyy"), u"d. MMMM yyyy");
  EXPECT_EQ(QtFormatToPicture(u"'unterminated"), u"'unterminated'");
}

TEST(PictureTranslation, SecondsAreAddedAfterTheMinutes) {
  EXPECT_EQ(AddSecondsToTimePicture(u"H:mm"), u"H:mm:ss");
  EXPECT_EQ(AddSecondsToTimePicture(u"tt h:mm"), u"tt h:mm:ss");
  EXPECT_EQ(AddSecondsToTimePicture(u"h.mm tt"), u"h.mm.ss tt");
  EXPECT_EQ(AddSecondsToTimePicture(u"HH:mm:ss"), u"HH:mm:ss");
  EXPECT_EQ(AddSecondsToTimePicture(u"H'時'mm'分'"), u"");
  EXPECT_EQ(AddSecondsToTimePicture(u"HH"), u"");
}
