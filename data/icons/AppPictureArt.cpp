#include "data/icons/AppPictureArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "data/icons/GlyphPainter.h"

namespace {

// Fire, earth, air, water: the signs cycle through the four elements.
QColor ElementColour(int sign) {
  static const QColor kColours[] = {QColor(0xC6, 0x28, 0x28), QColor(0x2E, 0x7D, 0x32), QColor(0x6A, 0x1B, 0x9A),
                                    QColor(0x15, 0x65, 0xC0)};
  return kColours[sign % 4];
}

QPainterPath CentredGlyphPath(const QString& family, char32_t codepoint, const QRectF& box) {
  QFont font(family);
  font.setPixelSize(100);
  QPainterPath path;
  path.addText(0, 0, font, QString::fromUcs4(&codepoint, 1));
  const QRectF bounds = path.boundingRect();
  if (bounds.isEmpty()) return path;
  const qreal scale = std::min(box.width() / bounds.width(), box.height() / bounds.height());
  QTransform t;
  t.translate(box.center().x(), box.center().y());
  t.scale(scale, scale);
  t.translate(-bounds.center().x(), -bounds.center().y());
  return t.map(path);
}

QImage Blank(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

}  // namespace

QImage DrawZodiacPicture(const PictureFonts& fonts, int sign, bool bSelected, int size) {
  // Drawn four times larger and scaled down: the glyph edges stay even at 16 px.
  const int big = size * 4;
  QImage image = Blank(big);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor element = ElementColour(sign);
  const QRectF disc(2, 2, big - 4, big - 4);
  painter.setPen(QPen(bSelected ? element.darker(120) : element.darker(140), big / 24.0));
  painter.setBrush(bSelected ? QColor(Qt::white) : element);
  painter.drawEllipse(disc);
  const qreal inset = big * 0.17;
  const QPainterPath glyph =
      CentredGlyphPath(fonts.symbolFamily, U'\u2648' + static_cast<char32_t>(sign), disc.adjusted(inset, inset, -inset, -inset));
  // The outline in the fill colour gives the thin symbol strokes weight.
  const QColor ink = bSelected ? element : QColor(Qt::white);
  painter.setPen(QPen(ink, big / 22.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(ink);
  painter.drawPath(glyph);
  painter.end();
  return image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage DrawStatusPicture(const PictureFonts& fonts, StatusPicture picture, int size) {
  static const char* const kGlyphs[] = {"\U0001F4DD", "\U0001F514", "\U0001F515"};
  const QImage master = RenderEmojiMaster(fonts.emojiFamily, QString::fromUtf8(kGlyphs[static_cast<int>(picture)]));
  return ScaleSquare(master, size, 0);
}

QImage DrawAppIcon(const PictureFonts& fonts, int size) {
  const int big = 256;
  QImage image = Blank(big);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  // A warm tile ...
  QLinearGradient tile(0, 0, 0, big);
  tile.setColorAt(0, QColor(0xFF, 0x8A, 0x65));
  tile.setColorAt(1, QColor(0xD8, 0x43, 0x15));
  painter.setPen(Qt::NoPen);
  painter.setBrush(tile);
  painter.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
  // ... holding a calendar page ...
  const QRectF page(40, 48, 176, 172);
  painter.setBrush(QColor(0xFF, 0xFD, 0xF7));
  painter.drawRoundedRect(page, 20, 20);
  QPainterPath header;
  header.addRoundedRect(page, 20, 20);
  QPainterPath strip;
  strip.addRect(QRectF(page.left(), page.top(), page.width(), 44));
  painter.setBrush(QColor(0xC6, 0x28, 0x28));
  painter.drawPath(header.intersected(strip));
  painter.setBrush(QColor(0x5D, 0x40, 0x37));
  painter.drawRoundedRect(QRectF(78, 34, 16, 34), 8, 8);
  painter.drawRoundedRect(QRectF(162, 34, 16, 34), 8, 8);
  // ... with a birthday cake on it.
  const QImage cake = ScaleSquare(RenderEmojiMaster(fonts.emojiFamily, QString::fromUtf8("\U0001F382")), 120, 0);
  painter.drawImage(QPoint(68, 96), cake);
  painter.end();
  if (size == big) return image;
  return image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
