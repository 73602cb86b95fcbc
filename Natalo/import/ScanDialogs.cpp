#include "Natalo/import/ScanDialogs.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>

#include "Natalo/AppText.h"
#include "Natalo/DialogKeys.h"
#include "Natalo/import/ScanReportText.h"
#include "platform/ui/DialogHost.h"
#include "common/entries/EntryTexts.h"
#include "common/entries/FeskItem.h"
#include "common/entries/TextFormat.h"
#include "platform/ui/CheckField.h"
#include "platform/ui/FormColumn.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/SpinnerList.h"

namespace {

keypad::SpinnerList* ConflictRuleList(bool withAsk) {
  const LocalTable& t = LocalText();
  auto* list = new keypad::SpinnerList;
  if (withAsk) list->AddItem(ToQString(t.Get(u"DLG_SCANO_CONFLICT_O1")));
  list->AddItem(ToQString(t.Get(u"DLG_SCANO_CONFLICT_O2")));
  list->AddItem(ToQString(t.Get(u"DLG_SCANO_CONFLICT_O3")));
  list->AddItem(ToQString(t.Get(u"DLG_SCANO_CONFLICT_O4")));
  list->SetCurrentIndex(0);
  return list;
}

keypad::SpinnerList* ImportChoiceList() {
  const LocalTable& t = LocalText();
  auto* list = new keypad::SpinnerList;
  list->AddItem(ToQString(t.Get(u"DLG_SCANO_IMPORT")));
  list->AddItem(ToQString(t.Get(u"DLG_SCANO_NOTIMPORT")));
  list->SetCurrentIndex(0);
  return list;
}

// After the screen turned the rows lie anew at the new width; the first list
// takes the focus and the column shows its top, as the entry editors do.
void BackToFirstRow(keypad::FormColumn* form, QWidget* first) {
  first->setFocus(Qt::OtherFocusReason);
  form->verticalScrollBar()->setValue(0);
}

}  // namespace

ScanOptionsDialog::ScanOptionsDialog(ContactScanSettings& settings, QWidget* parent)
    : FullScreenDialog(keypad::DialogHost(parent)), m_settings(settings) {
  const LocalTable& t = LocalText();
  SetTitle(ToQString(t.Get(u"DLG_SCANO_HEADER")));
  SetDoneCancelKeys(SoftKeys());
  auto* form = m_form = new keypad::FormColumn;
  m_importB = ImportChoiceList();
  m_conflictB = ConflictRuleList(true);
  m_importA = ImportChoiceList();
  m_conflictA = ConflictRuleList(true);
  form->AddRow(ToQString(t.Get(u"DLG_SCANO_BIRTHDAYS")), m_importB);
  form->AddRow(ToQString(t.Get(u"DLG_SCANO_CONFLICT_A")), m_conflictB);
  form->AddRow(ToQString(t.Get(u"DLG_SCANO_ANNIVERSARIES")), m_importA);
  form->AddRow(ToQString(t.Get(u"DLG_SCANO_CONFLICT_B")), m_conflictA);
  ContentLayout()->addWidget(form);
  // A kind that is not imported has no conflicts to settle.
  for (auto [import, conflict] : {std::pair{m_importB, m_conflictB}, std::pair{m_importA, m_conflictA}}) {
    connect(import, &keypad::SpinnerList::currentIndexChanged, conflict,
            [conflict](int index) { conflict->setEnabled(index == 0); });
  }
  activateWindow();
  raise();
}

void ScanOptionsDialog::OnCommand(int command) {
  if (command != keypad::kResultDone) {
    Done(keypad::kResultCancel);
    return;
  }
  m_settings.ImportBirthdays = m_importB->CurrentIndex() == 0 ? 1 : 0;
  m_settings.BirthdayConflictRule = static_cast<std::uint32_t>(m_conflictB->CurrentIndex());
  m_settings.ImportAnniversaries = m_importA->CurrentIndex() == 0 ? 1 : 0;
  m_settings.AnniversaryConflictRule = static_cast<std::uint32_t>(m_conflictA->CurrentIndex());
  Done(keypad::kResultDone);
}

void ScanOptionsDialog::OnScreenResized(const QSize&) { BackToFirstRow(m_form, m_importB); }

ScanAskDialog::ScanAskDialog(const FeskItem& entry, const platform::SystemTime& contactDate, QWidget* parent)
    : FullScreenDialog(keypad::DialogHost(parent)) {
  const LocalTable& t = LocalText();
  SetTitle(ToQString(t.Get(u"MSG_SCAN_ASK_CAPTION")));
  SetConfirmCancelKeys(SoftKeys(), ToQString(t.Get(u"BTN_OK")));
  // The contact's date is shown as the entry's would be, in the date format chosen.
  FeskItem contact(entry.m_wKind);
  platform::SystemTimeToFileTime(contactDate, contact.m_ftDate);
  const std::u16string text =
      FormatText(t.Get(entry.m_wKind == Birthday ? u"MSG_SCAN_ASK_LABEL_B" : u"MSG_SCAN_ASK_LABEL_A"),
                 {entry.GetDisplayName(), FormatEntryDate(entry), FormatEntryDate(contact)});
  auto* form = m_form = new keypad::FormColumn;
  const QFont plain = keypad::CondensedFont(keypad::SystemTextHeight(), 400);
  form->AddRow(ToQString(text), nullptr)->setFont(plain);
  m_action = ConflictRuleList(false);
  form->AddRow(ToQString(t.Get(u"MSG_SCAN_ASK_ACTION")), m_action);
  // A check box does not wrap its text; the text beside it does.
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  m_same = new keypad::CheckField;
  auto* sameText = new QLabel(ToQString(t.Get(u"MSG_SCAN_ASK_CHECK")));
  sameText->setWordWrap(true);
  sameText->setFont(plain);
  sameText->setBuddy(m_same);
  layout->addWidget(m_same, 0, Qt::AlignTop);
  layout->addWidget(sameText, 1);
  form->AddRow({}, row);
  ContentLayout()->addWidget(form);
  SetBackKeyTakenOver(false);
}

void ScanAskDialog::OnCommand(int command) {
  if (command != keypad::kResultDone) {
    Done(keypad::kResultCancel);
    return;
  }
  m_choice.rule = static_cast<std::uint32_t>(m_action->CurrentIndex() + 1);
  m_choice.askAgain = !m_same->isChecked();
  Done(keypad::kResultDone);
}

ScanProgressScreen::ScanProgressScreen(QWidget* parent) : m_host(keypad::DialogHost(parent)) {
  SetTitle(ToQString(LocalText().Get(u"DLG_SCANO_HEADER")));
  QVBoxLayout* layout = ContentLayout();
  layout->setContentsMargins(6, 12, 6, 6);
  m_text = new QLabel;
  m_text->setWordWrap(true);
  m_text->setFont(keypad::LabelFont());
  m_bar = new QProgressBar;
  m_bar->setTextVisible(false);
  m_bar->setFixedHeight(12);
  layout->addWidget(m_text);
  layout->addWidget(m_bar);
  layout->addStretch(1);
  if (m_host) {
    m_host->PushScreen(this);
  } else {
    resize(keypad::kDefaultScreenSize);
    show();
  }
}

ScanProgressScreen::~ScanProgressScreen() {
  if (m_host) m_host->PopScreen(this);
}

void ScanProgressScreen::Show(ScanPhase phase, int done, int total) {
  const char16_t* key = phase == ScanPhase::ReadingFolder ? u"MSG_SCAN_PROGRESS" : u"MSG_SCAN_PROGRESS_COMPARE";
  m_text->setText(ToQString(FormatText(LocalText().Get(key), {DecimalText(done), DecimalText(total)})));
  m_bar->setRange(0, total);
  m_bar->setValue(done);
  // The scan holds this thread: paint now, but leave the keys for later.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString ScanProgressScreen::Text() const { return m_text->text(); }

QString ContactScanReportText(const ContactScanReport& r) { return ToQString(ContactScanReportLines(r)); }

void ScanAskDialog::OnScreenResized(const QSize&) { BackToFirstRow(m_form, m_action); }

int RunScanOptionsDialog(ContactScanSettings& settings, QWidget* parent) {
  ScanOptionsDialog dialog(settings, parent);
  dialog.FocusFirstField();
  return dialog.Exec();
}

int RunScanAskDialog(const FeskItem& entry, const platform::SystemTime& contactDate, ConflictChoice& choice,
                     QWidget* parent) {
  ScanAskDialog dialog(entry, contactDate, parent);
  dialog.FocusFirstField();
  const int result = dialog.Exec();
  if (result == keypad::kResultDone) choice = dialog.Choice();
  return result;
}
