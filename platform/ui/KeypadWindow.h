#pragma once
// The top-level window shaped like the phone's screen (240 by 320 logical
// pixels by default, resizable; turning the phone is a resize to landscape).
// It shows one screen at a time: full-screen dialogs are pushed on top of the
// main screen and take the window's place until they end.
#include <QList>
#include <QPointer>
#include <QWidget>

class QStackedLayout;

namespace keypad {

class KeypadScreen;

class KeypadWindow : public QWidget {
  Q_OBJECT

 public:
  explicit KeypadWindow(QWidget* parent = nullptr);
  ~KeypadWindow() override;

  // The first screen (not owned by the caller any more).
  void SetMainScreen(KeypadScreen* screen);
  KeypadScreen* MainScreen() const { return m_main; }

  void PushScreen(KeypadScreen* screen);
  // Removes a pushed screen (not deleted) and shows the one below it.
  void PopScreen(KeypadScreen* screen);
  KeypadScreen* TopScreen() const;
  int ScreenCount() const;

  // Swaps width and height.
  void Turn();

  // The window most recently created, where full-screen dialogs go by default.
  static KeypadWindow* Current();

 signals:
  void closing();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QStackedLayout* m_stack = nullptr;
  KeypadScreen* m_main = nullptr;
  QList<QPointer<QWidget>> m_focusBefore;
};

}  // namespace keypad
