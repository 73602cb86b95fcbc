#include "platform/ui/KeypadTheme.h"

#include <QApplication>
#include <QFontMetrics>

namespace keypad {

void InstallFontSubstitutions() {
  // Qt does not follow fontconfig aliases for family names it does not know,
  // so the condensed face is named directly.
  QFont::insertSubstitutions(QStringLiteral("Segoe Condensed"),
                             {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
}

QFont CondensedFont(int pixelHeight, int weight, bool italic) {
  QFont font(QStringLiteral("Segoe Condensed"));
  font.setPixelSize(pixelHeight > 0 ? pixelHeight : 1);
  font.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
  font.setItalic(italic);
  return font;
}

int SystemTextHeight() {
  if (!QApplication::instance()) return 15;
  const int h = QFontMetrics(QApplication::font()).height();
  return h > 0 ? h : 15;
}

QFont LabelFont() { return CondensedFont(SystemTextHeight(), 700); }

}  // namespace keypad
