#include "Natalo/EntryRowPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QStringList>

#include <algorithm>

#include "common/entries/EntryKind.h"
#include "common/entries/EntryPictures.h"
#include "common/entries/EntryTexts.h"
#include "common/entries/FeskItem.h"
#include "common/entries/TextFormat.h"
#include "common/text/LocalTable.h"
#include "platform/imaging/AppPictures.h"
#include "platform/imaging/IconLibrary.h"
#include "platform/pictures/IconTable.h"
#include "platform/ui/KeypadTheme.h"

namespace {

QString ToQt(const std::u16string& text) { return QString::fromStdU16String(text); }

// Single line, no prefix processing, ending with an ellipsis when it does not
// fit. Returns the width drawn.
int DrawTextLine(QPainter& painter, const QRect& box, const QString& text) {
  if (box.width() <= 0 || text.isEmpty()) return 0;
  const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, box.width());
  painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
  return painter.fontMetrics().horizontalAdvance(shown);
}

}  // namespace

QString EntryRowPainter::SpokenText(const FeskItem& entry) {
  const EntryTextContext context = CurrentTextContext();
  const LocalTable& t = GetLocalTable();
  QStringList parts{ToQt(entry.GetDisplayName(context.view))};
  std::u16string text;
  if (GetHeaderTag(entry, text, context)) parts << ToQt(text);
  if (entry.m_wKind == Birthday && context.view.dwZodiac != 0) parts << ToQt(GetZodiacName(GetZodiacSign(entry)));
  parts << ToQt(GetDetailText(entry, context));
  if (GetDetailTail(entry, text, context)) parts << ToQt(text);
  if (GetSnoozeText(entry, platform::GetLocalFileTime(), text)) {
    parts << ToQt(FormatText(t.Get(u"ACC_ROW_SNOOZED"), {text}));
  } else if (entry.m_bEnabled) {
    parts << ToQt(entry.m_wSkipNext ? t.Get(u"CLI_REMINDER_SKIPPED") : t.Get(u"CLI_REMINDER_ON"));
  } else {
    parts << ToQt(t.Get(u"CLI_REMINDER_OFF"));
  }
  if (entry.HasNote()) parts << ToQt(t.Get(u"ACC_ROW_NOTE"));
  parts.removeAll(QString());
  return parts.join(QStringLiteral(", "));
}

EntryRowPainter::EntryRowPainter(bool bHighRes, int systemTextHeight) : m_bHighRes(bHighRes) {
  // The phone's system font was large for its screen; the desktop's is
  // smaller, which would leave rows lower than their entry pictures. The text
  // height grows until a row holds its picture with a pixel to spare above and
  // below.
  const int pictureSize = bHighRes ? kRowPictureSizeLarge : kRowPictureSizeSmall;
  for (int height = std::max(systemTextHeight, 1);; ++height) {
    m_regular = keypad::CondensedFont(height * 8 / 10, 400);
    m_italic = keypad::CondensedFont(height * 8 / 10, 400, true);
    m_bold = keypad::CondensedFont(height * 9 / 10, 700);
    m_rowHeight = 2 * QFontMetrics(m_bold).height() + 3;
    if (m_rowHeight >= pictureSize + 2) break;
  }
}

bool EntryRowPainter::DrawRow(QPainter& painter, const FeskItem& entry, const QRect& row, bool bSelected,
                              const AppPictures* pictures, const RowColours& colours) const {
  painter.save();
  const int m = Margin();
  const int L = m_rowHeight / 2;
  // Right and bottom as exclusive edges, as the row rectangle of the platform gives them.
  const int left = row.left();
  const int top = row.top();
  const int right = row.left() + row.width();
  const int bottom = row.top() + row.height();

  if (bSelected) painter.fillRect(row, colours.highlight);
  const QColor textColour = bSelected ? colours.highlightedText : colours.text;
  painter.setPen(QPen(textColour, 1, Qt::DashLine));
  painter.drawLine(left + 1, bottom - 1, right, bottom - 1);
  painter.setPen(textColour);

  int textColumn = 0;
  const QImage* picture = GetIconBitmap(static_cast<uint32_t>(bSelected ? entry.GetSelectedIcon() : entry.GetIcon()));
  if (picture != nullptr && !picture->isNull()) {
    painter.drawImage(left + m + 1, top + (m_rowHeight - picture->width()) / 2, *picture);
    textColumn = picture->height() + 4 * m;
  }
  textColumn += left;

  const EntryTextContext context = CurrentTextContext();
  int reserved = 0;
  std::u16string tag;
  if (GetHeaderTag(entry, tag, context)) {
    painter.setFont(m_bold);
    const QString text = QStringLiteral("[%1]").arg(ToQt(tag));
    reserved = painter.fontMetrics().horizontalAdvance(text) + 2 * m;
    painter.drawText(QRect(right - reserved + m, top + 1, reserved - m, L - 1),
                     Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, text);
  }

  if (entry.m_wKind == Birthday && context.view.dwZodiac != 0 && pictures != nullptr) {
    // The signs are dark line art; a row on a dark background takes the light
    // ones that selected rows show.
    const bool lightSigns = bSelected || colours.text.lightness() >= 128;
    if (const QImage* sign = pictures->Zodiac(GetZodiacSign(entry), lightSigns); sign != nullptr && !sign->isNull()) {
      // A sign taller than the first line is drawn smaller so it never reaches
      // into the line below.
      const int maxHeight = std::max(1, L - 2);
      const int h = std::min(sign->height(), maxHeight);
      const int w = sign->height() > 0 ? sign->width() * h / sign->height() : sign->width();
      reserved += w + m;
      painter.save();
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.drawImage(QRect(right - reserved + m, top + 1 + (L - h) / 2, w, h), *sign);
      painter.restore();
    }
  }

  painter.setFont(m_bold);
  DrawTextLine(painter, QRect(QPoint(textColumn, top + 1), QPoint(right - reserved - 1, top + L - 1)),
               ToQt(entry.GetDisplayName(context.view)));

  const StatusIconSize size = entry.GetStatusIconSize();
  int x = right;
  const int statusTop = top + L + (L - size.cy) / 2;
  std::u16string snoozeText;
  const bool snoozed = GetSnoozeText(entry, platform::GetLocalFileTime(), snoozeText);
  for (int position = 0; position < 2; ++position) {
    StatusPicture which{};
    bool highRes = false;
    const int number = entry.GetStatusIcon(position);
    if (number == 0 || !StatusPictureOfNumber(number, which, highRes)) continue;
    x -= position == 0 ? size.cx + 1 : size.cx;
    if (const QImage* status = pictures != nullptr ? pictures->Status(which) : nullptr) {
      painter.drawImage(x, statusTop, *status);
    }
    if (position == 1) x -= 1;
    // A snoozed reminder says when it comes back, beside its picture.
    if (position == 0 && snoozed) {
      painter.setFont(m_regular);
      const QString back = ToQt(snoozeText);
      const int backWidth = painter.fontMetrics().horizontalAdvance(back);
      // A space's width keeps the time apart from the text before it.
      const int gap = painter.fontMetrics().horizontalAdvance(QLatin1Char(' '));
      if (backWidth + m + gap < x - textColumn) {
        x -= backWidth + m;
        painter.drawText(QRect(x, top + L + 1, backWidth, L - 2), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         back);
        x -= gap;
      }
    }
  }

  std::u16string tailText;
  QString tail = GetDetailTail(entry, tailText, context) ? ToQt(tailText) : QString();
  int tailWidth = tail.isEmpty() ? 0 : QFontMetrics(m_italic).horizontalAdvance(tail);
  painter.setFont(m_regular);
  QString detail;
  const int room = x - textColumn;
  const auto fits = [&](const QString& text) {
    return painter.fontMetrics().horizontalAdvance(text) + (tailWidth > 0 ? 2 * m + tailWidth : 0) <= room;
  };
  // A long date too wide for a narrow row names its month in short ("Dec 8,
  // 2026"), and else (a long date without month names, as in Japanese) is
  // written in figures, before anything of it is cut: the year stays.
  const std::uint32_t dateFormat = context.view.dwDateFormat;
  const auto chooseDetail = [&] {
    detail = ToQt(GetDetailText(entry, context));
    if (context.view.dwFirstLineFormat == 1 || fits(detail)) return;
    detail = ToQt(FormatEntryDateAbbreviated(entry, context));
    if (!fits(detail) && (dateFormat == 1 || dateFormat >= 5)) {
      EntryTextContext figures = context;
      figures.view.dwDateFormat = dateFormat == 1 ? 0 : 4;
      detail = ToQt(FormatEntryDate(entry, figures));
    }
  };
  chooseDetail();
  // On a snoozed row the time it comes back is the news: the days left give
  // way before the date is cut.
  if (snoozed && !fits(detail)) {
    tail.clear();
    tailWidth = 0;
    chooseDetail();
  }
  // The tail (the days left, as a rule) tells more than the date before it:
  // when both do not fit, the date gives way, as long as the tail fits whole.
  int detailRight = x - 1;
  if (tailWidth > 0 && painter.fontMetrics().horizontalAdvance(detail) + 2 * m + tailWidth > room &&
      tailWidth + 2 * m < room) {
    detailRight = x - 1 - tailWidth - 2 * m;
  }
  const int detailWidth =
      DrawTextLine(painter, QRect(QPoint(textColumn, top + L + 1), QPoint(detailRight, bottom - 2)), detail);

  const int tailStart = textColumn + detailWidth + 2 * m;
  if (tailStart < x && !tail.isEmpty()) {
    painter.setFont(m_italic);
    DrawTextLine(painter, QRect(QPoint(tailStart, top + L + 1), QPoint(x - 1, bottom - 2)), tail);
  }
  painter.restore();
  return true;
}
