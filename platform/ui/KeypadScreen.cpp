#include "platform/ui/KeypadScreen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVBoxLayout>

#include "platform/ui/KeypadAccessible.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/SoftKeyBar.h"

namespace keypad {

bool IsTextField(const QWidget* widget) {
  if (!widget) return false;
  if (const auto* line = qobject_cast<const QLineEdit*>(widget)) return !line->isReadOnly();
  if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget)) return !plain->isReadOnly();
  if (const auto* rich = qobject_cast<const QTextEdit*>(widget)) return !rich->isReadOnly();
  return false;
}

KeypadScreen::KeypadScreen(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  m_title = new QLabel(this);
  m_title->setObjectName(QStringLiteral("ScreenTitle"));
  m_title->setFont(CondensedFont(SystemTextHeight(), 700));
  ColourTitle();
  m_title->setTextFormat(Qt::PlainText);
  m_title->hide();
  m_content = new QWidget(this);
  m_softKeys = new SoftKeyBar(this);
  layout->addWidget(m_title);
  layout->addWidget(m_content, 1);
  layout->addWidget(m_softKeys);
  connect(m_softKeys, &SoftKeyBar::commandChosen, this, [this](int c) { OnCommand(c); });
  InstallKeypadAccessibility();
}

void KeypadScreen::SetTitle(const QString& title) {
  m_titleText = title;
  ShowTitle();
  m_title->setVisible(!title.isEmpty());
  setWindowTitle(title);
  // A screen reader names the screen by its title.
  setAccessibleName(title);
}

void KeypadScreen::ColourTitle() {
  const KeypadColours colours = ThemeColours();
  m_title->setStyleSheet(QStringLiteral("color: %1; background: %2; padding: 2px 4px;")
                             .arg(colours.stripText.name(), colours.strip.name()));
}

bool KeypadScreen::event(QEvent* event) {
  // The desktop turned dark or light while the screen is open.
  if (event->type() == QEvent::ApplicationPaletteChange) ColourTitle();
  return QWidget::event(event);
}

QString KeypadScreen::Title() const { return m_titleText; }

void KeypadScreen::ShowTitle() {
  const int padding = 8;  // the strip's left and right padding
  m_title->setText(m_title->fontMetrics().elidedText(m_titleText, Qt::ElideRight, width() - padding));
}

QVBoxLayout* KeypadScreen::ContentLayout() {
  if (auto* existing = qobject_cast<QVBoxLayout*>(m_content->layout())) return existing;
  auto* layout = new QVBoxLayout(m_content);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}

void KeypadScreen::showEvent(QShowEvent* event) {
  // Keys reach the focused widget first; the filter sees them before it does.
  qApp->installEventFilter(this);
  QWidget::showEvent(event);
  AnnounceAlert(this);
}

void KeypadScreen::hideEvent(QHideEvent* event) {
  qApp->removeEventFilter(this);
  m_backDown = false;
  QWidget::hideEvent(event);
}

void KeypadScreen::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ShowTitle();
  if (size() != m_lastSize) {
    const bool first = !m_lastSize.isValid();
    m_lastSize = size();
    if (!first) OnScreenResized(size());
  }
}

bool KeypadScreen::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return QWidget::eventFilter(watched, event);
  // Keys for the widgets of this visible screen (or its window) are handled on
  // first sight: the keys handled here are consumed and so never propagate to a
  // parent and come by again. An open pop-up menu receives keys itself.
  auto* target = qobject_cast<QWidget*>(watched);
  if (!target || !isVisible() || QApplication::activePopupWidget()) return QWidget::eventFilter(watched, event);
  if (target != this && !isAncestorOf(target) && target != window()) return QWidget::eventFilter(watched, event);
  QWidget* focus = window()->focusWidget();
  auto* key = static_cast<QKeyEvent*>(event);
  const bool press = type == QEvent::KeyPress;
  if (key->key() == Qt::Key_F1 || key->key() == Qt::Key_F2) {
    if (press && !key->isAutoRepeat()) {
      m_softKeys->Press(key->key() == Qt::Key_F1 ? SoftKeyBar::Left : SoftKeyBar::Right);
    }
    return true;
  }
  // Backspace is Back except in a field that deletes with it: text fields, and
  // fields that say so (a date picker takes back a typed digit).
  const bool backspaceDeletes = IsTextField(focus) || (focus && focus->property("keypadBackspace").toBool());
  if (key->key() == Qt::Key_Escape || (key->key() == Qt::Key_Backspace && !backspaceDeletes)) {
    return HandleBackKey(key, press);
  }
  return QWidget::eventFilter(watched, event);
}

bool KeypadScreen::HandleBackKey(QKeyEvent* key, bool press) {
  QWidget* focus = window()->focusWidget();
  if (m_backTakenOver && IsTextField(focus) && key->key() == Qt::Key_Escape) {
    // Handed to the text field: it deletes the character before the caret.
    if (press) {
      QKeyEvent del(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
      QApplication::sendEvent(focus, &del);
    }
    return true;
  }
  if (!m_backTakenOver) {
    if (press && !key->isAutoRepeat()) OnBack();
    return true;
  }
  if (press) {
    if (!key->isAutoRepeat()) m_backDown = true;
  } else if (!key->isAutoRepeat() && m_backDown) {
    m_backDown = false;
    OnBack();
  }
  return true;
}

}  // namespace keypad
