// The kit's fields: date and time pictures driven by keys, text limits with
// pasted and non-BMP text, the focus hint, the check box and the picture grid rule.
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QtTest>

#include "platform/ui/CheckField.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/PictureList.h"
#include "platform/ui/TextFields.h"

using namespace keypad;

namespace {

platform::SystemTime Date(int y, int m, int d) {
  platform::SystemTime st;
  st.wYear = static_cast<std::uint16_t>(y);
  st.wMonth = static_cast<std::uint16_t>(m);
  st.wDay = static_cast<std::uint16_t>(d);
  return st;
}

platform::SystemTime Time(int h, int m) {
  platform::SystemTime st;
  st.wHour = static_cast<std::uint16_t>(h);
  st.wMinute = static_cast<std::uint16_t>(m);
  return st;
}

// Keys written as a string: L R U D move and step, B is Backspace, digits type.
void Press(QWidget& w, const QString& keys) {
  for (QChar c : keys) {
    switch (c.unicode()) {
      case 'L': QTest::keyClick(&w, Qt::Key_Left); break;
      case 'R': QTest::keyClick(&w, Qt::Key_Right); break;
      case 'U': QTest::keyClick(&w, Qt::Key_Up); break;
      case 'D': QTest::keyClick(&w, Qt::Key_Down); break;
      case 'B': QTest::keyClick(&w, Qt::Key_Backspace); break;
      default: QTest::keyClick(&w, static_cast<Qt::Key>(Qt::Key_0 + c.digitValue())); break;
    }
  }
}

}  // namespace

class KeypadFieldsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallFontSubstitutions(); }

  void datePictureShowsTheValue_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("expected");
    QTest::newRow("short US") << "M/d/yyyy" << "3/5/2024";
    QTest::newRow("German") << "dd.MM.yyyy" << "05.03.2024";
    QTest::newRow("two-digit year, quoted text") << "yy'年'MM'-'dd" << "24年03-05";
    QTest::newRow("names") << "dddd, d. MMMM yyyy" << "Tuesday, 5. March 2024";
    QTest::newRow("quote inside quotes") << "d 'o''clock'" << "5 o'clock";
  }
  void datePictureShowsTheValue() {
    QFETCH(QString, picture);
    QFETCH(QString, expected);
    DatePicker picker;
    picker.SetPicture(picture);
    picker.SetValue(Date(2024, 3, 5));
    QCOMPARE(picker.Text(), expected);
  }

  void dateKeys_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QDate>("expected");  // null: the picker holds no date
    // Start: 31 January 2024.
    QTest::newRow("up on the day wraps in the month") << "d/M/yyyy" << "U" << QDate(2024, 1, 1);
    QTest::newRow("next month keeps the day inside it") << "d/M/yyyy" << "RU" << QDate(2024, 2, 29);
    QTest::newRow("29 Feb into a common year") << "d/M/yyyy" << "RURD" << QDate(2023, 2, 28);
    QTest::newRow("typed day then month") << "dd.MM.yyyy" << "1503" << QDate(2024, 3, 15);
    // 31 does not fit April: the second digit starts the day anew.
    QTest::newRow("typed day too large for the month") << "dd.MM.yyyy" << "R04LL31" << QDate(2024, 4, 1);
    QTest::newRow("typed four-digit year") << "dd.MM.yyyy" << "RR1999" << QDate(1999, 1, 31);
    QTest::newRow("typed two-digit year") << "M/d/yy" << "RR85" << QDate(1985, 1, 31);
    QTest::newRow("three year digits are no year") << "M/d/yyyy" << "RR198" << QDate();
    QTest::newRow("nor after leaving the field") << "M/d/yyyy" << "RR198L" << QDate();
    QTest::newRow("a whole year before 1601 is none") << "M/d/yyyy" << "RR0198" << QDate();
    QTest::newRow("one digit of a two-digit year counts") << "M/d/yy" << "RR8" << QDate(2008, 1, 31);
    QTest::newRow("Backspace takes back a year digit") << "dd.MM.yyyy" << "RR199B85" << QDate(1985, 1, 31);
    QTest::newRow("Backspace mends a year left unfinished") << "dd.MM.yyyy" << "RR198LRB88" << QDate(1988, 1, 31);
    QTest::newRow("Backspace gives the day back") << "dd.MM.yyyy" << "1B" << QDate(2024, 1, 31);
    QTest::newRow("month by name steps") << "d MMM yyyy" << "RD" << QDate(2024, 12, 31);
  }
  void dateKeys() {
    QFETCH(QString, picture);
    QFETCH(QString, keys);
    QFETCH(QDate, expected);
    DatePicker picker;
    picker.SetPicture(picture);
    picker.SetValue(Date(2024, 1, 31));
    picker.show();
    picker.setFocus();
    Press(picker, keys);
    platform::SystemTime st;
    QCOMPARE(picker.GetValue(st), expected.isValid());
    if (expected.isValid()) QCOMPARE(QDate(st.wYear, st.wMonth, st.wDay), expected);
  }

  void timeKeys_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QTime>("expected");
    // Start: 18:30.
    QTest::newRow("24-hour typed") << "HH:mm" << "0745" << QTime(7, 45);
    QTest::newRow("minute wraps") << "HH:mm" << "RDUU" << QTime(18, 31);
    QTest::newRow("12-hour typed keeps the afternoon") << "h:mm tt" << "9" << QTime(21, 30);
    QTest::newRow("AM/PM toggles") << "h:mm tt" << "RRU" << QTime(6, 30);
  }
  void timeKeys() {
    QFETCH(QString, picture);
    QFETCH(QString, keys);
    QFETCH(QTime, expected);
    TimePicker picker;
    picker.SetPicture(picture);
    picker.SetValue(Time(18, 30));
    picker.show();
    picker.setFocus();
    Press(picker, keys);
    platform::SystemTime st;
    QVERIFY(picker.GetValue(st));
    QCOMPARE(QTime(st.wHour, st.wMinute), expected);
  }

  void pickerWithoutValue() {
    DatePicker picker;
    platform::SystemTime st;
    QVERIFY(!picker.GetValue(st));
    picker.SetValue(Date(2023, 2, 29));  // impossible: refused
    QVERIFY(!picker.HasValue());
    QCOMPARE(picker.Text(), QString());
  }

  void textLimits_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("expected");
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character outside the BMP
    QTest::newRow("cut at the limit") << 5 << "abcdefgh" << "abcde";
    QTest::newRow("a pair cut in half is dropped") << 5 << QString("abcd" + smile) << "abcd";
    QTest::newRow("a whole pair fits") << 6 << QString("abcd" + smile + "x") << QString("abcd" + smile);
    QTest::newRow("right-to-left text") << 4 << QString::fromUtf8("שלום עולם") << QString::fromUtf8("שלום");
  }
  void textLimits() {
    QFETCH(int, limit);
    QFETCH(QString, pasted);
    QFETCH(QString, expected);
    QApplication::clipboard()->setText(pasted);
    LineField line;
    line.SetLimit(limit);
    line.paste();
    QCOMPARE(line.Value(), expected);
    NoteField note;
    note.SetLimit(limit);
    note.paste();
    QCOMPARE(note.Value(), expected);
  }

  void numericLineField() {
    LineField field;
    field.SetNumeric(true);
    field.show();
    field.setFocus();
    QTest::keyClicks(&field, "1a2-3");
    QCOMPARE(field.text(), QString("123"));
  }

  void focusHint() {
    QWidget form;
    auto* hinted = new LineField(&form);
    auto* other = new LineField(&form);
    hinted->SetFocusHint("<choose>");
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    hinted->setFocus();
    QCoreApplication::processEvents();
    QCOMPARE(hinted->text(), QString("<choose>"));
    QVERIFY(hinted->ShowsHint());
    QCOMPARE(hinted->Value(), QString());  // the hint is never a value
    other->setFocus();
    QCOMPARE(hinted->text(), QString());
    hinted->setText("Ann");
    hinted->setFocus();
    QCOMPARE(hinted->text(), QString("Ann"));
  }

  void checkFieldToggles() {
    CheckField check("Remind");
    check.show();
    check.setFocus();
    QTest::keyClick(&check, Qt::Key_Right);
    QVERIFY(check.isChecked());
    QTest::keyClick(&check, Qt::Key_Space);
    QVERIFY(!check.isChecked());
  }

  void gridRule_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("cell");
    // Usable width = width - 16 (scroll bar); columns of 48; leftover shared.
    QTest::newRow("240 wide") << 240 << 4 << 48 + 32 / 4;
    QTest::newRow("176 wide") << 176 << 3 << 48 + 16 / 3;
    QTest::newRow("320 wide (turned)") << 320 << 6 << 48 + 16 / 6;
    QTest::newRow("narrower than a picture") << 40 << 1 << 48;
  }
  void gridRule() {
    QFETCH(int, width);
    QFETCH(int, columns);
    QFETCH(int, cell);
    const GridLayout grid = ComputeGrid(width, 16);
    QCOMPARE(grid.columns, columns);
    QCOMPARE(grid.cell, cell);
  }

  // The grid's columns fit its viewport as the user sees it.
  void gridShowsItsColumns_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("columns");
    QTest::newRow("240") << 240 << 4;
    QTest::newRow("176") << 176 << 3;
  }
  void gridShowsItsColumns() {
    QFETCH(int, width);
    QFETCH(int, columns);
    PictureGrid grid;
    QImage picture(48, 48, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    for (int i = 0; i < 30; ++i) grid.AddRow(QIcon(QPixmap::fromImage(picture)), {}, i);
    grid.resize(width, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.Grid().columns, columns);
    // The item after the last column starts the second row.
    QVERIFY(grid.visualItemRect(grid.item(columns)).top() > grid.visualItemRect(grid.item(0)).top());
    QCOMPARE(grid.visualItemRect(grid.item(columns - 1)).top(), grid.visualItemRect(grid.item(0)).top());
  }

  void pictureListReportsSideKeys() {
    PictureList list;
    list.AddRow({}, "one", 1);
    list.AddRow({}, "two", 2);
    list.show();
    list.setFocus();
    QSignalSpy left(&list, &PictureList::leftPressed);
    QSignalSpy activated(&list, &QListWidget::itemActivated);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Left);
    QTest::keyClick(&list, Qt::Key_Return);
    QCOMPARE(left.count(), 1);
    QCOMPARE(activated.count(), 1);
    QCOMPARE(list.RowData(list.currentRow()).toInt(), 2);
  }
};

QTEST_MAIN(KeypadFieldsTest)
#include "KeypadFieldsTest.moc"
