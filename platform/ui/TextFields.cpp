#include "platform/ui/TextFields.h"

#include <QRegularExpressionValidator>
#include <QEvent>
#include <QFocusEvent>
#include <QTimer>

#include "platform/ui/KeypadTheme.h"

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
  if (!m_hint.isEmpty() && text().isEmpty()) setText(m_hint);
  const bool byKey = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
                     event->reason() == Qt::OtherFocusReason;
  if (byKey || ShowsHint()) {
    SelectAllFromStart();
    // Again after the focus handling, which may place the caret itself.
    QTimer::singleShot(0, this, [this] {
      if (hasFocus() && (ShowsHint() || selectedText() == text())) SelectAllFromStart();
    });
  }
}

void LineField::SelectAllFromStart() {
  // Selected whole with the caret at the start, so a long text shows its beginning.
  setSelection(static_cast<int>(text().size()), -static_cast<int>(text().size()));
}

void LineField::focusOutEvent(QFocusEvent* event) {
  if (ShowsHint()) clear();
  QLineEdit::focusOutEvent(event);
}

NoteField::NoteField(QWidget* parent) : QPlainTextEdit(parent) {
  setTabChangesFocus(true);
  ColourFrame();
  connect(this, &QPlainTextEdit::textChanged, this, [this] { EnforceLimit(); });
}

void NoteField::ColourFrame() {
  // The kit's field frame, thicker and tinted while the field has the focus.
  const KeypadColours c = ThemeColours();
  setStyleSheet(QStringLiteral("keypad--NoteField { border: 1px solid %1; background: %2; color: %3; }"
                               "keypad--NoteField:focus { border: 2px solid %4; background: %5; }")
                    .arg(c.border.name(), c.field.name(), c.fieldText.name(), c.focusBorder.name(),
                         c.focusField.name()));
}

bool NoteField::event(QEvent* event) {
  if (event->type() == QEvent::ApplicationPaletteChange) ColourFrame();
  return QPlainTextEdit::event(event);
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
