// The three entry editors: checks and their messages, saving, the duplicate
// check, the own reminder following the date, Cancel, and the contact chooser.
#include <QtTest>

#include <fstream>
#include <map>

#include "Natalo/AppText.h"
#include "Natalo/editors/EditorServices.h"
#include "Natalo/editors/EntryDialogs.h"
#include "Natalo/editors/EntryEditor.h"
#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryReminder.h"
#include "common/entries/FeskList.h"
#include "common/entries/TextFormat.h"
#include "platform/contacts/ContactStore.h"
#include "platform/text/Utf.h"
#include "platform/ui/CommandMenu.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/KeypadWindow.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/SpinnerList.h"
#include "platform/ui/TextFields.h"
#include "tests/app/AppTestFolder.h"
#include "tests/editors/EditorTestSupport.h"
#include "tests/engine/ItemBuilders.h"

using editortest::Day;
using editortest::WhenRunning;
using enginetest::At;

namespace {

platform::SystemTime DayFromToday(int days) {
  const std::int64_t n = DayNumber(Today()) + days;
  int y = 0, m = 0, d = 0;
  platform::CivilFromDays(n, y, m, d);
  platform::SystemTime st;
  st.wYear = static_cast<std::uint16_t>(y);
  st.wMonth = static_cast<std::uint16_t>(m);
  st.wDay = static_cast<std::uint16_t>(d);
  return st;
}

QString Key(const char16_t* key) { return ToQString(LocalText().Get(key)); }
// A message as shown, its "%s" filled with the first year the editors take.
QString Message(const QString& key) {
  return ToQString(FormatText(LocalText().Get(platform::FromUtf8(key.toStdString())), {u"1605"}));
}

FeskItem* Listed(FeskList& list, std::uint16_t kind, const char16_t* first, const char16_t* last = u"",
                 std::uint32_t oid = 0) {
  auto entry = std::make_unique<FeskItem>(kind);
  if (kind == Birthday) {
    entry->SetFirstName(first);
  } else {
    entry->SetName(first);
  }
  entry->SetLastName(last);
  entry->m_dwContactOid = oid;
  entry->m_ftDate = At(1980, 3, 10);
  return AsEntry(list.Add(std::move(entry)));
}

// Keys written as a string, to the focused field while the editor runs: U D L R
// arrows, B Backspace, F the Done soft key, digits.
void PressKeys(EntryEditor& editor, const QString& keys) {
  const std::map<QChar, Qt::Key> named{{'U', Qt::Key_Up},    {'D', Qt::Key_Down},      {'L', Qt::Key_Left},
                                       {'R', Qt::Key_Right}, {'B', Qt::Key_Backspace}, {'F', Qt::Key_F1}};
  for (const QChar c : keys) {
    if (!editor.IsRunning()) break;
    QTest::keyClick(editor.window()->focusWidget(),
                    c.isDigit() ? static_cast<Qt::Key>(Qt::Key_0 + c.digitValue()) : named.at(c));
  }
}

void WriteCard(const std::string& folder, const std::string& uid, const std::string& n, const std::string& extra) {
  std::ofstream(folder + uid + ".vcf") << "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" << uid << "\r\nN:" << n << "\r\n"
                                       << extra << "END:VCARD\r\n";
}

}  // namespace

class EntryEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    m_world = std::make_unique<editortest::DialogTestWorld>();
    m_window = &m_world->window;
    m_contactsDir = m_world->folder.Folder() + "contacts/";
    std::filesystem::create_directories(m_contactsDir);
    WriteCard(m_contactsDir, "ann", "Lee;Ann;;;", "BDAY:1980-03-10\r\nANNIVERSARY:2001-06-01\r\n");
    WriteCard(m_contactsDir, "bo", "  Diddley  ;  Bo ;;;", "BDAY:2990-01-01\r\n");
    WriteCard(m_contactsDir, "cy", ";Cy;;;", "ANNIVERSARY:2003-07-07\r\n");
    WriteCard(m_contactsDir, "blank", " ; ;;;", "BDAY:1970-01-01\r\n");
    WriteCard(m_contactsDir, "di", "Dee;Di;;;", "BDAY:--0514\r\nANNIVERSARY:--02-29\r\n");
    m_contacts = std::make_unique<platform::ContactStore>(m_contactsDir);
    QVERIFY(m_contacts->Logon());
  }

  void init() {
    m_list = std::make_unique<FeskList>(m_world->folder.Folder() + "storage.dat");
    EditorServices services;
    services.list = m_list.get();
    services.contacts = m_contacts.get();
    SetEditorServices(&services);
    keypad::TakeMessageBoxLog();
  }

  void cleanupTestCase() { SetEditorServices(nullptr); }

  void checksAndSaving_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("first");  // the name field of the other kinds
    QTest::addColumn<QString>("last");
    QTest::addColumn<int>("daysFromToday");
    QTest::addColumn<QString>("message");  // empty: saved
    QTest::newRow("birthday with only a last name, today") << 0 << "" << "Lee" << 0 << "";
    QTest::newRow("birthday without names") << 0 << "" << "" << -3 << "MSG_BIRTHDAY_NAMES_EMPTY";
    QTest::newRow("birthday tomorrow") << 0 << "Ann" << "" << 1 << "MSG_WRONG_DATE";
    QTest::newRow("anniversary tomorrow") << 1 << "Wedding" << "" << 1 << "MSG_WRONG_DATE";
    QTest::newRow("anniversary without name") << 1 << "" << "" << -1 << "MSG_ANNIVERSARY_NAME_EMPTY";
    QTest::newRow("other date in the future") << 2 << "Trip" << "" << 400 << "";
    QTest::newRow("other date without name") << 2 << "" << "" << 0 << "MSG_OTHERDATE_NAME_EMPTY";
    QTest::newRow("name field still showing the contact hint") << 0 << "<hint>" << "" << -1
                                                               << "MSG_BIRTHDAY_NAMES_EMPTY";
  }
  void checksAndSaving() {
    QFETCH(int, kind);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(int, daysFromToday);
    QFETCH(QString, message);
    FeskItem entry(static_cast<std::uint16_t>(kind));
    QString shown;
    WhenRunning<EntryEditor>([&](EntryEditor& editor) {
      keypad::LineField* name = kind == Birthday ? editor.FirstNameField() : editor.NameField();
      if (first == "<hint>") {
        name->setFocus();
        name->setText(name->FocusHint());  // as the hint shows it
      } else {
        name->setText(first);
      }
      if (editor.LastNameField()) editor.LastNameField()->setText(last);
      editor.DateField()->SetValue(DayFromToday(daysFromToday));
      editor.Note()->setPlainText("a note");
      editor.ReminderSwitch()->SetCurrentIndex(1);
      if (!message.isEmpty()) keypad::PushMessageBoxAnswer(keypad::IDOK);
      editor.SoftKeys()->Press(keypad::SoftKeyBar::Left);
      const auto log = keypad::TakeMessageBoxLog();
      if (!log.isEmpty()) shown = log.first().text;
      if (editor.IsRunning()) editor.Done(keypad::kResultCancel);
    });
    const int result = RunEntryEditor(entry, m_window);
    if (message.isEmpty()) {
      QCOMPARE(result, keypad::kResultDone);
      QCOMPARE(shown, QString());
      QCOMPARE(EntryQString(kind == Birthday ? entry.LastName() : entry.Name()), kind == Birthday ? last : first);
      QCOMPARE(EntryQString(entry.Note()), QString("a note"));
      QCOMPARE(entry.m_bEnabled, 0u);
      // The date at the program's reminder time (12:00 by default).
      const platform::SystemTime want = DayFromToday(daysFromToday);
      QCOMPARE(entry.m_ftDate, At(want.wYear, want.wMonth, want.wDay, 12, 0));
    } else {
      QCOMPARE(result, keypad::kResultCancel);
      QCOMPARE(shown, Key(platform::FromUtf8(message.toStdString()).c_str()));
      QVERIFY(entry.FirstName().empty() && entry.Name().empty());  // untouched
    }
  }

  void duplicates_data() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("refused");
    QTest::newRow("another birthday listed before the edited one") << "before" << true;
    QTest::newRow("another birthday listed after the edited one") << "after" << false;
    QTest::newRow("a new birthday with a star's names") << "star" << false;
    QTest::newRow("a new birthday of a contact already listed") << "contact" << true;
    QTest::newRow("a new birthday of another contact with the same names") << "namesake" << false;
    QTest::newRow("a new anniversary of a contact already linked") << "linked" << true;
    QTest::newRow("a new hand-typed anniversary") << "typed" << false;
  }
  void duplicates() {
    QFETCH(QString, situation);
    QFETCH(bool, refused);
    FeskItem* edited = nullptr;
    FeskItem fresh(situation == "linked" || situation == "typed" ? Anniversary : Birthday);
    if (situation == "before") Listed(*m_list, Birthday, u"Ann", u"Lee");
    if (situation == "before" || situation == "after") edited = Listed(*m_list, Birthday, u"Old", u"Name");
    if (situation == "after") Listed(*m_list, Birthday, u"Ann", u"Lee");
    if (situation == "star") Listed(*m_list, Birthday, u"Bo", u"Diddley")->m_bStar = 1;
    if (situation == "contact" || situation == "namesake") Listed(*m_list, Birthday, u"Ann", u"Lee", 77);
    if (situation == "linked") Listed(*m_list, Anniversary, u"Wedding of Ann", u"", 77);
    if (situation == "typed") Listed(*m_list, Anniversary, u"Wedding", u"", 0);
    FeskItem& entry = edited ? *edited : fresh;
    const std::u16string firstBefore(entry.FirstName()), lastBefore(entry.LastName());
    const std::u16string nameBefore(entry.Name());
    QString shown;
    WhenRunning<EntryEditor>([&](EntryEditor& editor) {
      if (editor.FirstNameField()) {
        editor.FirstNameField()->setText(situation == "star" ? "BO" : "ann");
        editor.LastNameField()->setText(situation == "star" ? "diddley" : "LEE");
        if (situation == "contact" || situation == "namesake") {
          editor.WorkingCopy().m_dwContactOid = situation == "contact" ? 77 : 78;
        }
      } else {
        editor.NameField()->setText("Wedding");
        if (situation == "linked") editor.WorkingCopy().m_dwContactOid = 77;
      }
      editor.DateField()->SetValue(Day(1980, 3, 10));
      if (refused) keypad::PushMessageBoxAnswer(keypad::IDOK);
      // A box where none belongs is closed again, so that the row fails instead of waiting.
      if (!refused) QTimer::singleShot(0, [] { keypad::CloseMessageBoxes(ToQString(LocalText().GetAppName())); });
      editor.DateField()->setFocus();
      editor.ActionKey();  // the action key outside a name field saves
      const auto log = keypad::TakeMessageBoxLog();
      if (!log.isEmpty()) shown = log.first().text;
      // Cancel after the message: the entry stays as it was.
      if (editor.IsRunning()) editor.Done(keypad::kResultCancel);
    });
    const int result = RunEntryEditor(entry, m_window);
    QCOMPARE(result, refused ? keypad::kResultCancel : keypad::kResultDone);
    if (refused) {
      QCOMPARE(shown, entry.m_wKind == Birthday ? Key(u"MSG_DUPLICATE_BIRTHDAY") : Key(u"MSG_DUPLICATE_ANNIVERSARY"));
      QCOMPARE(entry.FirstName(), firstBefore);
      QCOMPARE(entry.LastName(), lastBefore);
      QCOMPARE(entry.Name(), nameBefore);
    } else {
      QCOMPARE(shown, QString());
    }
  }

  void keysInTheForm_data() {
    QTest::addColumn<QString>("keys");     // U D L R arrows, B Backspace, F the Done soft key, digits
    QTest::addColumn<QString>("focus");    // the field with the focus afterwards
    QTest::addColumn<QString>("message");  // shown on Done; empty: none, and the date is as it was
    // The editor opens on the first name; the year is the date's third field; the note has two lines.
    QTest::newRow("Done with the year typed in part") << "DDRR198F" << "date" << "MSG_ENTRY_YEAR_INCOMPLETE_OR_EMPTY";
    QTest::newRow("Backspace in the date takes back a digit") << "DD1B" << "date" << "";
    QTest::newRow("Right past the year moves to the note") << "DDRRR" << "note" << "";
    QTest::newRow("Up on the note's first line goes back") << "DDRRRU" << "date" << "";
    QTest::newRow("Down on the note's last line goes on") << "DDRRRDD" << "reminder" << "";
  }
  void keysInTheForm() {
    QFETCH(QString, keys);
    QFETCH(QString, focus);
    QFETCH(QString, message);
    FeskItem entry(Birthday);
    entry.SetFirstName(u"Ann");
    entry.SetNote(u"line one\nline two");
    entry.m_ftDate = At(1980, 3, 10, 12, 0);
    QString focused, shown;
    bool running = false, framed = false;
    QDate date;
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    WhenRunning<EntryEditor>([&](EntryEditor& editor) {
      if (!message.isEmpty()) keypad::PushMessageBoxAnswer(keypad::IDOK);
      PressKeys(editor, keys);
      QWidget* now = editor.window()->focusWidget();
      focused = now == editor.DateField() ? "date" : now == editor.Note() ? "note"
              : now == editor.ReminderSwitch() ? "reminder" : "another";
      running = editor.IsRunning();
      if (!running) return;  // ended by a key
      // The focused field shows the kit's focus frame at its left edge.
      const QImage picture = now->grab().toImage();
      framed = QColor(picture.pixel(0, picture.height() / 2)) == QColor(0x3b6aa8);
      const auto log = keypad::TakeMessageBoxLog();
      if (!log.isEmpty()) shown = log.first().text;
      platform::SystemTime st;
      if (editor.DateField()->GetValue(st)) date = QDate(st.wYear, st.wMonth, st.wDay);
      if (editor.IsRunning()) editor.Done(keypad::kResultCancel);
    });
    RunEntryEditor(entry, m_window);
    QVERIFY(running);
    QCOMPARE(focused, focus);
    QVERIFY(framed);
    QCOMPARE(shown, message.isEmpty() ? QString() : Message(message));
    QCOMPARE(date, message.isEmpty() ? QDate(1980, 3, 10) : QDate());
  }

  void yearLeftEmptyByKeys_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("date");     // the entry's; in 1604 it has no year
    QTest::addColumn<QString>("keys");     // as in keysInTheForm; F is Done
    QTest::addColumn<QString>("message");  // shown on Done; empty: none
    QTest::addColumn<QDate>("stored");     // invalid: the entry is not written
    // The year is the date's third field; the birthday's date is two rows down, the others' one.
    QTest::newRow("birthday: Backspace empties the year, Done keeps the date without it")
        << 0 << QDate(1980, 3, 10) << "DDRRBF" << "" << QDate(1604, 3, 10);
    QTest::newRow("anniversary: the same") << 1 << QDate(1980, 3, 10) << "DRRBF" << "" << QDate(1604, 3, 10);
    QTest::newRow("other date: Backspace leaves the year") << 2 << QDate(1980, 3, 10) << "DRRBF" << ""
                                                           << QDate(1980, 3, 10);
    QTest::newRow("other date reopened without a year: a year is required")
        << 2 << QDate(1604, 3, 10) << "F" << "MSG_ENTRY_YEAR_INCOMPLETE" << QDate();
    QTest::newRow("a typed 1604 is no year") << 0 << QDate(1980, 3, 10) << "DDRR1604F"
                                             << "MSG_ENTRY_YEAR_INCOMPLETE_OR_EMPTY" << QDate();
    QTest::newRow("reopened without a year, Done keeps it so") << 0 << QDate(1604, 2, 29) << "F" << ""
                                                               << QDate(1604, 2, 29);
    // The cursor waits on the empty year.
    QTest::newRow("reopened without a year, a typed year completes it")
        << 0 << QDate(1604, 3, 10) << "DD1985F" << "" << QDate(1985, 3, 10);
  }
  void yearLeftEmptyByKeys() {
    QFETCH(int, kind);
    QFETCH(QDate, date);
    QFETCH(QString, keys);
    QFETCH(QString, message);
    QFETCH(QDate, stored);
    FeskItem entry(static_cast<std::uint16_t>(kind));
    if (kind == Birthday) {
      entry.SetFirstName(u"Ann");
    } else {
      entry.SetName(u"Ann");
    }
    entry.m_ftDate = At(date.year(), date.month(), date.day(), 12, 0);
    const platform::FileTime before = entry.m_ftDate;
    QString opened, shown;
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    WhenRunning<EntryEditor>([&](EntryEditor& editor) {
      opened = editor.DateField()->Text();
      if (!message.isEmpty()) keypad::PushMessageBoxAnswer(keypad::IDOK);
      PressKeys(editor, keys);
      const auto log = keypad::TakeMessageBoxLog();
      if (!log.isEmpty()) shown = log.first().text;
      if (editor.IsRunning()) editor.Done(keypad::kResultCancel);
    });
    const int result = RunEntryEditor(entry, m_window);
    // Never the placeholder year: its dashes instead.
    QCOMPARE(opened.contains("----"), date.year() == kYearUnknown);
    QCOMPARE(shown, message.isEmpty() ? QString() : Message(message));
    QCOMPARE(result, stored.isValid() ? keypad::kResultDone : keypad::kResultCancel);
    QCOMPARE(entry.m_ftDate, stored.isValid() ? At(stored.year(), stored.month(), stored.day(), 12, 0) : before);
  }

  void ownReminderFollowsTheDate() {
    FeskItem* entry = Listed(*m_list, Birthday, u"Ann", u"Lee");
    entry->m_bOwnReminder = 1;
    ApplyReminder(*entry, 7, 0x121E);  // 7 days before, 18:30
    FeskItem* plain = Listed(*m_list, Birthday, u"Bo", u"Lee");
    ApplyReminder(*plain, 7, 0x121E);
    for (FeskItem* e : {entry, plain}) {
      WhenRunning<EntryEditor>([](EntryEditor& editor) {
        editor.DateField()->SetValue(Day(1980, 3, 20));
        editor.Accept();
      });
      QCOMPARE(RunEntryEditor(*e, m_window), keypad::kResultDone);
    }
    QCOMPARE(entry->m_ftStart, At(2001, 3, 13, 18, 30));
    // Program settings: 2 days before at 12:00.
    QCOMPARE(plain->m_ftStart, At(2001, 3, 18, 12, 0));
  }

  void cancelAfterChangingTheIcon() {
    FeskItem entry(Birthday);
    entry.SetFirstName(u"Ann");
    entry.m_dwIcon = 40;
    std::uint32_t workIcon = 0;
    WhenRunning<EntryEditor>([&](EntryEditor& editor) {
      WhenRunning<keypad::FullScreenDialog>([](keypad::FullScreenDialog& picker) {
        auto* grid = picker.findChild<QListWidget*>();
        grid->setCurrentRow(0);
        picker.SoftKeys()->Press(keypad::SoftKeyBar::Left);
      });
      editor.Menu()->Trigger(EntryEditor::kSetIcon);
      workIcon = editor.WorkingCopy().m_dwIcon;
      editor.Menu()->Trigger(EntryEditor::kCancel);
    });
    QCOMPARE(RunEntryEditor(entry, m_window), keypad::kResultCancel);
    QVERIFY(workIcon != 40);
    QCOMPARE(entry.m_dwIcon, 40u);
  }

  void contactChooser_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("contact");
    QTest::addColumn<QString>("first");  // the name field of an anniversary
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("typed");  // keys typed into the focused field after choosing
    QTest::addColumn<QDate>("date");     // in the picker, then stored by Done; in 1604 without a year
    QTest::newRow("birthday: names and a past date") << 0 << "Ann Lee"
                                                     << "Ann"
                                                     << "Lee"
                                                     << "" << QDate(1980, 3, 10);
    QTest::newRow("birthday: trimmed names, a future date is not taken") << 0 << "Bo Diddley"
                                                                         << "Bo"
                                                                         << "Diddley"
                                                                         << "" << QDate(1999, 9, 9);
    QTest::newRow("anniversary: formatted name and its date") << 1 << "Ann Lee"
                                                              << "Wedding of Ann Lee"
                                                              << ""
                                                              << "" << QDate(2001, 6, 1);
    QTest::newRow("anniversary: no last name empties the field") << 1 << "Cy"
                                                                 << ""
                                                                 << ""
                                                                 << "" << QDate(2003, 7, 7);
    QTest::newRow("birthday without a year: Done keeps it without one") << 0 << "Di Dee"
                                                                        << "Di"
                                                                        << "Dee"
                                                                        << "" << QDate(1604, 5, 14);
    QTest::newRow("birthday without a year: the typed year completes it") << 0 << "Di Dee"
                                                                          << "Di"
                                                                          << "Dee"
                                                                          << "1985" << QDate(1985, 5, 14);
    QTest::newRow("anniversary without a year: 29 February kept") << 1 << "Di Dee"
                                                                  << "Wedding of Di Dee"
                                                                  << ""
                                                                  << "2008" << QDate(2008, 2, 29);
  }
  void contactChooser() {
    QFETCH(int, kind);
    QFETCH(QString, contact);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, typed);
    QFETCH(QDate, date);
    FeskItem entry(static_cast<std::uint16_t>(kind));
    QStringList offered;
    WhenRunning<EntryEditor>([&](EntryEditor& editor) {
      editor.DateField()->SetValue(Day(1999, 9, 9));
      keypad::LineField* name = kind == Birthday ? editor.FirstNameField() : editor.NameField();
      name->setFocus();
      WhenRunning<keypad::FullScreenDialog>([&](keypad::FullScreenDialog& chooser) {
        for (auto* list : chooser.findChildren<QListWidget*>()) {
          for (int i = 0; i < list->count(); ++i) offered << list->item(i)->text();
        }
        QVERIFY(editortest::SelectRowText(chooser, contact));
        chooser.SoftKeys()->Press(keypad::SoftKeyBar::Left);
      });
      editor.ActionKey();
      QTest::keyClicks(QApplication::focusWidget(), typed);
      QCOMPARE(name->text(), first);
      if (editor.LastNameField()) QCOMPARE(editor.LastNameField()->text(), last);
      platform::SystemTime st;
      int month = 0, day = 0;
      if (editor.DateField()->GetValue(st)) {
        QCOMPARE(QDate(st.wYear, st.wMonth, st.wDay), date);
      } else {
        QVERIFY(editor.DateField()->GetMonthDayWithoutYear(month, day));
        QCOMPARE(QDate(kYearUnknown, month, day), date);
        QVERIFY(editor.DateField()->Text().contains("----"));
      }
      if (!name->text().isEmpty()) editor.Accept();
    });
    keypad::TakeMessageBoxLog();
    const int result = RunEntryEditor(entry, m_window);
    QCOMPARE(keypad::TakeMessageBoxLog().size(), 0);
    // Without a name the editor stays open.
    QCOMPARE(result, !first.isEmpty() ? keypad::kResultDone : 99);
    const CalendarDate stored = DateOfFileTime(entry.m_ftDate);
    if (!first.isEmpty()) QCOMPARE(QDate(stored.year, stored.month, stored.day), date);
    // Sorted; the contact whose names are only spaces is not offered.
    QCOMPARE(offered, QStringList({"Ann Lee", "Bo Diddley", "Cy", "Di Dee"}));
    if (kind == Anniversary && !first.isEmpty()) {
      platform::ContactItem item;
      QVERIFY(entry.m_dwContactOid != 0);
      QVERIFY(m_contacts->GetItemFromOid(entry.m_dwContactOid, item));
    }
  }

  void otherKindsShowTheBox() {
    FeskItem entry(7);
    keypad::PushMessageBoxAnswer(keypad::IDOK);
    QCOMPARE(entry.Edit(m_window), keypad::kResultCancel);  // no hook installed: 2 as well
    InstallEntryEditors();
    QCOMPARE(entry.Edit(m_window), keypad::kResultCancel);
    const auto log = keypad::TakeMessageBoxLog();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log.first().text, QString("Edit Dialog"));
    QCOMPARE(log.first().caption, QString("Info"));
  }

 private:
  std::unique_ptr<editortest::DialogTestWorld> m_world;
  keypad::KeypadWindow* m_window = nullptr;
  std::unique_ptr<FeskList> m_list;
  std::string m_contactsDir;
  std::unique_ptr<platform::ContactStore> m_contacts;
};

QTEST_MAIN(EntryEditorTest)
#include "EntryEditorTest.moc"
