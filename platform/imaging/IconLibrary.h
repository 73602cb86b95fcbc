#pragma once
// The entry pictures, loaded from the picture bundle NataloIcons.rcc in the
// program folder. Pictures are QImage (premultiplied ARGB with real
// transparency) rather than QPixmap, so that loading needs no running GUI
// application and works in tests and before the first window exists; the
// user interface turns them into pixmaps where it draws.
// Use from the user-interface thread only.
#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* kIconLibraryFileName = "NataloIcons.rcc";

class IconLibrary {
 public:
  // Decodes all list pictures, then all row pictures of the screen size
  // (bHighRes: wider than 176 pixels). False when the bundle is missing or
  // damaged or a picture cannot be found or decoded; loading stops at that
  // picture and the pictures decoded before it stay usable.
  bool Load(const std::string& programFolder, bool bHighRes);
  void Free();
  // The row picture / list picture of the row with that number, or of the
  // first row when no row has it; nullptr when that picture is not loaded.
  const QImage* RowPicture(uint32_t number) const;
  const QImage* ListPicture(uint32_t number) const;

 private:
  std::vector<QImage> m_listPictures;
  std::vector<QImage> m_rowPictures;
};

// The application's one library.
bool LoadIconLibrary(const std::string& programFolder, bool bHighRes);
void FreeIconLibrary();
const QImage* GetIconBitmap(uint32_t number);
const QImage* GetIconBitmapSmall(uint32_t number);

// The reminder utility's way: opens the bundle, decodes the one 48-pixel
// picture (of the first row when no row has the number) and closes the bundle
// again. A null image when the bundle cannot be used.
QImage LoadSingleIcon(const std::string& programFolder, uint32_t number);
