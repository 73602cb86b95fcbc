// The application's start-up in this process: the fixed failure texts before
// the texts are loaded, the missing engine, a full start with its list and the
// orderly end that saves the show and sort settings.
#include <QAbstractButton>
#include <QLabel>
#include <QSet>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

#include "Natalo/EntryListView.h"
#include "Natalo/MainWindow.h"
#include "Natalo/NataloApp.h"
#include "common/entries/EntryPictures.h"
#include "common/entries/FeskList.h"
#include "common/settings/AppSettings.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"
#include "platform/contacts/ContactStore.h"
#include "platform/sync/NamedMutex.h"
#include "platform/ui/KeypadScreen.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/MessageBox.h"
#include "tests/app/AppTestFolder.h"

namespace {

bool HasRegistryValue(std::u16string_view name) {
  std::uint32_t value = 0;
  return ReadRegistryDword(SettingPath(name), value);
}

}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    keypad::TakeMessageBoxLog();
    g_settings = AppSettings{};
  }

  void failuresBeforeTheTextsShowFixedEnglishTexts() {
    struct Case {
      const char* name;
      bool create;
      bool logon;
      bool texts;
      QString expected;
    };
    const Case cases[] = {
        {"session", false, true, true, QStringLiteral("Can't initialize POOM interface!")},
        {"logon", true, false, true, QStringLiteral("Can't logon to POOM!")},
        {"texts", true, true, false, QStringLiteral("Can't find resource file!")},
    };
    for (const Case& c : cases) {
      AppTestFolder folder;
      if (!c.texts) QFile::remove(folder.Path("local.dat"));
      StartupOptions options = OptionsFor(folder);
      int logons = 0;
      if (!c.create) options.createContactStore = [] { return std::unique_ptr<platform::ContactStore>(); };
      options.logonContactStore = [&](platform::ContactStore&) {
        ++logons;
        return c.logon;
      };
      keypad::PushMessageBoxAnswer(keypad::IDOK);
      NataloApp app(options);
      QCOMPARE(app.Start(), 0);
      QCOMPARE(logons, c.create ? 1 : 0);
      const auto boxes = keypad::TakeMessageBoxLog();
      QCOMPARE(boxes.size(), 1);
      QCOMPARE(boxes[0].text, c.expected);
      QCOMPARE(boxes[0].caption, QStringLiteral("Info"));
      QCOMPARE(boxes[0].flags, keypad::MB_OK | keypad::MB_ICONSTOP);
      QVERIFY2(app.Window() == nullptr, c.name);
      QVERIFY(folder.EngineLog().empty());
    }
  }

  void withoutAUsableEngineTheProgramEndsWithMinusOneAndSavesNothing() {
    for (const TestEngine engine : {TestEngine::None, TestEngine::WithoutCalculate}) {
      AppTestFolder folder(engine);
      {
        FeskList list(folder.Folder() + "storage.dat");
        list.Add(MakeBirthday("Ann", "Lee", 1961, 7, 5));
        QVERIFY(list.SaveStorageLocked());
      }
      const std::string before = testsupport::ReadFileBytes(folder.Folder() + "storage.dat");
      keypad::PushMessageBoxAnswer(keypad::IDOK);
      NataloApp app(OptionsFor(folder));
      QCOMPARE(app.Start(), -1);
      // The window was up with the list when the engine was found missing.
      QVERIFY(app.Window() != nullptr);
      QCOMPARE(app.Window()->List().RowCount(), 1);
      const auto boxes = keypad::TakeMessageBoxLog();
      QCOMPARE(boxes.size(), 1);
      QCOMPARE(boxes[0].text, QString::fromStdU16String(GetLocalTable().Get(u"MSG_NO_ENGINE")));
      QCOMPARE(boxes[0].caption, QStringLiteral("Natalo"));
      QCOMPARE(boxes[0].flags, keypad::MB_OK | keypad::MB_ICONSTOP);
      QCOMPARE(testsupport::ReadFileBytes(folder.Folder() + "storage.dat"), before);
      QVERIFY(!HasRegistryValue(u"Show"));
      QVERIFY(!HasRegistryValue(u"Sort"));
    }
  }

  void aDataFolderInTheWayEndsTheStartWithItsReasonAndTouchesNothing() {
    AppTestFolder folder;
    const std::string data = folder.Environment().Root().string() + "/data-file";
    QVERIFY(testsupport::WriteFileBytes(data, "mine"));
    setenv("NATALO_DATA_DIR", data.c_str(), 1);  // the folder's environment restores it
    keypad::PushMessageBoxAnswer(keypad::IDOK);
    NataloApp app(OptionsFor(folder));
    QCOMPARE(app.Start(), 0);
    QVERIFY(app.Window() == nullptr);
    const auto boxes = keypad::TakeMessageBoxLog();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes[0].text.startsWith(QString::fromStdU16String(GetLocalTable().Get(u"MSG_NO_DATA_FOLDER"))));
    QVERIFY(boxes[0].text.contains(QString::fromStdString(data)));
    QCOMPARE(testsupport::ReadFileBytes(data), std::string("mine"));
    QVERIFY(folder.EngineLog().empty());
  }

  void fullStartShowsStoredEntriesAndStarsAndSavesShowAndSortAtTheEnd() {
    AppTestFolder folder;
    {
      FeskList list(folder.Folder() + "storage.dat");
      FillSampleEntries(list);
    }
    folder.WriteStars("Ann, Lee, 5.7.1961, Singer\nBo, Diddley, 30.12.1928, Guitarist\n");
    QVERIFY(WriteRegistryDword(SettingPath(u"Sort"), 4));

    NataloApp app(OptionsFor(folder));
    QCOMPARE(app.Start(), NataloApp::kRunning);
    QVERIFY(keypad::TakeMessageBoxLog().isEmpty());
    // The engine recalculates once the list was painted, not before.
    QVERIFY(folder.EngineLog().empty());
    QSignalSpy painted(&app.Window()->List(), &EntryListView::firstPainted);
    QVERIFY(painted.wait());
    QTRY_COMPARE(folder.EngineLog(), std::string("calculate\n"));
    QVERIFY(app.Engine().m_pfnGetNextEventTime != nullptr);
    QVERIFY(app.m_pfnPlayEventSound != nullptr && app.m_pfnStopEventSounds != nullptr);
    MainWindow* window = app.Window();
    QVERIFY(window != nullptr && window->isVisible());
    QCOMPARE(window->size(), QSize(240, 320));
    EntryListView& list = window->List();
    QCOMPARE(list.RowCount(), 15);
    QCOMPARE(list.SelectedRow(), 0);
    QCOMPARE(g_settings.g_dwSort, 4u);
    // Sorted by name.
    for (int i = 1; i < list.RowCount(); ++i) {
      QVERIFY(list.EntryAt(i - 1)->GetDisplayName() <= list.EntryAt(i)->GetDisplayName());
    }

    // The menu commands change the variables; the window's end writes them.
    g_settings.g_dwSort = 2;
    g_settings.g_bShowStars = 0;
    QTimer::singleShot(0, window, [window] { window->close(); });
    QCOMPARE(app.Run(), 0);
    std::uint32_t sort = 0;
    std::uint32_t show = 0;
    QVERIFY(ReadRegistryDword(SettingPath(u"Sort"), sort));
    QVERIFY(ReadRegistryDword(SettingPath(u"Show"), show));
    QCOMPARE(sort, 2u);
    QCOMPARE(show, 0x0Fu);
    QVERIFY(app.Window() == nullptr);
  }

  void aNewStartNeedNotWaitForTheEngineToUnload() {
    AppTestFolder folder;
    qputenv("NATALO_TEST_ENGINE_UNLOAD_MS", "3000");
    NataloApp app(OptionsFor(folder));
    QCOMPARE(app.Start(), NataloApp::kRunning);
    MainWindow* window = app.Window();
    std::atomic<bool> closed{false};
    std::atomic<bool> released{false};
    QTimer::singleShot(0, window, [window, &closed] {
      window->close();
      closed = true;
    });
    // While the engine is being unloaded, the instance rule is already free.
    std::thread probe([&] {
      while (!closed) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      std::this_thread::sleep_for(std::chrono::milliseconds(1000));
      bool existed = true;
      const auto mutex = platform::NamedMutex::Create(u"Natalo_Instance_Mutex", &existed);
      released = mutex != nullptr && !existed;
    });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(app.Run(), 0);
    probe.join();
    qunsetenv("NATALO_TEST_ENGINE_UNLOAD_MS");
    QVERIFY(clock.elapsed() >= 3000);
    QVERIFY(released);
  }

  void damagedFilesGiveAnEmptyListAndStayAsTheyWere() {
    const std::string future("\x09\xCE\x03\x01\x03\x00\x01\x00" "\x20\x00\x00\x00", 12);
    for (const std::string& storage : {future, std::string()}) {
      AppTestFolder folder;
      QFile::remove(folder.Path("NataloIcons.rcc"));
      QVERIFY(testsupport::WriteFileBytes(folder.Folder() + "NataloIcons.rcc", "not a picture bundle"));
      QVERIFY(testsupport::WriteFileBytes(folder.Folder() + "stars.dat", std::string("\xFF\xFE\x00\xD8junk", 8)));
      QVERIFY(testsupport::WriteFileBytes(folder.Folder() + "storage.dat", storage));
      NataloApp app(OptionsFor(folder));
      QCOMPARE(app.Start(), NataloApp::kRunning);
      QVERIFY(keypad::TakeMessageBoxLog().isEmpty());
      QCOMPARE(app.Window()->List().RowCount(), 0);
      app.Window()->grab();  // rows and hint draw without pictures
      QTimer::singleShot(0, app.Window(), [&app] { app.Window()->close(); });
      QCOMPARE(app.Run(), 0);
      QCOMPARE(testsupport::ReadFileBytes(folder.Folder() + "storage.dat"), storage);
    }
  }

  void screenWidthChoosesThePictureSetAndMargins() {
    for (const QSize screen : {QSize(176, 220), QSize(177, 220), QSize(240, 320)}) {
      AppTestFolder folder;
      NataloApp app(OptionsFor(folder, screen));
      QCOMPARE(app.Start(), NataloApp::kRunning);
      const bool large = screen.width() > 176;
      QCOMPARE(app.HighResolution(), large);
      QCOMPARE(IsHighResolutionScreen(), large);
      QCOMPARE(app.Window()->List().RowPainter().Margin(), large ? 2 : 1);
      QCOMPARE(app.Window()->size(), screen);
      // An empty list: the hint, no rows, and the entry items are off.
      QCOMPARE(app.Window()->List().RowCount(), 0);
      QTimer::singleShot(0, app.Window(), [&app] { app.Window()->close(); });
      QCOMPARE(app.Run(), 0);
    }
  }

  void everyTranslatedLanguageStartsWithoutEnglishOnlyTexts() {
    struct Row {
      std::u16string_view section;
      const char* locale;
    };
    const Row rows[] = {{u"German", "de_DE.UTF-8"},     {u"French", "fr_FR.UTF-8"},  {u"Spanish", "es_ES.UTF-8"},
                        {u"Italian", "it_IT.UTF-8"},    {u"Portuguese", "pt_BR.UTF-8"}, {u"Dutch", "nl_NL.UTF-8"},
                        {u"Polish", "pl_PL.UTF-8"},     {u"Russian", "ru_RU.UTF-8"}, {u"Japanese", "ja_JP.UTF-8"}};
    const char* names[] = {"LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE"};
    QByteArray saved[4];
    for (int i = 0; i < 4; ++i) saved[i] = qgetenv(names[i]);
    int started = 0;
    for (const Row& row : rows) {
      AppTestFolder folder;
      LocalTable english, own;
      QVERIFY(english.LoadFile(folder.Folder() + "local.dat", u"[English]"));
      QVERIFY(own.LoadFile(folder.Folder() + "local.dat", u"[" + std::u16string(row.section) + u"]"));
      if (own.Section() != row.section) continue;  // the build has no such language
      // A text of English's that this language words otherwise (or not at all).
      QSet<QString> englishOnly;
      for (const LocalEntry& entry : english.Entries()) {
        const std::u16string* mine = own.Find(entry.m_szKey);
        if (!mine || *mine != entry.m_szValue) englishOnly.insert(QString::fromStdU16String(entry.m_szValue));
      }
      for (const char* name : names) qunsetenv(name);
      qputenv("LANG", row.locale);
      ResetLocalePatterns();
      NataloApp app(OptionsFor(folder));
      QCOMPARE(app.Start(), NataloApp::kRunning);
      QVERIFY(GetLocalTable().Section() == row.section);
      MainWindow* window = app.Window();
      QStringList shown = {window->windowTitle()};
      for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible()) continue;
        if (auto* label = qobject_cast<QLabel*>(widget)) shown << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) shown << button->text();
        if (auto* screen = qobject_cast<keypad::KeypadScreen*>(widget)) {
          shown << screen->Title();
          if (screen->SoftKeys())
            shown << screen->SoftKeys()->KeyText(keypad::SoftKeyBar::Left)
                  << screen->SoftKeys()->KeyText(keypad::SoftKeyBar::Right);
        }
      }
      for (const QString& text : shown) {
        QVERIFY2(!englishOnly.contains(text), qPrintable(QString::fromStdU16String(std::u16string(row.section)) + ": " + text));
      }
      QVERIFY(shown.size() > 2);
      QTimer::singleShot(0, window, [window] { window->close(); });
      QCOMPARE(app.Run(), 0);
      ++started;
    }
    for (int i = 0; i < 4; ++i) {
      if (saved[i].isNull()) qunsetenv(names[i]);
      else qputenv(names[i], saved[i]);
    }
    ResetLocalePatterns();
    QVERIFY(started >= 1);
  }

  void optionsReadTheScreenAndTheMeasurementFlag() {
    StartupOptions options = ParseStartupOptions({QStringLiteral("Natalo"), QStringLiteral("--screen=176x220"),
                                                  QStringLiteral("--exit-after-first-paint")});
    QCOMPARE(options.screen, QSize(176, 220));
    QVERIFY(options.exitAfterFirstPaint);
    for (const char* bad : {"--screen=12x400", "--screen=240", "--screen=ax320"}) {
      QCOMPARE(ParseStartupOptions({QString::fromLatin1(bad)}).screen, QSize(240, 320));
    }
  }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
