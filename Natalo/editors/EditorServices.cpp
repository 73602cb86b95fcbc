#include "Natalo/editors/EditorServices.h"

#include <optional>

#include "Natalo/NataloApp.h"
#include "platform/ui/KeypadWindow.h"

namespace {
std::optional<EditorServices> g_installed;
}

EditorServices GetEditorServices() {
  if (g_installed) return *g_installed;
  EditorServices services;
  if (NataloApp* app = NataloApp::Current()) {
    services.list = app->List();
    services.contacts = app->Contacts();
    services.playEventSound = app->m_pfnPlayEventSound;
    services.stopEventSounds = app->m_pfnStopEventSounds;
  }
  return services;
}

void SetEditorServices(const EditorServices* services) {
  if (services) {
    g_installed = *services;
  } else {
    g_installed.reset();
  }
}

keypad::KeypadWindow* DialogHost(QWidget* parent) {
  if (parent) {
    if (auto* window = qobject_cast<keypad::KeypadWindow*>(parent->window())) return window;
  }
  return keypad::KeypadWindow::Current();
}
