#pragma once
// A modal full-screen dialog: it takes the keypad window's place until it ends
// with a result (1 done, 2 cancelled, or any other number the dialog chooses).
// Without a keypad window it runs as a window of its own, at the phone's size.
#include <QPointer>

#include "platform/ui/KeypadWindow.h"

#include "platform/ui/KeypadScreen.h"

class QEventLoop;

namespace keypad {

class KeypadWindow;

inline constexpr int kResultDone = 1;
inline constexpr int kResultCancel = 2;

class FullScreenDialog : public KeypadScreen {
  Q_OBJECT

 public:
  explicit FullScreenDialog(KeypadWindow* host = KeypadWindow::Current());
  ~FullScreenDialog() override;

  // Shows the dialog and returns its result once Done() was called.
  int Exec();
  // Ends Exec() with a result. Safe to call before Exec() runs (it then ends at once).
  void Done(int result);
  bool IsRunning() const { return m_loop != nullptr && !m_ended; }
  int Result() const { return m_result; }

  // Gives the focus to the first field that takes it.
  void FocusFirstField();

  // Ends every dialog that runs (for example when the program must close).
  static void CancelAll();
  // Dialogs now running, innermost last.
  static QList<FullScreenDialog*> Running();

 protected:
  // Back acts as cancel unless a dialog says otherwise.
  void OnBack() override { Done(kResultCancel); }

 private:
  QPointer<KeypadWindow> m_host;
  QEventLoop* m_loop = nullptr;
  int m_result = kResultCancel;
  bool m_doneEarly = false;
  bool m_ended = false;
};

}  // namespace keypad
