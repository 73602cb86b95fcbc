#pragma once
// Shows the wait cursor for a scope.
#include <QApplication>
#include <QCursor>

namespace keypad {

class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~WaitCursor() { Done(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  // Takes the cursor away early, for example before a message box.
  void Done() {
    if (m_active) QApplication::restoreOverrideCursor();
    m_active = false;
  }

 private:
  bool m_active = true;
};

}  // namespace keypad
