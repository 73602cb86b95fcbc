#pragma once
// Fonts and sizes shared by every keypad screen.
#include <QFont>
#include <QSize>

namespace keypad {

// The phone's portrait screen, in logical pixels.
inline constexpr QSize kDefaultScreenSize{240, 320};
// Screens wider than this use the large pictures and wider margins.
inline constexpr int kHighResolutionWidth = 176;

// Maps "Segoe Condensed" to a condensed face installed here. Call once after
// the QApplication exists; safe to call again.
void InstallFontSubstitutions();

// "Segoe Condensed" at the given pixel height and weight (400 regular, 700 bold).
QFont CondensedFont(int pixelHeight, int weight, bool italic = false);

// Text height of the system (dialog) font, in pixels; 15 when none is known.
int SystemTextHeight();

// The bold label font of dialogs: weight 700 at the dialog font's text height.
QFont LabelFont();

}  // namespace keypad
