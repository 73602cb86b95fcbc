#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "platform/imaging/AppPictures.h"
#include "platform/imaging/IconLibrary.h"
#include "platform/imaging/PictureBundle.h"
#include "platform/pictures/IconTable.h"
#include "tests/support/TempDir.h"

namespace {

std::string BuiltProgramFolder() { return NATALO_TEST_PROGRAM_DIR; }

std::string BuiltBundleBytes() { return testsupport::ReadFileBytes(BuiltProgramFolder() + kIconLibraryFileName); }

// Transparent corners and a good share of solid pixels: a picture on a clear
// background that fills its square.
void ExpectPicture(const QImage* image, int size, const std::string& what) {
  ASSERT_NE(image, nullptr) << what;
  EXPECT_EQ(image->width(), size) << what;
  EXPECT_EQ(image->height(), size) << what;
  EXPECT_TRUE(image->hasAlphaChannel()) << what;
  EXPECT_EQ(qAlpha(image->pixel(0, 0)), 0) << what;
  EXPECT_EQ(qAlpha(image->pixel(size - 1, size - 1)), 0) << what;
  int solid = 0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) solid += qAlpha(image->pixel(x, y)) > 128 ? 1 : 0;
  }
  EXPECT_GT(solid, size * size / 5) << what;
}

}  // namespace

TEST(IconTable, HoldsEightySevenDistinctNumbersWithTheKindDefaults) {
  std::set<uint32_t> numbers;
  std::set<std::string> names;
  for (const IconTableRow& row : IconTable) {
    EXPECT_LE(row.dwNumber, kHighestIconNumber);
    numbers.insert(row.dwNumber);
    names.insert(row.szListPicture);
    names.insert(row.szRowPictureLarge);
    names.insert(row.szRowPictureSmall);
  }
  EXPECT_EQ(numbers.size(), kIconCount);
  EXPECT_EQ(names.size(), 3 * kIconCount);
  for (const uint32_t special : {kIconBirthday, kIconAnniversary, kIconOtherDate, kIconStar}) {
    EXPECT_TRUE(IsIconNumber(special)) << special;
  }
  EXPECT_FALSE(IsIconNumber(13));
  EXPECT_FALSE(IsIconNumber(77));
  EXPECT_EQ(FindIconRow(13), 0u);
  EXPECT_EQ(FindIconRow(89), 0u);
  EXPECT_EQ(IconTable[FindIconRow(kIconStar)].dwNumber, kIconStar);
}

TEST(IconLibrary, LoadsEveryPictureAtItsSizeForBothScreens) {
  for (const bool highRes : {true, false}) {
    IconLibrary library;
    ASSERT_TRUE(library.Load(BuiltProgramFolder(), highRes));
    const int rowSize = highRes ? kRowPictureSizeLarge : kRowPictureSizeSmall;
    for (const IconTableRow& row : IconTable) {
      const std::string what = std::to_string(row.dwNumber) + (highRes ? " large" : " small");
      ExpectPicture(library.ListPicture(row.dwNumber), kListPictureSize, what);
      ExpectPicture(library.RowPicture(row.dwNumber), rowSize, what);
    }
    // Unknown numbers show the first row's picture.
    EXPECT_EQ(library.RowPicture(77), library.RowPicture(IconTable[0].dwNumber));
    EXPECT_EQ(library.ListPicture(1000), library.ListPicture(IconTable[0].dwNumber));
    EXPECT_NE(library.RowPicture(kIconBirthday), library.RowPicture(kIconStar));
    library.Free();
    EXPECT_EQ(library.RowPicture(kIconBirthday), nullptr);
  }
}

TEST(IconLibrary, ApplicationLibraryAndSingleIcon) {
  ASSERT_TRUE(LoadIconLibrary(BuiltProgramFolder(), true));
  const QImage* cake = GetIconBitmapSmall(kIconBirthday);
  ASSERT_NE(cake, nullptr);
  EXPECT_EQ(LoadSingleIcon(BuiltProgramFolder(), kIconBirthday), *cake);
  EXPECT_EQ(LoadSingleIcon(BuiltProgramFolder(), 13), *GetIconBitmapSmall(IconTable[0].dwNumber));
  ExpectPicture(GetIconBitmap(kIconAnniversary), kRowPictureSizeLarge, "anniversary");
  FreeIconLibrary();
  EXPECT_EQ(GetIconBitmap(kIconAnniversary), nullptr);
  EXPECT_EQ(GetIconBitmapSmall(kIconAnniversary), nullptr);
}

TEST(IconLibrary, MissingOrDamagedBundleFailsCleanly) {
  testsupport::TempDir dir;
  const std::string folder = dir.Path().string() + "/";
  IconLibrary library;
  EXPECT_FALSE(library.Load(folder, true));
  EXPECT_EQ(library.RowPicture(kIconBirthday), nullptr);
  EXPECT_TRUE(LoadSingleIcon(folder, kIconBirthday).isNull());

  const std::string good = BuiltBundleBytes();
  ASSERT_GT(good.size(), 1000u);
  for (const std::string& bad : {std::string(), std::string("qres"), std::string(4096, 'x'),
                                 good.substr(0, good.size() / 2), good.substr(0, good.size() - 1)}) {
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.Path() / kIconLibraryFileName, bad));
    EXPECT_FALSE(library.Load(folder, false)) << bad.size();
    EXPECT_TRUE(LoadSingleIcon(folder, kIconBirthday).isNull()) << bad.size();
  }
  // A FIFO in its place is refused at once rather than waited on.
  std::filesystem::remove(dir.Path() / kIconLibraryFileName);
  ASSERT_EQ(mkfifo((dir.Path() / kIconLibraryFileName).c_str(), 0600), 0);
  EXPECT_FALSE(library.Load(folder, false));
}

TEST(IconLibrary, UndecodablePictureStopsLoadingThere) {
  // Spoil the PNG signature of every picture: the bundle itself stays well
  // formed, so the first picture fails to decode.
  std::string bytes = BuiltBundleBytes();
  const std::string signature = "\x89PNG";
  size_t spoiled = 0;
  for (size_t at = bytes.find(signature); at != std::string::npos; at = bytes.find(signature, at + 1)) {
    bytes[at + 1] = 'X';
    ++spoiled;
  }
  ASSERT_EQ(spoiled, 3 * kIconCount);
  testsupport::TempDir dir;
  ASSERT_TRUE(testsupport::WriteFileBytes(dir.Path() / kIconLibraryFileName, bytes));
  IconLibrary library;
  EXPECT_FALSE(library.Load(dir.Path().string() + "/", true));
  EXPECT_EQ(library.ListPicture(IconTable[0].dwNumber), nullptr);
}

TEST(PictureDecoding, TransparentColourBecomesTransparent) {
  testsupport::TempDir dir;
  QImage image(4, 1, QImage::Format_RGB32);
  image.setPixel(0, 0, 0xFF000000u | kTransparentColourRgb);
  image.setPixel(1, 0, qRgb(0x6F, 0xFE, 0x0D));  // one step off: stays
  image.setPixel(2, 0, qRgb(0, 0, 0));
  image.setPixel(3, 0, 0xFF000000u | kTransparentColourRgb);
  const QString path = QString::fromStdString((dir.Path() / "key.png").string());
  ASSERT_TRUE(image.save(path, "PNG"));
  const QImage decoded = DecodePicture(path);
  ASSERT_FALSE(decoded.isNull());
  EXPECT_EQ(qAlpha(decoded.pixel(0, 0)), 0);
  EXPECT_EQ(decoded.pixel(1, 0), qRgb(0x6F, 0xFE, 0x0D));
  EXPECT_EQ(decoded.pixel(2, 0), qRgb(0, 0, 0));
  EXPECT_EQ(qAlpha(decoded.pixel(3, 0)), 0);
}

// A picture reaches the window without Qt loading its image format plugins
// (each with its own libraries) to ask whether they know the content.
TEST(PictureDecoding, PngNeedsNoFormatPlugin) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const QImage picture = LoadSingleIcon(BuiltProgramFolder(), IconTable[0].dwNumber);
        const bool pluginLoaded = testsupport::ReadFileBytes("/proc/self/maps").find("/imageformats/") != std::string::npos;
        std::exit(!picture.isNull() && !pluginLoaded ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(AppPictures, ZodiacAndStatusPicturesOfBothScreenSizes) {
  for (const bool highRes : {true, false}) {
    AppPictures pictures;
    ASSERT_TRUE(pictures.Load(highRes));
    const int zodiacSize = highRes ? kZodiacSizeLarge : kZodiacSizeSmall;
    for (int sign = 0; sign < kZodiacSignCount; ++sign) {
      ExpectPicture(pictures.Zodiac(sign, false), zodiacSize, "zodiac " + std::to_string(sign));
      ExpectPicture(pictures.Zodiac(sign, true), zodiacSize, "selected zodiac " + std::to_string(sign));
      EXPECT_NE(*pictures.Zodiac(sign, false), *pictures.Zodiac(sign, true));
      if (sign > 0) {
        EXPECT_NE(*pictures.Zodiac(sign, false), *pictures.Zodiac(sign - 1, false));
      }
    }
    EXPECT_EQ(pictures.Zodiac(12, false), nullptr);
    EXPECT_EQ(pictures.Zodiac(-1, true), nullptr);
    const int statusSize = highRes ? kStatusSizeLarge : kStatusSizeSmall;
    for (const StatusPicture p : {StatusPicture::Note, StatusPicture::ReminderOn, StatusPicture::ReminderSkipped,
                                  StatusPicture::Snoozed}) {
      const QImage* picture = pictures.Status(p);
      ASSERT_NE(picture, nullptr);
      EXPECT_EQ(picture->size(), QSize(statusSize, statusSize));
      EXPECT_TRUE(picture->hasAlphaChannel());
    }
    EXPECT_NE(*pictures.Status(StatusPicture::ReminderOn), *pictures.Status(StatusPicture::ReminderSkipped));
    EXPECT_NE(*pictures.Status(StatusPicture::Snoozed), *pictures.Status(StatusPicture::ReminderSkipped));
  }
  for (const int size : kAppIconSizes) EXPECT_EQ(LoadAppIcon(size).size(), QSize(size, size));
  EXPECT_TRUE(LoadAppIcon(100).isNull());
  for (int kind = 1; kind <= kKindPictureCount; ++kind) {
    for (const int size : kKindPictureSizes) EXPECT_EQ(LoadKindPicture(kind, size).size(), QSize(size, size)) << kind;
  }
  EXPECT_NE(LoadKindPicture(1, 24), LoadKindPicture(2, 24));
  EXPECT_TRUE(LoadKindPicture(0, 24).isNull());
  EXPECT_TRUE(LoadKindPicture(5, 24).isNull());
  EXPECT_TRUE(LoadKindPicture(1, 20).isNull());
}
