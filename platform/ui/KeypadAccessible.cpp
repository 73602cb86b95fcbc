#include "platform/ui/KeypadAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QPointer>
#include <QWidget>

#include "platform/ui/CommandMenu.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/SpinnerList.h"

namespace keypad {
namespace {

constexpr const char* kAlertProperty = "keypadAlert";

class SpinnerAccessible : public QAccessibleWidget {
 public:
  explicit SpinnerAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::ComboBox) {}
  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Value) return QAccessibleWidget::text(t);
    const auto* spinner = static_cast<const SpinnerList*>(widget());
    return spinner->ItemText(spinner->CurrentIndex());
  }
};

class PickerAccessible : public QAccessibleWidget {
 public:
  explicit PickerAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::SpinBox) {}
  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Value) return QAccessibleWidget::text(t);
    return static_cast<const DateTimePicker*>(widget())->SpokenText();
  }
};

class AlertAccessible : public QAccessibleWidget {
 public:
  explicit AlertAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::AlertMessage) {}
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return widget()->property(kAlertProperty).toString();
    return QAccessibleWidget::text(t);
  }
};

// An item of a command menu. The menu shows a text too long for the screen
// shortened with "…"; a screen reader reads it whole.
class CommandItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  CommandItemAccessible(CommandMenu* menu, QAction* action) : m_menu(menu), m_action(action) {}

  bool isValid() const override { return m_menu && m_action; }
  QObject* object() const override { return m_action; }
  QWindow* window() const override { return m_menu->windowHandle(); }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_menu.data()); }
  QAccessibleInterface* child(int index) const override {
    return index == 0 && m_action->menu() ? QAccessible::queryAccessibleInterface(m_action->menu()) : nullptr;
  }
  int childCount() const override { return m_action->menu() ? 1 : 0; }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && m_action->menu() && child->object() == m_action->menu() ? 0 : -1;
  }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return {};
    QString name = CommandMenu::FullText(m_action);
    return name.remove(QLatin1Char('&'));
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    const QRect item = m_menu->actionGeometry(m_action);
    return QRect(m_menu->mapToGlobal(item.topLeft()), item.size());
  }
  QAccessible::Role role() const override {
    return m_action->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
  }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.disabled = !m_action->isEnabled();
    s.invisible = !m_action->isVisible() || !m_menu->isVisible();
    s.checkable = m_action->isCheckable();
    s.checked = m_action->isChecked();
    s.focusable = true;
    s.focused = m_menu->activeAction() == m_action;
    s.hasPopup = m_action->menu() != nullptr;
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
  QStringList actionNames() const override {
    if (!m_action->isEnabled() || m_action->isSeparator()) return {};
    return {m_action->menu() ? showMenuAction() : pressAction()};
  }
  void doAction(const QString& name) override {
    if (!actionNames().contains(name)) return;
    m_menu->setActiveAction(m_action);
    if (m_action->menu()) return;  // the active item opens its sub-menu
    m_action->trigger();
    CloseOpenMenus();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QPointer<CommandMenu> m_menu;
  QPointer<QAction> m_action;
};

QAccessibleInterface* KitFactory(const QString& className, QObject* object) {
  if (auto* action = qobject_cast<QAction*>(object); action != nullptr && className == QLatin1String("QAction")) {
    for (QObject* shownIn : action->associatedObjects()) {
      if (auto* menu = qobject_cast<CommandMenu*>(shownIn)) return new CommandItemAccessible(menu, action);
    }
    return nullptr;
  }
  if (object == nullptr || !object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  if (className == QLatin1String("keypad::SpinnerList")) return new SpinnerAccessible(widget);
  if (className == QLatin1String("keypad::DateTimePicker")) return new PickerAccessible(widget);
  if (className == QLatin1String("keypad::KeypadScreen") && widget->property(kAlertProperty).isValid()) {
    return new AlertAccessible(widget);
  }
  return nullptr;
}

}  // namespace

void InstallKeypadAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&KitFactory);
    return true;
  }();
  (void)installed;
}

void AnnounceValue(QObject* object, const QString& value) {
  if (!QAccessible::isActive()) return;
  QAccessibleValueChangeEvent event(object, value);
  QAccessible::updateAccessibility(&event);
}

void MarkAsAlert(QWidget* screen, const QString& text) {
  screen->setProperty(kAlertProperty, text);
  screen->setAccessibleDescription(text);
  // An interface made for the screen before it was marked reads as a plain
  // one; the next query makes the alert's.
  if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(screen);
      made != nullptr && made->role() != QAccessible::AlertMessage) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
  }
}

void AnnounceAlert(QWidget* screen) {
  if (!QAccessible::isActive() || !screen->property(kAlertProperty).isValid()) return;
  QAccessibleEvent event(screen, QAccessible::Alert);
  QAccessible::updateAccessibility(&event);
}

}  // namespace keypad
