#include "platform/ui/PictureList.h"

#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <QStyle>

namespace keypad {

PictureList::PictureList(QWidget* parent) : QListWidget(parent) {
  setViewMode(QListView::ListMode);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setIconSize(QSize(16, 16));
  setFrameShape(QFrame::NoFrame);
  setTextElideMode(Qt::ElideRight);
  setStyleSheet(QStringLiteral("QListWidget::item { padding: 2px 2px; }"));
}

int PictureList::AddRow(const QIcon& picture, const QString& text, const QVariant& data) {
  auto* item = new QListWidgetItem(picture, text, this);
  item->setData(Qt::UserRole, data);
  if (count() == 1) setCurrentRow(0);
  return count() - 1;
}

QVariant PictureList::RowData(int row) const {
  const QListWidgetItem* it = item(row);
  return it ? it->data(Qt::UserRole) : QVariant();
}

void PictureList::SelectRow(int row) {
  if (row < 0 || row >= count()) return;
  setCurrentRow(row);
  scrollToItem(item(row), QAbstractItemView::EnsureVisible);
}

void PictureList::keyPressEvent(QKeyEvent* event) {
  if (viewMode() == QListView::ListMode) {
    if (event->key() == Qt::Key_Left) {
      emit leftPressed();
      return;
    }
    if (event->key() == Qt::Key_Right) {
      emit rightPressed();
      return;
    }
  }
  QListWidget::keyPressEvent(event);
}

GridLayout ComputeGrid(int listWidth, int scrollBarWidth, int picture) {
  GridLayout grid;
  const int usable = listWidth - scrollBarWidth;
  grid.columns = std::max(1, usable / picture);
  const int leftover = std::max(0, usable - grid.columns * picture);
  grid.cell = picture + leftover / grid.columns;
  return grid;
}

PictureGrid::PictureGrid(QWidget* parent) : PictureList(parent) {
  setViewMode(QListView::IconMode);
  setIconSize(QSize(kPictureSize, kPictureSize));
  setMovement(QListView::Static);
  setResizeMode(QListView::Adjust);
  setFlow(QListView::LeftToRight);
  setWrapping(true);
  setSpacing(0);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // The chosen picture stands on a coloured tile.
  setStyleSheet(QStringLiteral("QListWidget::item { padding: 0px; border-radius: 4px; }"
                               "QListWidget::item:selected { background: #3b6aa8; }"));
  UpdateGrid();
}

void PictureGrid::resizeEvent(QResizeEvent* event) {
  PictureList::resizeEvent(event);
  UpdateGrid();
}

void PictureGrid::UpdateGrid() {
  // The bar as this list draws it (a style sheet may make it wider than the
  // style's default), and the frame, so that the columns always fit; the view
  // wraps a row that fills its width to the last pixel, hence one pixel less.
  const int bar = std::max(verticalScrollBar()->sizeHint().width(),
                           style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
  m_grid = ComputeGrid(width() - 2 * frameWidth() - 1, bar, kPictureSize);
  setGridSize(QSize(m_grid.cell, m_grid.cell));
}

}  // namespace keypad
