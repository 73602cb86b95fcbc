#include "platform/ui/SpinnerList.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

#include "platform/ui/KeypadAccessible.h"
#include "platform/ui/KeypadTheme.h"

#include <algorithm>

namespace keypad {

SpinnerList::SpinnerList(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 1, 0, 1);
  layout->setSpacing(0);
  m_label = new QLabel(this);
  m_label->setTextFormat(Qt::PlainText);
  m_label->setWordWrap(true);
  m_label->setMinimumWidth(10);
  m_left = new QToolButton(this);
  m_right = new QToolButton(this);
  m_left->setArrowType(Qt::LeftArrow);
  m_right->setArrowType(Qt::RightArrow);
  for (auto* b : {m_left, m_right}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    b->setFixedSize(14, 18);
  }
  layout->addWidget(m_label, 1);
  layout->addWidget(m_left);
  layout->addWidget(m_right);
  connect(m_left, &QToolButton::clicked, this, [this] { Step(-1); });
  connect(m_right, &QToolButton::clicked, this, [this] { Step(1); });
  ShowFrame(false);
  setAttribute(Qt::WA_StyledBackground);
  InstallKeypadAccessibility();
  ShowCurrent();
}

void SpinnerList::Clear() {
  m_items.clear();
  m_current = -1;
  ShowCurrent();
  updateGeometry();
}

int SpinnerList::AddItem(const QString& text, const QVariant& data) {
  m_items.push_back({text, data});
  if (m_current < 0) m_current = 0;
  ShowCurrent();
  updateGeometry();
  return Count() - 1;
}

void SpinnerList::FillFromKeyText(const QString& text) {
  Clear();
  for (const QString& piece : text.split(QLatin1Char(';'))) AddItem(piece);
}

QString SpinnerList::ItemText(int index) const {
  return index >= 0 && index < Count() ? m_items[index].text : QString();
}

QVariant SpinnerList::ItemData(int index) const {
  return index >= 0 && index < Count() ? m_items[index].data : QVariant();
}

bool SpinnerList::SetCurrentIndex(int index) {
  if (index < 0 || index >= Count()) return false;
  if (index != m_current) {
    m_current = index;
    ShowCurrent();
    AnnounceValue(this, ItemText(index));
    emit currentIndexChanged(index);
  }
  return true;
}

void SpinnerList::ClearSelection() {
  m_current = -1;
  ShowCurrent();
}

void SpinnerList::Step(int delta) {
  if (Count() == 0) return;
  const int next = ((m_current + delta) % Count() + Count()) % Count();
  SetCurrentIndex(next);
}

int SpinnerList::heightForWidth(int width) const {
  const QMargins margins = layout()->contentsMargins();
  const int textWidth = std::max(10, width - margins.left() - margins.right() - m_left->width() - m_right->width());
  const QFontMetrics metrics = m_label->fontMetrics();
  int text = metrics.height();
  for (const Item& item : m_items) {
    text = std::max(text, metrics.boundingRect(QRect(0, 0, textWidth, 1 << 20), Qt::TextWordWrap, item.text).height());
  }
  return std::max(text, m_left->height()) + margins.top() + margins.bottom();
}

void SpinnerList::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
      Step(-1);
      return;
    case Qt::Key_Right:
      Step(1);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void SpinnerList::focusInEvent(QFocusEvent* event) {
  ShowFrame(true);
  QWidget::focusInEvent(event);
}

void SpinnerList::focusOutEvent(QFocusEvent* event) {
  ShowFrame(false);
  QWidget::focusOutEvent(event);
}

void SpinnerList::ShowFrame(bool focused) {
  // The kit's field frame, thicker and tinted while the list has the focus.
  const KeypadColours c = ThemeColours();
  setStyleSheet(QStringLiteral("keypad--SpinnerList { border: %1px solid %2; background: %3; }"
                               "QLabel { color: %4; } QLabel:disabled { color: %5; }")
                    .arg(focused ? 2 : 1)
                    .arg((focused ? c.focusBorder : c.border).name(), (focused ? c.focusField : c.field).name(),
                         c.fieldText.name(),
                         QApplication::palette().color(QPalette::Disabled, QPalette::WindowText).name()));
}

bool SpinnerList::event(QEvent* event) {
  if (event->type() == QEvent::ApplicationPaletteChange) ShowFrame(hasFocus());
  return QWidget::event(event);
}

void SpinnerList::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ShowCurrent();
}

void SpinnerList::ShowCurrent() {
  // A word wider than the list cannot wrap: the item ends in "…" rather than being cut off.
  const QString text = ItemText(m_current);
  const QFontMetrics metrics = m_label->fontMetrics();
  const int width = m_label->width();
  const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  const bool fits = std::all_of(words.begin(), words.end(),
                                [&](const QString& word) { return metrics.horizontalAdvance(word) <= width; });
  m_label->setText(fits ? text : metrics.elidedText(text, Qt::ElideRight, width));
  m_left->setEnabled(Count() > 1);
  m_right->setEnabled(Count() > 1);
}

}  // namespace keypad
