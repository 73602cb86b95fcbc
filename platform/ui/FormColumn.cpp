#include "platform/ui/FormColumn.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVBoxLayout>

#include "platform/ui/KeypadTheme.h"

namespace keypad {

FormColumn::FormColumn(QWidget* parent) : QScrollArea(parent) {
  setWidgetResizable(true);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::NoFocus);
  m_body = new QWidget(this);
  m_layout = new QVBoxLayout(m_body);
  m_layout->setContentsMargins(4, 2, 4, 2);
  m_layout->setSpacing(1);
  m_layout->addStretch(1);
  setWidget(m_body);
}

QLabel* FormColumn::AddRow(const QString& label, QWidget* field) {
  QLabel* labelWidget = nullptr;
  const int at = m_layout->count() - 1;  // before the trailing stretch
  int inserted = 0;
  if (!label.isEmpty()) {
    labelWidget = new QLabel(label, m_body);
    labelWidget->setFont(LabelFont());
    labelWidget->setWordWrap(true);
    labelWidget->setTextFormat(Qt::PlainText);
    m_layout->insertWidget(at, labelWidget);
    ++inserted;
  }
  if (field) {
    field->setParent(m_body);
    m_layout->insertWidget(at + inserted, field);
    auto* gap = new QWidget(m_body);
    gap->setFixedHeight(3);
    gap->setVisible(!field->isHidden());
    m_layout->insertWidget(at + inserted + 1, gap);
    m_gaps.insert(field, gap);
    field->installEventFilter(this);
    m_fields.append(field);
  }
  return labelWidget;
}

void FormColumn::AddWidget(QWidget* widget) {
  widget->setParent(m_body);
  m_layout->insertWidget(m_layout->count() - 1, widget);
}

void FormColumn::AddStretch() { m_layout->insertStretch(m_layout->count() - 1, 1); }

bool FormColumn::eventFilter(QObject* watched, QEvent* event) {
  auto* field = qobject_cast<QWidget*>(watched);
  if ((event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) && field) {
    if (QWidget* gap = m_gaps.value(field)) gap->setVisible(event->type() == QEvent::ShowToParent);
  } else if (event->type() == QEvent::FocusIn && field) {
    ensureWidgetVisible(field, 0, 4);
  } else if (event->type() == QEvent::KeyPress && field) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool multiLine = qobject_cast<QPlainTextEdit*>(field) || qobject_cast<QTextEdit*>(field);
    // Multi-line fields and pickers keep Up and Down for themselves.
    const bool ownsUpDown = multiLine || field->property("keypadUpDown").toBool();
    if (!ownsUpDown && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
      const int index = static_cast<int>(m_fields.indexOf(field));
      const int next = index + (key->key() == Qt::Key_Down ? 1 : -1);
      for (int i = next; i >= 0 && i < m_fields.size(); i += (key->key() == Qt::Key_Down ? 1 : -1)) {
        if (m_fields[i]->isEnabled() && m_fields[i]->isVisible()) {
          m_fields[i]->setFocus(Qt::TabFocusReason);
          break;
        }
      }
      return true;
    }
  }
  return QScrollArea::eventFilter(watched, event);
}

}  // namespace keypad
