#include "platform/ui/FullScreenDialog.h"

#include <QEventLoop>

#include "platform/ui/KeypadTheme.h"
#include "platform/ui/KeypadWindow.h"

namespace keypad {
namespace {
QList<QPointer<FullScreenDialog>>& RunningDialogs() {
  static QList<QPointer<FullScreenDialog>> dialogs;
  return dialogs;
}
}  // namespace

FullScreenDialog::FullScreenDialog(KeypadWindow* host) : KeypadScreen(nullptr), m_host(host) {
  SetBackKeyTakenOver(true);
}

FullScreenDialog::~FullScreenDialog() {
  if (m_loop) m_loop->exit(m_result);
  if (m_host) m_host->PopScreen(this);
}

int FullScreenDialog::Exec() {
  if (m_doneEarly) return m_result;
  m_ended = false;
  if (m_host) {
    m_host->PushScreen(this);
  } else {
    setWindowTitle(Title());
    resize(kDefaultScreenSize);
    show();
  }
  FocusFirstField();
  RunningDialogs().append(this);
  QEventLoop loop;
  m_loop = &loop;
  loop.exec();
  m_loop = nullptr;
  RunningDialogs().removeAll(this);
  if (m_host) {
    m_host->PopScreen(this);
  } else {
    hide();
  }
  return m_result;
}

void FullScreenDialog::FocusFirstField() {
  for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
    if (isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled()) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
  setFocus();
}

void FullScreenDialog::Done(int result) {
  if (m_ended) return;  // the first result counts
  m_result = result;
  m_ended = m_loop != nullptr;
  if (m_loop) {
    m_loop->quit();
  } else {
    m_doneEarly = true;
  }
}

void FullScreenDialog::CancelAll() {
  for (const auto& d : RunningDialogs()) {
    if (d) d->Done(kResultCancel);
  }
}

QList<FullScreenDialog*> FullScreenDialog::Running() {
  QList<FullScreenDialog*> out;
  for (const auto& d : RunningDialogs()) {
    if (d) out.append(d.data());
  }
  return out;
}

}  // namespace keypad
