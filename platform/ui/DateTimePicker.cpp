#include "platform/ui/DateTimePicker.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>

#include "platform/ui/KeypadAccessible.h"
#include "platform/ui/KeypadTheme.h"

#include <algorithm>

namespace keypad {
namespace {

constexpr int kFirstYear = 1601;  // the first year a FileTime holds
constexpr int kLastYear = 9999;
constexpr int kArrowWidth = 14;

bool IsNumberPart(DateTimePicker::Part part) {
  using P = DateTimePicker::Part;
  return part == P::Day || part == P::Month || part == P::MonthName || part == P::Year || part == P::Hour12 ||
         part == P::Hour24 || part == P::Minute || part == P::Second;
}

bool IsEditable(DateTimePicker::Part part) {
  return part != DateTimePicker::Part::Literal && part != DateTimePicker::Part::DayName;
}

QString Padded(int value, int width) { return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0')); }

// Digits that make a whole year in the picture: 2 for "yy", else 4.
int YearDigits(const QVector<DateTimePicker::Token>& tokens) {
  for (const auto& t : tokens) {
    if (t.part == DateTimePicker::Part::Year) return t.width >= 3 ? 4 : 2;
  }
  return 4;
}

}  // namespace

DateTimePicker::DateTimePicker(Mode mode, QWidget* parent) : QWidget(parent), m_mode(mode) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_StyledBackground);
  // The form column leaves Up and Down to this field, and the screen leaves it
  // Backspace, which takes back a typed digit here instead of meaning Back.
  setProperty("keypadUpDown", true);
  setProperty("keypadBackspace", true);
  m_names = platform::GetCalendarNames("C");
  m_valid = mode == Mode::Time;
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addStretch(1);
  m_up = new QToolButton(this);
  m_down = new QToolButton(this);
  m_up->setArrowType(Qt::UpArrow);
  m_down->setArrowType(Qt::DownArrow);
  for (auto* b : {m_up, m_down}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    b->setFixedSize(kArrowWidth, 18);
    layout->addWidget(b);
  }
  connect(m_up, &QToolButton::clicked, this, [this] { StepField(1); });
  connect(m_down, &QToolButton::clicked, this, [this] { StepField(-1); });
  SetPicture(mode == Mode::Date ? QStringLiteral("d/M/yyyy") : QStringLiteral("HH:mm"));
  InstallKeypadAccessibility();
  connect(this, &DateTimePicker::valueChanged, this, [this] { AnnounceValue(this, SpokenText()); });
}

QVector<DateTimePicker::Token> DateTimePicker::ParsePicture(const QString& picture) {
  QVector<Token> tokens;
  auto literal = [&tokens](const QString& text) {
    if (text.isEmpty()) return;
    if (!tokens.isEmpty() && tokens.back().part == Part::Literal) {
      tokens.back().text += text;
    } else {
      tokens.push_back({Part::Literal, 0, text});
    }
  };
  for (int i = 0; i < picture.size();) {
    const QChar c = picture[i];
    if (c == QLatin1Char('\'')) {
      // Quoted text; '' inside or outside quotes is one quote.
      QString text;
      int j = i + 1;
      while (j < picture.size()) {
        if (picture[j] == QLatin1Char('\'')) {
          if (j + 1 < picture.size() && picture[j + 1] == QLatin1Char('\'')) {
            text += QLatin1Char('\'');
            j += 2;
            continue;
          }
          break;
        }
        text += picture[j++];
      }
      literal(i + 1 == j && j < picture.size() ? QString() : text);
      i = j + 1;
      continue;
    }
    int run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    Part part = Part::Literal;
    switch (c.unicode()) {
      case 'd': part = run >= 3 ? Part::DayName : Part::Day; break;
      case 'M': part = run >= 3 ? Part::MonthName : Part::Month; break;
      case 'y': part = Part::Year; break;
      case 'h': part = Part::Hour12; break;
      case 'H': part = Part::Hour24; break;
      case 'm': part = Part::Minute; break;
      case 's': part = Part::Second; break;
      case 't': part = Part::AmPm; break;
      case 'g': i += run; continue;  // the era is not shown
      default: break;
    }
    if (part == Part::Literal) {
      literal(picture.mid(i, run));
    } else {
      tokens.push_back({part, run, {}});
    }
    i += run;
  }
  return tokens;
}

void DateTimePicker::SetPicture(const QString& picture) {
  m_picture = picture;
  m_tokens = ParsePicture(picture);
  m_typed.clear();
  m_yearText.clear();
  m_cursor = EditableFieldCount() > 0 ? 0 : -1;
  updateGeometry();
  update();
}

void DateTimePicker::SetNames(const platform::CalendarNames& names) {
  m_names = names;
  updateGeometry();
  update();
}

void DateTimePicker::SetValue(const platform::SystemTime& value) {
  m_typed.clear();
  m_yearText.clear();
  if (m_mode == Mode::Date) {
    m_valid = value.wYear >= m_firstYear && value.wYear <= kLastYear &&
              platform::IsValidDate(value.wYear, value.wMonth, value.wDay);
    if (m_valid) {
      m_year = value.wYear;
      m_month = value.wMonth;
      m_day = value.wDay;
    }
  } else {
    m_valid = value.wHour < 24 && value.wMinute < 60 && value.wSecond < 60;
    if (m_valid) {
      m_hour = value.wHour;
      m_minute = value.wMinute;
      m_second = value.wSecond;
    }
  }
  update();
}

bool DateTimePicker::GetValue(platform::SystemTime& out) const {
  if (!m_valid) return false;
  if (m_mode == Mode::Date) {
    // A year still to be given (kNoYear) makes no date until digits form one.
    int year = m_year;
    if (!TypedYear(year) || year == kNoYear) return false;
    const int day = std::min(m_day, platform::DaysInMonthOf(year, m_month));
    out.wYear = static_cast<std::uint16_t>(year);
    out.wMonth = static_cast<std::uint16_t>(m_month);
    out.wDay = static_cast<std::uint16_t>(day);
    out.wDayOfWeek = static_cast<std::uint16_t>(platform::DayOfWeek(year, m_month, day));
  } else {
    out.wHour = static_cast<std::uint16_t>(m_hour);
    out.wMinute = static_cast<std::uint16_t>(m_minute);
    out.wSecond = static_cast<std::uint16_t>(m_second);
    out.wMilliseconds = 0;
  }
  return true;
}

bool DateTimePicker::HasValue() const {
  platform::SystemTime value;
  return GetValue(value);
}

bool DateTimePicker::TypedYear(int& year) const {
  if (m_yearText.isEmpty()) {
    year = m_year;
    return true;
  }
  year = m_yearText.toInt();
  // Two digits name a year from 1930 to 2029.
  if (YearDigits(m_tokens) == 2) year += year < 30 ? 2000 : 1900;
  return year >= m_firstYear && year <= kLastYear;
}

int DateTimePicker::EditableFieldCount() const {
  return static_cast<int>(std::count_if(m_tokens.begin(), m_tokens.end(), [](const Token& t) { return IsEditable(t.part); }));
}

int DateTimePicker::TokenOfField(int field) const {
  int seen = 0;
  for (int i = 0; i < m_tokens.size(); ++i) {
    if (!IsEditable(m_tokens[i].part)) continue;
    if (seen++ == field) return i;
  }
  return -1;
}

QString DateTimePicker::TokenText(const Token& token) const {
  const int pad = token.width >= 2 ? 2 : 1;
  auto name = [](const std::u16string& s) { return QString::fromStdU16String(s); };
  switch (token.part) {
    case Part::Literal: return token.text;
    case Part::Day: return Padded(m_day, pad);
    case Part::DayName: {
      if (m_year == kNoYear) return {};
      const int weekday = platform::DayOfWeek(m_year, m_month, m_day);
      return name(token.width >= 4 ? m_names.longDay[weekday] : m_names.shortDay[weekday]);
    }
    case Part::Month: return Padded(m_month, pad);
    case Part::MonthName: return name(token.width >= 4 ? m_names.longMonth[m_month - 1] : m_names.shortMonth[m_month - 1]);
    case Part::Year:
      if (!m_yearText.isEmpty()) return m_yearText;
      // An empty year shows one dash per digit.
      if (m_year == kNoYear) return QString(token.width >= 3 ? 4 : 2, QLatin1Char('-'));
      return token.width >= 3 ? Padded(m_year, 4) : Padded(m_year % 100, 2);
    case Part::Hour12: return Padded(m_hour % 12 == 0 ? 12 : m_hour % 12, pad);
    case Part::Hour24: return Padded(m_hour, pad);
    case Part::Minute: return Padded(m_minute, pad);
    case Part::Second: return Padded(m_second, pad);
    case Part::AmPm: {
      const QString text = name(m_hour < 12 ? m_names.am : m_names.pm);
      return token.width >= 2 ? text : text.left(1);
    }
  }
  return {};
}

QString DateTimePicker::Text() const {
  if (!m_valid) return {};
  QString out;
  for (const Token& t : m_tokens) out += TokenText(t);
  return out;
}

QString DateTimePicker::SpokenText() const {
  // The dashes of an empty year are not read out.
  if (!m_valid) return {};
  QString text;
  for (const Token& t : m_tokens) {
    if (t.part != Part::Year || m_year != kNoYear || !m_yearText.isEmpty()) text += TokenText(t);
  }
  return text.trimmed();
}

QSize DateTimePicker::sizeHint() const {
  const QFontMetrics fm(font());
  return {fm.horizontalAdvance(Text()) + 2 * kArrowWidth + 12, std::max(fm.height() + 6, 22)};
}

void DateTimePicker::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const bool focused = hasFocus();
  const KeypadColours colours = ThemeColours();
  p.setPen(QPen(focused ? colours.focusBorder : colours.border, focused ? 2 : 1));
  p.setBrush(isEnabled() ? (focused ? colours.focusField : colours.field) : palette().color(QPalette::Window));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  if (!m_valid) return;
  const QFontMetrics fm(font());
  int x = 4;
  const int y = (height() - fm.height()) / 2;
  const int cursorToken = focused ? TokenOfField(m_cursor) : -1;
  p.setPen(isEnabled() ? colours.fieldText : palette().color(QPalette::Disabled, QPalette::Text));
  for (int i = 0; i < m_tokens.size(); ++i) {
    QString text = TokenText(m_tokens[i]);
    if (i == cursorToken && !m_typed.isEmpty()) text = m_typed;
    const int w = fm.horizontalAdvance(text);
    const QRect box(x, y, w, fm.height());
    if (i == cursorToken) {
      p.fillRect(box.adjusted(-1, 0, 1, 0), palette().color(QPalette::Highlight));
      p.setPen(palette().color(QPalette::HighlightedText));
      p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
      p.setPen(colours.fieldText);
    } else if (m_tokens[i].part == Part::Year && m_year == kNoYear && m_yearText.isEmpty()) {
      // The dashes of an empty year are a placeholder, drawn as such.
      p.setPen(palette().color(QPalette::PlaceholderText));
      p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
      p.setPen(colours.fieldText);
    } else {
      p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    x += w;
  }
}

void DateTimePicker::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Left || key == Qt::Key_Right) {
    const int delta = key == Qt::Key_Left ? -1 : 1;
    Commit();
    const int next = m_cursor + delta;
    if (next < 0 || next >= EditableFieldCount()) {
      focusNextPrevChild(delta > 0);
    } else {
      MoveCursor(delta);
    }
    return;
  }
  if (key == Qt::Key_Up || key == Qt::Key_Down) {
    Commit();
    StepField(key == Qt::Key_Up ? 1 : -1);
    return;
  }
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    TypeDigit(key - Qt::Key_0);
    return;
  }
  if (key == Qt::Key_Backspace) {
    DeleteDigit();
    return;
  }
  QWidget::keyPressEvent(event);
}

void DateTimePicker::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (!m_valid) return;
  const QFontMetrics fm(font());
  int x = 4;
  int field = -1;
  for (const Token& t : m_tokens) {
    if (IsEditable(t.part)) ++field;
    x += fm.horizontalAdvance(TokenText(t));
    if (event->position().x() < x) {
      if (IsEditable(t.part)) {
        Commit();
        m_cursor = field;
        update();
      }
      return;
    }
  }
}

void DateTimePicker::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void DateTimePicker::focusOutEvent(QFocusEvent* event) {
  Commit();
  QWidget::focusOutEvent(event);
  update();
}

void DateTimePicker::MoveCursor(int delta) {
  const int count = EditableFieldCount();
  if (count == 0) return;
  m_cursor = std::clamp(m_cursor + delta, 0, count - 1);
  update();
}

void DateTimePicker::Commit() {
  m_typed.clear();
  TakeTypedYear();
  update();
}

void DateTimePicker::TakeTypedYear() {
  int year = 0;
  if (m_yearText.isEmpty() || !TypedYear(year)) return;
  m_yearText.clear();
  m_year = year;
  KeepDayInMonth();
  update();
  emit valueChanged();
}

int DateTimePicker::FieldValue(Part part) const {
  switch (part) {
    case Part::Day: return m_day;
    case Part::Month:
    case Part::MonthName: return m_month;
    case Part::Year: return m_year;
    case Part::Hour12:
    case Part::Hour24: return m_hour;
    case Part::Minute: return m_minute;
    case Part::Second: return m_second;
    default: return 0;
  }
}

void DateTimePicker::SetFieldValue(Part part, int value) {
  switch (part) {
    case Part::Day: m_day = value; break;
    case Part::Month:
    case Part::MonthName: m_month = value; break;
    case Part::Hour12: m_hour = (value % 12) + (m_hour >= 12 ? 12 : 0); break;
    case Part::Hour24: m_hour = value; break;
    case Part::Minute: m_minute = value; break;
    case Part::Second: m_second = value; break;
    default: break;
  }
}

void DateTimePicker::DeleteDigit() {
  const int index = TokenOfField(std::max(m_cursor, 0));
  if (index < 0 || !m_valid) return;
  const Part part = m_tokens[index].part;
  if (part == Part::Year) {
    // Also the digits left from an earlier visit, which did not make a year.
    if (m_typed.isEmpty()) m_typed = m_yearText;
    if (m_typed.isEmpty()) {
      // Nothing typed to take back: the whole year goes, for a date without one.
      if (!m_yearMayBeEmpty || m_year == kNoYear) return;
      m_year = kNoYear;
    } else {
      m_typed.chop(1);
      m_yearText = m_typed;
    }
  } else {
    if (m_typed.isEmpty()) return;
    m_typed.chop(1);
    SetFieldValue(part, m_typed.isEmpty() ? m_untyped : m_typed.toInt());
    KeepDayInMonth();
  }
  update();
  emit valueChanged();
}

void DateTimePicker::KeepDayInMonth() { m_day = std::min(m_day, platform::DaysInMonthOf(m_year, m_month)); }

void DateTimePicker::StepField(int delta) {
  const int index = TokenOfField(std::max(m_cursor, 0));
  if (index < 0) return;
  if (!m_valid) {
    // The first key on an empty picker starts from now.
    SetValue(platform::GetLocalTime());
    if (!m_valid) return;
  }
  auto wrap = [](int value, int lo, int hi) { return lo + ((value - lo) % (hi - lo + 1) + (hi - lo + 1)) % (hi - lo + 1); };
  switch (m_tokens[index].part) {
    case Part::Day: m_day = wrap(m_day + delta, 1, platform::DaysInMonthOf(m_year, m_month)); break;
    case Part::Month:
    case Part::MonthName: m_month = wrap(m_month + delta, 1, 12); break;
    case Part::Year:
      // An empty year starts from this year.
      m_yearText.clear();
      m_year = m_year == kNoYear ? std::max<int>(platform::GetLocalTime().wYear, m_firstYear)
                                 : std::clamp(m_year + delta, m_firstYear, kLastYear);
      break;
    case Part::Hour12:
    case Part::Hour24: m_hour = wrap(m_hour + delta, 0, 23); break;
    case Part::Minute: m_minute = wrap(m_minute + delta, 0, 59); break;
    case Part::Second: m_second = wrap(m_second + delta, 0, 59); break;
    case Part::AmPm: m_hour = (m_hour + 12) % 24; break;
    default: return;
  }
  KeepDayInMonth();
  update();
  emit valueChanged();
}

void DateTimePicker::TypeDigit(int digit) {
  const int index = TokenOfField(std::max(m_cursor, 0));
  if (index < 0 || !IsNumberPart(m_tokens[index].part)) return;
  if (!m_valid) {
    SetValue(platform::GetLocalTime());
    if (!m_valid) return;
  }
  const Token& token = m_tokens[index];
  if (m_typed.isEmpty()) m_untyped = FieldValue(token.part);
  if (token.part == Part::Year) {
    // The digits are shown until they make a year; a whole year that is
    // none (such as 0198) stays shown as typed, and the next digit starts anew.
    m_typed += QChar(u'0' + digit);
    m_yearText = m_typed;
    if (m_typed.size() >= YearDigits(m_tokens)) {
      m_typed.clear();
      TakeTypedYear();
    }
    update();
    return;
  }
  int lo = 0, hi = 59;
  switch (token.part) {
    case Part::Day: lo = 1; hi = platform::DaysInMonthOf(m_year, m_month); break;
    case Part::Month:
    case Part::MonthName: lo = 1; hi = 12; break;
    case Part::Hour12: lo = 1; hi = 12; break;
    case Part::Hour24: hi = 23; break;
    default: break;
  }
  m_typed += QChar(u'0' + digit);
  int value = m_typed.toInt();
  if (value > hi) {
    m_typed = QString(QChar(u'0' + digit));
    value = digit;
  }
  if (value >= lo && value <= hi) {
    SetFieldValue(token.part, value);
    KeepDayInMonth();
    emit valueChanged();
  }
  // A field is complete with two digits or when no further digit could fit.
  if (m_typed.size() >= 2 || value * 10 > hi) {
    m_typed.clear();
    MoveCursor(1);
  }
  update();
}

void DateTimePicker::SetMonthDayWithoutYear(int month, int day) {
  // Year 0 is a leap year, so 29 February stays until a year is given.
  if (m_mode != Mode::Date || !platform::IsValidDate(2000, month, day)) return;
  m_typed.clear();
  m_valid = true;
  m_year = kNoYear;
  m_month = month;
  m_day = day;
  for (int field = 0; field < EditableFieldCount(); ++field) {
    if (m_tokens[TokenOfField(field)].part == Part::Year) m_cursor = field;
  }
  update();
  emit valueChanged();
}

bool DateTimePicker::GetMonthDayWithoutYear(int& month, int& day) const {
  if (m_mode != Mode::Date || !m_valid || m_year != kNoYear || !m_yearText.isEmpty()) return false;
  month = m_month;
  day = m_day;
  return true;
}

void DateTimePicker::SetFirstYear(int year) {
  m_firstYear = std::clamp(year, kFirstYear, kLastYear);
  if (m_valid && m_year != kNoYear && m_year < m_firstYear) m_valid = false;
  update();
}

}  // namespace keypad
