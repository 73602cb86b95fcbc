#include "platform/ui/CommandMenu.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

#include "platform/ui/KeypadAccessible.h"
#include "platform/ui/SoftKeyBar.h"

namespace keypad {
namespace {

const char kFullTextProperty[] = "keypadFullText";

// A sub-menu lies over its parent shifted right by this much, so the parent's
// edge shows beneath it as a second layer.
constexpr int kSubMenuIndent = 12;

void SetFullText(QAction* action, const QString& text) {
  action->setProperty(kFullTextProperty, text);
  action->setText(text);
}

// Moves `rect` inside `area` (top-left first when it is larger).
QRect KeptInside(QRect rect, const QRect& area) {
  if (area.isEmpty()) return rect;
  if (rect.right() > area.right()) rect.moveRight(area.right());
  if (rect.bottom() > area.bottom()) rect.moveBottom(area.bottom());
  if (rect.left() < area.left()) rect.moveLeft(area.left());
  if (rect.top() < area.top()) rect.moveTop(area.top());
  return rect;
}

}  // namespace

CommandMenu::CommandMenu(QWidget* parent) : QMenu(parent) {
  InstallKeypadAccessibility();
  connect(this, &QMenu::aboutToShow, this, &CommandMenu::FitTextsToScreen);
}

CommandMenu::CommandMenu(CommandMenu* root, QWidget* parent) : QMenu(parent), m_root(root) {
  connect(this, &QMenu::aboutToShow, this, &CommandMenu::FitTextsToScreen);
}

QAction* CommandMenu::AddCommand(int command, const QString& text) {
  QAction* action = addAction(text);
  SetFullText(action, text);
  action->setData(command);
  CommandMenu* root = Root();
  root->m_commands.insert(command, action);
  connect(action, &QAction::triggered, root, [root, command] { emit root->commandChosen(command); });
  return action;
}

CommandMenu* CommandMenu::AddSubMenu(const QString& text) {
  auto* sub = new CommandMenu(Root(), this);
  sub->setTitle(text);
  SetFullText(addMenu(sub), text);
  return sub;
}

QAction* CommandMenu::Find(int command) const {
  const auto& commands = Root()->m_commands;
  const auto it = commands.find(command);
  return it == commands.end() ? nullptr : it.value().data();
}

QString CommandMenu::FullText(const QAction* action) {
  if (action == nullptr) return {};
  const QVariant full = action->property(kFullTextProperty);
  return full.isValid() ? full.toString() : action->text();
}

QAction* CommandMenu::ItemAt(int position) const {
  const auto items = actions();
  return position >= 0 && position < items.size() ? items[position] : nullptr;
}

bool CommandMenu::SetText(int command, const QString& text) {
  QAction* a = Find(command);
  if (!a) return false;
  SetFullText(a, text);
  return true;
}

bool CommandMenu::SetEnabled(int command, bool enabled) {
  QAction* a = Find(command);
  if (!a) return false;
  a->setEnabled(enabled);
  return true;
}

bool CommandMenu::SetChecked(int command, bool checked) {
  QAction* a = Find(command);
  if (!a) return false;
  a->setCheckable(true);
  a->setChecked(checked);
  return true;
}

bool CommandMenu::Trigger(int command) {
  QAction* a = Find(command);
  if (!a || !a->isEnabled()) return false;
  a->trigger();
  return true;
}

QRect CommandMenu::ScreenRect() const {
  const QWidget* owner = Root()->parentWidget();
  if (owner == nullptr) return {};
  const QWidget* window = owner->window();
  return QRect(window->mapToGlobal(QPoint(0, 0)), window->size());
}

QRect CommandMenu::MenuArea() const {
  QRect area = ScreenRect();
  if (area.isEmpty()) return area;
  // Above the soft keys, which stay in sight and usable while a menu is open.
  for (const SoftKeyBar* bar : Root()->parentWidget()->window()->findChildren<SoftKeyBar*>()) {
    if (!bar->isVisible()) continue;
    const QRect keys(bar->mapToGlobal(QPoint(0, 0)), bar->size());
    if (keys.intersects(area) && keys.top() > area.top()) area.setBottom(std::min(area.bottom(), keys.top() - 1));
  }
  return area;
}

void CommandMenu::FitTextsToScreen() {
  const QRect screen = ScreenRect();
  if (screen.isEmpty()) return;
  setMaximumWidth(screen.width());
  if (auto* parentMenu = qobject_cast<QMenu*>(parentWidget()); parentMenu != nullptr && m_root) {
    // At least up to the parent's right edge, so no part of the parent's row
    // (its arrow) shows beside the sub-menu as if it were the sub-menu's own.
    const int least = std::min(parentMenu->width() - kSubMenuIndent, screen.width());
    if (least != minimumWidth()) {
      setMinimumWidth(least);
      // The item rows are measured once; make the menu measure them again.
      QEvent changed(QEvent::StyleChange);
      QApplication::sendEvent(this, &changed);
    }
  }
  // The menu is as wide as its widest text plus a fixed frame; shorten the
  // texts by as much as the menu would stand out of the screen.
  int widest = 0;
  for (QAction* action : actions()) {
    if (action->isSeparator()) continue;
    if (action->text() != FullText(action)) action->setText(FullText(action));
    widest = std::max(widest, fontMetrics().horizontalAdvance(FullText(action)));
  }
  const int excess = QMenu::sizeHint().width() - screen.width();
  if (excess <= 0) return;
  const int room = std::max(widest - excess, fontMetrics().height());
  for (QAction* action : actions()) {
    if (action->isSeparator()) continue;
    action->setText(fontMetrics().elidedText(FullText(action), Qt::ElideRight, room));
  }
}

void CommandMenu::PopupAbove(const QPoint& anchor, bool alignRight) {
  FitTextsToScreen();
  const QSize size = sizeHint();
  QRect rect(QPoint(alignRight ? anchor.x() - size.width() : anchor.x(), anchor.y() - size.height()), size);
  popup(KeptInside(rect, MenuArea()).topLeft());
}

void CommandMenu::showEvent(QShowEvent* event) {
  QMenu::showEvent(event);
  QRect rect = geometry();
  if (auto* parentMenu = qobject_cast<QMenu*>(parentWidget()); parentMenu != nullptr && m_root) {
    // Over the parent from its top and at least as tall: no row of the parent
    // shows above or below the sub-menu's rows, so the two never read as one
    // list; only the parent's left edge stays in sight beneath it.
    const QRect parent = parentMenu->geometry();
    rect.setHeight(std::max(rect.height(), parent.height()));
    rect.moveTopLeft(parent.topLeft() + QPoint(kSubMenuIndent, 0));
    // The style makes every menu at least as wide as a fixed floor, so a
    // sub-menu would be pushed back over the parent's edge at the screen's
    // right side: it takes the room beside that edge when its texts, their
    // check and arrow columns and the frame fit into it.
    int widest = 0;
    for (const QAction* action : actions()) widest = std::max(widest, fontMetrics().horizontalAdvance(FullText(action)));
    const int room = MenuArea().right() - rect.left() + 1;
    if (rect.width() > room && widest + 4 * fontMetrics().height() <= room) rect.setWidth(std::max(room, minimumWidth()));
  }
  rect = KeptInside(rect, MenuArea());
  if (rect != geometry()) setGeometry(rect);
  HighlightFirstEnabled();
}

void CommandMenu::HighlightFirstEnabled() {
  if (activeAction() != nullptr) return;
  // As the Down key does: the first enabled item, without opening it when it
  // is a sub-menu.
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QMenu::keyPressEvent(&down);
}

void CommandMenu::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Backspace: {
      // The phone's Back key: one level back, as Escape does.
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QMenu::keyPressEvent(&escape);
      return;
    }
    case Qt::Key_F1:
    case Qt::Key_F2:
      CloseOpenMenus();
      return;
    default:
      QMenu::keyPressEvent(event);
  }
}

void CloseOpenMenus() {
  // Innermost first; each close makes its parent the active pop-up.
  for (int guard = 0; guard < 16; ++guard) {
    QWidget* popup = QApplication::activePopupWidget();
    if (popup == nullptr) return;
    popup->close();
  }
}

}  // namespace keypad
