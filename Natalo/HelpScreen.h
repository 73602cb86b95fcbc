#pragma once
// The help on a full screen: the HTML help that ships beside the program, in a
// scrolling rich-text view, so no web browser is needed. Up and Down scroll,
// Right and Left select the next and the previous link, the action key follows
// the selected link (the links lead to the parts of the same page); OK and Back
// close the screen.
#include <QString>

#include "platform/ui/FullScreenDialog.h"

class QTextBrowser;

class HelpScreen : public keypad::FullScreenDialog {
  Q_OBJECT

 public:
  // `file` is the absolute path of the help page.
  explicit HelpScreen(const QString& file, keypad::KeypadWindow* host = keypad::KeypadWindow::Current());

  QTextBrowser* Browser() const { return m_browser; }

 protected:
  void OnCommand(int command) override;

 private:
  QTextBrowser* m_browser = nullptr;
};

// Shows the help page `file` until the user closes it.
void ShowHelpScreen(const QString& file, keypad::KeypadWindow* host = keypad::KeypadWindow::Current());
