#pragma once
// The soft keys most dialogs show: a confirming key on the left that ends the
// dialog as done, "Cancel" on the right that cancels it.
class QString;
namespace keypad {
class SoftKeyBar;
}

void SetConfirmCancelKeys(keypad::SoftKeyBar* keys, const QString& confirm);
// The confirming key reads "Done".
void SetDoneCancelKeys(keypad::SoftKeyBar* keys);
