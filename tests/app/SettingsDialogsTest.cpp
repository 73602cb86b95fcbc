// The settings menu and the view and reminder options, driven from the main
// window's Settings command: which dialog a digit opens, what Done and Cancel
// leave in the list, the registry and the entries' reminders.
#include <QListWidget>
#include <QtTest>

#include <functional>
#include <utility>
#include <vector>

#include "Natalo/AppText.h"
#include "Natalo/Commands.h"
#include "Natalo/EntryListView.h"
#include "Natalo/MainWindow.h"
#include "Natalo/settings/ReminderOptionsDialog.h"
#include "Natalo/settings/SettingsMenu.h"
#include "Natalo/settings/SoundOptionsDialog.h"
#include "Natalo/settings/ViewOptionsDialog.h"
#include "common/entries/EntryReminder.h"
#include "common/entries/FeskList.h"
#include "common/settings/AppSettings.h"
#include "common/text/LocalTable.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/SpinnerList.h"
#include "platform/ui/TextFields.h"
#include "tests/app/AppTestFolder.h"
#include "tests/editors/EditorTestSupport.h"

using editortest::WhenRunning;

namespace {

struct SettingsFixture {
  SettingsFixture() : list(folder.Folder() + "storage.dat") {
    folder.UseInThisProcess();
    g_settings = AppSettings{};
    keypad::TakeMessageBoxLog();
  }
  ~SettingsFixture() { g_settings = AppSettings{}; }

  FeskItem* Add(std::unique_ptr<FeskItem> entry) { return AsEntry(list.Add(std::move(entry))); }
  MainWindow& Open() {
    window = std::make_unique<MainWindow>(QStringLiteral("Natalo"), list, nullptr, true);
    window->SetRecalculate([this] {
      ++recalculations;
      return true;
    });
    window->List().FillList();
    return *window;
  }
  // Opens the settings menu, presses `digit` there and runs `steps` on the
  // dialog it opens; the menu is closed afterwards.
  template <class Dialog>
  void InDialogOfDigit(Qt::Key digit, std::function<void(Dialog&)> steps) {
    WhenRunning<SettingsMenu>([digit, steps](SettingsMenu& menu) {
      WhenRunning<Dialog>(steps);
      QTest::keyClick(menu.Rows(), digit);
    });
    window->RunCommand(cmd::kSettings);
  }
  QStringList RowNames() const {
    QStringList names;
    for (int row = 0; row < window->List().RowCount(); ++row) {
      names << EntryQString(window->List().EntryAt(row)->FirstName());
    }
    return names;
  }

  AppTestFolder folder{TestEngine::None};
  FeskList list;
  std::unique_ptr<MainWindow> window;
  int recalculations = 0;
};

}  // namespace

class SettingsDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { keypad::InstallFontSubstitutions(); }

  void digitOpensItsDialogAndSelectsItsRow() {
    const struct {
      Qt::Key digit;
      const char* dialogClass;
      int row;
    } cases[] = {{Qt::Key_1, "ViewOptionsDialog", 0}, {Qt::Key_2, "ReminderOptionsDialog", 1}};
    for (const auto& c : cases) {
      SettingsFixture f;
      f.Open();
      QString opened;
      int selected = -1;
      WhenRunning<SettingsMenu>([&](SettingsMenu& menu) {
        WhenRunning<keypad::FullScreenDialog>([&](keypad::FullScreenDialog& dialog) {
          if (&dialog != &menu) opened = QString::fromLatin1(dialog.metaObject()->className());
          selected = menu.Rows()->currentRow();
        });
        QTest::keyClick(menu.Rows(), c.digit);
      });
      f.window->RunCommand(cmd::kSettings);
      QCOMPARE(opened, QString::fromLatin1(c.dialogClass));
      QCOMPARE(selected, c.row);
    }
  }

  // Sorted by name, "Last, First" puts Abe before Zed; Cancel keeps "First Last".
  void displayNamesReorderANameSortedListOnlyOnDone() {
    const struct {
      keypad::SoftKeyBar::Key key;
      const char* first;
      std::uint32_t stored;
    } cases[] = {{keypad::SoftKeyBar::Left, "Bob", 1}, {keypad::SoftKeyBar::Right, "Ann", 0}};
    for (const auto& c : cases) {
      SettingsFixture f;
      g_settings.g_dwSort = 4;
      f.Add(MakeBirthday("Ann", "Zed", 1980, 2, 3));
      f.Add(MakeBirthday("Bob", "Abe", 1981, 4, 5));
      f.Open();
      QCOMPARE(f.RowNames().first(), QStringLiteral("Ann"));
      f.InDialogOfDigit<ViewOptionsDialog>(Qt::Key_1, [&](ViewOptionsDialog& dialog) {
        QCOMPARE(dialog.List(4)->Count(), 6);  // the date samples
        dialog.List(0)->SetCurrentIndex(1);
        dialog.SoftKeys()->Press(c.key);
      });
      QCOMPARE(f.RowNames().first(), QString::fromLatin1(c.first));
      QCOMPARE(g_settings.g_dwDisplayNames, c.stored);
      std::uint32_t stored = 0;
      ReadRegistryDword(SettingPath(u"View\\Display Names"), stored);
      QCOMPARE(stored, c.stored);
    }
  }

  // A week before instead of two days: entries on the default move, own ones stay;
  // "Show reminders as" is kept beside the other reminder settings.
  void defaultReminderMovesOnlyEntriesWithoutTheirOwn() {
    const struct {
      keypad::SoftKeyBar::Key key;
      std::uint32_t code;
      int recalculations;
    } cases[] = {{keypad::SoftKeyBar::Left, 7, 1}, {keypad::SoftKeyBar::Right, 2, 0}};
    for (const auto& c : cases) {
      SettingsFixture f;
      FeskItem* follows = f.Add(MakeBirthday("Ann", "Zed", 1980, 2, 3));
      ApplyDefaultReminder(*follows);
      FeskItem* own = f.Add(MakeBirthday("Bob", "Abe", 1981, 4, 5));
      own->m_bOwnReminder = 1;
      ApplyReminder(*own, 0, 0x0900);
      const platform::FileTime ownStart = own->m_ftStart;
      f.Open().show();  // keys move the focus only in a shown window
      f.InDialogOfDigit<ReminderOptionsDialog>(Qt::Key_2, [&](ReminderOptionsDialog& dialog) {
        QCOMPARE(dialog.ChoiceRow()->CurrentIndex(), 2);
        dialog.ChoiceRow()->SetCurrentIndex(7);
        // Tab to "Show reminders as", Right to "Notification only".
        QCOMPARE(dialog.ShowAsRow()->CurrentIndex(), int{kShowWindowAndNotification});
        const auto focus = [&dialog] { return dialog.window()->focusWidget(); };
        for (int i = 0; i < 6 && focus() != dialog.ShowAsRow() && !dialog.ShowAsRow()->isAncestorOf(focus()); ++i) {
          QTest::keyClick(focus(), Qt::Key_Tab);
        }
        QTest::keyClick(focus(), Qt::Key_Right);
        QCOMPARE(dialog.ShowAsRow()->CurrentIndex(), int{kShowNotificationOnly});
        dialog.SoftKeys()->Press(c.key);
      });
      auto expected = MakeBirthday("Ann", "Zed", 1980, 2, 3);
      ApplyReminder(*expected, c.code, 0x0C00);
      QCOMPARE(follows->m_ftStart, expected->m_ftStart);
      QCOMPARE(own->m_ftStart, ownStart);
      QCOMPARE(f.recalculations, c.recalculations);
      std::uint32_t stored = 99;
      ReadRegistryDword(SettingPath(u"Reminder\\Date"), stored);
      QCOMPARE(stored, c.recalculations ? c.code : 99u);
      stored = 99;
      ReadRegistryDword(SettingPath(u"Reminder\\ShowAs"), stored);
      QCOMPARE(stored, c.recalculations ? std::uint32_t{kShowNotificationOnly} : 99u);
    }
  }

  void optionsStayOpenWhenTheRegistryCannotBeWritten() {
    SettingsFixture f;
    QVERIFY(WriteRegistryDword(SettingPath(u"Sort"), 0));
    // A registry below a plain file cannot be created, not even by root.
    platform::SetRegistryFile(f.folder.Environment().RegistryFile() + "/registry");
    f.Open();
    bool stayedOpen = false;
    f.InDialogOfDigit<ReminderOptionsDialog>(Qt::Key_2, [&](ReminderOptionsDialog& dialog) {
      dialog.ChoiceRow()->SetCurrentIndex(7);
      keypad::PushMessageBoxAnswer(keypad::IDOK);
      dialog.SoftKeys()->Press(keypad::SoftKeyBar::Left);
      stayedOpen = dialog.IsRunning();
    });
    platform::SetRegistryFile({});
    QVERIFY(stayedOpen);
    const auto boxes = keypad::TakeMessageBoxLog();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, ToQString(LocalText().Get(u"MSG_SETTINGS_NOT_SAVED")));
    QCOMPARE(g_settings.g_dwReminderDate, 2u);
    QCOMPARE(f.recalculations, 0);
  }

  // The volume follows the system alarm while the type is 0; the file field
  // shows only with "Choose a file"; a stored file no longer offered shows the
  // system alarm; Done writes the sources.
  void soundOptionsSourcesAndFileField() {
    SettingsFixture f;
    QVERIFY(WriteRegistryDword(u"HKEY_CURRENT_USER\\ControlPanel\\SoundCategories\\Alarm\\InitVol", 2));
    QVERIFY(WriteRegistryDword(SettingPath(u"Sound\\Volume"), 4));
    QVERIFY(WriteRegistryDword(SettingPath(u"Sound\\AType"), 2));
    QVERIFY(WriteRegistryStringRetry(SettingPath(u"Sound\\AFile"), u"/gone/tune.wav"));
    f.Open();
    f.InDialogOfDigit<SoundOptionsDialog>(Qt::Key_3, [&](SoundOptionsDialog& dialog) {
      QVERIFY(!dialog.VolumeRow()->isEnabled());
      QCOMPARE(dialog.VolumeRow()->CurrentIndex(), 1);
      dialog.TypeRow()->SetCurrentIndex(1);
      QVERIFY(dialog.VolumeRow()->isEnabled());
      QCOMPARE(dialog.SoundRow(1)->CurrentIndex(), int{SoundOptionsDialog::kSystemAlarm});
      QVERIFY(dialog.FileField(0)->isHidden());
      dialog.SoundRow(0)->SetCurrentIndex(SoundOptionsDialog::kCustomFile);
      QVERIFY(!dialog.FileField(0)->isHidden());
      dialog.FileField(0)->setText(QStringLiteral("/music/song.ogg"));
      dialog.SoftKeys()->Press(keypad::SoftKeyBar::Left);
    });
    QCOMPARE(g_settings.g_dwSoundType, 1u);
    QCOMPARE(g_settings.g_dwBSoundType, 1u);
    QCOMPARE(g_settings.g_szBSoundFile, std::u16string(u"/music/song.ogg"));
    QCOMPARE(g_settings.g_dwASoundType, 0u);
    std::u16string stored;
    QVERIFY(ReadRegistryString(SettingPath(u"Sound\\BFile"), stored));
    QCOMPARE(stored, std::u16string(u"/music/song.ogg"));
  }

  // Pictures of the menu and the dialogs in English and German, when NATALO_SHOTS_DIR names a folder.
  void screens() {
    const QString folder = qEnvironmentVariable("NATALO_SHOTS_DIR");
    if (folder.isEmpty()) QSKIP("NATALO_SHOTS_DIR is not set");
    std::vector<std::pair<std::u16string, QSize>> shots;
    for (const char16_t* language : {u"German", u"English"}) {
      for (const QSize size : {QSize(240, 320), QSize(176, 220), QSize(320, 240)}) shots.emplace_back(language, size);
    }
    for (const auto& [language, size] : shots) {
      SettingsFixture f;
      GetLocalTable().LoadFile(f.folder.Folder() + "local.dat", u"[" + language + u"]");
      MainWindow& w = f.Open();
      w.resize(size);
      w.show();
      const QString suffix = QStringLiteral("-%1-%2x%3.png")
                                 .arg(language == u"German" ? QStringLiteral("de") : QStringLiteral("en"))
                                 .arg(size.width())
                                 .arg(size.height());
      const auto shoot = [&w, folder, suffix](const char* name) {
        QApplication::processEvents();
        w.grab().save(folder + QLatin1Char('/') + QLatin1String(name) + suffix);
      };
      f.InDialogOfDigit<ViewOptionsDialog>(Qt::Key_1, [&](ViewOptionsDialog&) { shoot("view-options"); });
      f.InDialogOfDigit<ReminderOptionsDialog>(Qt::Key_2, [&](ReminderOptionsDialog& dialog) {
        shoot("reminder-options");
        // The last row, reached by keys, scrolled into view on a small screen.
        for (int i = 0; i < 6 && !dialog.ShowAsRow()->hasFocus(); ++i) {
          QTest::keyClick(dialog.window()->focusWidget(), Qt::Key_Tab);
        }
        shoot("reminder-options-show-as");
      });
      f.InDialogOfDigit<SoundOptionsDialog>(Qt::Key_3, [&](SoundOptionsDialog&) { shoot("sound-options"); });
      WhenRunning<SettingsMenu>([&](SettingsMenu&) { shoot("settings-menu"); });
      w.RunCommand(cmd::kSettings);
    }
  }
};

QTEST_MAIN(SettingsDialogsTest)
#include "SettingsDialogsTest.moc"
