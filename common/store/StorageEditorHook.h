#pragma once
// The editor of a plain schedule item is a dialog of the application, while the
// store stays free of widgets: the application registers a factory, and
// StorageItem::CreateEditor asks it for an editor of the item.
#include <cstdint>
#include <memory>

class StorageItem;

// Kinds the base item's editor offers: Weekly, Once, Next24Hours and Monthly.
inline constexpr std::uint32_t kPlainEditorKinds = 15;
// The dialog layout the base item asks for.
inline constexpr std::uint32_t kPlainEditorTemplate = 0;

// One editor of one item, run once.
class StorageEditor {
 public:
  virtual ~StorageEditor() = default;
  // Runs the editor modally over the window `parent` (a QWidget*): 1 when the
  // item was saved, 2 when the user cancelled or the editor could not start.
  virtual int Run(void* parent) = 0;
};

// Makes an editor for `item` showing the kinds of `allowedKinds` (Recurrence
// bits), with times shown with seconds when `showSeconds`; nullptr when none.
using StorageEditorFactory = std::unique_ptr<StorageEditor> (*)(StorageItem& item, std::uint32_t templateId,
                                                                 std::uint32_t allowedKinds, bool showSeconds);

// Registers the factory; nullptr removes it. Call from the UI thread before
// any item is edited.
void SetStorageEditorHook(StorageEditorFactory factory);
StorageEditorFactory GetStorageEditorHook();
