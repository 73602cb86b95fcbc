#include "platform/ui/DialogHost.h"

#include "platform/ui/KeypadWindow.h"

namespace keypad {

KeypadWindow* DialogHost(QWidget* parent) {
  if (parent) {
    if (auto* window = qobject_cast<KeypadWindow*>(parent->window())) return window;
  }
  return KeypadWindow::Current();
}

}  // namespace keypad
