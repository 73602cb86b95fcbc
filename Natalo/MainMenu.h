#pragma once
// The two soft-key menus of the main window: the action menu for the selected
// entry (left key) and the general menu (right key), with their texts, enabled
// items, relabelled items and check marks.
#include "platform/ui/CommandMenu.h"

class FeskItem;
struct AppSettings;
namespace keypad {
class SoftKeyBar;
}

class MainMenu {
 public:
  explicit MainMenu(QWidget* parent);

  // Puts both menus on the soft keys.
  void Attach(keypad::SoftKeyBar& keys);

  // Enables and relabels the entry items for the selected entry (nullptr: none).
  void UpdateMenuState(const FeskItem* selected);
  // Marks the current sort key, the order and the shown kinds.
  void UpdateCheckMarks(const AppSettings& settings);

  keypad::CommandMenu& Action() { return *m_action; }
  keypad::CommandMenu& General() { return *m_general; }

 private:
  keypad::CommandMenu* m_action;
  keypad::CommandMenu* m_general;
};
