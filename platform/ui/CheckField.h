#pragma once
// A check box for the keypad: the action key, Space, Left and Right turn it on
// or off; the mouse works as usual.
#include <QCheckBox>
#include <QKeyEvent>

namespace keypad {

class CheckField : public QCheckBox {
  Q_OBJECT

 public:
  explicit CheckField(const QString& text = {}, QWidget* parent = nullptr) : QCheckBox(text, parent) {
    setFocusPolicy(Qt::StrongFocus);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Return || key == Qt::Key_Enter ||
        key == Qt::Key_Select) {
      toggle();
      return;
    }
    QCheckBox::keyPressEvent(event);
  }
};

}  // namespace keypad
