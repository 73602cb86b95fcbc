#pragma once
// Drives the modal entry dialogs in tests: a step runs once the innermost
// dialog's loop is running; a step that leaves the dialog open ends it with 99.
#include <QDir>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

#include <functional>

#include <memory>

#include "platform/clock/Clock.h"
#include "platform/ui/FullScreenDialog.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/KeypadWindow.h"
#include "tests/app/AppTestFolder.h"

namespace editortest {

template <class Dialog>
void WhenRunning(std::function<void(Dialog&)> steps) {
  QTimer::singleShot(0, [steps] {
    const auto running = keypad::FullScreenDialog::Running();
    QPointer<keypad::FullScreenDialog> top = running.isEmpty() ? nullptr : running.last();
    auto* dialog = qobject_cast<Dialog*>(top.data());
    if (!dialog) dialog = dynamic_cast<Dialog*>(top.data());
    if (dialog) steps(*dialog);
    if (top && top->IsRunning()) top->Done(99);
  });
}

// Selects the row of the dialog's list whose text is `text`; false when none.
inline bool SelectRowText(QWidget& dialog, const QString& text) {
  for (auto* list : dialog.findChildren<QListWidget*>()) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    if (!found.isEmpty()) {
      list->setCurrentItem(found.first());
      return true;
    }
  }
  return false;
}

// A program folder with the texts in use, and a phone-sized window for the dialogs.
struct DialogTestWorld {
  DialogTestWorld() {
    keypad::InstallFontSubstitutions();
    folder.UseInThisProcess();
    window.resize(240, 320);
    window.show();
  }
  AppTestFolder folder{TestEngine::None};
  keypad::KeypadWindow window;
};

inline platform::SystemTime Day(int y, int m, int d) {
  platform::SystemTime st;
  st.wYear = static_cast<std::uint16_t>(y);
  st.wMonth = static_cast<std::uint16_t>(m);
  st.wDay = static_cast<std::uint16_t>(d);
  return st;
}

#ifdef NATALO_SCREENS_DIR
// Where the screen tests save their pictures: NATALO_SHOTS_DIR, else the
// target's own folder in the build tree.
inline QString ShotsFolder() {
  QString folder = qEnvironmentVariable("NATALO_SHOTS_DIR");
  if (folder.isEmpty()) folder = QStringLiteral(NATALO_SCREENS_DIR);
  QDir().mkpath(folder);
  return folder;
}
#endif

}  // namespace editortest
