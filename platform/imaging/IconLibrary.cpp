#include "platform/imaging/IconLibrary.h"

#include "platform/imaging/PictureBundle.h"
#include "platform/pictures/IconTable.h"

namespace {

IconLibrary& TheLibrary() {
  static IconLibrary library;
  return library;
}

}  // namespace

IconLibrary::IconLibrary() = default;
IconLibrary::~IconLibrary() = default;

bool IconLibrary::Load(const std::string& programFolder, bool bHighRes) {
  Free();
  auto bundle = std::make_unique<PictureBundle>();
  if (!bundle->Open(programFolder + kIconLibraryFileName)) return false;
  m_bundle = std::move(bundle);
  m_bHighRes = bHighRes;
  m_listPictures.resize(IconTable.size());
  m_rowPictures.resize(IconTable.size());
  m_tried.assign(2 * IconTable.size(), false);
  // One picture decoded now tells a bundle whose pictures cannot be read.
  if (ListPicture(IconTable[0].dwNumber) == nullptr) {
    Free();
    return false;
  }
  return true;
}

void IconLibrary::Free() {
  m_listPictures.clear();
  m_rowPictures.clear();
  m_tried.clear();
  m_bundle.reset();
}

const QImage* IconLibrary::Picture(std::vector<QImage>& pictures, uint32_t number, bool bRow) const {
  const size_t row = FindIconRow(number);
  if (m_bundle == nullptr || row >= pictures.size()) return nullptr;
  const size_t tried = bRow ? IconTable.size() + row : row;
  if (!m_tried[tried]) {
    m_tried[tried] = true;
    const IconTableRow& names = IconTable[row];
    pictures[row] = m_bundle->Decode(!bRow         ? names.szListPicture
                                     : m_bHighRes ? names.szRowPictureLarge
                                                  : names.szRowPictureSmall);
  }
  return pictures[row].isNull() ? nullptr : &pictures[row];
}

const QImage* IconLibrary::RowPicture(uint32_t number) const { return Picture(m_rowPictures, number, true); }

const QImage* IconLibrary::ListPicture(uint32_t number) const { return Picture(m_listPictures, number, false); }

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
