#pragma once
// The settings menu: three numbered rows (view, reminders, sounds). The digits
// 1 to 3 select their row and open its dialog; the action key opens the
// selected row's dialog; Done or Back close the menu.
#include "Natalo/settings/SettingsHooks.h"
#include "platform/ui/FullScreenDialog.h"

class QListWidget;

class SettingsMenu : public keypad::FullScreenDialog {
  Q_OBJECT

 public:
  SettingsMenu(const SettingsHooks& hooks, QWidget* parent);

  QListWidget* Rows() const { return m_rows; }
  // Selects row 0..2 and opens its dialog.
  void OpenRow(int row);

 protected:
  void OnCommand(int command) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  SettingsHooks m_hooks;
  QListWidget* m_rows = nullptr;
};

// Runs the settings menu over `owner`; returns 2 when it closes.
int OpenSettingsMenu(QWidget* owner, const SettingsHooks& hooks);
