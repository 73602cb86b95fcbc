// The contact scan run from the main window: from the menu with its options
// dialog and a report at the end, and once as the offer of the first start.
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

#include <cstdio>
#include <memory>

#include "Natalo/AppText.h"
#include "Natalo/EntryListView.h"
#include "Natalo/MainWindow.h"
#include "Natalo/NataloApp.h"
#include "Natalo/import/ContactScan.h"
#include "Natalo/import/ScanDialogs.h"
#include "common/entries/FeskItem.h"
#include "common/entries/FeskList.h"
#include "common/entries/TextFormat.h"
#include "common/settings/AppSettings.h"
#include "platform/contacts/ContactLog.h"
#include "platform/contacts/ContactStore.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WaitCursor.h"

namespace {

// Past this many contacts a scan may take long enough to show its progress.
constexpr int kProgressFrom = 200;
constexpr int kProgressStepMs = 100;

// The scan's own connection to the folder the application reads.
std::unique_ptr<platform::ContactStore> OpenScanStore() {
  const NataloApp* app = NataloApp::Current();
  if (app != nullptr && app->Contacts() != nullptr && !app->Contacts()->GetFolderPath().empty()) {
    return std::make_unique<platform::ContactStore>(app->Contacts()->GetFolderPath());
  }
  return std::make_unique<platform::ContactStore>();
}

QString Number(int value) { return ToQString(DecimalText(value)); }

QString ReportText(const ContactScanReport& r) {
  const LocalTable& t = LocalText();
  QString text = ToQString(FormatText(
      t.Get(u"MSG_SCAN_REPORT"),
      {DecimalText(r.birthdaysAdded), DecimalText(r.anniversariesAdded), DecimalText(r.alreadyListed),
       DecimalText(r.entriesUpdated), DecimalText(r.contactsUpdated), DecimalText(r.conflictsLeft)}));
  const auto line = [&](const char16_t* key, int count) {
    if (count > 0) text += QLatin1Char('\n') + ToQString(t.Get(key)).replace(QLatin1String("%s"), Number(count));
  };
  line(u"MSG_SCAN_REPORT_NOYEAR", r.datesWithoutYear);
  line(u"MSG_SCAN_REPORT_UNREADABLE", r.filesUnreadable);
  line(u"MSG_SCAN_REPORT_WRITE_FAILED", r.contactWritesFailed);
  return text;
}

}  // namespace

int MainWindow::RunContactScan(bool withOptions, ContactScanReport* report) {
  ContactScanSettings& settings = ScanSettings();
  if (withOptions && RunScanOptionsDialog(settings, this) != keypad::kResultDone) return 0;

  keypad::WaitCursor wait;
  std::unique_ptr<QProgressDialog> progress;
  QElapsedTimer sinceRepaint;
  sinceRepaint.start();
  ContactScanHooks hooks;
  hooks.ask = [this](const FeskItem& entry, const platform::SystemTime& date, ConflictChoice& choice) {
    QApplication::restoreOverrideCursor();
    const int result = RunScanAskDialog(entry, date, choice, this);
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    return result;
  };
  hooks.progress = [&](int done, int total) {
    if (total < kProgressFrom || (done < total && sinceRepaint.elapsed() < kProgressStepMs)) return;
    sinceRepaint.restart();
    if (!progress) {
      progress = std::make_unique<QProgressDialog>(this);
      progress->setCancelButton(nullptr);
      progress->setMinimumDuration(0);
      progress->setWindowModality(Qt::WindowModal);
      progress->setRange(0, total);
    }
    progress->setLabelText(ToQString(FormatText(LocalText().Get(u"MSG_SCAN_PROGRESS"),
                                                {DecimalText(done), DecimalText(total)})));
    progress->setValue(done);
    // The window keeps painting while the scan runs in this thread.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  hooks.save = [this](FeskList&) { return Save(); };
  hooks.recalculate = [this] {
    if (m_recalculate) m_recalculate();
  };
  std::unique_ptr<platform::ContactStore> store = OpenScanStore();
  int unreadable = 0;
  platform::SetContactLogHook([&unreadable](std::string_view line) {
    if (line.starts_with("skipped")) ++unreadable;
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
  });
  const int result = ScanContacts(m_entries, *store, settings, hooks, report);
  platform::SetContactLogHook({});
  if (report != nullptr) report->filesUnreadable = unreadable;
  progress.reset();
  wait.Done();
  if (result == 1) m_list->RefreshList();
  UpdateMenuState();
  return result;
}

void MainWindow::ImportContacts() {
  ContactScanReport report;
  if (RunContactScan(true, &report) != 1) return;
  ShowMessage(ReportText(report), keypad::MB_OK | keypad::MB_ICONINFORMATION);
}

void MainWindow::OfferFirstRunScan() {
  for (const StorageItem& item : m_entries) {
    const FeskItem* entry = AsEntry(&item);
    if (entry != nullptr && !entry->IsStar()) return;
  }
  if (ReadFirstRunScanImportDone() != 0) return;
  const int answer = ShowMessage(ToQString(LocalText().Get(u"MSG_SCANCONTACTS_CONFIRMATION")),
                                 keypad::MB_YESNO | keypad::MB_ICONQUESTION, m_list);
  if (answer == keypad::IDYES) RunContactScan(false, nullptr);
  WriteFirstRunScanImportDone(1);
}
