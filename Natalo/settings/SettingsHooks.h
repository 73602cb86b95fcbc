#pragma once
// What the settings dialogs ask of the main window once new settings are
// written: the view options re-sort and redraw the list; the reminder options
// move the reminders that follow the defaults, save and recompute.
#include <functional>

class QWidget;

struct SettingsHooks {
  std::function<void()> viewChanged;
  std::function<void()> reminderDefaultsChanged;
};

// Tells the user that the settings could not be written (the dialog stays open).
void ShowSettingsNotSaved(QWidget* owner);
