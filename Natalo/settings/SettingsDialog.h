#pragma once
// The frame of the option dialogs: a title, Done and Cancel. Done writes the
// dialog's settings; when the registry cannot be written the user is told and
// the dialog stays open with the settings as they were.
#include "platform/ui/FullScreenDialog.h"

class SettingsDialog : public keypad::FullScreenDialog {
 public:
  SettingsDialog(QWidget* parent, const char16_t* titleKey);

 protected:
  void OnCommand(int command) override;
  // Writes the dialog's values; false when that failed.
  virtual bool Save() = 0;
};
