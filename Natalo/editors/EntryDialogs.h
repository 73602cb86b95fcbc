#pragma once
// The dialogs that change one date entry. Each runs as a modal full-screen
// dialog over `parent` (the list window or an editor) and returns 1 when the
// entry was changed (done), 2 when the user cancelled (the entry untouched).
// The caller saves the list and recalculates when it wants to.
class FeskItem;
class QWidget;

// The editor that fits the entry's kind: birthday, anniversary or other date.
// Any other kind shows the "Edit Dialog" box and returns 2.
int RunEntryEditor(FeskItem& entry, QWidget* parent);

// The entry's own reminder: program settings or its own choice and time.
int RunReminderDialog(FeskItem& entry, QWidget* parent);

// The entry's own sound: type, volume and the sound itself.
int RunSoundDialog(FeskItem& entry, QWidget* parent);

// The picture grid; 1 when another picture was chosen (the entry's m_dwIcon
// then holds it), 2 when cancelled or the same picture was chosen.
int RunIconPicker(FeskItem& entry, QWidget* parent);

// Registers RunEntryEditor as the entries' edit hook (FeskItem::Edit). The
// application calls it once at start-up.
void InstallEntryEditors();
