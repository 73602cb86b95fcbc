#include "platform/ui/CommandMenu.h"

namespace keypad {

CommandMenu::CommandMenu(QWidget* parent) : QMenu(parent) {}

CommandMenu::CommandMenu(CommandMenu* root, QWidget* parent) : QMenu(parent), m_root(root) {}

QAction* CommandMenu::AddCommand(int command, const QString& text) {
  QAction* action = addAction(text);
  action->setData(command);
  CommandMenu* root = Root();
  root->m_commands.insert(command, action);
  connect(action, &QAction::triggered, root, [root, command] { emit root->commandChosen(command); });
  return action;
}

CommandMenu* CommandMenu::AddSubMenu(const QString& text) {
  auto* sub = new CommandMenu(Root(), this);
  sub->setTitle(text);
  addMenu(sub);
  return sub;
}

QAction* CommandMenu::Find(int command) const {
  const auto& commands = Root()->m_commands;
  const auto it = commands.find(command);
  return it == commands.end() ? nullptr : it.value().data();
}

QAction* CommandMenu::ItemAt(int position) const {
  const auto items = actions();
  return position >= 0 && position < items.size() ? items[position] : nullptr;
}

bool CommandMenu::SetText(int command, const QString& text) {
  QAction* a = Find(command);
  if (!a) return false;
  a->setText(text);
  return true;
}

bool CommandMenu::SetEnabled(int command, bool enabled) {
  QAction* a = Find(command);
  if (!a) return false;
  a->setEnabled(enabled);
  return true;
}

bool CommandMenu::SetChecked(int command, bool checked) {
  QAction* a = Find(command);
  if (!a) return false;
  a->setCheckable(true);
  a->setChecked(checked);
  return true;
}

bool CommandMenu::Trigger(int command) {
  QAction* a = Find(command);
  if (!a || !a->isEnabled()) return false;
  a->trigger();
  return true;
}

}  // namespace keypad
