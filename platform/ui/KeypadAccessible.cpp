#include "platform/ui/KeypadAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

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

QAccessibleInterface* KitFactory(const QString& className, QObject* object) {
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
