#include "common/entries/EntryEditorHook.h"

#include "common/entries/FeskItem.h"

namespace {
EntryEditorFunction g_entryEditor = nullptr;
}

void SetEntryEditorHook(EntryEditorFunction function) { g_entryEditor = function; }

EntryEditorFunction GetEntryEditorHook() { return g_entryEditor; }

int FeskItem::Edit(void* parent) { return g_entryEditor != nullptr ? g_entryEditor(*this, parent) : 2; }
