#pragma once
// A dark desktop's palette, for tests and for pictures of the screens: with
// NATALO_SHOTS_PALETTE=dark the picture tests take it for the application.
#include <QApplication>
#include <QPalette>

namespace testsupport {

inline QPalette DarkPalette() {
  QPalette p;
  const QColor text(0xe8, 0xe8, 0xe8), disabled(0x80, 0x80, 0x80);
  p.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
  p.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x26));
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, Qt::white);
  p.setColor(QPalette::Light, QColor(0x50, 0x50, 0x50));
  p.setColor(QPalette::Midlight, QColor(0x44, 0x44, 0x44));
  p.setColor(QPalette::Mid, QColor(0x33, 0x33, 0x33));
  p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x18));
  p.setColor(QPalette::Shadow, Qt::black);
  p.setColor(QPalette::Highlight, QColor(0x2f, 0x5f, 0x9e));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
  p.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0x9a));
  p.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3a, 0x3a));
  p.setColor(QPalette::ToolTipText, text);
  for (const auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
    p.setColor(QPalette::Disabled, role, disabled);
  }
  return p;
}

// Takes the dark palette for the application when NATALO_SHOTS_PALETTE is
// "dark"; call before any window is made.
inline void ApplyShotsPalette() {
  if (qEnvironmentVariable("NATALO_SHOTS_PALETTE") == QLatin1String("dark")) QApplication::setPalette(DarkPalette());
}

}  // namespace testsupport
