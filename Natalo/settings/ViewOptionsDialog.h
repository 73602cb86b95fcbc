#pragma once
// The view options: seven lists that shape every row of the main list. Done
// writes them; a registry that cannot be written keeps the dialog open and the
// settings as they were.
#include <array>

#include "Natalo/settings/SettingsDialog.h"

namespace keypad {
class SpinnerList;
}

class ViewOptionsDialog : public SettingsDialog {
  Q_OBJECT

 public:
  explicit ViewOptionsDialog(QWidget* parent);

  // In the order names, row layout, age, days left, date format, year, zodiac.
  keypad::SpinnerList* List(int index) const { return m_lists[static_cast<std::size_t>(index)]; }

 protected:
  void OnScreenResized(const QSize& size) override;

  bool Save() override;

 private:

  std::array<keypad::SpinnerList*, 7> m_lists{};
};
