// The commands of the main window's menus and list.
#include <QApplication>

#include <unistd.h>

#include "Natalo/AboutBox.h"
#include "Natalo/AppText.h"
#include "Natalo/Commands.h"
#include "Natalo/EntryCommandDialogs.h"
#include "Natalo/EntryListView.h"
#include "Natalo/EntryStorage.h"
#include "Natalo/HelpScreen.h"
#include "Natalo/MainMenu.h"
#include "Natalo/MainWindow.h"
#include "Natalo/ViewNoteDialog.h"
#include "Natalo/import/ContactScan.h"
#include "Natalo/settings/ReminderDefaults.h"
#include "Natalo/settings/SettingsMenu.h"
#include "common/entries/FeskList.h"
#include "common/settings/AppSettings.h"
#include "common/text/ProgramFolder.h"
#include "platform/text/Utf.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WaitCursor.h"

EntryCommandDialogs& GetEntryCommandDialogs() {
  static EntryCommandDialogs dialogs;
  return dialogs;
}

void MainWindow::RunCommand(int command) {
  switch (command) {
    case cmd::kNewBirthday: NewEntry(Birthday); break;
    case cmd::kNewAnniversary: NewEntry(Anniversary); break;
    case cmd::kNewOtherDate: NewEntry(OtherDate); break;
    case cmd::kEdit: EditEntry(); break;
    case cmd::kViewNote: ViewNote(); break;
    case cmd::kDelete: DeleteEntry(); break;
    case cmd::kDisableActivate: ToggleEnabled(); break;
    case cmd::kSkipNext: ToggleSkipNext(); break;
    case cmd::kSetIcon: SetIcon(); break;
    case cmd::kSetReminder:
    case cmd::kSetSound: RunEntryDialog(command); break;
    case cmd::kShowBirthdays:
    case cmd::kShowAnniversaries:
    case cmd::kShowOtherDates:
    case cmd::kShowStars: ToggleShowFlag(command); break;
    case cmd::kSortAscending: SetSortOrder(true); break;
    case cmd::kSortDescending: SetSortOrder(false); break;
    case cmd::kSettings: OpenSettings(); break;
    case cmd::kScanContacts: ImportContacts(); break;
    case cmd::kAbout: ShowAboutBox(m_szTitle, this); break;
    case cmd::kHelp: OpenHelp(); break;
    case cmd::kExit: close(); break;
    case cmd::kRefreshList: m_list->RefreshList(); break;
    case cmd::kUpdateMenu: UpdateMenuState(); break;
    default:
      for (std::uint32_t key = 0; key < 6; ++key) {
        if (cmd::kSortCommands[key] == command) SetSortKey(key);
      }
      break;
  }
}

int MainWindow::ShowMessage(const QString& text, unsigned flags, QWidget* owner) {
  return keypad::ShowMessageBox(owner != nullptr ? owner : this, text, m_szTitle, flags);
}

bool MainWindow::Save(bool removeWhenEmpty) {
  // The reminder utility may hold the file for a while; the window repaints meanwhile.
  keypad::WaitCursor wait;
  const EntrySaveResult result = SaveEntryList(m_entries, removeWhenEmpty);
  wait.Done();
  if (!result.szMovedAside.empty()) {
    ShowMessage(ToQString(LocalText().Get(u"MSG_STORAGE_MOVED_ASIDE"))
                    .replace(QLatin1String("%s"), QString::fromStdString(result.szMovedAside)),
                keypad::MB_OK | keypad::MB_ICONINFORMATION);
  }
  if (!result.bSaved) {
    // The change stays in memory and goes out with the next save that works.
    ShowMessage(ToQString(LocalText().Get(u"MSG_SAVE_FAILED")).replace(QLatin1String("%s"), result.szReason),
                keypad::MB_OK | keypad::MB_ICONEXCLAMATION);
  }
  return result.bSaved;
}

void MainWindow::SaveAndRecalculate(bool removeWhenEmpty) {
  if (Save(removeWhenEmpty) && m_recalculate) m_recalculate();
}

void MainWindow::AfterEntryChanged() {
  m_list->SortRows();
  UpdateMenuState();
  m_list->viewport()->update();
}

void MainWindow::NewEntry(std::uint16_t kind) {
  auto entry = std::make_unique<FeskItem>(kind);
  entry->m_dwIcon = DefaultIconOfKind(kind);
  if (entry->Edit(m_list) != 1) return;
  FeskItem* added = AsEntry(m_entries.Add(std::move(entry)));
  m_list->InsertRow(m_list->RowCount(), added, true, true);
  UpdateMenuState();
  SaveAndRecalculate();
}

void MainWindow::EditEntry() {
  FeskItem* entry = m_list->RowCount() > 0 ? m_list->SelectedEntry() : nullptr;
  if (entry == nullptr) return;
  if (entry->IsStar()) {
    ShowMessage(ToQString(LocalText().Get(u"MSG_CANT_EDIT_STAR")), keypad::MB_OK | keypad::MB_ICONEXCLAMATION);
    return;
  }
  if (entry->Edit(m_list) != 1) return;
  SaveAndRecalculate();
  AfterEntryChanged();
}

void MainWindow::ViewNote() {
  FeskItem* entry = m_list->SelectedEntry();
  if (entry == nullptr || RunViewNoteDialog(*entry, this) != 1) return;
  Save();
  UpdateMenuState();
  m_list->viewport()->update();
}

void MainWindow::DeleteEntry() {
  const int row = m_list->SelectedRow();
  FeskItem* entry = m_list->EntryAt(row);
  if (entry == nullptr || entry->IsStar()) return;
  if (ShowMessage(ToQString(LocalText().Get(u"MSG_CONFIRM_DELETE")), keypad::MB_YESNO | keypad::MB_ICONQUESTION,
                  m_list) != keypad::IDYES) {
    m_list->setFocus();
    return;
  }
  // A contact's entry stays deleted: the next import leaves that contact out.
  RememberDeletedContactEntry(*entry);
  m_list->DeleteRow(row);
  m_entries.Remove(entry);
  // With no entry left at all the file goes; with stars left it keeps a header.
  SaveAndRecalculate(/*removeWhenEmpty=*/true);
  UpdateMenuState();
}

void MainWindow::ToggleEnabled() {
  FeskItem* entry = m_list->SelectedEntry();
  if (entry == nullptr || entry->IsStar()) return;
  entry->m_bEnabled = entry->m_bEnabled ? 0 : 1;
  entry->m_wSkipNext = 0;
  entry->m_ftSnooze = 0;
  entry->m_dwAutoSnoozeCounter = 0;
  entry->m_dwSnoozeCounter = 0;
  SaveAndRecalculate();
  UpdateMenuState();
  m_list->viewport()->update();
}

void MainWindow::ToggleSkipNext() {
  FeskItem* entry = m_list->SelectedEntry();
  if (entry == nullptr || entry->IsStar()) return;
  keypad::WaitCursor wait;
  entry->m_wSkipNext = entry->m_wSkipNext == 0 ? 1 : 0;
  SaveAndRecalculate();
  AfterEntryChanged();
}

void MainWindow::SetIcon() {
  FeskItem* entry = m_list->SelectedEntry();
  const EntryCommandDialog pick = GetEntryCommandDialogs().pfnIconPicker;
  if (entry == nullptr || entry->IsStar() || pick == nullptr) return;
  const std::uint32_t before = entry->m_dwIcon;
  if (pick(*entry, m_list) != 1 || entry->m_dwIcon == before) return;
  keypad::WaitCursor wait;
  SaveAndRecalculate();
  AfterEntryChanged();
}

void MainWindow::RunEntryDialog(int command) {
  FeskItem* entry = m_list->SelectedEntry();
  const EntryCommandDialogs& dialogs = GetEntryCommandDialogs();
  const EntryCommandDialog dialog = command == cmd::kSetReminder ? dialogs.pfnReminderDialog : dialogs.pfnSoundDialog;
  if (entry == nullptr || entry->IsStar() || dialog == nullptr) return;
  if (dialog(*entry, this) != 1) return;
  keypad::WaitCursor wait;
  if (command == cmd::kSetSound) {
    // The sound plays only when a reminder is shown; nothing to recompute.
    Save();
    return;
  }
  SaveAndRecalculate();
  AfterEntryChanged();
}

void MainWindow::ToggleShowFlag(int command) {
  AppSettings& s = g_settings;
  std::uint32_t& flag = command == cmd::kShowBirthdays      ? s.g_bShowBirthdays
                        : command == cmd::kShowAnniversaries ? s.g_bShowAnniversaries
                        : command == cmd::kShowOtherDates    ? s.g_bShowOtherDates
                                                             : s.g_bShowStars;
  flag = flag ? 0 : 1;
  m_list->RefreshList();
  UpdateCheckMarks();
}

void MainWindow::SetSortKey(std::uint32_t key) {
  g_settings.g_dwSort = key;
  m_list->SortRows();
  UpdateCheckMarks();
}

void MainWindow::SetSortOrder(bool bAscending) {
  g_settings.g_bSortAscending = bAscending ? 1 : 0;
  m_list->SortRows();
  UpdateCheckMarks();
}

void MainWindow::OpenHelp() {
  const std::u16string path = GetProgramFolder() + LocalText().GetHelpFile();
  const std::string file = platform::ToUtf8(path);
  if (access(file.c_str(), R_OK) != 0) {
    ShowMessage(ToQString(LocalText().Get(u"MSG_HELP_NOT_OPENED")).replace(QLatin1String("%s"), ToQString(path)),
                keypad::MB_OK | keypad::MB_ICONEXCLAMATION);
    return;
  }
  // Shown in the program itself: a phone or a desktop without a web browser has no other viewer.
  ShowHelpScreen(ToQString(path), this);
  m_list->setFocus(Qt::OtherFocusReason);
}

void MainWindow::OpenSettings() {
  SettingsHooks hooks;
  hooks.viewChanged = [this] {
    m_list->SortRows();
    m_list->viewport()->update();
  };
  hooks.reminderDefaultsChanged = [this] {
    if (m_entries.IsEmpty()) return;
    keypad::WaitCursor wait;
    ApplyDefaultReminderToAll(m_entries);
    SaveAndRecalculate();
    AfterEntryChanged();
  };
  OpenSettingsMenu(this, hooks);
  m_list->setFocus(Qt::OtherFocusReason);
}
