#include "platform/ui/ScrollBarContrast.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionSlider>

#include <algorithm>

#include "platform/ui/KeypadTheme.h"

namespace keypad {
namespace {

// The application's style with the scroll bar's track and thumb painted over.
class ContrastScrollBarStyle : public QProxyStyle {
 public:
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget) const override {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control != CC_ScrollBar) return;
    const QRect track = subControlRect(control, option, SC_ScrollBarGroove, widget);
    const QRect thumb = subControlRect(control, option, SC_ScrollBarSlider, widget);
    const KeypadColours colours = ThemeColours();
    painter->save();
    painter->fillRect(track, colours.scrollTrack);
    if (thumb.isValid() && (option->state & State_Enabled)) {
      painter->setRenderHint(QPainter::Antialiasing);
      painter->setPen(Qt::NoPen);
      painter->setBrush(colours.scrollThumb);
      const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
      const bool vertical = slider == nullptr || slider->orientation == Qt::Vertical;
      const QRectF body = vertical ? QRectF(thumb).adjusted(2, 1, -2, -1) : QRectF(thumb).adjusted(1, 2, -1, -2);
      const qreal radius = std::min(body.width(), body.height()) / 2;
      painter->drawRoundedRect(body, radius, radius);
    }
    painter->restore();
  }
};

}  // namespace

void GiveScrollBarContrast(QScrollBar* bar) {
  // One style object for all bars, owned by the application so that it
  // outlives every widget that uses it.
  static QPointer<ContrastScrollBarStyle> style;
  if (style.isNull()) {
    style = new ContrastScrollBarStyle;
    style->setParent(QApplication::instance());
  }
  bar->setStyle(style);
}

}  // namespace keypad
