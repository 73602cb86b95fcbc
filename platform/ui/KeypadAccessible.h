#pragma once
// What the kit's own widgets tell screen readers through Qt's accessibility:
// a spinner list reads as a combo box whose value is its shown item, a date or
// time picker as a spin box whose value is the date or time as shown, an item
// of a command menu by its whole text (the menu may show it shortened), and a
// screen marked as an alert (a message box, a reminder) as an alert message
// whose value is its text, announced when it shows. Names come from the
// widgets' accessible names (a form row's label, a screen's title).
class QObject;
class QString;
class QWidget;

namespace keypad {

// Registers the kit's accessible interfaces; safe to call again. The kit's
// widgets call it when they are made.
void InstallKeypadAccessibility();

// Tells a screen reader that the value of `object` is now `value`.
void AnnounceValue(QObject* object, const QString& value);

// Makes `screen` read as an alert whose value is `text`; it is announced
// whenever it shows.
void MarkAsAlert(QWidget* screen, const QString& text);
// Announces `screen` when it is marked as an alert.
void AnnounceAlert(QWidget* screen);

}  // namespace keypad
