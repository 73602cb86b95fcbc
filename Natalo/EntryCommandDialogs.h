#pragma once
// The dialogs behind the "More" commands of the action menu: each opens over
// `parent` for one entry and returns 1 when it changed the entry (the icon
// picker leaves the chosen picture in m_dwIcon), 2 when cancelled. A dialog
// that is not registered greys its menu item. The application fills the table
// at start-up; tests put their own dialogs in.
class FeskItem;
class QWidget;

using EntryCommandDialog = int (*)(FeskItem& entry, QWidget* parent);

struct EntryCommandDialogs {
  EntryCommandDialog pfnIconPicker = nullptr;
  EntryCommandDialog pfnReminderDialog = nullptr;
  EntryCommandDialog pfnSoundDialog = nullptr;
};

EntryCommandDialogs& GetEntryCommandDialogs();
