#include "Natalo/editors/EntryDialogs.h"

#include "Natalo/editors/EntryEditor.h"
#include "Natalo/editors/ReminderDialog.h"
#include "Natalo/editors/SoundDialog.h"
#include "Natalo/pickers/IconPicker.h"
#include "common/entries/EntryEditorHook.h"
#include "common/entries/FeskItem.h"
#include "platform/ui/MessageBox.h"

int RunEntryEditor(FeskItem& entry, QWidget* parent) {
  if (entry.m_wKind != Birthday && entry.m_wKind != Anniversary && entry.m_wKind != OtherDate) {
    keypad::ShowMessageBox(parent, QStringLiteral("Edit Dialog"), QStringLiteral("Info"),
                           keypad::MB_OK | keypad::MB_ICONEXCLAMATION);
    return keypad::kResultCancel;
  }
  EntryEditor editor(entry, entry.m_wKind, parent);
  return editor.Exec();
}

int RunReminderDialog(FeskItem& entry, QWidget* parent) {
  ReminderDialog dialog(entry, parent);
  return dialog.Exec();
}

int RunSoundDialog(FeskItem& entry, QWidget* parent) {
  SoundDialog dialog(entry, parent);
  return dialog.Exec();
}

int RunIconPicker(FeskItem& entry, QWidget* parent) {
  std::uint32_t number = entry.m_dwIcon;
  if (SelectIcon(parent, number) != keypad::kResultDone || number == entry.m_dwIcon) return keypad::kResultCancel;
  entry.m_dwIcon = number;
  return keypad::kResultDone;
}

void InstallEntryEditors() {
  SetEntryEditorHook([](FeskItem& entry, void* parent) { return RunEntryEditor(entry, static_cast<QWidget*>(parent)); });
}
