#include "Natalo/settings/SettingsDialog.h"

#include "Natalo/AppText.h"
#include "Natalo/DialogKeys.h"
#include "platform/ui/DialogHost.h"
#include "Natalo/settings/SettingsHooks.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SoftKeyBar.h"

void ShowSettingsNotSaved(QWidget* owner) {
  const LocalTable& t = LocalText();
  keypad::ShowMessageBox(owner, ToQString(t.Get(u"MSG_SETTINGS_NOT_SAVED")), ToQString(t.GetAppName()),
                         keypad::MB_OK | keypad::MB_ICONEXCLAMATION);
}

SettingsDialog::SettingsDialog(QWidget* parent, const char16_t* titleKey) : FullScreenDialog(keypad::DialogHost(parent)) {
  const LocalTable& t = LocalText();
  SetTitle(ToQString(t.Get(titleKey)));
  SetDoneCancelKeys(SoftKeys());
}

void SettingsDialog::OnCommand(int command) {
  if (command != keypad::kResultDone) {
    Done(keypad::kResultCancel);
    return;
  }
  if (!Save()) {
    ShowSettingsNotSaved(this);
    return;
  }
  Done(keypad::kResultDone);
}
