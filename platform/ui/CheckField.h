#pragma once
// A check box for the keypad: Space, Left and Right turn it on or off; the
// mouse works as usual.
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
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
      toggle();
      return;
    }
    QCheckBox::keyPressEvent(event);
  }
};

}  // namespace keypad
