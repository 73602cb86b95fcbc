#pragma once
// A picker: Done (or its key) chooses what is selected, Cancel and Back cancel.
#include "Natalo/DialogKeys.h"
#include "platform/ui/DialogHost.h"
#include "platform/ui/FullScreenDialog.h"

class ChoosingDialog : public keypad::FullScreenDialog {
 public:
  explicit ChoosingDialog(QWidget* parent) : FullScreenDialog(keypad::DialogHost(parent)) { SetDoneCancelKeys(SoftKeys()); }

 protected:
  // Ends the dialog with what is selected, or does nothing when nothing is.
  virtual void Choose() = 0;

  void OnCommand(int command) override {
    if (command == keypad::kResultDone) {
      Choose();
    } else {
      Done(keypad::kResultCancel);
    }
  }
};
