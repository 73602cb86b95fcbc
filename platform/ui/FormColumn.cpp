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
    // A row that wraps a control (a check box beside its text, say) takes no
    // focus itself: the first control in it that does takes it in its place.
    if (field->focusPolicy() == Qt::NoFocus && !field->focusProxy()) {
      for (QWidget* child : field->findChildren<QWidget*>()) {
        if (child->focusPolicy() & Qt::TabFocus) {
          field->setFocusProxy(child);
          child->installEventFilter(this);
          break;
        }
      }
    }
    // A screen reader names the control by its label.
    QWidget* control = field->focusProxy() ? field->focusProxy() : field;
    if (!label.isEmpty() && control->accessibleName().isEmpty()) control->setAccessibleName(label);
    m_fields.append(field);
  }
  return labelWidget;
}

void FormColumn::AddWidget(QWidget* widget) {
  widget->setParent(m_body);
  m_layout->insertWidget(m_layout->count() - 1, widget);
}

void FormColumn::AddStretch() { m_layout->insertStretch(m_layout->count() - 1, 1); }

namespace {

// True when Up (or Down) would leave the caret where it is: on the first (last)
// line as shown, where the key moves on to the neighbouring field instead.
bool CaretAtEdge(QWidget* field, bool down) {
  QTextCursor caret;
  if (auto* plain = qobject_cast<QPlainTextEdit*>(field)) {
    caret = plain->textCursor();
  } else if (auto* rich = qobject_cast<QTextEdit*>(field)) {
    caret = rich->textCursor();
  } else {
    return true;
  }
  caret.clearSelection();
  return !caret.movePosition(down ? QTextCursor::Down : QTextCursor::Up);
}

}  // namespace

bool FormColumn::eventFilter(QObject* watched, QEvent* event) {
  auto* field = qobject_cast<QWidget*>(watched);
  // Events of a row's focus proxy count as the row's.
  if (field && !m_fields.contains(field)) {
    for (QWidget* row : m_fields) {
      if (row->focusProxy() == field) field = row;
    }
  }
  if ((event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) && field) {
    if (QWidget* gap = m_gaps.value(field)) gap->setVisible(event->type() == QEvent::ShowToParent);
  } else if (event->type() == QEvent::FocusIn && field) {
    ensureWidgetVisible(field, 0, 4);
  } else if (event->type() == QEvent::KeyPress && field) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool down = key->key() == Qt::Key_Down;
    if (!down && key->key() != Qt::Key_Up) return QScrollArea::eventFilter(watched, event);
    // Pickers keep Up and Down for themselves; multi-line fields keep them
    // while the caret has a line to go to in that direction.
    const bool multiLine = qobject_cast<QPlainTextEdit*>(field) || qobject_cast<QTextEdit*>(field);
    const bool plainKey = key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
    const bool ownsUpDown = (multiLine && (!plainKey || !CaretAtEdge(field, down))) ||
                            field->property("keypadUpDown").toBool();
    if (!ownsUpDown) {
      const int index = static_cast<int>(m_fields.indexOf(field));
      for (int i = index + (down ? 1 : -1); i >= 0 && i < m_fields.size(); i += down ? 1 : -1) {
        const QWidget* taker = m_fields[i]->focusProxy() ? m_fields[i]->focusProxy() : m_fields[i];
        if (m_fields[i]->isEnabled() && m_fields[i]->isVisible() && (taker->focusPolicy() & Qt::TabFocus)) {
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
