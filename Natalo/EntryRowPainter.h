#pragma once
// Draws the two-line row of a date entry in the main list: picture, name,
// bracketed tag, zodiac sign, status pictures (with the time a snoozed
// reminder comes back), detail and tail, in the fonts
// and margins of the screen size. Also owns those fonts and the row height.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class AppPictures;
class FeskItem;
class QPainter;

struct RowColours {
  QColor text;              // window text
  QColor highlight;         // selected row's background
  QColor highlightedText;   // selected row's text
};

class EntryRowPainter {
 public:
  // `systemTextHeight`: the text height of the system font in pixels.
  EntryRowPainter(bool bHighRes, int systemTextHeight);

  bool HighResolution() const { return m_bHighRes; }
  int Margin() const { return m_bHighRes ? 2 : 1; }
  int RowHeight() const { return m_rowHeight; }
  const QFont& RegularFont() const { return m_regular; }
  const QFont& ItalicFont() const { return m_italic; }
  const QFont& BoldFont() const { return m_bold; }

  // Draws the entry into `row` (the whole row rectangle). `pictures` gives the
  // zodiac and status pictures (may be null: none are drawn). Always true.
  bool DrawRow(QPainter& painter, const FeskItem& entry, const QRect& row, bool bSelected,
               const AppPictures* pictures, const RowColours& colours) const;

  // The row as one line for a screen reader: name, tag, zodiac sign, date and
  // age, days left and the reminder's state, whole (the painted row may
  // shorten or leave out some of them to fit).
  static QString SpokenText(const FeskItem& entry);

 private:
  bool m_bHighRes;
  QFont m_regular;
  QFont m_italic;
  QFont m_bold;
  int m_rowHeight = 0;
};
