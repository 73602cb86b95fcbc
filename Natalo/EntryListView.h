#pragma once
// The main window's list: one owner-drawn two-line row per shown entry of the
// application list. The rows point at the list's entries and own none of them.
// Rows are ordered with the list's Compare and chosen with its Filter.
#include <QListView>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

#include "Natalo/EntryRowPainter.h"
#include "platform/clock/Clock.h"

class AppPictures;
class FeskItem;
class StorageList;
class EntryRowModel;

class EntryListView : public QListView {
  Q_OBJECT

 public:
  // `list` is the application list; `pictures` the zodiac and status pictures
  // (may be null). `hint` is shown on an empty list; an empty text shows nothing.
  EntryListView(StorageList& list, const AppPictures* pictures, bool bHighRes, QWidget* parent = nullptr);
  ~EntryListView() override;

  bool InsertRow(int index, FeskItem* entry, bool select, bool sort);
  bool DeleteRow(int index);
  bool SelectRow(int index, bool scroll);
  // The first selected row, or -1.
  int SelectedRow() const;
  int RowCount() const;
  int FindRow(const FeskItem* entry) const;
  FeskItem* EntryAt(int index) const;
  // The entry of the selected row, or nullptr.
  FeskItem* SelectedEntry() const { return EntryAt(SelectedRow()); }
  void SortRows();
  void Clear();
  // Rows for every entry the filter accepts, sorted; selects the first row.
  bool FillList();
  // Rebuilds the rows, keeping the selected entry selected when it is still shown.
  void RefreshList();

  void SetHint(const QString& hint);
  const EntryRowPainter& RowPainter() const { return m_painter; }
  int ColumnWidth() const { return m_columnWidth; }

 signals:
  // A command for the main window to run now (the action key on a row sends Edit).
  void sendCommand(int command);
  // A command for the main window to run once the current event is handled.
  void postCommand(int command);
  // Emitted once, after the list was painted for the first time.
  void firstPainted();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;
  // Lays out every row once the first screen was painted (see the constructor).
  void FinishFirstLayout();
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  friend class EntryRowDelegate;
  void ApplyColumnWidthRule();
  // Puts `rows` in the list's order.
  void SortEntries(std::vector<FeskItem*>& rows) const;
  void ApplyColours();
  // Draws the row of `entry`, or posts a refresh when the filter rejects it.
  void PaintRow(QPainter& painter, FeskItem* entry, const QRect& rect, bool bSelected);

  StorageList& m_list;
  const AppPictures* m_pictures;
  EntryRowPainter m_painter;
  std::unique_ptr<EntryRowModel> m_model;
  QString m_hint;
  int m_columnWidth = 0;
  bool m_refreshPosted = false;
  bool m_painted = false;
  static constexpr int kFirstLayoutRows = 512;
  // The earliest moment a snooze of a painted row ends, and the timer that
  // paints the rows again then, so that the snooze's picture and time go.
  platform::FileTime m_paintNow = 0;
  platform::FileTime m_nextSnoozeEnd = platform::TIME_NONE;
  platform::FileTime m_armedSnoozeEnd = platform::TIME_NONE;
  QTimer m_snoozeEndTimer;
};
