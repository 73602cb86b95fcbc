#pragma once
// The bar of two soft keys at the bottom of every screen. A key either sends a
// command or opens a pop-up menu above it. F1 and F2 press the left and right
// key; pressing a key while a menu is open closes the menu; the mouse works too.
#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

class QPushButton;

namespace keypad {

class CommandMenu;

class SoftKeyBar : public QWidget {
  Q_OBJECT

 public:
  enum Key { Left = 0, Right = 1 };

  explicit SoftKeyBar(QWidget* parent = nullptr);

  // A key that sends `command` when pressed.
  void SetCommandKey(Key key, const QString& text, int command);
  // A key that opens `menu` (not owned) when pressed.
  void SetMenuKey(Key key, const QString& text, CommandMenu* menu);
  // A bar with only one key: the other is hidden and does nothing.
  void HideKey(Key key);
  void SetKeyText(Key key, const QString& text);
  QString KeyText(Key key) const;
  bool IsKeyVisible(Key key) const;
  CommandMenu* KeyMenu(Key key) const;

  // Acts as if the key had been pressed.
  void Press(Key key);

 signals:
  void commandChosen(int command);

 private:
  struct KeySlot {
    QPushButton* button = nullptr;
    int command = 0;
    QPointer<CommandMenu> menu;
  };
  static constexpr int kReopenGuardMs = 250;
  void NoteMenuClosed();
  void ColourKeys();

 protected:
  bool event(QEvent* event) override;

 private:

  KeySlot m_keys[2];
  QElapsedTimer m_menuClosed;
};

}  // namespace keypad
