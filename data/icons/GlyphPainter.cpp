#include "data/icons/GlyphPainter.h"

#include <QFont>
#include <QPainter>
#include <QRect>

#include <algorithm>

#include "platform/pictures/IconTable.h"

namespace {

// The emoji font's own bitmap strike is 109 pixels per em; rendering at that
// size avoids a blurry first scaling.
constexpr int kEmojiPixelSize = 109;
constexpr int kCanvas = 256;

QRect CoveredRect(const QImage& image) {
  int left = image.width(), top = image.height(), right = -1, bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(line[x]) > 8) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  if (right < 0) return {};
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace

QImage RenderEmojiMaster(const QString& emojiFamily, const QString& glyphs) {
  QImage canvas(kCanvas, kCanvas, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::transparent);
  {
    QPainter painter(&canvas);
    QFont font(emojiFamily);
    font.setPixelSize(kEmojiPixelSize);
    painter.setFont(font);
    painter.drawText(canvas.rect(), Qt::AlignCenter, glyphs);
  }
  const QRect covered = CoveredRect(canvas);
  if (covered.isEmpty()) return {};
  const int side = std::max(covered.width(), covered.height());
  QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
  square.fill(Qt::transparent);
  QPainter painter(&square);
  painter.drawImage(QPoint((side - covered.width()) / 2, (side - covered.height()) / 2), canvas, covered);
  return square;
}

QImage ScaleSquare(const QImage& master, int size, int margin) {
  const int inner = size - 2 * margin;
  const QImage scaled = master.scaled(inner, inner, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QImage out(size, size, QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::transparent);
  QPainter painter(&out);
  painter.drawImage(QPoint((size - scaled.width()) / 2, (size - scaled.height()) / 2), scaled);
  painter.end();
  return out;
}

void KeepClearOfTransparentColour(QImage& image) {
  image = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = qRgb(0x6F, 0xFE, 0x0C);
  static_assert(kTransparentColourRgb == 0x6FFE0C);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(line[x]) != 0 && (line[x] & 0xFFFFFF) == (key & 0xFFFFFF)) {
        line[x] = qRgba(0x6F, 0xFD, 0x0C, qAlpha(line[x]));
      }
    }
  }
}
