// The main window's commands: what each does to the entries, the file and the
// reminders, the menu state and check marks that follow, and the faults a save
// can meet (a failed save, a storage file the start-up refused).
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBrowser>
#include <QtTest>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <thread>
#include <iterator>

#include "Natalo/AppText.h"
#include "Natalo/Commands.h"
#include "Natalo/EntryCommandDialogs.h"
#include "Natalo/EntryListView.h"
#include "Natalo/EntryStorage.h"
#include "Natalo/HelpScreen.h"
#include "Natalo/MainMenu.h"
#include "Natalo/MainWindow.h"
#include "Natalo/ViewNoteDialog.h"
#include "common/entries/EntryEditorHook.h"
#include "common/entries/FeskList.h"
#include "common/settings/AppSettings.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SoftKeyBar.h"
#include "common/store/StorageMutexName.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"
#include "tests/app/AppTestFolder.h"

namespace {

// What the fake editor does: its result, and a name it gives the entry.
int g_editorResult = 1;
int FakeEditor(FeskItem& entry, void*) {
  if (g_editorResult == 1) entry.SetName(u"Edited");
  return g_editorResult;
}
int FakeIconPicker(FeskItem& entry, QWidget*) {
  entry.m_dwIcon = 7;
  return 1;
}
int FakeDialogDone(FeskItem&, QWidget*) { return 1; }

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

struct WindowFixture {
  WindowFixture() : list(folder.Folder() + "storage.dat") {
    folder.UseInThisProcess();
    SetEntryEditorHook(&FakeEditor);
    g_editorResult = 1;
    GetEntryCommandDialogs() = {&FakeIconPicker, &FakeDialogDone, &FakeDialogDone};
    keypad::TakeMessageBoxLog();
  }
  ~WindowFixture() {
    SetEntryEditorHook(nullptr);
    GetEntryCommandDialogs() = {};
  }

  FeskItem* Add(std::unique_ptr<FeskItem> entry) { return AsEntry(list.Add(std::move(entry))); }
  void WithStars() {
    folder.WriteStars("Ann, Lee, 5.7.1961, Singer\n");
    list.LoadStars();
  }
  MainWindow& Open() {
    window = std::make_unique<MainWindow>(QStringLiteral("Natalo"), list, nullptr, true);
    window->SetRecalculate([this] {
      ++recalculations;
      return true;
    });
    window->List().FillList();
    window->UpdateMenuState();
    return *window;
  }
  bool Select(const FeskItem* entry) { return window->List().SelectRow(window->List().FindRow(entry), true); }
  // The stored entries, read back from the file.
  std::size_t StoredCount() {
    FeskList stored(list.m_szPath);
    return stored.Load() ? stored.Count() : 0;
  }
  bool Enabled(int command) { return window->Menu().Action().Find(command)->isEnabled(); }

  AppTestFolder folder{TestEngine::None};
  FeskList list;
  std::unique_ptr<MainWindow> window;
  int recalculations = 0;
};

// Runs `steps` on the note dialog that the command opens, then returns.
void WithNoteDialog(const std::function<void(ViewNoteDialog&)>& steps) {
  QTimer::singleShot(0, [steps] {
    const auto running = keypad::FullScreenDialog::Running();
    QVERIFY(!running.isEmpty());
    auto* dialog = qobject_cast<ViewNoteDialog*>(running.last());
    QVERIFY(dialog != nullptr);
    steps(*dialog);
    if (dialog->IsRunning()) dialog->Done(99);
  });
}

}  // namespace

class MenuCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { keypad::InstallFontSubstitutions(); }

  void newEntryGetsItsKindsPictureIsSelectedSavedAndRecalculated() {
    const struct {
      int command;
      std::uint16_t kind;
      std::uint32_t icon;
    } cases[] = {{cmd::kNewBirthday, Birthday, 40}, {cmd::kNewAnniversary, Anniversary, 22},
                 {cmd::kNewOtherDate, OtherDate, 64}};
    for (const auto& c : cases) {
      WindowFixture f;
      MainWindow& w = f.Open();
      w.RunCommand(c.command);
      QCOMPARE(f.list.Count(), std::size_t{1});
      const FeskItem* added = w.List().SelectedEntry();
      QVERIFY(added != nullptr);
      QCOMPARE(added->m_wKind, c.kind);
      QCOMPARE(added->m_dwIcon, c.icon);
      QCOMPARE(f.StoredCount(), std::size_t{1});
      QCOMPARE(f.recalculations, 1);
      QVERIFY(f.Enabled(cmd::kEdit));
    }
  }

  void cancelledEditorsChangeAndSaveNothing() {
    WindowFixture f;
    f.Add(MakeBirthday("Jo", "Ray", 1980, 2, 3));
    MainWindow& w = f.Open();
    g_editorResult = 2;
    w.RunCommand(cmd::kNewOtherDate);
    w.RunCommand(cmd::kEdit);
    QCOMPARE(f.list.Count(), std::size_t{1});
    QVERIFY(!Exists(f.list.m_szPath));
    QCOMPARE(f.recalculations, 0);
  }

  void editingAStarShowsTheMessageAndChangesNothing() {
    WindowFixture f;
    f.WithStars();
    MainWindow& w = f.Open();
    keypad::PushMessageBoxAnswer(keypad::IDOK);
    w.RunCommand(cmd::kEdit);
    const auto boxes = keypad::TakeMessageBoxLog();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, ToQString(LocalText().Get(u"MSG_CANT_EDIT_STAR")));
    QCOMPARE(boxes[0].flags, keypad::MB_OK | keypad::MB_ICONEXCLAMATION);
    QCOMPARE(f.recalculations, 0);
  }

  void deletingTheLastEntryKeepsAHeaderOnlyWhileStarsRemain() {
    for (const bool stars : {true, false}) {
      WindowFixture f;
      f.Add(MakeBirthday("Jo", "Ray", 1980, 2, 3));
      f.list.SaveStorageLocked();
      if (stars) f.WithStars();
      MainWindow& w = f.Open();
      QVERIFY(f.Select(AsEntry(&*f.list.begin())));
      keypad::PushMessageBoxAnswer(keypad::IDNO);
      w.RunCommand(cmd::kDelete);
      QCOMPARE(f.StoredCount(), std::size_t{1});
      keypad::PushMessageBoxAnswer(keypad::IDYES);
      w.RunCommand(cmd::kDelete);
      QCOMPARE(keypad::TakeMessageBoxLog().size(), 2);
      QCOMPARE(Exists(f.list.m_szPath), stars);
      if (stars) QCOMPARE(ReadBytes(f.list.m_szPath).size(), std::size_t{8});
      QCOMPARE(f.recalculations, 1);
    }
  }

  void disablingThenActivatingClearsTheSkipAndSnooze() {
    WindowFixture f;
    FeskItem* entry = f.Add(MakeBirthday("Jo", "Ray", 1980, 2, 3));
    entry->m_wSkipNext = 1;
    entry->m_dwSnoozeCounter = 3;
    MainWindow& w = f.Open();
    QCOMPARE(w.Menu().Action().Find(cmd::kSkipNext)->text(), ToQString(LocalText().Get(u"MENU_UNDO_SKIP_NEXT")));
    w.RunCommand(cmd::kDisableActivate);
    QCOMPARE(entry->m_bEnabled, std::uint8_t{0});
    QVERIFY(!f.Enabled(cmd::kSkipNext));
    QCOMPARE(w.Menu().Action().Find(cmd::kDisableActivate)->text(), ToQString(LocalText().Get(u"MENU_ACTIVATE")));
    w.RunCommand(cmd::kDisableActivate);
    QCOMPARE(entry->m_bEnabled, std::uint8_t{1});
    QCOMPARE(entry->m_wSkipNext, std::uint16_t{0});
    QCOMPARE(entry->m_dwSnoozeCounter, 0u);
    w.RunCommand(cmd::kSkipNext);
    QCOMPARE(entry->m_wSkipNext, std::uint16_t{1});
    QCOMPARE(f.recalculations, 3);
    FeskList stored(f.list.m_szPath);
    QVERIFY(stored.Load());
    QCOMPARE(AsEntry(&*stored.begin())->m_wSkipNext, std::uint16_t{1});
  }

  void menuStateFollowsTheSelection_data() {
    QTest::addColumn<int>("row");  // -1: empty list; 0: own entry; 1: star (rows in list order)
    QTest::addColumn<bool>("entryItems");
    QTest::addColumn<bool>("viewNote");
    QTest::newRow("empty list") << -1 << false << false;
    QTest::newRow("own entry") << 0 << true << true;
    QTest::newRow("star") << 1 << false << true;
  }
  void menuStateFollowsTheSelection() {
    QFETCH(int, row);
    QFETCH(bool, entryItems);
    QFETCH(bool, viewNote);
    WindowFixture f;
    if (row >= 0) {
      f.Add(MakeBirthday("Jo", "Ray", 1980, 2, 3));
      f.WithStars();
    }
    MainWindow& w = f.Open();
    if (row >= 0) {
      QVERIFY(f.Select(AsEntry(&*std::next(f.list.begin(), row))));
      QCOMPARE(w.List().SelectedEntry()->IsStar(), row == 1);
      w.UpdateMenuState();
    }
    for (int command : {cmd::kEdit, cmd::kDelete, cmd::kDisableActivate, cmd::kSkipNext, cmd::kSetIcon,
                        cmd::kSetReminder, cmd::kSetSound}) {
      QCOMPARE(f.Enabled(command), entryItems);
    }
    QCOMPARE(f.Enabled(cmd::kViewNote), viewNote);
    QVERIFY(w.Menu().Action().ItemAt(0)->isEnabled());  // New
    QVERIFY(w.Menu().General().Find(cmd::kScanContacts)->isEnabled());
    QVERIFY(w.Menu().General().Find(cmd::kSettings)->isEnabled());
    // Commands that need an own entry do nothing without one.
    for (int command : {cmd::kDelete, cmd::kDisableActivate, cmd::kSkipNext, cmd::kSetIcon, cmd::kSetReminder}) {
      if (!entryItems) w.RunCommand(command);
    }
    QCOMPARE(f.recalculations, 0);
  }

  void missingDialogsGreyTheirItems() {
    WindowFixture f;
    f.Add(MakeBirthday("Jo", "Ray", 1980, 2, 3));
    GetEntryCommandDialogs() = {nullptr, &FakeDialogDone, nullptr};
    f.Open();
    QVERIFY(!f.Enabled(cmd::kSetIcon));
    QVERIFY(f.Enabled(cmd::kSetReminder));
    QVERIFY(!f.Enabled(cmd::kSetSound));
  }

  void moreCommandsSaveAndRecalculateAsTheirDialogsNeed() {
    const struct {
      int command;
      int recalculations;
    } cases[] = {{cmd::kSetIcon, 1}, {cmd::kSetReminder, 1}, {cmd::kSetSound, 0}};
    for (const auto& c : cases) {
      WindowFixture f;
      FeskItem* entry = f.Add(MakeBirthday("Jo", "Ray", 1980, 2, 3));
      MainWindow& w = f.Open();
      w.RunCommand(c.command);
      QCOMPARE(f.StoredCount(), std::size_t{1});
      QCOMPARE(f.recalculations, c.recalculations);
      if (c.command == cmd::kSetIcon) QCOMPARE(entry->m_dwIcon, 7u);
    }
  }

  void sortCommandsKeepTheSelectionAndMarkOneKey() {
    WindowFixture f;
    f.Add(MakeBirthday("Cleo", "Zed", 1990, 1, 20));
    FeskItem* bob = f.Add(MakeBirthday("Bob", "Aaa", 1970, 12, 1));
    f.Add(MakeDated(Anniversary, "Yearly", 2000, 6, 6));
    MainWindow& w = f.Open();
    QVERIFY(f.Select(bob));
    keypad::CommandMenu& g = w.Menu().General();
    for (int key = 0; key < 6; ++key) {
      for (int order : {cmd::kSortDescending, cmd::kSortAscending}) {
        w.RunCommand(cmd::kSortCommands[key]);
        w.RunCommand(order);
        QCOMPARE(g_settings.g_dwSort, static_cast<std::uint32_t>(key));
        QCOMPARE(w.List().SelectedEntry(), bob);
        int marked = 0;
        for (int command : cmd::kSortCommands) {
          if (g.Find(command) != nullptr && g.Find(command)->isChecked()) ++marked;
        }
        QCOMPARE(marked, key == 5 ? 0 : 1);  // sort key 5 has no item
        QCOMPARE(g.Find(cmd::kSortAscending)->isChecked(), order == cmd::kSortAscending);
        QCOMPARE(g.Find(cmd::kSortDescending)->isChecked(), order == cmd::kSortDescending);
      }
    }
    w.RunCommand(cmd::kSortByName);
    QCOMPARE(w.List().EntryAt(0), bob);  // first however names are shown
    w.RunCommand(cmd::kSortDescending);
    QCOMPARE(w.List().EntryAt(2), bob);
    QCOMPARE(f.recalculations, 0);
  }

  void showCommandsHideAndBringBackEntries() {
    WindowFixture f;
    f.Add(MakeBirthday("Jo", "Ray", 1980, 2, 3));
    f.Add(MakeDated(Anniversary, "Wedding", 2000, 6, 6));
    f.WithStars();
    MainWindow& w = f.Open();
    const struct {
      int command;
      int rowsHidden;
      std::uint32_t AppSettings::*flag;
    } cases[] = {{cmd::kShowStars, 2, &AppSettings::g_bShowStars},
                 {cmd::kShowBirthdays, 1, &AppSettings::g_bShowBirthdays},  // stars go with birthdays
                 {cmd::kShowAnniversaries, 2, &AppSettings::g_bShowAnniversaries},
                 {cmd::kShowOtherDates, 3, &AppSettings::g_bShowOtherDates}};
    for (const auto& c : cases) {
      w.RunCommand(c.command);
      QCOMPARE(w.List().RowCount(), c.rowsHidden);
      QCOMPARE(g_settings.*c.flag, 0u);
      QVERIFY(!w.Menu().General().Find(c.command)->isChecked());
      w.RunCommand(c.command);
      QCOMPARE(w.List().RowCount(), 3);
      QVERIFY(w.Menu().General().Find(c.command)->isChecked());
    }
  }

  // The kept calendar folder follows each save, its setting read at the save.
  void aSaveKeepsTheCalendarFolder() {
    WindowFixture f;
    f.Add(MakeBirthday("Jo", "Ray", 1980, 2, 3));
    const std::string kept = f.folder.Folder() + "calendar";
    QVERIFY(WriteRegistryStringRetry(SettingPath(u"Export\\CalendarFolder"), platform::FromUtf8(kept)));
    MainWindow& w = f.Open();
    w.RunCommand(cmd::kNewOtherDate);
    const auto files = [&kept] {
      return Exists(kept) ? std::distance(std::filesystem::directory_iterator(kept), {}) : 0;
    };
    QTRY_COMPARE(files(), 2);
  }

  void aFailedSaveIsReportedAndKeepsTheChange() {
    WindowFixture f;
    FeskItem* entry = f.Add(MakeBirthday("Jo", "Ray", 1980, 2, 3));
    f.list.m_szPath = f.folder.Folder() + "no-such-folder/storage.dat";
    MainWindow& w = f.Open();
    keypad::PushMessageBoxAnswer(keypad::IDOK);
    w.RunCommand(cmd::kDisableActivate);
    QCOMPARE(entry->m_bEnabled, std::uint8_t{0});
    QCOMPARE(f.recalculations, 0);
    const auto boxes = keypad::TakeMessageBoxLog();
    QCOMPARE(boxes.size(), 1);
    const QString failed = ToQString(LocalText().Get(u"MSG_SAVE_FAILED"));
    QVERIFY(boxes[0].text.startsWith(failed.left(failed.indexOf(QLatin1String("%s")))));
    QVERIFY(boxes[0].text.contains(QString::fromLocal8Bit(std::strerror(ENOENT))));
  }

  void aRefusedFileIsMovedAsideBeforeTheFirstSave() {
    WindowFixture f;
    const std::string foreign = "\x01\x02 a file of another program or version";
    std::ofstream(f.list.m_szPath, std::ios::binary) << foreign;
    QVERIFY(!f.list.LoadAndUpgradeStorage());
    QVERIFY(f.list.m_bRefusedFile);
    MainWindow& w = f.Open();
    keypad::PushMessageBoxAnswer(keypad::IDOK);
    w.RunCommand(cmd::kNewBirthday);
    const std::string aside = f.list.m_szPath + ".unreadable-" + QDate::currentDate().toString(Qt::ISODate).toStdString();
    QCOMPARE(ReadBytes(aside), foreign);
    QCOMPARE(f.StoredCount(), std::size_t{1});
    QVERIFY(!f.list.m_bRefusedFile);
    const auto boxes = keypad::TakeMessageBoxLog();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes[0].text.contains(QString::fromStdString(aside)));
    // A second refused file of the same day never replaces the first one.
    std::ofstream(f.list.m_szPath, std::ios::binary) << "second";
    QCOMPARE(MoveFileAside(f.list.m_szPath, Today()), aside + "-2");
    QCOMPARE(ReadBytes(aside), foreign);
    QCOMPARE(ReadBytes(aside + "-2"), std::string("second"));
  }

  void aSaveWaitsWhileTheFileIsHeldAndSaysWhenItGaveUp() {
    WindowFixture f;
    f.Add(MakeBirthday("Jo", "Ray", 1980, 2, 3));
    // The reminder utility's hold on the file, from another thread.
    std::promise<void> held;
    std::promise<void> release;
    std::thread holder([&] {
      const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(f.list.m_szPath)));
      const platform::NamedMutexLock lock(*mutex, platform::INFINITE_WAIT);
      held.set_value();
      release.get_future().wait();
    });
    held.get_future().wait();
    const EntrySaveResult busy = SaveEntryList(f.list, false, 100);
    QVERIFY(!busy.bSaved);
    QCOMPARE(busy.szReason, ToQString(LocalText().Get(u"MSG_SAVE_REASON_BUSY")));
    QTimer::singleShot(150, [&] { release.set_value(); });
    QVERIFY(SaveEntryList(f.list, false, 10'000).bSaved);  // the timer fired while it waited
    holder.join();
    QCOMPARE(f.StoredCount(), std::size_t{1});
  }

  void helpThatCannotBeFoundIsReported() {
    WindowFixture f;
    MainWindow& w = f.Open();
    QVERIFY(!Exists(f.folder.Folder() + platform::ToUtf8(LocalText().GetHelpFile())));
    keypad::PushMessageBoxAnswer(keypad::IDOK);
    w.RunCommand(cmd::kHelp);
    const auto boxes = keypad::TakeMessageBoxLog();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes[0].text.contains(QString::fromStdU16String(LocalText().GetHelpFile())));
  }

  void helpIsShownInTheProgram() {
    WindowFixture f;
    for (const char* name : {"help.html", "help.css"}) {
      std::filesystem::copy_file(std::filesystem::path(NATALO_BUILT_PROGRAM_DIR) / name,
                                 f.folder.Folder() + name);
    }
    MainWindow& w = f.Open();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QStringList links;
    int scrolled = -1;
    QString followed;
    bool closedByBack = false;
    QTimer::singleShot(0, &w, [&] {
      const auto running = keypad::FullScreenDialog::Running();
      auto* screen = running.isEmpty() ? nullptr : qobject_cast<HelpScreen*>(running.last());
      QVERIFY(screen != nullptr);
      QTextBrowser* view = screen->Browser();
      QWidget* focus = QApplication::focusWidget();
      QCOMPARE(focus, view);
      // Right and Left walk through the contents' links; the action key follows one.
      for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left}) {
        QTest::keyClick(focus, key);
        links << view->textCursor().selectedText();
      }
      QTest::keyClick(focus, Qt::Key_Return);
      followed = view->source().fragment();
      scrolled = view->verticalScrollBar()->value();
      QTest::keyClick(focus, Qt::Key_Escape);
      closedByBack = !screen->IsRunning();
      if (screen->IsRunning()) screen->Done(99);
    });
    w.RunCommand(cmd::kHelp);
    QVERIFY(keypad::TakeMessageBoxLog().isEmpty());
    QCOMPARE(links, QStringList({"Keys and soft keys", "The list", "Keys and soft keys"}));
    QCOMPARE(followed, QString("keys"));
    QVERIFY(scrolled > 0);
    QVERIFY(closedByBack);
  }

  void missingOrEmptyFilesAreNotRefused() {
    WindowFixture f;
    QVERIFY(!f.list.LoadAndUpgradeStorage());
    QVERIFY(!f.list.m_bRefusedFile);
    std::ofstream(f.list.m_szPath, std::ios::binary).flush();
    QVERIFY(!f.list.LoadAndUpgradeStorage());
    QVERIFY(!f.list.m_bRefusedFile);
  }

  void noteDialogStoresEveryRealChange_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");  // empty: leave the field as it is
    QTest::addColumn<int>("key");        // the soft key pressed
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("after");
    QTest::newRow("empty to text") << "" << "Call Mum" << 0 << 1 << "Call Mum";
    QTest::newRow("only letter case") << "call mum" << "CALL MUM" << 0 << 1 << "CALL MUM";
    QTest::newRow("unchanged") << "same" << "" << 0 << 2 << "same";
    QTest::newRow("cancelled") << "old" << "new" << 1 << 2 << "old";
    QTest::newRow("cut at the limit") << "" << QString(1500, QLatin1Char('x')) << 0 << 1 << QString(1023, QLatin1Char('x'));
  }
  void noteDialogStoresEveryRealChange() {
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(int, result);
    QFETCH(QString, after);
    WindowFixture f;
    FeskItem* entry = f.Add(MakeBirthday("Jo", "Ray", 1980, 2, 3));
    entry->SetNote(before.toStdU16String());
    f.window = std::make_unique<MainWindow>(QStringLiteral("Natalo"), f.list, nullptr, true);
    WithNoteDialog([&](ViewNoteDialog& dialog) {
      QCOMPARE(dialog.Title(), QStringLiteral("Jo Ray"));
      QCOMPARE(dialog.NoteField()->toPlainText(), before);
      if (!typed.isEmpty()) dialog.NoteField()->setPlainText(typed);
      dialog.SoftKeys()->Press(static_cast<keypad::SoftKeyBar::Key>(key));
    });
    QCOMPARE(RunViewNoteDialog(*entry, f.window.get()), result);
    QCOMPARE(EntryQString(entry->Note()), after);
  }

  void aStarsNoteOnlyScrolls() {
    WindowFixture f;
    f.WithStars();
    FeskItem* star = AsEntry(&*f.list.begin());
    star->SetNote(QString(QStringLiteral("line\n")).repeated(80).toStdU16String());
    f.window = std::make_unique<MainWindow>(QStringLiteral("Natalo"), f.list, nullptr, true);
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    WithNoteDialog([&](ViewNoteDialog& dialog) {
      QPlainTextEdit* note = dialog.NoteField();
      QVERIFY(note->isReadOnly());
      QVERIFY(!dialog.SoftKeys()->IsKeyVisible(keypad::SoftKeyBar::Right));
      note->setFocus();
      QTest::keyClicks(note, "abc");
      QTest::keyClick(note, Qt::Key_Delete);
      QCOMPARE(note->toPlainText().toStdU16String(), star->Note());
      QCOMPARE(note->verticalScrollBar()->value(), 0);
      QTest::keyClick(note, Qt::Key_Down);
      QTest::keyClick(note, Qt::Key_Down);
      QCOMPARE(note->verticalScrollBar()->value(), 2);
      QTest::keyClick(note, Qt::Key_Up);
      QCOMPARE(note->verticalScrollBar()->value(), 1);
      QTest::keyClick(note, Qt::Key_F1);
    });
    QCOMPARE(RunViewNoteDialog(*star, f.window.get()), 2);
  }

  void viewNoteCommandSavesWithoutRecalculating() {
    WindowFixture f;
    FeskItem* entry = f.Add(MakeBirthday("Jo", "Ray", 1980, 2, 3));
    MainWindow& w = f.Open();
    WithNoteDialog([](ViewNoteDialog& dialog) {
      dialog.NoteField()->setPlainText(QStringLiteral("Flowers"));
      dialog.SoftKeys()->Press(keypad::SoftKeyBar::Left);
    });
    w.RunCommand(cmd::kViewNote);
    QCOMPARE(entry->Note(), std::u16string(u"Flowers"));
    FeskList stored(f.list.m_szPath);
    QVERIFY(stored.Load());
    QCOMPARE(AsEntry(&*stored.begin())->Note(), std::u16string(u"Flowers"));
    QCOMPARE(f.recalculations, 0);
  }
};

QTEST_MAIN(MenuCommandTest)
#include "MenuCommandTest.moc"
