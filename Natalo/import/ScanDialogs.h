#pragma once
// The two dialogs of the contact scan: the options shown before a scan from the
// menu, and the question asked when a contact's date differs from its entry's.
#include <QPointer>

#include "Natalo/import/ContactScan.h"
#include "platform/ui/FullScreenDialog.h"

class FeskItem;
class QLabel;
class QProgressBar;
namespace keypad {
class CheckField;
class FormColumn;
class SpinnerList;
}  // namespace keypad

class ScanOptionsDialog : public keypad::FullScreenDialog {
  Q_OBJECT

 public:
  // Every list starts at import and ask, whatever `settings` hold; Done writes them.
  ScanOptionsDialog(ContactScanSettings& settings, QWidget* parent);

  keypad::SpinnerList* ImportList(bool birthdays) const { return birthdays ? m_importB : m_importA; }
  keypad::SpinnerList* ConflictList(bool birthdays) const { return birthdays ? m_conflictB : m_conflictA; }

 protected:
  void OnCommand(int command) override;
  void OnScreenResized(const QSize& size) override;

 private:
  ContactScanSettings& m_settings;
  keypad::FormColumn* m_form = nullptr;
  keypad::SpinnerList* m_importB = nullptr;
  keypad::SpinnerList* m_conflictB = nullptr;
  keypad::SpinnerList* m_importA = nullptr;
  keypad::SpinnerList* m_conflictA = nullptr;
};

class ScanAskDialog : public keypad::FullScreenDialog {
  Q_OBJECT

 public:
  ScanAskDialog(const FeskItem& entry, const platform::SystemTime& contactDate, QWidget* parent);

  // Valid after Done: the rule chosen and whether to ask again.
  const ConflictChoice& Choice() const { return m_choice; }
  keypad::SpinnerList* ActionList() const { return m_action; }
  keypad::CheckField* SameForAll() const { return m_same; }

 protected:
  void OnCommand(int command) override;
  // Back goes to the platform as in any other window.
  void OnBack() override {}
  void OnScreenResized(const QSize& size) override;

 private:
  keypad::FormColumn* m_form = nullptr;
  keypad::SpinnerList* m_action = nullptr;
  keypad::CheckField* m_same = nullptr;
  ConflictChoice m_choice;
};

// The progress of a scan of many contacts, on the keypad window in place of
// the list until it is destroyed: "Reading contacts: n of m", then "Comparing
// with the list: n of m", above a bar. The scan runs in the user-interface
// thread; Show() repaints the window.
class ScanProgressScreen : public keypad::KeypadScreen {
  Q_OBJECT

 public:
  explicit ScanProgressScreen(QWidget* parent);
  ~ScanProgressScreen() override;

  void Show(ScanPhase phase, int done, int total);
  QString Text() const;
  QProgressBar* Bar() const { return m_bar; }

 private:
  QPointer<keypad::KeypadWindow> m_host;
  QLabel* m_text = nullptr;
  QProgressBar* m_bar = nullptr;
};

// The message after a scan from the menu: entries added, already listed,
// differing dates by outcome, and what could not be imported or written.
QString ContactScanReportText(const ContactScanReport& report);

// The dialogs as the scan calls them: 1 done or OK, 2 cancelled.
int RunScanOptionsDialog(ContactScanSettings& settings, QWidget* parent);
int RunScanAskDialog(const FeskItem& entry, const platform::SystemTime& contactDate, ConflictChoice& choice,
                     QWidget* parent);
