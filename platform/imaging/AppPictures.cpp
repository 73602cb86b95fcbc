#include "platform/imaging/AppPictures.h"

#include <QString>

#include "platform/imaging/PictureBundle.h"

// The pictures sit in a static library; naming its resource initialiser keeps
// the linker from dropping it and registers the pictures before first use. Qt
// needs this outside any namespace.
static bool InitCompiledPictures() {
  Q_INIT_RESOURCE(natalo_app_pictures);
  return true;
}

static void RegisterCompiledPictures() {
  static const bool registered = InitCompiledPictures();
  (void)registered;
}

namespace {

const QImage* Loaded(const QImage& image) { return image.isNull() ? nullptr : &image; }

}  // namespace

QImage LoadAppPicture(const std::string& name) {
  RegisterCompiledPictures();
  return DecodePicture(QString::fromLatin1(kAppPictureRoot) + QString::fromStdString(name));
}

QImage LoadKindPicture(int storageIcon, int size) {
  if (storageIcon < 1 || storageIcon > kKindPictureCount) return {};
  for (const int known : kKindPictureSizes) {
    if (known == size) return LoadAppPicture(KindPictureName(storageIcon, size));
  }
  return {};
}

QImage LoadAppIcon(int size) {
  for (const int known : kAppIconSizes) {
    if (known == size) return LoadAppPicture(AppIconPictureName(size));
  }
  return {};
}

bool AppPictures::Load(bool bHighRes) {
  Free();
  bool all = true;
  for (int sign = 0; sign < kZodiacSignCount; ++sign) {
    m_zodiac[sign] = LoadAppPicture(ZodiacPictureName(sign, false, bHighRes));
    m_zodiacSelected[sign] = LoadAppPicture(ZodiacPictureName(sign, true, bHighRes));
    all = all && !m_zodiac[sign].isNull() && !m_zodiacSelected[sign].isNull();
  }
  for (size_t i = 0; i < m_status.size(); ++i) {
    m_status[i] = LoadAppPicture(StatusPictureName(static_cast<StatusPicture>(i), bHighRes));
    all = all && !m_status[i].isNull();
  }
  return all;
}

void AppPictures::Free() {
  m_zodiac.fill(QImage());
  m_zodiacSelected.fill(QImage());
  m_status.fill(QImage());
}

const QImage* AppPictures::Zodiac(int sign, bool bSelected) const {
  if (sign < 0 || sign >= kZodiacSignCount) return nullptr;
  return Loaded(bSelected ? m_zodiacSelected[sign] : m_zodiac[sign]);
}

const QImage* AppPictures::Status(StatusPicture picture) const {
  const auto index = static_cast<size_t>(picture);
  return index < m_status.size() ? Loaded(m_status[index]) : nullptr;
}
