#pragma once
// What the entry dialogs reach outside themselves: the entry list (for the
// duplicate check), the application's contact store and the event-sound
// functions. By default those of the running application; tests install their own.
#include <string>

class FeskList;
class QWidget;
namespace keypad {
class KeypadWindow;
}
namespace platform {
class ContactStore;
}

struct EditorServices {
  FeskList* list = nullptr;
  platform::ContactStore* contacts = nullptr;
  int (*playEventSound)(const std::u16string& event, const void* window) = nullptr;
  int (*stopEventSounds)(const std::u16string& name) = nullptr;
};

EditorServices GetEditorServices();
// Replaces the application's services until called with nullptr (tests).
void SetEditorServices(const EditorServices* services);

// The keypad window a dialog opened over `parent` takes its place in.
keypad::KeypadWindow* DialogHost(QWidget* parent);
