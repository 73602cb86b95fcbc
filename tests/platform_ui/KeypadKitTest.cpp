#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "platform/ui/CommandMenu.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/FormColumn.h"
#include "platform/ui/FullScreenDialog.h"
#include "platform/ui/KeypadScreen.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/KeypadWindow.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/SpinnerList.h"
#include "tests/support/DarkPalette.h"

using namespace keypad;

namespace {

// A dialog with one text field and one spinner list, like the editors.
class SampleDialog : public FullScreenDialog {
 public:
  explicit SampleDialog(KeypadWindow* host) : FullScreenDialog(host) {
    SetTitle(QStringLiteral("Sample"));
    auto* form = new FormColumn;
    name = new QLineEdit;
    spinner = new SpinnerList;
    spinner->FillFromKeyText(QStringLiteral("On;Off"));
    form->AddRow(QStringLiteral("Name"), name);
    form->AddRow(QStringLiteral("Reminder"), spinner);
    ContentLayout()->addWidget(form);
    SoftKeys()->SetCommandKey(SoftKeyBar::Left, QStringLiteral("Done"), 1);
    SoftKeys()->SetCommandKey(SoftKeyBar::Right, QStringLiteral("Cancel"), 2);
  }
  void OnCommand(int command) override { Done(command); }
  void OnScreenResized(const QSize&) override { ++turns; }

  QLineEdit* name = nullptr;
  SpinnerList* spinner = nullptr;
  int turns = 0;
};

// Runs `steps` once the dialog's loop is running, then returns its result.
int RunDialog(FullScreenDialog& dialog, const std::function<void()>& steps) {
  QTimer::singleShot(0, [&] {
    steps();
    if (dialog.IsRunning()) dialog.Done(99);  // a step that failed to end it
  });
  return dialog.Exec();
}

// A form of one text field, a spinner and a date picker.
class ReaderDialog : public FullScreenDialog {
 public:
  explicit ReaderDialog(KeypadWindow* host) : FullScreenDialog(host) {
    SetTitle(QStringLiteral("Sample"));
    auto* form = new FormColumn;
    spinner->FillFromKeyText(QStringLiteral("On;Off"));
    platform::SystemTime day{};
    day.wYear = 1985;
    day.wMonth = 3;
    day.wDay = 14;
    date->SetValue(day);
    form->AddRow(QStringLiteral("Name"), name);
    form->AddRow(QStringLiteral("Reminder"), spinner);
    form->AddRow(QStringLiteral("Date"), date);
    ContentLayout()->addWidget(form);
    SoftKeys()->SetCommandKey(SoftKeyBar::Left, QStringLiteral("Done"), kResultDone);
  }
  void OnCommand(int command) override { Done(command); }

  QLineEdit* name = new QLineEdit;
  SpinnerList* spinner = new SpinnerList;
  DatePicker* date = new DatePicker;
};

}  // namespace

class KeypadKitTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallFontSubstitutions(); }

  // A hidden row leaves no gap: the row after it stands where it would
  // without the hidden one.
  void hiddenRowLeavesNoGap() {
    FormColumn withHidden, without;
    auto* first = new QLineEdit, *hidden = new QLineEdit, *last = new QLineEdit;
    withHidden.AddRow(QString(), first);
    withHidden.AddRow(QString(), hidden);
    withHidden.AddRow(QString(), last);
    auto* first2 = new QLineEdit, *last2 = new QLineEdit;
    without.AddRow(QString(), first2);
    without.AddRow(QString(), last2);
    for (FormColumn* form : {&withHidden, &without}) {
      form->resize(240, 200);
      form->show();
    }
    hidden->hide();
    QApplication::processEvents();
    withHidden.Body()->layout()->activate();
    QCOMPARE(last->y(), last2->y());
    hidden->show();
    QApplication::processEvents();
    withHidden.Body()->layout()->activate();
    QVERIFY(last->y() > last2->y());
  }

  void condensedFontIsSubstituted() {
    const QFont font = CondensedFont(14, 700);
    QCOMPARE(font.family(), QStringLiteral("Segoe Condensed"));
    QVERIFY(QFontInfo(font).family().startsWith(QStringLiteral("DejaVu Sans")));
    QCOMPARE(font.bold(), true);
  }

  void commandMenuRelabelsGreysAndChecks() {
    CommandMenu menu;
    menu.AddCommand(10, QStringLiteral("Edit"));
    CommandMenu* more = menu.AddSubMenu(QStringLiteral("More"));
    more->AddCommand(20, QStringLiteral("Set icon"));
    QSignalSpy chosen(&menu, &CommandMenu::commandChosen);
    // Commands of a sub-menu are found through the root and reported by it.
    QVERIFY(menu.SetText(20, QStringLiteral("Set picture")));
    QCOMPARE(menu.Find(20)->text(), QStringLiteral("Set picture"));
    QVERIFY(menu.SetChecked(10, true));
    QVERIFY(menu.Find(10)->isChecked());
    QVERIFY(menu.SetEnabled(20, false));
    QVERIFY(!menu.Trigger(20));
    QVERIFY(menu.Trigger(10));
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toInt(), 10);
    QVERIFY(!menu.SetText(99, QStringLiteral("none")));
    QCOMPARE(menu.ItemAt(1)->text(), QStringLiteral("More"));
  }

  void softKeysRespondToFunctionKeysAndMouse() {
    KeypadWindow window;
    auto* screen = new KeypadScreen;
    window.SetMainScreen(screen);
    CommandMenu menu(screen);
    menu.AddCommand(5, QStringLiteral("Exit"));
    screen->SoftKeys()->SetCommandKey(SoftKeyBar::Left, QStringLiteral("Action"), 7);
    screen->SoftKeys()->SetMenuKey(SoftKeyBar::Right, QStringLiteral("Menu"), &menu);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QSignalSpy commands(screen, &KeypadScreen::commandChosen);
    QTest::keyClick(&window, Qt::Key_F1);
    QCOMPARE(commands.count(), 1);
    QCOMPARE(commands.at(0).at(0).toInt(), 7);
    QTest::keyClick(&window, Qt::Key_F2);
    QTRY_VERIFY(menu.isVisible());
    // The menu is driven by the arrows and Return.
    QTest::keyClick(&menu, Qt::Key_Down);
    QTest::keyClick(&menu, Qt::Key_Return);
    QTRY_COMPARE(commands.count(), 2);
    QCOMPARE(commands.at(1).at(0).toInt(), 5);
    // A hidden key does nothing.
    screen->SoftKeys()->HideKey(SoftKeyBar::Left);
    QTest::keyClick(&window, Qt::Key_F1);
    QCOMPARE(commands.count(), 2);
  }

  void menusStayInsideTheScreenAndBehaveLikeThePhones_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("240x320") << QSize(240, 320);
    QTest::newRow("176x220") << QSize(176, 220);
    QTest::newRow("landscape") << QSize(320, 240);
  }
  void menusStayInsideTheScreenAndBehaveLikeThePhones() {
    QFETCH(QSize, size);
    KeypadWindow window;
    auto* screen = new KeypadScreen;
    window.SetMainScreen(screen);
    CommandMenu menu(screen);
    menu.AddCommand(1, QStringLiteral("Greyed"));
    menu.SetEnabled(1, false);
    menu.AddCommand(2, QStringLiteral("A text far too long for the narrow screen of this phone"));
    CommandMenu* sub = menu.AddSubMenu(QStringLiteral("More"));
    for (int i = 0; i < 4; ++i) sub->AddCommand(10 + i, QStringLiteral("Sub-menu item %1").arg(i));
    screen->SoftKeys()->SetMenuKey(SoftKeyBar::Right, QStringLiteral("Menu"), &menu);
    window.resize(size);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    const QRect inside = menu.ScreenRect();
    QCOMPARE(inside.size(), size);
    QSignalSpy commands(screen, &KeypadScreen::commandChosen);

    QTest::keyClick(&window, Qt::Key_F2);
    QTRY_VERIFY(menu.isVisible());
    QVERIFY(inside.contains(menu.geometry()));
    QCOMPARE(menu.activeAction(), menu.Find(2));  // the first enabled item
    QVERIFY(!sub->isVisible());
    QVERIFY(menu.Find(2)->text().endsWith(QChar(0x2026)));
    QCOMPARE(CommandMenu::FullText(menu.Find(2)), QStringLiteral("A text far too long for the narrow screen of this phone"));
    // A screen reader reads the item whole.
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(&menu)->child(1);
    QCOMPARE(item->role(), QAccessible::MenuItem);
    QCOMPARE(item->text(QAccessible::Name), CommandMenu::FullText(menu.Find(2)));

    menu.setActiveAction(sub->menuAction());
    QTest::keyClick(&menu, Qt::Key_Return);
    QTRY_VERIFY(sub->isVisible());
    QVERIFY(inside.contains(sub->geometry()));
    // Over its parent, not beside it, covering the parent's rows to their right
    // end and from its top to its bottom (no row of the parent reads as one of
    // the sub-menu's), and above the soft keys.
    QVERIFY(sub->geometry().left() >= menu.geometry().left());
    QVERIFY(sub->geometry().right() >= menu.geometry().right());
    QVERIFY(sub->geometry().top() <= menu.geometry().top());
    QVERIFY(sub->geometry().bottom() >= menu.geometry().bottom());
    const QRect keys(screen->SoftKeys()->mapToGlobal(QPoint(0, 0)), screen->SoftKeys()->size());
    QVERIFY(!sub->geometry().intersects(keys));
    QCOMPARE(sub->activeAction(), sub->Find(10));
    QTest::keyClick(sub, Qt::Key_Backspace);  // one level back
    QTRY_VERIFY(!sub->isVisible());
    QVERIFY(menu.isVisible());
    QTest::keyClick(&menu, Qt::Key_F2);  // the soft key again closes it
    QTRY_VERIFY(!menu.isVisible());

    QTest::keyClick(&window, Qt::Key_F2);
    QTRY_VERIFY(menu.isVisible());
    QTest::keyClick(&menu, Qt::Key_Return);
    QTRY_COMPARE(commands.count(), 1);
    QCOMPARE(commands.at(0).at(0).toInt(), 2);
  }

  void messageBoxIsDrawnInsideTheScreenAndAnsweredByKeys_data() {
    QTest::addColumn<unsigned>("flags");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QSize>("screen");
    const QSize narrow(176, 220), wide(320, 240);
    QTest::newRow("yes by Return") << (MB_YESNO | MB_ICONQUESTION) << int(Qt::Key_Return) << IDYES << narrow;
    QTest::newRow("no by Back") << (MB_YESNO | MB_ICONQUESTION) << int(Qt::Key_Escape) << IDNO << wide;
    QTest::newRow("no by the right key") << unsigned(MB_YESNO) << int(Qt::Key_F2) << IDNO << narrow;
    QTest::newRow("ok by the left key") << (MB_OK | MB_ICONSTOP) << int(Qt::Key_F1) << IDOK << narrow;
    QTest::newRow("ok by Return") << unsigned(MB_OK) << int(Qt::Key_Return) << IDOK << wide;
  }
  void messageBoxIsDrawnInsideTheScreenAndAnsweredByKeys() {
    QFETCH(unsigned, flags);
    QFETCH(int, key);
    QFETCH(int, answer);
    QFETCH(QSize, screen);
    KeypadWindow window;
    auto* main = new KeypadScreen;
    window.SetMainScreen(main);
    window.resize(screen);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QRect boxRect;
    QTimer::singleShot(0, [&] {
      KeypadScreen* box = window.TopScreen();
      QVERIFY(box != main);
      QCOMPARE(box->Title(), QStringLiteral("Natalo"));
      boxRect = box->geometry();
      // The icon stands beside the text, or above it on a narrow screen.
      if (auto* icon = box->findChild<QLabel*>(QStringLiteral("MessageIcon"))) {
        const QRect text = box->findChild<QLabel*>(QStringLiteral("MessageText"))->geometry();
        QCOMPARE(icon->geometry().bottom() < text.top(), screen.width() < 200);
        QCOMPARE(icon->geometry().right() < text.left(), screen.width() >= 200);
      }
      QTest::keyClick(box, static_cast<Qt::Key>(key));
    });
    const QString text = QStringLiteral("A long question that has to wrap onto several lines of the small screen?");
    QCOMPARE(ShowMessageBox(main, text, QStringLiteral("Natalo"), flags), answer);
    QCOMPARE(boxRect, QRect(QPoint(0, 0), window.size()));
    QCOMPARE(window.TopScreen(), main);
    TakeMessageBoxLog();
  }

  void dialogTakesTheWindowsPlaceAndGivesItBack() {
    KeypadWindow window;
    auto* main = new KeypadScreen;
    window.SetMainScreen(main);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    SampleDialog dialog(&window);
    int screensWhileOpen = 0;
    const int result = RunDialog(dialog, [&] {
      screensWhileOpen = window.ScreenCount();
      QCOMPARE(window.TopScreen(), &dialog);
      QVERIFY(!main->isVisible());
      QTest::keyClick(dialog.name, Qt::Key_F1);
    });
    QCOMPARE(result, kResultDone);
    QCOMPARE(screensWhileOpen, 2);
    QCOMPARE(window.ScreenCount(), 1);
    QCOMPARE(window.TopScreen(), main);
  }

  void backKeyDeletesInTextFieldsAndCancelsElsewhere() {
    KeypadWindow window;
    window.SetMainScreen(new KeypadScreen);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    SampleDialog dialog(&window);
    QString afterBack;
    bool stillRunning = false;
    const int result = RunDialog(dialog, [&] {
      dialog.name->setFocus();
      QTest::keyClicks(dialog.name, QStringLiteral("Anna"));
      QTest::keyClick(dialog.name, Qt::Key_Escape);    // Back: deletes one character
      QTest::keyClick(dialog.name, Qt::Key_Backspace);  // ordinary delete
      afterBack = dialog.name->text();
      stillRunning = dialog.IsRunning();
      dialog.spinner->setFocus();
      QTest::keyPress(dialog.spinner, Qt::Key_Escape);
      // Taken over: nothing happens until the key comes up.
      QVERIFY(dialog.IsRunning());
      QTest::keyRelease(dialog.spinner, Qt::Key_Escape);
    });
    QCOMPARE(afterBack, QStringLiteral("An"));
    QVERIFY(stillRunning);
    QCOMPARE(result, kResultCancel);
  }

  void backspaceOutsideTextFieldsIsBack() {
    KeypadWindow window;
    window.SetMainScreen(new KeypadScreen);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    SampleDialog dialog(&window);
    dialog.SetBackKeyTakenOver(false);
    const int result = RunDialog(dialog, [&] {
      dialog.spinner->setFocus();
      QTest::keyPress(dialog.spinner, Qt::Key_Backspace);  // not taken over: acts on key-down
    });
    QCOMPARE(result, kResultCancel);
  }

  void spinnerListFillsFromKeyTextAndWraps() {
    SpinnerList list;
    list.FillFromKeyText(QStringLiteral("On the day;1 day before;2 days before"));
    QCOMPARE(list.Count(), 3);
    QCOMPARE(list.CurrentIndex(), 0);
    QCOMPARE(list.ItemText(2), QStringLiteral("2 days before"));
    QSignalSpy changed(&list, &SpinnerList::currentIndexChanged);
    QTest::keyClick(&list, Qt::Key_Left);
    QCOMPARE(list.CurrentIndex(), 2);
    QTest::keyClick(&list, Qt::Key_Right);
    QCOMPARE(list.CurrentIndex(), 0);
    QCOMPARE(changed.count(), 2);
    QVERIFY(!list.SetCurrentIndex(3));
    QCOMPARE(list.CurrentIndex(), 0);
    list.AddItem(QStringLiteral("File"), QStringLiteral("/tmp/a.oga"));
    QCOMPARE(list.ItemData(3).toString(), QStringLiteral("/tmp/a.oga"));
    list.Clear();
    QCOMPARE(list.CurrentIndex(), -1);
    list.Step(1);  // harmless on an empty list
    QCOMPARE(list.CurrentIndex(), -1);
  }

  void formColumnMovesFocusWithArrowsAndRelaysOutWhenTurned() {
    KeypadWindow window;
    window.SetMainScreen(new KeypadScreen);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    SampleDialog dialog(&window);
    int turnsSeen = 0;
    int nameWidthPortrait = 0, nameWidthLandscape = 0;
    RunDialog(dialog, [&] {
      dialog.name->setFocus();
      QTest::keyClick(dialog.name, Qt::Key_Down);
      QVERIFY(dialog.spinner->hasFocus());
      QTest::keyClick(dialog.spinner, Qt::Key_Up);
      QVERIFY(dialog.name->hasFocus());
      nameWidthPortrait = dialog.name->width();
      window.Turn();
      QTRY_COMPARE(dialog.turns, 1);
      QTRY_VERIFY(dialog.name->width() > nameWidthPortrait);
      nameWidthLandscape = dialog.name->width();
      turnsSeen = dialog.turns;
      dialog.Done(kResultDone);
    });
    QCOMPARE(turnsSeen, 1);
    QVERIFY(nameWidthLandscape > nameWidthPortrait);
    QVERIFY(window.width() > window.height());
  }

  void messageBoxesAnswerInAdvanceAndRecord() {
    PushMessageBoxAnswer(IDYES);
    QCOMPARE(ShowMessageBox(nullptr, QStringLiteral("Delete?"), QStringLiteral("Natalo"), MB_YESNO | MB_ICONQUESTION),
             IDYES);
    const auto log = TakeMessageBoxLog();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].text, QStringLiteral("Delete?"));
    QCOMPARE(log[0].flags, MB_YESNO | MB_ICONQUESTION);
    QVERIFY(TakeMessageBoxLog().isEmpty());
  }

  void messageBoxAnswersAndLogComeFromTheEnvironment() {
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("boxes.log"));
    qputenv("NATALO_MESSAGEBOX_ANSWERS", "7, 1");
    qputenv("NATALO_MESSAGEBOX_LOG", logPath.toUtf8());
    ApplyMessageBoxEnvironment();
    QCOMPARE(ShowMessageBox(nullptr, QStringLiteral("Delete?\nSure"), QStringLiteral("Natalo"), MB_YESNO), IDNO);
    QCOMPARE(ShowMessageBox(nullptr, QStringLiteral("Gone"), QStringLiteral("Info"), MB_OK | MB_ICONSTOP), IDOK);
    qunsetenv("NATALO_MESSAGEBOX_ANSWERS");
    qunsetenv("NATALO_MESSAGEBOX_LOG");
    ApplyMessageBoxEnvironment();
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(log.readAll()),
             QStringLiteral("Natalo\t4\tDelete?\\nSure\nInfo\t10\tGone\n"));
    TakeMessageBoxLog();
  }

  void openMessageBoxCanBeClosedByCaption() {
    bool wasOpen = false;
    QTimer::singleShot(50, [&] {
      wasOpen = HasOpenMessageBox(QStringLiteral("Natalo"));
      QVERIFY(!CloseMessageBoxes(QStringLiteral("Other")));
      QVERIFY(CloseMessageBoxes(QStringLiteral("Natalo")));
    });
    const int result = ShowMessageBox(nullptr, QStringLiteral("Hello"), QStringLiteral("Natalo"), MB_YESNO);
    QVERIFY(wasOpen);
    QCOMPARE(result, IDNO);
    QVERIFY(!HasOpenMessageBox(QStringLiteral("Natalo")));
    TakeMessageBoxLog();
  }

  // Each control, reached by keys, reads out a role, a name and a value; a key
  // that changes the value changes what is read, and a soft key is pressed
  // through the screen reader's action.
  void controlsTellScreenReaders_data() {
    QTest::addColumn<int>("downs");  // Down keys from the first field; -1 a soft key, -2 a message box
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("valueAfter");
    QTest::newRow("text field") << 0 << int(QAccessible::EditableText) << "Name" << "" << 0 << "";
    QTest::newRow("spinner") << 1 << int(QAccessible::ComboBox) << "Reminder" << "On" << int(Qt::Key_Right) << "Off";
    QTest::newRow("date picker") << 2 << int(QAccessible::SpinBox) << "Date" << "14/3/1985" << int(Qt::Key_Up)
                                 << "15/3/1985";
    QTest::newRow("soft key") << -1 << int(QAccessible::PushButton) << "Done" << "" << 0 << "";
    QTest::newRow("message box") << -2 << int(QAccessible::AlertMessage) << "Caption" << "Was it read?" << 0 << "";
  }
  void controlsTellScreenReaders() {
    QFETCH(int, downs);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(int, key);
    QFETCH(QString, valueAfter);
    KeypadWindow window;
    window.SetMainScreen(new KeypadScreen);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    ReaderDialog dialog(&window);
    const auto read = [](QWidget* control, QAccessible::Text text) {
      QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(control);
      return reader != nullptr ? reader->text(text) : QStringLiteral("(none)");
    };
    const auto check = [&](QWidget* control) {
      QVERIFY(control != nullptr);
      QCOMPARE(int(QAccessible::queryAccessibleInterface(control)->role()), role);
      QCOMPARE(read(control, QAccessible::Name), name);
      QCOMPARE(read(control, QAccessible::Value), value);
    };
    const int result = RunDialog(dialog, [&] {
      if (downs == -2) {
        QTimer::singleShot(0, [&] {
          check(window.findChild<QWidget*>(QStringLiteral("MessageBox")));
          QTest::keyClick(&window, Qt::Key_Return);
        });
        QCOMPARE(ShowMessageBox(&window, value, name, MB_OK), IDOK);
        return;
      }
      if (downs == -1) {
        QWidget* softKey = dialog.SoftKeys()->findChildren<QPushButton*>().value(0);
        check(softKey);
        // The screen reader presses the key: the dialog ends with its command.
        QAccessible::queryAccessibleInterface(softKey)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(!dialog.IsRunning());
        return;
      }
      for (int i = 0; i < downs; ++i) QTest::keyClick(window.focusWidget(), Qt::Key_Down);
      check(window.focusWidget());
      if (key != 0) {
        QTest::keyClick(window.focusWidget(), Qt::Key(key));
        QCOMPARE(read(window.focusWidget(), QAccessible::Value), valueAfter);
      }
    });
    QCOMPARE(result, downs == -1 ? kResultDone : 99);
    TakeMessageBoxLog();
  }

  // Every text of the kit reaches 4.5:1 against its background on a light and
  // on a dark desktop; the light one keeps the kit's own blues.
  void themeTextsAreReadable_data() {
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << QApplication::style()->standardPalette() << false;
    QTest::newRow("dark") << testsupport::DarkPalette() << true;
  }
  void themeTextsAreReadable() {
    QFETCH(QPalette, palette);
    QFETCH(bool, dark);
    QCOMPARE(ContrastRatio(Qt::black, Qt::white), 21.0);
    QVERIFY(ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white) < 4.5);  // WCAG's own borderline grey
    const KeypadColours c = ThemeColours(palette);
    QCOMPARE(c.dark, dark);
    QCOMPARE(c.field.lightness() < 128, dark);
    const struct {
      const char* what;
      QColor text, background;
    } pairs[] = {{"window", c.windowText, c.window},  {"field", c.fieldText, c.field},
                 {"focused field", c.fieldText, c.focusField}, {"title", c.stripText, c.strip},
                 {"soft key", c.keyText, c.key},       {"pressed key", c.keyText, c.keyPressed},
                 {"caption", c.caption, c.window},     {"alert", c.alert, c.window}};
    for (const auto& pair : pairs) {
      QVERIFY2(ContrastRatio(pair.text, pair.background) >= 4.5, pair.what);
    }
    if (!dark) {
      QCOMPARE(c.strip, QColor(0x3b6aa8));
      QCOMPARE(c.caption, QColor(0x1c4f8f));
    }
  }

  // An open screen follows the desktop when it turns dark: the fields and the
  // soft keys take the dark palette's colours.
  void openScreenFollowsTheDesktopToDark() {
    const QPalette light = QApplication::palette();
    KeypadWindow window;
    window.SetMainScreen(new KeypadScreen);
    SampleDialog dialog(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto lightness = [](QWidget* widget) {
      const QImage image = widget->grab().toImage();
      qint64 sum = 0;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) sum += image.pixelColor(x, y).lightness();
      }
      return sum / std::max<qint64>(1, qint64(image.width()) * image.height());
    };
    QPushButton* key = dialog.SoftKeys()->findChildren<QPushButton*>().value(0);
    RunDialog(dialog, [&] {
      QVERIFY(lightness(dialog.spinner) > 200);
      QApplication::setPalette(testsupport::DarkPalette());
      // What a running application's widgets are sent then (outside exec() Qt leaves it out).
      QEvent change(QEvent::ApplicationPaletteChange);
      for (QWidget* widget : QApplication::allWidgets()) QApplication::sendEvent(widget, &change);
      QApplication::processEvents();
      QVERIFY(lightness(dialog.spinner) < 80);
      const QImage keyImage = key->grab().toImage();
      QCOMPARE(keyImage.pixelColor(1, 1), ThemeColours().key);
    });
    QApplication::setPalette(light);
  }

  void doneBeforeExecEndsAtOnce() {
    SampleDialog dialog(nullptr);
    dialog.Done(kResultDone);
    QCOMPARE(dialog.Exec(), kResultDone);
  }

  void cancelAllEndsRunningDialogs() {
    KeypadWindow window;
    window.SetMainScreen(new KeypadScreen);
    SampleDialog dialog(&window);
    QTimer::singleShot(0, [&] {
      QCOMPARE(FullScreenDialog::Running().size(), 1);
      FullScreenDialog::CancelAll();
    });
    QCOMPARE(dialog.Exec(), kResultCancel);
    QVERIFY(FullScreenDialog::Running().isEmpty());
  }
};

QTEST_MAIN(KeypadKitTest)
#include "KeypadKitTest.moc"
