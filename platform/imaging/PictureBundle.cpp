#include "platform/imaging/PictureBundle.h"

#include <QFile>
#include <QImageReader>
#include <QResource>

#include <atomic>
#include <span>
#include <string>

#include "platform/file/FileIo.h"
#include "platform/imaging/ResourceBundleCheck.h"
#include "platform/pictures/IconTable.h"

namespace {

// Far more than the shipped bundle of entry pictures.
constexpr std::size_t kMaxBundleBytes = 256 << 20;

// Each open bundle gets its own resource root, so that two open at once (the
// list pictures and a single reminder picture) never shadow each other.
QString NextRoot() {
  static std::atomic<unsigned> counter{0};
  return QStringLiteral("/natalo-pictures-%1").arg(++counter);
}

void ClearTransparentColour(QImage& image) {
  const QRgb key = 0xFF000000u | kTransparentColourRgb;
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      // Only fully opaque pixels can carry the colour exactly once premultiplied.
      if (line[x] == key) line[x] = 0;
    }
  }
}

}  // namespace

QImage DecodePicture(const QString& resourcePath) {
  QFile file(resourcePath);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QImageReader reader(&file);
  // The format comes from the content, never from the name. A PNG (every
  // shipped picture) goes straight to Qt's own decoder: asking each format
  // plugin whether it knows the content, or the format, would load them
  // all, with their libraries, before the first picture is shown.
  static const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);
  if (file.peek(kPngSignature.size()) == kPngSignature) {
    reader.setFormat(QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
  } else {
    reader.setDecideFormatFromContent(true);
  }
  QImage image = reader.read();
  if (image.isNull()) return {};
  image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  ClearTransparentColour(image);
  return image;
}

PictureBundle::~PictureBundle() { Close(); }

bool PictureBundle::Open(const std::string& path) {
  Close();
  // Only a regular file: a FIFO in its place must not hang the start-up.
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes, kMaxBundleBytes)) return false;
  return OpenBytes(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool PictureBundle::OpenBytes(QByteArray bytes) {
  Close();
  m_bytes = std::move(bytes);
  const std::span<const uint8_t> view(reinterpret_cast<const uint8_t*>(m_bytes.constData()),
                                      static_cast<size_t>(m_bytes.size()));
  if (!IsWellFormedResourceBundle(view)) {
    m_bytes.clear();
    return false;
  }
  const QString root = NextRoot();
  if (!QResource::registerResource(reinterpret_cast<const uchar*>(m_bytes.constData()), root)) {
    m_bytes.clear();
    return false;
  }
  m_root = root;
  return true;
}

QImage PictureBundle::Decode(const char* name) const {
  if (!IsOpen()) return {};
  return DecodePicture(QLatin1Char(':') + m_root + QLatin1Char('/') + QLatin1String(name));
}

void PictureBundle::Close() {
  if (IsOpen()) {
    QResource::unregisterResource(reinterpret_cast<const uchar*>(m_bytes.constData()), m_root);
  }
  m_root.clear();
  m_bytes.clear();
}
