#include "platform/ui/SoftKeyBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>

#include "platform/ui/CommandMenu.h"
#include "platform/ui/KeypadTheme.h"

namespace keypad {

SoftKeyBar::SoftKeyBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("SoftKeyBar"));
  setAutoFillBackground(true);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  for (int i = 0; i < 2; ++i) {
    auto* button = new QPushButton(this);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFlat(true);
    button->setFont(CondensedFont(SystemTextHeight(), 700));
    layout->addWidget(button, 1);
    m_keys[i].button = button;
    connect(button, &QPushButton::clicked, this, [this, i] {
      // A click on a soft key while a menu is open closes that menu; the
      // click may then arrive here too and must not open it again.
      if (m_menuClosed.isValid() && m_menuClosed.elapsed() < kReopenGuardMs) return;
      Press(static_cast<Key>(i));
    });
  }
  ColourKeys();
}

void SoftKeyBar::ColourKeys() {
  const KeypadColours colours = ThemeColours();
  for (const KeySlot& slot : m_keys) {
    slot.button->setStyleSheet(QStringLiteral("QPushButton { color: %1; background: %2; border: none; padding: 4px 2px; }"
                                              "QPushButton:pressed { background: %3; }")
                                   .arg(colours.keyText.name(), colours.key.name(), colours.keyPressed.name()));
  }
}

bool SoftKeyBar::event(QEvent* event) {
  if (event->type() == QEvent::ApplicationPaletteChange) ColourKeys();
  return QWidget::event(event);
}

void SoftKeyBar::SetCommandKey(Key key, const QString& text, int command) {
  m_keys[key].command = command;
  m_keys[key].menu = nullptr;
  m_keys[key].button->setText(text);
  m_keys[key].button->setEnabled(true);
}

void SoftKeyBar::SetMenuKey(Key key, const QString& text, CommandMenu* menu) {
  m_keys[key].command = 0;
  m_keys[key].menu = menu;
  m_keys[key].button->setText(text);
  m_keys[key].button->setEnabled(true);
  if (menu) {
    connect(menu, &CommandMenu::commandChosen, this, &SoftKeyBar::commandChosen, Qt::UniqueConnection);
    connect(menu, &QMenu::aboutToHide, this, &SoftKeyBar::NoteMenuClosed, Qt::UniqueConnection);
  }
}

void SoftKeyBar::NoteMenuClosed() { m_menuClosed.start(); }

void SoftKeyBar::HideKey(Key key) {
  m_keys[key].command = 0;
  m_keys[key].menu = nullptr;
  m_keys[key].button->setText(QString());
  // The empty key keeps its place so the other one stays on its own side.
  m_keys[key].button->setEnabled(false);
}

void SoftKeyBar::SetKeyText(Key key, const QString& text) { m_keys[key].button->setText(text); }
QString SoftKeyBar::KeyText(Key key) const { return m_keys[key].button->text(); }
bool SoftKeyBar::IsKeyVisible(Key key) const { return m_keys[key].button->isEnabled(); }
CommandMenu* SoftKeyBar::KeyMenu(Key key) const { return m_keys[key].menu; }

void SoftKeyBar::Press(Key key) {
  const KeySlot& slot = m_keys[key];
  if (!slot.button->isEnabled()) return;
  if (slot.menu) {
    if (slot.menu->isVisible()) {
      slot.menu->close();
      return;
    }
    // Open the menu above its key, aligned to the key's side of the screen.
    QPoint at = slot.button->mapToGlobal(QPoint(0, 0));
    if (key == Right) at.rx() += slot.button->width();
    slot.menu->PopupAbove(at, key == Right);
    return;
  }
  if (slot.command != 0) emit commandChosen(slot.command);
}

}  // namespace keypad
