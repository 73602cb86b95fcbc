#include "data/icons/AppPictureArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "data/icons/GlyphPainter.h"

namespace {

// The signs are information about a birthday, not alerts: one quiet slate
// blue for every sign and no filled badge, so that no sign can be taken for an
// error or a warning mark.
const QColor kSignInk(0x45, 0x5A, 0x7C);
// The skip mark: a cool blue that tells it apart from the gold bell.
const QColor kSkipInk(0x10, 0x3A, 0x7A);

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

// A "skip to the next one" mark: two forward triangles and a bar, filling box.
QPainterPath SkipForwardMark(const QRectF& box) {
  const qreal w = box.width() / 10.0;
  const qreal top = box.top();
  const qreal bottom = box.bottom();
  const qreal middle = box.center().y();
  QPainterPath mark;
  mark.moveTo(box.left(), top);
  mark.lineTo(box.left() + 4 * w, middle);
  mark.lineTo(box.left(), bottom);
  mark.closeSubpath();
  mark.moveTo(box.left() + 4 * w, top);
  mark.lineTo(box.left() + 8 * w, middle);
  mark.lineTo(box.left() + 4 * w, bottom);
  mark.closeSubpath();
  mark.addRect(QRectF(box.left() + 8 * w, top, 2 * w, box.height()));
  return mark.simplified();
}

enum class BellMark { Skip, Snooze };

// The bell, a little smaller and to the upper left, with a mark in front of
// its lower right: the skip mark (the reminder stays on, only the next one is
// left out) or a "z" (the reminder sleeps and comes back).
QImage DrawBellWithMark(const PictureFonts& fonts, BellMark which, int size) {
  const int big = size * 8;
  QImage image = Blank(big);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QImage bell = ScaleSquare(RenderEmojiMaster(fonts.emojiFamily, QString::fromUtf8("\U0001F514")), big * 5 / 8, 0);
  painter.drawImage(QPoint(0, 0), bell);
  const QRectF markBox(big * 0.33, big * 0.47, big * 0.60, big * 0.46);
  const QPainterPath mark = which == BellMark::Skip ? SkipForwardMark(markBox)
                                                    : CentredGlyphPath(fonts.symbolFamily, U'z', markBox);
  // The mark stands on a white plate: it keeps the mark apart from the bell,
  // and on the highlight of a selected row the dark mark stays as clear as on
  // a white row.
  const qreal pad = big * 0.06;
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawRoundedRect(markBox.adjusted(-pad, -pad, pad, pad), big * 0.1, big * 0.1);
  painter.setPen(QPen(kSkipInk, big / 40.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(kSkipInk);
  painter.drawPath(mark);
  painter.end();
  return image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

QImage DrawZodiacPicture(const PictureFonts& fonts, int sign, bool bSelected, int size) {
  // Drawn four times larger and scaled down: the glyph edges stay even at 16 px.
  const int big = size * 4;
  QImage image = Blank(big);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  // The outline below reaches half its width beyond the glyph; the corners stay clear.
  const qreal stroke = big / 20.0;
  const qreal inset = big * 0.04 + stroke;
  const QRectF box(inset, inset, big - 2 * inset, big - 2 * inset);
  const QPainterPath glyph = CentredGlyphPath(fonts.symbolFamily, U'\u2648' + static_cast<char32_t>(sign), box);
  // On a selected row the sign is white on the highlight colour, like the text.
  const QColor ink = bSelected ? QColor(Qt::white) : kSignInk;
  // An outline in the fill colour gives the thin symbol strokes weight.
  painter.setPen(QPen(ink, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(ink);
  painter.drawPath(glyph);
  painter.end();
  return image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage DrawStatusPicture(const PictureFonts& fonts, StatusPicture picture, int size) {
  if (picture == StatusPicture::ReminderSkipped) return DrawBellWithMark(fonts, BellMark::Skip, size);
  if (picture == StatusPicture::Snoozed) return DrawBellWithMark(fonts, BellMark::Snooze, size);
  static const char* const kGlyphs[] = {"\U0001F4DD", "\U0001F514"};
  const QImage master = RenderEmojiMaster(fonts.emojiFamily, QString::fromUtf8(kGlyphs[static_cast<int>(picture)]));
  return ScaleSquare(master, size, 0);
}

QImage DrawKindPicture(const PictureFonts& fonts, int storageIcon, int size) {
  static const char* const kGlyphs[] = {"\U0001F501", "\U0001F4CC", "\u23F0", "\U0001F5D3"};
  if (storageIcon < 1 || storageIcon > kKindPictureCount) return {};
  const QImage master = RenderEmojiMaster(fonts.emojiFamily, QString::fromUtf8(kGlyphs[storageIcon - 1]));
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
