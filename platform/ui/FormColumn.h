#pragma once
// Label-and-field rows laid out in one column at the screen's width: each label
// on its own row at full width in the bold label font, its field on the next
// row. A portrait or landscape screen uses the same column; it scrolls when the
// rows do not fit, keeping the focused field in view. Up and Down move the focus
// from field to field, as on the phone; in a multi-line field they do so from
// its first and last line. A row that wraps controls is focused through the
// first of them that takes the focus.
#include <QHash>
#include <QScrollArea>

class QLabel;
class QVBoxLayout;

namespace keypad {

class FormColumn : public QScrollArea {
  Q_OBJECT

 public:
  explicit FormColumn(QWidget* parent = nullptr);

  // Adds a row; the label may be empty (no label row). Returns the label.
  QLabel* AddRow(const QString& label, QWidget* field);
  // Adds a widget spanning the column without a label (for example a message).
  void AddWidget(QWidget* widget);
  // Pushes the following rows to the bottom.
  void AddStretch();
  QWidget* Body() const { return m_body; }
  QList<QWidget*> Fields() const { return m_fields; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* m_body = nullptr;
  QVBoxLayout* m_layout = nullptr;
  QList<QWidget*> m_fields;
  // The gap below each field, hidden with its field so a hidden row leaves none.
  QHash<QWidget*, QWidget*> m_gaps;
};

}  // namespace keypad
