// Builds every picture of the suite from font glyphs and drawing code:
//   natalo_picturegen OUT_DIR EMOJI_FONT SYMBOL_FONT
// writes the entry pictures and entry_pictures.qrc (for the picture bundle),
// the application's own pictures and app_pictures.qrc (compiled into the
// programs), and the desktop icons natalo-48.png and natalo-256.png.
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <string>

#include "data/icons/AppPictureArt.h"
#include "data/icons/EntryPictureArt.h"
#include "data/icons/GlyphPainter.h"
#include "platform/pictures/AppPictureNames.h"
#include "platform/pictures/IconTable.h"

namespace {

class QrcWriter {
 public:
  QrcWriter(QString path, QString prefix) : m_path(std::move(path)), m_prefix(std::move(prefix)) {}
  void Add(const QString& alias, const QString& file) {
    m_entries += QStringLiteral("    <file alias=\"%1\">%2</file>\n").arg(alias, file);
  }
  bool Write() const {
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    QTextStream out(&file);
    out << "<!DOCTYPE RCC><RCC version=\"1.0\">\n  <qresource prefix=\"" << m_prefix << "\">\n"
        << m_entries << "  </qresource>\n</RCC>\n";
    return out.status() == QTextStream::Ok;
  }

 private:
  QString m_path;
  QString m_prefix;
  QString m_entries;
};

bool SavePicture(QImage image, const QString& root, const QString& relative) {
  KeepClearOfTransparentColour(image);
  const QString path = root + "/" + relative;
  QDir().mkpath(path.left(path.lastIndexOf('/')));
  if (!image.save(path, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

QString LoadFont(const char* path) {
  const int id = QFontDatabase::addApplicationFont(QString::fromLocal8Bit(path));
  const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
  if (families.isEmpty()) std::fprintf(stderr, "cannot load font %s\n", path);
  return families.value(0);
}

bool WriteEntryPictures(const PictureFonts& fonts, const QString& out) {
  QrcWriter qrc(out + "/entry_pictures.qrc", "/");
  for (const IconTableRow& row : IconTable) {
    const EntryPictureArt* art = FindEntryPictureArt(row.dwNumber);
    if (art == nullptr) {
      std::fprintf(stderr, "no art for picture %u\n", row.dwNumber);
      return false;
    }
    const QImage master = RenderEmojiMaster(fonts.emojiFamily, QString::fromUtf8(art->szGlyphs));
    if (master.isNull()) {
      std::fprintf(stderr, "picture %u (%s) renders empty\n", row.dwNumber, art->szName);
      return false;
    }
    const struct {
      const char* name;
      int size;
      int margin;
    } kinds[] = {{row.szListPicture, kListPictureSize, 2},
                 {row.szRowPictureLarge, kRowPictureSizeLarge, 1},
                 {row.szRowPictureSmall, kRowPictureSizeSmall, 1}};
    for (const auto& kind : kinds) {
      const QString name = QString::fromLatin1(kind.name);
      if (!SavePicture(ScaleSquare(master, kind.size, kind.margin), out, "entry/" + name)) return false;
      qrc.Add(name, "entry/" + name);
    }
  }
  return qrc.Write();
}

bool WriteAppPictures(const PictureFonts& fonts, const QString& out) {
  QrcWriter qrc(out + "/app_pictures.qrc", "/natalo-app");
  auto add = [&](const QImage& image, const std::string& name) {
    const QString n = QString::fromStdString(name);
    if (image.isNull() || !SavePicture(image, out, "app/" + n)) return false;
    qrc.Add(n, "app/" + n);
    return true;
  };
  for (const bool hi : {true, false}) {
    const int zodiacSize = hi ? kZodiacSizeLarge : kZodiacSizeSmall;
    for (int sign = 0; sign < kZodiacSignCount; ++sign) {
      for (const bool selected : {false, true}) {
        if (!add(DrawZodiacPicture(fonts, sign, selected, zodiacSize), ZodiacPictureName(sign, selected, hi))) {
          return false;
        }
      }
    }
    for (const StatusPicture p : {StatusPicture::Note, StatusPicture::ReminderOn, StatusPicture::ReminderSkipped,
                                  StatusPicture::Snoozed}) {
      if (!add(DrawStatusPicture(fonts, p, hi ? kStatusSizeLarge : kStatusSizeSmall), StatusPictureName(p, hi))) {
        return false;
      }
    }
  }
  for (int kind = 1; kind <= kKindPictureCount; ++kind) {
    for (const int size : kKindPictureSizes) {
      if (!add(DrawKindPicture(fonts, kind, size), KindPictureName(kind, size))) return false;
    }
  }
  for (const int size : kAppIconSizes) {
    const QImage icon = DrawAppIcon(fonts, size);
    if (!add(icon, AppIconPictureName(size))) return false;
    if (!SavePicture(icon, out, QStringLiteral("natalo-%1.png").arg(size))) return false;
  }
  return qrc.Write();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s OUT_DIR EMOJI_FONT SYMBOL_FONT\n", argv[0]);
    return 2;
  }
  QGuiApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[1]);
  const PictureFonts fonts{LoadFont(argv[2]), LoadFont(argv[3])};
  if (fonts.emojiFamily.isEmpty() || fonts.symbolFamily.isEmpty() || !QDir().mkpath(out)) return 1;
  if (!WriteEntryPictures(fonts, out) || !WriteAppPictures(fonts, out)) return 1;
  return 0;
}
