#pragma once
// The entry editors are dialogs of the application, while the entries library
// stays free of widgets: the application registers the function that opens
// the editor fitting an entry's kind, and FeskItem::Edit calls it.
class FeskItem;

// Opens the editor for `item` over the window `parent` (a QWidget*); returns
// 1 when the entry was saved, 2 when the user cancelled.
using EntryEditorFunction = int (*)(FeskItem& item, void* parent);

// Registers the editor function; nullptr removes it. Call from the UI thread
// before any entry is edited.
void SetEntryEditorHook(EntryEditorFunction function);
EntryEditorFunction GetEntryEditorHook();
