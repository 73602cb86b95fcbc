// The reminder window in this process: what it shows for each kind of entry,
// its menu, the sound switch and the phone state; pictures of it go to
// NATALO_SCREENS_DIR.
#include <QAccessible>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

#include "NataloUtil/ReminderDialog.h"
#include "NataloUtil/ReminderSession.h"
#include "NataloUtil/ReminderSound.h"
#include "NataloUtil/SnoozeRules.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"
#include "platform/imaging/AppPictures.h"
#include "platform/imaging/IconLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/ui/CommandMenu.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/KeypadWindow.h"
#include "tests/support/DarkPalette.h"
#include "tests/support/TempDir.h"
#include "tests/util/UtilTestSupport.h"

using namespace utiltest;

namespace {

std::vector<std::u16string> g_sounds;
int Play(const std::u16string& event, const void*) {
  g_sounds.push_back(u"play " + event);
  return 0;
}
int Stop(const std::u16string& name) {
  g_sounds.push_back(u"stop " + name);
  return 0;
}

QString ScreensDir() {
  const QString dir = QString::fromLocal8Bit(qgetenv("NATALO_SCREENS_DIR"));
  return dir.isEmpty() ? QStringLiteral(NATALO_SCREENS_DIR) : dir;
}

// One reminder window over a keypad window of the given size.
struct WindowFixture {
  WindowFixture(std::unique_ptr<FeskItem> entry, QSize size = keypad::kDefaultScreenSize, std::uint32_t zodiac = 1,
                std::uint32_t displayNames = 0, int days = 4, bool missed = false)
      : session(env.ProgramFolder()), sound(&Play, &Stop) {
    std::filesystem::create_directories(env.ProgramFolder());
    // The entry is UID 1 of the folder's storage.dat and the session's active
    // reminder, so that the window's commands reach the stored entry.
    std::vector<std::unique_ptr<FeskItem>> stored;
    stored.push_back(CopyEntry(*entry));
    active = SaveEntries(env.ProgramFolder(), std::move(stored)) &&
             session.GetData(Armed(At(2026, 3, 10, 9, 0), "1"));
    const bool highRes = size.width() > keypad::kHighResolutionWidth;
    ReminderView view;
    view.texts = BuildReminderTexts(*entry, displayNames, zodiac, {2026, 3, 10});
    texts = view.texts;
    view.picture = LoadSingleIcon(NATALO_BUILT_PROGRAM_DIR "/", entry->m_dwIcon);
    AppPictures pictures;
    pictures.Load(highRes);
    if (const QImage* z = pictures.Zodiac(view.texts.zodiacSign, false)) view.zodiac = *z;
    view.daysToEvent = days;
    view.missed = missed;
    host.resize(size);
    host.SetMainScreen(new keypad::KeypadScreen);
    dialog = std::make_unique<ReminderDialog>(session, sound, view, &host);
    host.PushScreen(dialog.get());
    host.show();
    dialog->Open();
    QTest::qWait(50);
  }
  ~WindowFixture() { host.PopScreen(dialog.get()); }
  QImage Grab() { return host.grab().toImage(); }
  void Save(const QString& name) {
    QDir().mkpath(ScreensDir());
    Grab().save(ScreensDir() + "/" + name + ".png");
  }
  QLabel* Label(const QString& text) {
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
      if (label->text() == text) return label;
    }
    return nullptr;
  }

  testsupport::TestEnvironment env;
  ReminderSession session;
  ReminderSoundPlayer sound;
  keypad::KeypadWindow host;
  std::unique_ptr<ReminderDialog> dialog;
  ReminderTexts texts;
  bool active = false;
};

// A clock that stands still for one test, given back when the test ends.
struct PinnedClock {
  explicit PinnedClock(platform::FileTime now) : clock(now) { platform::SetClockSource(&clock); }
  ~PinnedClock() { platform::SetClockSource(nullptr); }
  platform::FixedClockSource clock;
};

std::unique_ptr<FeskItem> Anna() {
  auto anna = Entry(Birthday, "Anna Berg", {1985, 3, 14});
  anna->SetNote(u"Likes orchids and long walks.\nCall before noon.");
  std::u16string note(anna->Note());
  for (int i = 3; i <= 20; ++i) note += u"\nMore to remember";
  anna->SetNote(note);
  return anna;
}

}  // namespace

class ReminderWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    testsupport::ApplyShotsPalette();
    keypad::InstallFontSubstitutions();
    QVERIFY(GetLocalTable().LoadFile(NATALO_BUILT_PROGRAM_DIR "/local.dat", u"[English]"));
    InitLocalePatterns();
  }

  void birthdayShowsNameZodiacAndNote() {
    WindowFixture f(Anna());
    QCOMPARE(f.dialog->Title(), QStringLiteral("Birthday"));
    QVERIFY(f.Label(QStringLiteral("Anna Berg")));
    QVERIFY(f.Label(QStringLiteral("Turns 41 in 4 days")));
    QVERIFY(f.Label(QStringLiteral("Pisces")));  // head text with a note box
    QVERIFY(f.dialog->ZodiacShown());
    QVERIFY(f.dialog->NoteShown());
    auto* note = f.dialog->findChild<QPlainTextEdit*>();
    // Up and Down scroll the note; typing does not change it.
    note->setFocus();
    QTest::qWait(kKeyGraceMs);
    QTest::keyClick(note, Qt::Key_Down);
    QTest::keyClick(note, Qt::Key_X);
    QVERIFY(note->verticalScrollBar()->value() == 1);
    QVERIFY(!note->toPlainText().contains(QLatin1Char('x')));
    // With a note, line 1 is bold at 12/10 of the system text height and
    // line 3 italic at that height.
    const int h = keypad::SystemTextHeight();
    const QFont line1 = f.Label(QStringLiteral("Anna Berg"))->font();
    const QFont line3 = f.Label(QStringLiteral("Turns 41 in 4 days"))->font();
    QCOMPARE(line1.pixelSize(), h * 12 / 10);
    QVERIFY(line1.bold());
    QCOMPARE(line3.pixelSize(), h);
    QVERIFY(line3.italic() && !line3.bold());
    QCOMPARE(g_sounds.back(), std::u16string(u"play QV_FESK_Reminder"));
    QVERIFY(f.dialog->SoundTimerActive());
    f.Save(QStringLiteral("birthday-zodiac-note"));
  }

  // The countdown line says "today" and "tomorrow" and counts one year alone.
  void countdownLineFollowsTheCounts_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("line3");
    QTest::newRow("birthday today") << int(Birthday) << 1985 << 3 << 10 << QStringLiteral("Turns 41 today");
    QTest::newRow("birthday tomorrow") << int(Birthday) << 1985 << 3 << 11 << QStringLiteral("Turns 41 tomorrow");
    QTest::newRow("first anniversary") << int(Anniversary) << 2025 << 3 << 13 << QStringLiteral("1 year in 3 days");
    QTest::newRow("other date tomorrow") << int(OtherDate) << 2020 << 3 << 11 << QStringLiteral("6 years tomorrow");
    // Without a year, or still ahead, there is no age to name.
    QTest::newRow("birthday without a year") << int(Birthday) << kYearUnknown << 3 << 13
                                             << QStringLiteral("Birthday in 3 days");
    QTest::newRow("anniversary without a year today") << int(Anniversary) << kYearUnknown << 3 << 10
                                                      << QStringLiteral("Anniversary today");
    QTest::newRow("first other date ahead") << int(OtherDate) << 2026 << 3 << 11 << QStringLiteral("Tomorrow");
  }
  void countdownLineFollowsTheCounts() {
    QFETCH(int, kind);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QString, line3);
    const auto entry = Entry(static_cast<std::uint16_t>(kind), "Sam", {year, month, day});
    const ReminderTexts texts = BuildReminderTexts(*entry, 0, 0, {2026, 3, 10});
    QCOMPARE(QString::fromStdU16String(texts.line3), line3);
  }

  // The date line shows no year and the countdown no age, in each language.
  void dateWithoutAYearInEachLanguage_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("line2");
    QTest::addColumn<QString>("line3");
    QTest::newRow("English") << "[English]" << "en_US.UTF-8" << 14 << "Birthday: March 14" << "Birthday in 4 days";
    QTest::newRow("German") << "[German]" << "de_DE.UTF-8" << 11 << "Geburtstag: 11. März" << "Geburtstag morgen";
    QTest::newRow("Russian, 21 days") << "[Russian]" << "ru_RU.UTF-8" << 31 << "День рождения: 31 марта"
                                      << "День рождения через 21 день";
    QTest::newRow("Russian, 5 days") << "[Russian]" << "ru_RU.UTF-8" << 15 << "День рождения: 15 марта"
                                     << "День рождения через 5 дней";
    QTest::newRow("Japanese") << "[Japanese]" << "ja_JP.UTF-8" << 10 << "誕生日: 3月10日" << "今日は誕生日です";
  }
  void dateWithoutAYearInEachLanguage() {
    QFETCH(QString, section);
    QFETCH(QString, locale);
    QFETCH(int, day);
    QFETCH(QString, line2);
    QFETCH(QString, line3);
    QVERIFY(GetLocalTable().LoadFile(NATALO_BUILT_PROGRAM_DIR "/local.dat", section.toStdU16String()));
    SetLocalePatterns(LocalePatternsFor(locale.toStdString()), platform::GetCalendarNames(locale.toStdString()));
    const ReminderTexts texts = BuildReminderTexts(*Entry(Birthday, "Mia", {kYearUnknown, 3, day}), 0, 1, {2026, 3, 10});
    ResetLocalePatterns();
    InitLocalePatterns();
    QVERIFY(GetLocalTable().LoadFile(NATALO_BUILT_PROGRAM_DIR "/local.dat", u"[English]"));
    QCOMPARE(QString::fromStdU16String(texts.line2), line2);
    QCOMPARE(QString::fromStdU16String(texts.line3), line3);
    QVERIFY(texts.showZodiac);
  }

  void otherKindsHideTheZodiacAndTheEmptyNote() {
    WindowFixture anniversary(Entry(Anniversary, "Wedding Sara & Ben", {2010, 6, 19}));
    QCOMPARE(anniversary.dialog->Title(), QStringLiteral("Anniversary"));
    QVERIFY(!anniversary.dialog->NoteShown());
    QVERIFY(!anniversary.dialog->ZodiacShown());
    // Without a note line 1 is larger: 14/10 of the system text height.
    QLabel* line1 = anniversary.Label(QString::fromStdU16String(anniversary.texts.line1));
    QVERIFY(line1);
    QCOMPARE(line1->font().pixelSize(), keypad::SystemTextHeight() * 14 / 10);
    anniversary.Save(QStringLiteral("anniversary-no-note"));
    WindowFixture other(Entry(OtherDate, "Car inspection", {2020, 8, 12}));
    QCOMPARE(other.dialog->Title(), QStringLiteral("Reminder"));
    other.Save(QStringLiteral("other-date"));
    WindowFixture noZodiac(Entry(Birthday, "Tom Ivanov", {2015, 12, 24}), keypad::kDefaultScreenSize, 0, 3);
    QVERIFY(noZodiac.Label(QStringLiteral("Ivanov, T")));
    QVERIFY(!noZodiac.dialog->ZodiacShown());
  }

  void longNameWrapsToThreeLinesUprightAndTwoTurned() {
    auto entry = Entry(Birthday, "Maximilian-Alexander Konstantin von Hohenberg-Schwarzenfels-Lichtenau", {1958, 9, 17});
    WindowFixture upright(std::move(entry));
    QLabel* line1 = upright.dialog->findChildren<QLabel*>().value(1);
    for (QLabel* l : upright.dialog->findChildren<QLabel*>()) {
      if (l->text().startsWith(QStringLiteral("Maximilian"))) line1 = l;
    }
    const int lineHeight = QFontMetrics(line1->font()).lineSpacing();
    QCOMPARE(line1->height(), 3 * lineHeight);
    upright.Save(QStringLiteral("long-name"));
    WindowFixture turned(Entry(Birthday, "Maximilian-Alexander Konstantin von Hohenberg-Schwarzenfels-Lichtenau",
                               {1958, 9, 17}),
                         QSize(320, 240));
    for (QLabel* l : turned.dialog->findChildren<QLabel*>()) {
      if (l->text().startsWith(QStringLiteral("Maximilian"))) QVERIFY(l->height() <= 2 * lineHeight + 2);
    }
    turned.Save(QStringLiteral("landscape"));
    WindowFixture small(Anna(), QSize(176, 220));
    small.Save(QStringLiteral("small-screen"));
    WindowFixture noYear(Entry(Birthday, "Mia Sommer", {kYearUnknown, 3, 14}), QSize(176, 220));
    noYear.Save(QStringLiteral("small-screen-no-year"));
  }

  void menuGreysLongSnoozesOnTheEventDayAndTogglesTheSound() {
    const PinnedClock pinned(At(2026, 3, 14, 9, 0));
    // Pictures with the menu and its sub-menu open where they stand, opened by keys.
    const struct {
      QSize size;
      const char16_t* language;
      const char* name;
    } shots[] = {{keypad::kDefaultScreenSize, u"[English]", "240x320"},
                 {QSize(176, 220), u"[English]", "176x220"},
                 {QSize(176, 220), u"[German]", "176x220-german"}};
    for (const auto& shotOf : shots) {
      QVERIFY(GetLocalTable().LoadFile(NATALO_BUILT_PROGRAM_DIR "/local.dat", shotOf.language));
      WindowFixture f(Anna(), shotOf.size, 1, 0, 0);
      keypad::CommandMenu* menu = f.dialog->Menu();
      QTest::qWait(kKeyGraceMs);
      QTest::keyClick(&f.host, Qt::Key_F2);
      QTRY_VERIFY(menu->isVisible());
      menu->setActiveAction(menu->ItemAt(3));
      QTest::keyClick(menu, Qt::Key_Return);
      QTRY_VERIFY(menu->ItemAt(3)->menu()->isVisible());
      QImage shot = f.Grab();
      QPainter painter(&shot);
      for (QMenu* open : {static_cast<QMenu*>(menu), menu->ItemAt(3)->menu()}) {
        painter.drawPixmap(open->geometry().topLeft() - f.host.mapToGlobal(QPoint(0, 0)), open->grab());
      }
      painter.end();
      QDir().mkpath(ScreensDir());
      shot.save(ScreensDir() + QStringLiteral("/menu-more-%1.png").arg(QLatin1String(shotOf.name)));
      keypad::CloseOpenMenus();
    }
    QVERIFY(GetLocalTable().LoadFile(NATALO_BUILT_PROGRAM_DIR "/local.dat", u"[English]"));
    WindowFixture f(Anna(), keypad::kDefaultScreenSize, 1, 0, 0);
    QVERIFY(f.active);
    keypad::CommandMenu* menu = f.dialog->Menu();
    QVERIFY(menu->Find(kCmdSnoozeFirst + 4)->isEnabled());
    QVERIFY(!menu->Find(kCmdSnoozeFirst + 5)->isEnabled());
    QVERIFY(!menu->Find(kCmdSnoozeFirst + 7)->isEnabled());

    f.dialog->RunCommand(kCmdSnoozeFirst + 7);  // greyed: nothing happens
    QVERIFY(f.dialog->SoundTimerActive());
    QVERIFY(f.session.ActiveReminder() != nullptr);
    QCOMPARE(StoredEntry(f.env.ProgramFolder(), 1)->m_ftSnooze, platform::FileTime{0});
    QVERIFY(menu->Trigger(kCmdToggleSound));  // as chosen from the menu
    QCOMPARE(menu->Find(kCmdToggleSound)->text(), QStringLiteral("Play Sound"));
    QVERIFY(!f.dialog->SoundTimerActive());
    QCOMPARE(g_sounds.back(), std::u16string(u"stop QV_FESK_Reminder"));
    f.dialog->RunCommand(kCmdToggleSound);
    QCOMPARE(menu->Find(kCmdToggleSound)->text(), QStringLiteral("Mute"));
    QVERIFY(f.dialog->SoundTimerActive());

    // An offered snooze puts the stored entry back by its length, as the user's.
    f.dialog->RunCommand(kCmdSnoozeFirst + 4);
    QVERIFY(f.session.ActiveReminder() == nullptr);
    const auto snoozed = StoredEntry(f.env.ProgramFolder(), 1);
    QCOMPARE(snoozed->m_ftSnooze, At(2026, 3, 14, 13, 0));
    QCOMPARE(snoozed->m_dwSnoozeCounter, 1u);
    QCOMPARE(snoozed->m_dwAutoSnoozeCounter, 0u);
  }

  // To a screen reader too: the window is an alert that reads its title and
  // then its lines.
  void missedReminderSaysSo() {
    WindowFixture f(Entry(OtherDate, "Car inspection", {2020, 8, 12}), keypad::kDefaultScreenSize, 1, 0, 4, true);
    QVERIFY(f.Label(QStringLiteral("Missed reminder")));
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(f.dialog.get());
    QCOMPARE(reader->role(), QAccessible::AlertMessage);
    QCOMPARE(reader->text(QAccessible::Name), f.dialog->Title());
    const QString lines = QStringList{QStringLiteral("Missed reminder"), QStringLiteral("Car inspection"),
                                      QString::fromStdU16String(f.texts.line2), QString::fromStdU16String(f.texts.line3)}
                              .join(QLatin1Char('\n'));
    QCOMPARE(reader->text(QAccessible::Value), lines);
    f.Save(QStringLiteral("missed"));
  }

  // Escape and Backspace never dismiss, nor do keys of the window's first
  // second (typed into another program); the Dismiss soft key does.
  void onlyTheDismissKeyDismisses_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("afterMs");
    QTest::addColumn<bool>("dismissed");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << kKeyGraceMs << false;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << kKeyGraceMs << false;
    QTest::newRow("F1 in the first second") << int(Qt::Key_F1) << 0 << false;
    QTest::newRow("F1 later") << int(Qt::Key_F1) << kKeyGraceMs << true;
  }
  void onlyTheDismissKeyDismisses() {
    QFETCH(int, key);
    QFETCH(int, afterMs);
    QFETCH(bool, dismissed);
    WindowFixture f(Anna());
    QTest::qWait(afterMs);
    QTest::keyClick(&f.host, static_cast<Qt::Key>(key));
    QCOMPARE(!f.dialog->SoundTimerActive(), dismissed);
  }

  // A window put in front of the reminder as it opens loses the front again.
  void theReminderComesBackToTheFront() {
    WindowFixture f(Anna());
    QWidget other;
    other.show();
    other.activateWindow();
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::activeWindow(), &other);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), static_cast<QWidget*>(&f.host), 2000);
  }

  void losingTheFocusKeepsTheReminder() {
    WindowFixture f(Anna());
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(f.dialog.get(), &deactivate);
    QApplication::sendEvent(&f.host, &deactivate);
    QVERIFY(f.dialog->SoundTimerActive());
    QVERIFY(g_sounds.back() != std::u16string(u"stop QV_FESK_Reminder"));
  }

  void aCallStopsTheSoundTimerAndItsEndRestartsIt() {
    WindowFixture f(Anna());
    QVERIFY(f.dialog->SoundTimerActive());
    platform::RegWriteDword(platform::RegistryRoot::LocalMachine, u"System\\State\\Phone", u"Status", 0x20000);
    QTRY_VERIFY(f.dialog->CallActive());
    QVERIFY(!f.dialog->SoundTimerActive());
    platform::RegWriteDword(platform::RegistryRoot::LocalMachine, u"System\\State\\Phone", u"Status", 0);
    QTRY_VERIFY(!f.dialog->CallActive());
    QVERIFY(f.dialog->SoundTimerActive());
  }

  void germanTexts() {
    QVERIFY(GetLocalTable().LoadFile(NATALO_BUILT_PROGRAM_DIR "/local.dat", u"[German]"));
    {
      WindowFixture f(Anna());
      QCOMPARE(f.dialog->Title(), QStringLiteral("Geburtstag"));
      f.Save(QStringLiteral("german"));
    }
    QVERIFY(GetLocalTable().LoadFile(NATALO_BUILT_PROGRAM_DIR "/local.dat", u"[English]"));
  }
};

QTEST_MAIN(ReminderWindowTest)
#include "ReminderWindowTest.moc"
