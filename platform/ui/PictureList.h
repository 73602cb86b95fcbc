#pragma once
// Lists of pictures: PictureList shows rows with a small picture and a text in
// one column as wide as the list; PictureGrid shows 48-pixel pictures in a grid
// whose columns share the width evenly. Return or a double click activates the
// current item (itemActivated); Left and Right are reported by signals so a
// dialog may give them a meaning of its own.
#include <QListWidget>

namespace keypad {

class PictureList : public QListWidget {
  Q_OBJECT

 public:
  explicit PictureList(QWidget* parent = nullptr);

  // Adds a row; returns its index.
  int AddRow(const QIcon& picture, const QString& text, const QVariant& data = {});
  QVariant RowData(int row) const;
  void SelectRow(int row);

 signals:
  void leftPressed();
  void rightPressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

struct GridLayout {
  int columns = 1;
  int cell = 48;  // spacing of the cells in both directions
};

// Columns of `picture` pixels in the usable width (the list's width minus a
// vertical scroll bar); the leftover pixels are shared evenly among them.
GridLayout ComputeGrid(int listWidth, int scrollBarWidth, int picture = 48);

class PictureGrid : public PictureList {
  Q_OBJECT

 public:
  static constexpr int kPictureSize = 48;

  explicit PictureGrid(QWidget* parent = nullptr);
  GridLayout Grid() const { return m_grid; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateGrid();
  GridLayout m_grid;
};

}  // namespace keypad
