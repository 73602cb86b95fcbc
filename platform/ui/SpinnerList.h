#pragma once
// A selection list with arrows at its right edge (an up-down spinner): Left and
// Right (or the arrows) step through the items and wrap around. It shows one
// item; an item too long for the width wraps onto more lines (a single word
// too wide ends in "…"), and the list is as tall as its longest item needs, so
// stepping never moves the rows below.
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <QWidget>

class QLabel;
class QToolButton;

namespace keypad {

class SpinnerList : public QWidget {
  Q_OBJECT

 public:
  explicit SpinnerList(QWidget* parent = nullptr);

  void Clear();
  int AddItem(const QString& text, const QVariant& data = {});
  // Fills the list from one text cut at every ";", one item per piece, in order.
  void FillFromKeyText(const QString& text);
  int Count() const { return static_cast<int>(m_items.size()); }
  QString ItemText(int index) const;
  QVariant ItemData(int index) const;

  // -1 when empty.
  int CurrentIndex() const { return m_current; }
  // False for an index outside the list; the selection is kept then.
  bool SetCurrentIndex(int index);
  void Step(int delta);
  // Shows no item (for a stored value that none of the items stands for);
  // the next step selects one.
  void ClearSelection();

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;

 signals:
  void currentIndexChanged(int index);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void ShowCurrent();
  void ShowFrame(bool focused);

  struct Item {
    QString text;
    QVariant data;
  };
  QVector<Item> m_items;
  int m_current = -1;
  QLabel* m_label = nullptr;
  QToolButton* m_left = nullptr;
  QToolButton* m_right = nullptr;
};

}  // namespace keypad
