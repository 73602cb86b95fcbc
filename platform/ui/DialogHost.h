#pragma once
#include <QWidget>

namespace keypad {

class KeypadWindow;

// The keypad window a dialog opened over `parent` takes its place in: the
// parent's own window, else the window in front.
KeypadWindow* DialogHost(QWidget* parent);

}  // namespace keypad
