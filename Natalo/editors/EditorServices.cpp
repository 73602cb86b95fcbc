#include "Natalo/editors/EditorServices.h"

#include <optional>

namespace {
std::optional<EditorServices> g_installed;
}

EditorServices GetEditorServices() { return g_installed.value_or(EditorServices{}); }

void SetEditorServices(const EditorServices* services) {
  if (services) {
    g_installed = *services;
  } else {
    g_installed.reset();
  }
}
