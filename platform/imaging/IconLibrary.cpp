#include "platform/imaging/IconLibrary.h"

#include "platform/imaging/PictureBundle.h"
#include "platform/pictures/IconTable.h"

namespace {

const QImage* Picture(const std::vector<QImage>& pictures, uint32_t number) {
  const size_t row = FindIconRow(number);
  if (row >= pictures.size() || pictures[row].isNull()) return nullptr;
  return &pictures[row];
}

IconLibrary& TheLibrary() {
  static IconLibrary library;
  return library;
}

}  // namespace

bool IconLibrary::Load(const std::string& programFolder, bool bHighRes) {
  Free();
  PictureBundle bundle;
  if (!bundle.Open(programFolder + kIconLibraryFileName)) return false;
  m_listPictures.resize(IconTable.size());
  m_rowPictures.resize(IconTable.size());
  for (size_t i = 0; i < IconTable.size(); ++i) {
    m_listPictures[i] = bundle.Decode(IconTable[i].szListPicture);
    if (m_listPictures[i].isNull()) return false;
  }
  for (size_t i = 0; i < IconTable.size(); ++i) {
    const IconTableRow& row = IconTable[i];
    m_rowPictures[i] = bundle.Decode(bHighRes ? row.szRowPictureLarge : row.szRowPictureSmall);
    if (m_rowPictures[i].isNull()) return false;
  }
  return true;
}

void IconLibrary::Free() {
  m_listPictures.clear();
  m_rowPictures.clear();
}

const QImage* IconLibrary::RowPicture(uint32_t number) const { return Picture(m_rowPictures, number); }

const QImage* IconLibrary::ListPicture(uint32_t number) const { return Picture(m_listPictures, number); }

bool LoadIconLibrary(const std::string& programFolder, bool bHighRes) {
  return TheLibrary().Load(programFolder, bHighRes);
}

void FreeIconLibrary() { TheLibrary().Free(); }

const QImage* GetIconBitmap(uint32_t number) { return TheLibrary().RowPicture(number); }

const QImage* GetIconBitmapSmall(uint32_t number) { return TheLibrary().ListPicture(number); }

QImage LoadSingleIcon(const std::string& programFolder, uint32_t number) {
  PictureBundle bundle;
  if (!bundle.Open(programFolder + kIconLibraryFileName)) return {};
  return bundle.Decode(IconTable[FindIconRow(number)].szListPicture);
}
