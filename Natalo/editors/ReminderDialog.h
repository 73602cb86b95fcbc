#pragma once
// The entry's own reminder: program settings, or its own choice (how long
// before the date) and time of day. Changes only the entry it is given.
#include "platform/ui/FullScreenDialog.h"

class FeskItem;
namespace keypad {
class SpinnerList;
class TimePicker;
}  // namespace keypad

class ReminderDialog : public keypad::FullScreenDialog {
  Q_OBJECT

 public:
  ReminderDialog(FeskItem& entry, QWidget* parent);

  keypad::SpinnerList* SettingsRow() const { return m_config; }
  keypad::SpinnerList* ChoiceRow() const { return m_choice; }
  keypad::TimePicker* TimeRow() const { return m_time; }

 protected:
  void OnCommand(int command) override;
  void OnScreenResized(const QSize& size) override;

 private:
  void UpdateEnabled();
  void Save();

  FeskItem& m_entry;
  keypad::SpinnerList* m_config = nullptr;
  keypad::SpinnerList* m_choice = nullptr;
  keypad::TimePicker* m_time = nullptr;
};
