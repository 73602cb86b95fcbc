#pragma once
// A scroll bar whose thumb stands out from its track. The desktop style paints
// both in near-identical light greys, which on a phone-sized list hides where
// in the list the user is.
class QScrollBar;

namespace keypad {

// Paints the bar's track light and its thumb dark; the bar keeps its width.
void GiveScrollBarContrast(QScrollBar* bar);

}  // namespace keypad
