#pragma once
// The reminder options: the default reminder (how long before the date, and
// the time of day), whether the screen wakes when a reminder fires, and
// whether a reminder shows as a window, a desktop notification or both. Done
// writes them; the stored device password is left as it is.
#include "Natalo/settings/SettingsDialog.h"

namespace keypad {
class SpinnerList;
class TimePicker;
}  // namespace keypad

class ReminderOptionsDialog : public SettingsDialog {
  Q_OBJECT

 public:
  explicit ReminderOptionsDialog(QWidget* parent);

  keypad::SpinnerList* ChoiceRow() const { return m_choice; }
  keypad::TimePicker* TimeRow() const { return m_time; }
  keypad::SpinnerList* WakeRow() const { return m_wake; }
  keypad::SpinnerList* ShowAsRow() const { return m_showAs; }

 protected:
  void OnScreenResized(const QSize& size) override;

  bool Save() override;

 private:

  keypad::SpinnerList* m_choice = nullptr;
  keypad::TimePicker* m_time = nullptr;
  keypad::SpinnerList* m_wake = nullptr;
  keypad::SpinnerList* m_showAs = nullptr;
};
