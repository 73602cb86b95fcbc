#include "Natalo/DialogKeys.h"

#include "Natalo/AppText.h"
#include "platform/ui/FullScreenDialog.h"
#include "platform/ui/SoftKeyBar.h"

void SetConfirmCancelKeys(keypad::SoftKeyBar* keys, const QString& confirm) {
  keys->SetCommandKey(keypad::SoftKeyBar::Left, confirm, keypad::kResultDone);
  keys->SetCommandKey(keypad::SoftKeyBar::Right, ToQString(LocalText().Get(u"BTN_CANCEL")), keypad::kResultCancel);
}

void SetDoneCancelKeys(keypad::SoftKeyBar* keys) { SetConfirmCancelKeys(keys, ToQString(LocalText().Get(u"BTN_DONE"))); }
