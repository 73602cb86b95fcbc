#include "platform/ui/KeypadTheme.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPalette>

#include <cmath>

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

namespace {

double Luminance(const QColor& colour) {
  const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  const QColor rgb = colour.toRgb();
  return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

// `share` (0..1) of `to` in `from`.
QColor Mix(const QColor& from, const QColor& to, double share) {
  const auto mix = [share](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * share)); };
  const QColor a = from.toRgb(), b = to.toRgb();
  return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& colour, const QColor& background, double ratio) {
  const QColor toward = ContrastRatio(Qt::black, background) > ContrastRatio(Qt::white, background)
                            ? QColor(Qt::black) : QColor(Qt::white);
  QColor mixed = colour.toRgb();
  for (int step = 1; step <= 20 && ContrastRatio(mixed, background) < ratio; ++step) {
    mixed = Mix(colour, toward, step / 20.0);
  }
  return mixed;
}

KeypadColours ThemeColours(const QPalette& palette) {
  KeypadColours c;
  c.window = palette.color(QPalette::Window);
  c.field = palette.color(QPalette::Base);
  c.dark = c.window.lightness() < 128;
  c.windowText = ReadableOn(palette.color(QPalette::WindowText), c.window);
  c.fieldText = ReadableOn(palette.color(QPalette::Text), c.field);
  const QColor blue(0x3b6aa8), deepBlue(0x2d4f7c), deepestBlue(0x1b3556);
  if (!c.dark) {
    c.border = QColor(0x8a99ad);
    c.focusBorder = blue;
    c.focusField = c.field == QColor(Qt::white) ? QColor(0xeef4fc) : Mix(c.field, blue, 0.09);
    c.strip = blue;
    c.key = deepBlue;
    c.keyPressed = deepestBlue;
    c.caption = QColor(0x1c4f8f);
    c.alert = QColor(0xb00020);
    c.scrollTrack = QColor(0xE2, 0xE5, 0xE9);
    c.scrollThumb = QColor(0x5F, 0x6B, 0x7A);
  } else {
    // The blues sink toward the dark window; frames and the scroll thumb
    // come up from the field toward its text so that they stay visible.
    c.border = Mix(c.field, c.fieldText, 0.4);
    c.focusBorder = Mix(blue, Qt::white, 0.3);
    c.focusField = Mix(c.field, blue, 0.25);
    c.strip = Mix(blue, c.window, 0.35);
    c.key = Mix(deepBlue, c.window, 0.35);
    c.keyPressed = Mix(deepestBlue, c.window, 0.35);
    c.caption = QColor(0x1c4f8f);
    c.alert = QColor(0xb00020);
    c.scrollTrack = Mix(c.field, c.fieldText, 0.12);
    c.scrollThumb = Mix(c.field, c.fieldText, 0.55);
  }
  c.stripText = ReadableOn(Qt::white, c.strip);
  c.keyText = ReadableOn(Qt::white, c.key);
  c.caption = ReadableOn(c.caption, c.window);
  c.alert = ReadableOn(c.alert, c.window);
  return c;
}

KeypadColours ThemeColours() { return ThemeColours(QApplication::palette()); }

}  // namespace keypad
