// The contact scan run from the main window: from the menu with its options
// dialog and a report at the end, and once as the offer of the first start.
#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>

#include "Natalo/AppText.h"
#include "Natalo/EntryListView.h"
#include "Natalo/MainWindow.h"
#include "Natalo/editors/EditorServices.h"
#include "Natalo/import/ContactScan.h"
#include "Natalo/import/ScanDialogs.h"
#include "common/entries/FeskItem.h"
#include "common/entries/FeskList.h"
#include "common/settings/AppSettings.h"
#include "platform/contacts/ContactLog.h"
#include "platform/contacts/ContactStore.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WaitCursor.h"

namespace {

// From this many contacts a scan may take long enough to show its progress.
constexpr int kProgressFrom = 500;
constexpr int kProgressStepMs = 100;

// The scan's own connection to the folder the application reads.
std::unique_ptr<platform::ContactStore> OpenScanStore() {
  const platform::ContactStore* contacts = GetEditorServices().contacts;
  if (contacts != nullptr && !contacts->GetFolderPath().empty()) {
    return std::make_unique<platform::ContactStore>(contacts->GetFolderPath());
  }
  return std::make_unique<platform::ContactStore>();
}

}  // namespace

int MainWindow::RunContactScan(bool withOptions, ContactScanReport* report) {
  ContactScanSettings& settings = ScanSettings();
  if (withOptions && RunScanOptionsDialog(settings, this) != keypad::kResultDone) return 0;

  keypad::WaitCursor wait;
  std::unique_ptr<ScanProgressScreen> progress;
  QElapsedTimer sinceRepaint;
  sinceRepaint.start();
  ContactScanHooks hooks;
  hooks.ask = [this](const FeskItem& entry, const platform::SystemTime& date, ConflictChoice& choice) {
    QApplication::restoreOverrideCursor();
    const int result = RunScanAskDialog(entry, date, choice, this);
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    return result;
  };
  hooks.progress = [&](ScanPhase phase, int done, int total) {
    if (total < kProgressFrom) return;
    // Shown at once, then at most every step, and at the start and end of each phase.
    if (progress && done > 0 && done < total && sinceRepaint.elapsed() < kProgressStepMs) return;
    sinceRepaint.restart();
    if (!progress) progress = std::make_unique<ScanProgressScreen>(this);
    progress->Show(phase, done, total);
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
  ShowMessage(ContactScanReportText(report), keypad::MB_OK | keypad::MB_ICONINFORMATION);
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
