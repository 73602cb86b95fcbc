#pragma once
// Text fields with a length limit in UTF-16 characters: typed and pasted text
// is cut to the limit, never inside a surrogate pair. A one-line field may be
// numeric (digits only) and may show a hint: when it gets the focus empty it
// shows the hint selected whole, and when it loses the focus still showing the
// hint it is emptied again. Value() never returns the hint.
#include <QLineEdit>
#include <QPlainTextEdit>

namespace keypad {

// `text` cut to `limit` UTF-16 characters; a pair cut in half loses its first half.
QString CutToLimit(const QString& text, int limit);

class LineField : public QLineEdit {
  Q_OBJECT

 public:
  explicit LineField(QWidget* parent = nullptr);

  void SetLimit(int limit);
  int Limit() const { return maxLength(); }
  void SetNumeric(bool numeric);
  void SetFocusHint(const QString& hint) { m_hint = hint; }
  QString FocusHint() const { return m_hint; }
  bool ShowsHint() const { return !m_hint.isEmpty() && text() == m_hint; }
  // The text, or an empty text while the field shows its hint.
  QString Value() const { return ShowsHint() ? QString() : text(); }

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void SelectAllFromStart();

  QString m_hint;
};

class NoteField : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit NoteField(QWidget* parent = nullptr);

  void SetLimit(int limit);
  int Limit() const { return m_limit; }
  QString Value() const { return toPlainText(); }
  void SetValue(const QString& text) { setPlainText(CutToLimit(text, m_limit)); }

 private:
  void EnforceLimit();
  void ColourFrame();

 protected:
  bool event(QEvent* event) override;

 private:
  int m_limit = 32767;
  bool m_cutting = false;
};

}  // namespace keypad
