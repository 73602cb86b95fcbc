#pragma once
// Fonts, sizes and colours shared by every keypad screen.
#include <QColor>
#include <QFont>
#include <QSize>

class QPalette;

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

// The colours of the kit's own parts, taken from a palette: on a light palette
// the kit's blue strips and frames, fields and lists in the palette's Base and
// Text; on a dark one (a dark Window) the same parts darkened or lightened to
// suit it. Every text colour reaches a contrast of 4.5:1 against the
// background it is drawn on.
struct KeypadColours {
  bool dark = false;
  QColor window, windowText;        // screens (Window, WindowText)
  QColor field, fieldText;          // fields and the entry list (Base, Text)
  QColor focusField;                // a focused field's background
  QColor border, focusBorder;       // frames of fields, unfocused and focused
  QColor strip, stripText;          // the title strip
  QColor key, keyPressed, keyText;  // the soft keys
  QColor caption;                   // emphasised text on the window (a reminder's first line)
  QColor alert;                     // warnings on the window (a missed reminder)
  QColor scrollTrack, scrollThumb;  // the scroll bars of lists
};
KeypadColours ThemeColours(const QPalette& palette);
// The application's palette.
KeypadColours ThemeColours();

// The contrast ratio of two colours as WCAG defines it: 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);
// `colour`, mixed toward black or white (whichever stands further from
// `background`) just enough to reach `ratio` against `background`.
QColor ReadableOn(const QColor& colour, const QColor& background, double ratio = 4.5);

}  // namespace keypad
