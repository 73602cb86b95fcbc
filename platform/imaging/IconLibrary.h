#pragma once
// The entry pictures, loaded from the picture bundle NataloIcons.rcc in the
// program folder. Pictures are QImage (premultiplied ARGB with real
// transparency) rather than QPixmap, so that loading needs no running GUI
// application and works in tests and before the first window exists; the
// user interface turns them into pixmaps where it draws.
// Use from the user-interface thread only.
#include <QImage>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class PictureBundle;

inline constexpr const char* kIconLibraryFileName = "NataloIcons.rcc";

class IconLibrary {
 public:
  IconLibrary();
  ~IconLibrary();
  IconLibrary(const IconLibrary&) = delete;
  IconLibrary& operator=(const IconLibrary&) = delete;

  // Opens the bundle for the screen size (bHighRes: wider than 176 pixels)
  // and decodes the first list picture. False when the bundle is missing or
  // damaged or that picture cannot be decoded. The other pictures are decoded
  // when first asked for: the first screen shows only a few of them.
  bool Load(const std::string& programFolder, bool bHighRes);
  void Free();
  // The row picture / list picture of the row with that number, or of the
  // first row when no row has it; nullptr when nothing is loaded or that
  // picture cannot be decoded. A picture stays at its address until Free.
  const QImage* RowPicture(uint32_t number) const;
  const QImage* ListPicture(uint32_t number) const;

 private:
  const QImage* Picture(std::vector<QImage>& pictures, uint32_t number, bool bRow) const;

  std::unique_ptr<PictureBundle> m_bundle;
  bool m_bHighRes = false;
  // Decoded on first use; a row tried and failed stays null and is not tried again.
  mutable std::vector<QImage> m_listPictures;
  mutable std::vector<QImage> m_rowPictures;
  mutable std::vector<bool> m_tried;  // list pictures first, then row pictures
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
