#pragma once
// What the entry dialogs reach outside themselves: the entry list (for the
// duplicate check), the contact store and the event-sound functions. The
// application hands in its own at start-up; tests install theirs.
#include <string>

class FeskList;
namespace platform {
class ContactStore;
}

struct EditorServices {
  FeskList* list = nullptr;
  platform::ContactStore* contacts = nullptr;
  int (*playEventSound)(const std::u16string& event, const void* window) = nullptr;
  int (*stopEventSounds)(const std::u16string& name) = nullptr;
};

// The services installed last; all empty when none are.
EditorServices GetEditorServices();
// Installs `services` (copied) until called again; nullptr removes them.
void SetEditorServices(const EditorServices* services);
