#include "common/store/StorageEditorHook.h"

#include "common/store/StorageItem.h"

namespace {
StorageEditorFactory g_storageEditor = nullptr;
}

void SetStorageEditorHook(StorageEditorFactory factory) { g_storageEditor = factory; }

StorageEditorFactory GetStorageEditorHook() { return g_storageEditor; }

std::unique_ptr<StorageEditor> StorageItem::CreateEditor() {
  if (g_storageEditor == nullptr) return nullptr;
  return g_storageEditor(*this, kPlainEditorTemplate, kPlainEditorKinds, m_bShowSeconds != 0);
}

int StorageItem::Edit(void* parent) {
  const std::unique_ptr<StorageEditor> editor = CreateEditor();
  return editor != nullptr ? editor->Run(parent) : 2;
}
