#pragma once
// A soft-key pop-up menu whose items carry command numbers. Sub-menus share the
// command registry of their root, so any item can be relabelled, greyed or
// checked by its command number. Arrow keys and Return drive it (QMenu).
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
  // The sub-menu item at a position of this menu, for relabelling.
  QAction* ItemAt(int position) const;

  // Runs the command as if its item had been chosen (only when enabled).
  bool Trigger(int command);

 signals:
  void commandChosen(int command);

 private:
  CommandMenu(CommandMenu* root, QWidget* parent);
  CommandMenu* Root() { return m_root ? m_root.data() : this; }
  const CommandMenu* Root() const { return m_root ? m_root.data() : this; }

  QPointer<CommandMenu> m_root;
  QHash<int, QPointer<QAction>> m_commands;  // used on the root only
};

}  // namespace keypad
