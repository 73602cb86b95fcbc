// Draws every picture of the suite onto one sheet for a person to look at:
//   natalo_contactsheet PROGRAM_FOLDER OUT.png
// Each entry picture appears with its number at 48 px and at both row sizes;
// below them the zodiac and status pictures of both screen sizes, on a plain
// row and on a selected (highlighted) row. Exit code 1 when anything is missing.
#include <QFont>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

#include "platform/imaging/AppPictures.h"
#include "platform/imaging/IconLibrary.h"
#include "platform/pictures/IconTable.h"

namespace {

constexpr int kColumns = 8;
constexpr int kCellWidth = 130;
constexpr int kCellHeight = 64;
const QColor kHighlight(0x1E, 0x5A, 0xB4);

void DrawAppRow(QPainter& painter, const AppPictures& pictures, int top, bool bHighRes) {
  painter.fillRect(QRect(0, top, kColumns * kCellWidth, 40), Qt::white);
  painter.fillRect(QRect(0, top + 40, kColumns * kCellWidth, 40), kHighlight);
  painter.setPen(Qt::black);
  painter.drawText(QRect(4, top, 60, 40), Qt::AlignVCenter, bHighRes ? "large" : "small");
  for (int sign = 0; sign < kZodiacSignCount; ++sign) {
    for (const bool selected : {false, true}) {
      const QImage* picture = pictures.Zodiac(sign, selected);
      if (picture != nullptr) painter.drawImage(QPoint(64 + sign * 30, top + 8 + (selected ? 40 : 0)), *picture);
    }
  }
  for (int i = 0; i < kStatusPictureCount; ++i) {
    const QImage* picture = pictures.Status(static_cast<StatusPicture>(i));
    for (const int row : {0, 40}) {
      if (picture != nullptr) painter.drawImage(QPoint(64 + 12 * 30 + 10 + i * 24, top + 12 + row), *picture);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s PROGRAM_FOLDER OUT.png\n", argv[0]);
    return 2;
  }
  QGuiApplication app(argc, argv);
  const std::string folder = argv[1];
  IconLibrary large, small;
  AppPictures appLarge, appSmall;
  const bool loaded = large.Load(folder, true) && small.Load(folder, false) && appLarge.Load(true) &&
                      appSmall.Load(false);

  const int rows = (static_cast<int>(IconTable.size()) + kColumns - 1) / kColumns;
  QImage sheet(kColumns * kCellWidth, rows * kCellHeight + 2 * 80 + 8 + 64, QImage::Format_ARGB32_Premultiplied);
  sheet.fill(QColor(0xF4, 0xF4, 0xF4));
  QPainter painter(&sheet);
  QFont font("DejaVu Sans");
  font.setPixelSize(11);
  painter.setFont(font);
  for (size_t i = 0; i < IconTable.size(); ++i) {
    const int x = static_cast<int>(i % kColumns) * kCellWidth;
    const int y = static_cast<int>(i / kColumns) * kCellHeight;
    const uint32_t number = IconTable[i].dwNumber;
    if (const QImage* p = large.ListPicture(number)) painter.drawImage(QPoint(x + 2, y + 2), *p);
    if (const QImage* p = large.RowPicture(number)) painter.drawImage(QPoint(x + 54, y + 2), *p);
    if (const QImage* p = small.RowPicture(number)) painter.drawImage(QPoint(x + 90, y + 2), *p);
    painter.setPen(Qt::black);
    painter.drawText(QRect(x + 54, y + 36, 70, 20), Qt::AlignLeft | Qt::AlignVCenter, QString::number(number));
  }
  const int appTop = rows * kCellHeight + 8;
  DrawAppRow(painter, appLarge, appTop, true);
  DrawAppRow(painter, appSmall, appTop + 80, false);
  int x = 4;
  for (const int size : kAppIconSizes) {
    if (size > 64) continue;
    painter.drawImage(QPoint(x, appTop + 164), LoadAppIcon(size));
    x += size + 8;
  }
  painter.end();
  if (!sheet.save(QString::fromLocal8Bit(argv[2]), "PNG")) return 1;
  return loaded ? 0 : 1;
}
