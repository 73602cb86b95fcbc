#include "platform/ui/KeypadWindow.h"

#include <QCloseEvent>
#include <QStackedLayout>

#include "platform/ui/KeypadScreen.h"
#include "platform/ui/KeypadTheme.h"

namespace keypad {
namespace {
QPointer<KeypadWindow> g_current;
}

KeypadWindow::KeypadWindow(QWidget* parent) : QWidget(parent) {
  m_stack = new QStackedLayout(this);
  m_stack->setContentsMargins(0, 0, 0, 0);
  resize(kDefaultScreenSize);
  setMinimumSize(120, 120);
  g_current = this;
}

KeypadWindow::~KeypadWindow() = default;

KeypadWindow* KeypadWindow::Current() { return g_current.data(); }

void KeypadWindow::SetMainScreen(KeypadScreen* screen) {
  m_main = screen;
  m_stack->insertWidget(0, screen);
  m_stack->setCurrentIndex(m_stack->count() - 1);
}

void KeypadWindow::PushScreen(KeypadScreen* screen) {
  m_focusBefore.append(focusWidget());
  m_stack->addWidget(screen);
  m_stack->setCurrentWidget(screen);
  setWindowTitle(screen->Title().isEmpty() ? windowTitle() : screen->Title());
}

void KeypadWindow::PopScreen(KeypadScreen* screen) {
  const int index = m_stack->indexOf(screen);
  if (index < 0) return;
  m_stack->removeWidget(screen);
  screen->hide();
  m_stack->setCurrentIndex(m_stack->count() - 1);
  if (!m_focusBefore.isEmpty()) {
    QPointer<QWidget> before = m_focusBefore.takeLast();
    if (before) before->setFocus();
  }
  if (auto* top = TopScreen()) {
    if (!top->Title().isEmpty()) setWindowTitle(top->Title());
  }
}

KeypadScreen* KeypadWindow::TopScreen() const {
  return qobject_cast<KeypadScreen*>(m_stack->currentWidget());
}

int KeypadWindow::ScreenCount() const { return m_stack->count(); }

void KeypadWindow::Turn() { resize(height(), width()); }

void KeypadWindow::closeEvent(QCloseEvent* event) {
  emit closing();
  event->accept();
}

}  // namespace keypad
