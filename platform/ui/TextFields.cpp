#include "platform/ui/TextFields.h"

#include <QRegularExpressionValidator>
#include <QFocusEvent>
#include <QTimer>

namespace keypad {

QString CutToLimit(const QString& text, int limit) {
  if (limit < 0 || text.size() <= limit) return text;
  QString out = text.left(limit);
  if (!out.isEmpty() && out.back().isHighSurrogate()) out.chop(1);
  return out;
}

LineField::LineField(QWidget* parent) : QLineEdit(parent) {
  // QLineEdit cuts at the limit by code units; a pair cut in half loses its half.
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!text.isEmpty() && text.size() == maxLength() && text.back().isHighSurrogate()) {
      const int caret = cursorPosition();
      setText(text.left(text.size() - 1));
      setCursorPosition(std::min(caret, static_cast<int>(text.size()) - 1));
    }
  });
}

void LineField::SetLimit(int limit) { setMaxLength(limit); }

void LineField::SetNumeric(bool numeric) {
  if (numeric) {
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    setInputMethodHints(Qt::ImhDigitsOnly);
  } else {
    setValidator(nullptr);
    setInputMethodHints(Qt::ImhNone);
  }
}

void LineField::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
      event->reason() == Qt::OtherFocusReason) {
    // Selected whole with the caret at the start, so a long text shows its beginning.
    setSelection(static_cast<int>(text().size()), -static_cast<int>(text().size()));
  }
  if (!m_hint.isEmpty() && text().isEmpty()) {
    setText(m_hint);
    // Selected after the focus handling, which may place the caret itself.
    QTimer::singleShot(0, this, [this] {
      if (ShowsHint()) selectAll();
    });
    selectAll();
  }
}

void LineField::focusOutEvent(QFocusEvent* event) {
  if (ShowsHint()) clear();
  QLineEdit::focusOutEvent(event);
}

NoteField::NoteField(QWidget* parent) : QPlainTextEdit(parent) {
  setTabChangesFocus(true);
  connect(this, &QPlainTextEdit::textChanged, this, [this] { EnforceLimit(); });
}

void NoteField::SetLimit(int limit) {
  m_limit = limit;
  EnforceLimit();
}

void NoteField::EnforceLimit() {
  if (m_cutting) return;
  const QString text = toPlainText();
  if (text.size() <= m_limit) return;
  m_cutting = true;
  QTextCursor cursor = textCursor();
  const int caret = cursor.position();
  setPlainText(CutToLimit(text, m_limit));
  cursor = textCursor();
  cursor.setPosition(std::min(caret, static_cast<int>(toPlainText().size())));
  setTextCursor(cursor);
  m_cutting = false;
}

}  // namespace keypad
