#pragma once
// A soft-key pop-up menu whose items carry command numbers. Sub-menus share the
// command registry of their root, so any item can be relabelled, greyed or
// checked by its command number.
//
// It behaves like the phone's menus: it opens with its first enabled item
// highlighted (so the soft key then Return chooses it); it stays inside the
// window it belongs to (the phone's screen) and above its soft keys, a
// sub-menu covering its parent but for the parent's left edge; no menu is
// wider than that screen, texts that do not fit end with an ellipsis;
// Backspace and Escape close one level; a soft key (F1, F2) closes the whole
// menu.
#include <QHash>
#include <QMenu>
#include <QPointer>

namespace keypad {

class CommandMenu : public QMenu {
  Q_OBJECT

 public:
  explicit CommandMenu(QWidget* parent = nullptr);

  QAction* AddCommand(int command, const QString& text);
  CommandMenu* AddSubMenu(const QString& text);
  void AddSeparatorLine() { addSeparator(); }

  // False when no item has the command.
  bool SetText(int command, const QString& text);
  bool SetEnabled(int command, bool enabled);
  bool SetChecked(int command, bool checked);
  QAction* Find(int command) const;
  // The item's whole text (the shown one may be shortened to fit).
  static QString FullText(const QAction* action);
  // The sub-menu item at a position of this menu, for relabelling.
  QAction* ItemAt(int position) const;

  // Runs the command as if its item had been chosen (only when enabled).
  bool Trigger(int command);

  // The phone's screen in global coordinates: the window the root menu belongs
  // to; empty when it has none.
  QRect ScreenRect() const;
  // Where menus may lie: the screen above its visible soft-key bar.
  QRect MenuArea() const;

  // Opens the menu with its bottom edge at `bottom`, its left edge at `left`
  // or, when `alignRight`, its right edge at `left`; kept inside the screen.
  void PopupAbove(const QPoint& anchor, bool alignRight);

 signals:
  void commandChosen(int command);

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  CommandMenu(CommandMenu* root, QWidget* parent);
  CommandMenu* Root() { return m_root ? m_root.data() : this; }
  const CommandMenu* Root() const { return m_root ? m_root.data() : this; }
  // Shortens the texts to the screen's width before the menu is measured.
  void FitTextsToScreen();
  void HighlightFirstEnabled();

  QPointer<CommandMenu> m_root;
  QHash<int, QPointer<QAction>> m_commands;  // used on the root only
};

// Closes every open pop-up menu (all levels).
void CloseOpenMenus();

}  // namespace keypad
