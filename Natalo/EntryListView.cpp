#include "Natalo/EntryListView.h"

#include <QAbstractItemDelegate>
#include <QAbstractListModel>
#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cstdint>

#include "Natalo/Commands.h"
#include "common/entries/FeskList.h"
#include "common/store/StorageList.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/ScrollBarContrast.h"
#include "platform/ui/WaitCursor.h"

// The rows: pointers to the entries of the application list, in display order.
class EntryRowModel : public QAbstractListModel {
 public:
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
  }
  // What the base gives, without its two virtual calls: the view asks for
  // the index of every row each time it lays out a long list.
  QModelIndex index(int row, int column = 0, const QModelIndex& parent = {}) const override {
    const bool inside = row >= 0 && column == 0 && !parent.isValid() && static_cast<std::size_t>(row) < m_rows.size();
    return inside ? createIndex(row, column) : QModelIndex();
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const FeskItem& entry = *m_rows[static_cast<size_t>(index.row())];
    // A screen reader reads the whole row.
    if (role == Qt::AccessibleTextRole) return EntryRowPainter::SpokenText(entry);
    if (role != Qt::DisplayRole) return {};
    return QString::fromStdU16String(entry.GetDisplayName());
  }

  void Insert(int index, FeskItem* entry) {
    beginInsertRows({}, index, index);
    m_rows.insert(m_rows.begin() + index, entry);
    endInsertRows();
  }
  void Remove(int index) {
    beginRemoveRows({}, index, index);
    m_rows.erase(m_rows.begin() + index);
    endRemoveRows();
  }
  void Replace(std::vector<FeskItem*> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
  }

  std::vector<FeskItem*> m_rows;
};

// Draws each row through its view, at the view's column width.
class EntryRowDelegate : public QAbstractItemDelegate {
 public:
  explicit EntryRowDelegate(EntryListView* view) : QAbstractItemDelegate(view), m_view(view) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    FeskItem* entry = m_view->EntryAt(index.row());
    if (entry == nullptr) return;
    const QRect row(option.rect.left(), option.rect.top(), m_view->ColumnWidth(), m_view->m_painter.RowHeight());
    m_view->PaintRow(*painter, entry, row, (option.state & QStyle::State_Selected) != 0);
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {m_view->ColumnWidth(), m_view->m_painter.RowHeight()};
  }

 private:
  EntryListView* m_view;
};

EntryListView::EntryListView(StorageList& list, const AppPictures* pictures, bool bHighRes, QWidget* parent)
    : QListView(parent),
      m_list(list),
      m_pictures(pictures),
      m_painter(bHighRes, keypad::SystemTextHeight()),
      m_model(std::make_unique<EntryRowModel>()) {
  setObjectName(QStringLiteral("EntryList"));
  setModel(m_model.get());
  setItemDelegate(new EntryRowDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  // The first layout places only a screen's rows before the first paint;
  // the rest of a long list is laid out right after it, in one pass.
  setLayoutMode(QListView::Batched);
  setBatchSize(kFirstLayoutRows);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  keypad::GiveScrollBarContrast(verticalScrollBar());
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setAutoFillBackground(true);
  ApplyColours();
  connect(this, &QListView::activated, this, [this] { emit sendCommand(cmd::kEdit); });
  m_snoozeEndTimer.setSingleShot(true);
  connect(&m_snoozeEndTimer, &QTimer::timeout, viewport(), qOverload<>(&QWidget::update));
  ApplyColumnWidthRule();
}

EntryListView::~EntryListView() {
  // The view must let go of the model before the model goes.
  setModel(nullptr);
}

void EntryListView::SetHint(const QString& hint) {
  m_hint = hint;
  viewport()->update();
}

int EntryListView::RowCount() const { return m_model->rowCount(); }

FeskItem* EntryListView::EntryAt(int index) const {
  if (index < 0 || index >= RowCount()) return nullptr;
  return m_model->m_rows[static_cast<size_t>(index)];
}

int EntryListView::FindRow(const FeskItem* entry) const {
  const auto& rows = m_model->m_rows;
  const auto it = std::find(rows.begin(), rows.end(), entry);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

int EntryListView::SelectedRow() const {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  int first = -1;
  for (const QModelIndex& index : selected) {
    if (first < 0 || index.row() < first) first = index.row();
  }
  return first;
}

bool EntryListView::SelectRow(int index, bool scroll) {
  if (index < 0 || index >= RowCount()) return false;
  const QModelIndex at = m_model->index(index);
  selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
  if (scroll) scrollTo(at);
  return true;
}

bool EntryListView::InsertRow(int index, FeskItem* entry, bool select, bool sort) {
  if (entry == nullptr || index < 0 || index > RowCount()) return false;
  m_model->Insert(index, entry);
  if (select) SelectRow(index, false);
  ApplyColumnWidthRule();
  if (sort) SortRows();
  return true;
}

bool EntryListView::DeleteRow(int index) {
  if (index < 0 || index >= RowCount()) return false;
  const int selected = SelectedRow();
  m_model->Remove(index);
  ApplyColumnWidthRule();
  if (selected >= 0) SelectRow(std::min(selected, RowCount() - 1), true);
  return true;
}

void EntryListView::SortRows() {
  FeskItem* selected = SelectedEntry();
  std::vector<FeskItem*> rows = m_model->m_rows;
  SortEntries(rows);
  m_model->Replace(std::move(rows));
  if (selected != nullptr) SelectRow(FindRow(selected), true);
}

void EntryListView::SortEntries(std::vector<FeskItem*>& rows) const {
  if (dynamic_cast<const FeskList*>(&m_list) != nullptr) {
    // The entry list's order, with the settings and today's date taken once
    // for the whole sort.
    FeskList::SortEntries(rows, CurrentOrderSettings(), CurrentViewSettings(), Today());
  } else {
    std::stable_sort(rows.begin(), rows.end(),
                     [this](const FeskItem* a, const FeskItem* b) { return m_list.Compare(*a, *b) < 0; });
  }
}

void EntryListView::Clear() {
  m_model->Replace({});
  ApplyColumnWidthRule();
}

bool EntryListView::FillList() {
  std::vector<FeskItem*> rows;
  if (dynamic_cast<const FeskList*>(&m_list) != nullptr) {
    // The entry list's filter and order, with the settings and today's date
    // taken once.
    rows = FeskList::ShownEntries(m_list, CurrentOrderSettings(), CurrentViewSettings(), Today());
  } else {
    rows.reserve(m_list.Count());
    for (StorageItem& item : m_list) {
      FeskItem* entry = AsEntry(&item);
      if (entry != nullptr && m_list.Filter(*entry)) rows.push_back(entry);
    }
    SortEntries(rows);
  }
  // Sorted before they are shown: the view lays out its rows once.
  m_model->Replace(std::move(rows));
  ApplyColumnWidthRule();
  // A list not yet shown starts at its top; scrolling to the first row
  // would lay it out at once.
  if (RowCount() > 0) SelectRow(0, isVisible());
  setFocus();
  return true;
}

void EntryListView::RefreshList() {
  m_refreshPosted = false;
  FeskItem* remembered = SelectedEntry();
  keypad::WaitCursor wait;
  Clear();
  FillList();
  const int row = FindRow(remembered);
  SelectRow(row >= 0 ? row : 0, false);
  SortRows();
  emit sendCommand(cmd::kUpdateMenu);
}

void EntryListView::ApplyColumnWidthRule() {
  // The list covers its parent's client area; when the rows do not fit, the
  // scroll bar takes its width from the list's client area.
  const int parentWidth = parentWidget() != nullptr ? parentWidget()->contentsRect().width() : width();
  const bool fits = static_cast<long long>(RowCount()) * m_painter.RowHeight() <= contentsRect().height();
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
  const int width = fits ? parentWidth : contentsRect().width() - scrollBar;
  if (width != m_columnWidth) {
    m_columnWidth = width;
    // A list not yet shown is laid out when it is: its size is not known
    // before, and laying out a long list twice delays the first paint.
    if (isVisible()) {
      doItemsLayout();
    } else {
      scheduleDelayedItemsLayout();
    }
  }
}

void EntryListView::PaintRow(QPainter& painter, FeskItem* entry, const QRect& rect, bool bSelected) {
  if (!m_list.Filter(*entry)) {
    if (!m_refreshPosted) {
      m_refreshPosted = true;
      emit postCommand(cmd::kRefreshList);
    }
    return;
  }
  if (entry->IsSnoozed(m_paintNow)) m_nextSnoozeEnd = std::min(m_nextSnoozeEnd, entry->m_ftSnooze);
  const QPalette& colours = palette();
  m_painter.DrawRow(painter, *entry, rect, bSelected, m_pictures,
                    {colours.color(QPalette::Text), colours.color(QPalette::Highlight),
                     colours.color(QPalette::HighlightedText)});
}

void EntryListView::paintEvent(QPaintEvent* event) {
  if (RowCount() == 0 && !m_hint.isEmpty()) {
    QPainter painter(viewport());
    painter.setFont(m_painter.RegularFont());
    painter.setPen(palette().color(QPalette::Text));
    const QRect box = viewport()->rect().adjusted(10, 0, -10, 0);
    painter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, m_hint);
  }
  m_paintNow = platform::GetLocalFileTime();
  m_nextSnoozeEnd = platform::TIME_NONE;
  QListView::paintEvent(event);
  // A paint of a part of the list keeps an earlier end that is armed.
  if (m_nextSnoozeEnd != platform::TIME_NONE &&
      (!m_snoozeEndTimer.isActive() || m_nextSnoozeEnd < m_armedSnoozeEnd)) {
    // A day at most at a time; the paint then arms the timer again.
    const platform::FileTime wait = std::min(m_nextSnoozeEnd - m_paintNow, platform::FILETIME_PER_DAY);
    m_armedSnoozeEnd = m_paintNow + wait;
    m_snoozeEndTimer.start(static_cast<int>(wait / (platform::FILETIME_PER_SECOND / 1000)) + 1);
  }
  if (!m_painted) {
    m_painted = true;
    QMetaObject::invokeMethod(this, [this] { FinishFirstLayout(); }, Qt::QueuedConnection);
    emit firstPainted();
  }
}

void EntryListView::ApplyColours() {
  // The rows stand on the kit's field colours, white on a light desktop.
  const keypad::KeypadColours theme = keypad::ThemeColours();
  QPalette colours = QApplication::palette(this);
  colours.setColor(QPalette::Base, theme.field);
  colours.setColor(QPalette::Text, theme.fieldText);
  setPalette(colours);
}

bool EntryListView::event(QEvent* event) {
  if (event->type() == QEvent::ApplicationPaletteChange) ApplyColours();
  // A key that comes before the rest of the list was laid out moves in all of it.
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) FinishFirstLayout();
  return QListView::event(event);
}

void EntryListView::FinishFirstLayout() {
  if (layoutMode() == QListView::SinglePass) return;
  setLayoutMode(QListView::SinglePass);
  doItemsLayout();
}

void EntryListView::resizeEvent(QResizeEvent* event) {
  QListView::resizeEvent(event);
  ApplyColumnWidthRule();
  const QModelIndex current = currentIndex();
  if (current.isValid()) scrollTo(current);
}

void EntryListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QListView::currentChanged(current, previous);
  emit postCommand(cmd::kUpdateMenu);
}
