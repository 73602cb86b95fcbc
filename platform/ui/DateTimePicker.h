#pragma once
// A date or time field shown in a picture of the Windows syntax (d, dd, ddd,
// dddd, M .. MMMM, yy, yyyy, h, hh, H, HH, m, mm, s, ss, t, tt, quoted text).
// Keys: Left and Right move between the fields of the picture (past the first
// or last field they move the focus to the neighbouring control), Up and Down
// step the field under the cursor, digits type it and Backspace takes back the
// last digit typed. The day is kept inside its month, so an impossible date
// such as 31 April or 29 February 2023 cannot be left in it. Year digits wait
// until the year is whole; digits that do not make a year (such as "198") stay
// shown and leave the picker without a value until they are corrected.
// Where a date may go without a year (SetYearMayBeEmpty), Backspace on a whole
// year empties it. An empty year shows dashes in its place ("----"); such a
// date GetValue does not give but GetMonthDayWithoutYear does. The
// arrows at the right edge step the field with the mouse, and a click selects
// a field.
#include <QString>
#include <QVector>
#include <QWidget>

#include "platform/clock/Clock.h"
#include "platform/locale/UserLocale.h"

class QToolButton;

namespace keypad {

class DateTimePicker : public QWidget {
  Q_OBJECT

 public:
  enum class Mode { Date, Time };

  enum class Part { Literal, Day, DayName, Month, MonthName, Year, Hour12, Hour24, Minute, Second, AmPm };
  struct Token {
    Part part = Part::Literal;
    int width = 0;  // letters in the picture (1 "d", 2 "dd", ...)
    QString text;   // for literals
  };

  explicit DateTimePicker(Mode mode, QWidget* parent = nullptr);

  void SetPicture(const QString& picture);
  QString Picture() const { return m_picture; }
  // Day, month and AM/PM texts (default: those of the C locale).
  void SetNames(const platform::CalendarNames& names);

  // Date mode takes year, month and day; time mode hour, minute and second.
  // An invalid value leaves the picker without a value.
  void SetValue(const platform::SystemTime& value);
  // False when the picker holds no valid value; only the mode's fields are set.
  // Year digits still being typed count when they make a year.
  bool GetValue(platform::SystemTime& out) const;
  bool HasValue() const;

  // The text as shown.
  QString Text() const;
  // What a screen reader reads: the date or time in the picture, as shown.
  QString SpokenText() const;
  // Index among the editable fields of the picture; -1 when there is none.
  int CursorField() const { return m_cursor; }
  int EditableFieldCount() const;

  // Splits a picture into its fields and literal texts.
  static QVector<Token> ParsePicture(const QString& picture);

  QSize sizeHint() const override;

 signals:
  void valueChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QString TokenText(const Token& token) const;
  int TokenOfField(int field) const;
  void MoveCursor(int delta);
  void StepField(int delta);
  void TypeDigit(int digit);
  void DeleteDigit();
  void Commit();
  void TakeTypedYear();
  bool TypedYear(int& year) const;
  int FieldValue(Part part) const;
  void SetFieldValue(Part part, int value);
  void KeepDayInMonth();

  Mode m_mode;
  QString m_picture;
  QVector<Token> m_tokens;
  platform::CalendarNames m_names;
  bool m_valid = false;
  int m_year = 2001, m_month = 1, m_day = 1, m_hour = 0, m_minute = 0, m_second = 0;
  int m_cursor = -1;
  QString m_typed;  // digits typed into the field under the cursor since it came there
  int m_untyped = 0;  // the value of that field before the first of them
  QString m_yearText;  // year digits that do not make a year yet; shown in its place
  QToolButton* m_up = nullptr;
  QToolButton* m_down = nullptr;

 public:
  // Date mode: takes month and day of a date whose year is unknown (a contact's
  // birthday given without one). The year field stays empty with the cursor on
  // it, and GetValue gives no date until a year is typed or stepped.
  void SetMonthDayWithoutYear(int month, int day);
  // True with month and day when the year is empty (no digits typed into it).
  bool GetMonthDayWithoutYear(int& month, int& day) const;
  // The first year the picker takes (default 1601); an earlier one typed is no year.
  void SetFirstYear(int year);
  // Whether Backspace on a whole year empties it (default: no).
  void SetYearMayBeEmpty(bool may) { m_yearMayBeEmpty = may; }

 private:
  static constexpr int kNoYear = 0;  // m_year while the year is still to be given
  int m_firstYear = 1601;  // the first year a FileTime holds
  bool m_yearMayBeEmpty = false;
};

class DatePicker : public DateTimePicker {
  Q_OBJECT
 public:
  explicit DatePicker(QWidget* parent = nullptr) : DateTimePicker(Mode::Date, parent) {}
};

class TimePicker : public DateTimePicker {
  Q_OBJECT
 public:
  explicit TimePicker(QWidget* parent = nullptr) : DateTimePicker(Mode::Time, parent) {}
};

}  // namespace keypad
