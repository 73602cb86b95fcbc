// The reminder and sound dialogs of an entry, the sound-file picker and the
// picture picker.
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "Natalo/AppText.h"
#include "Natalo/editors/EditorServices.h"
#include "Natalo/editors/EntryDialogs.h"
#include "Natalo/editors/ReminderDialog.h"
#include "Natalo/editors/SoundDialog.h"
#include "Natalo/pickers/SoundFilePicker.h"
#include "common/entries/EntryReminder.h"
#include "common/entries/FeskItem.h"
#include "common/settings/AppSettings.h"
#include "platform/sound/SoundFileList.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/KeypadWindow.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/SpinnerList.h"
#include "platform/ui/TextFields.h"
#include "tests/app/AppTestFolder.h"
#include "tests/editors/EditorTestSupport.h"
#include "tests/engine/ItemBuilders.h"

using editortest::WhenRunning;
using enginetest::At;
namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& path) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "x";
}

QTime TimeOf(keypad::TimePicker* picker) {
  platform::SystemTime st;
  return picker->GetValue(st) ? QTime(st.wHour, st.wMinute) : QTime();
}

platform::SoundFileInfo Sound(const char16_t* path, const char16_t* name, std::uint32_t type = 0) {
  return {path, name, type};
}

}  // namespace

class EntryDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    m_world = std::make_unique<editortest::DialogTestWorld>();
    m_window = &m_world->window;
    EditorServices none;
    SetEditorServices(&none);
  }
  void cleanupTestCase() { SetEditorServices(nullptr); }

  void reminderDialog_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("choice");  // -1: program settings
    QTest::addColumn<QDateTime>("start");
    QTest::newRow("choice 8 at 18:30 on 20 March") << 3 << 20 << 8 << QDateTime(QDate(2001, 3, 6), QTime(18, 30));
    QTest::newRow("choice 9 on 15 January") << 1 << 15 << 9 << QDateTime(QDate(2001, 12, 15), QTime(18, 30));
    QTest::newRow("7 days before 3 January") << 1 << 3 << 7 << QDateTime(QDate(2000, 12, 27), QTime(18, 30));
    QTest::newRow("back to program settings") << 3 << 20 << -1 << QDateTime(QDate(2001, 3, 18), QTime(12, 0));
  }
  void reminderDialog() {
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, choice);
    QFETCH(QDateTime, start);
    FeskItem entry(Birthday);
    entry.m_ftDate = At(1980, month, day);
    if (choice < 0) {  // an entry with its own reminder is switched back
      entry.m_bOwnReminder = 1;
      ApplyReminder(entry, 5, 0x0800);
    } else {
      ApplyDefaultReminder(entry);
    }
    WhenRunning<ReminderDialog>([&](ReminderDialog& dialog) {
      if (choice >= 0) {
        // Program settings open greyed at the defaults.
        QCOMPARE(dialog.SettingsRow()->CurrentIndex(), 0);
        QVERIFY(!dialog.ChoiceRow()->isEnabled() && !dialog.TimeRow()->isEnabled());
        QCOMPARE(dialog.ChoiceRow()->CurrentIndex(), 2);
        QCOMPARE(TimeOf(dialog.TimeRow()), QTime(12, 0));
        dialog.SettingsRow()->SetCurrentIndex(1);
        QVERIFY(dialog.ChoiceRow()->isEnabled() && dialog.TimeRow()->isEnabled());
        dialog.ChoiceRow()->SetCurrentIndex(choice);
        platform::SystemTime at;
        at.wHour = 18;
        at.wMinute = 30;
        dialog.TimeRow()->SetValue(at);
      } else {
        dialog.SettingsRow()->SetCurrentIndex(0);
      }
      dialog.SoftKeys()->Press(keypad::SoftKeyBar::Left);
    });
    QCOMPARE(RunReminderDialog(entry, m_window), keypad::kResultDone);
    QCOMPARE(entry.m_bOwnReminder, choice >= 0 ? 1u : 0u);
    const QDateTime s = start;
    QCOMPARE(entry.m_ftStart, At(s.date().year(), s.date().month(), s.date().day(), s.time().hour(), s.time().minute()));
    if (choice < 0) return;
    // Reopened, the dialog shows what was chosen; Back leaves the entry alone.
    const auto before = entry.m_ftStart;
    WhenRunning<ReminderDialog>([&](ReminderDialog& dialog) {
      QCOMPARE(dialog.ChoiceRow()->CurrentIndex(), choice);
      QCOMPARE(TimeOf(dialog.TimeRow()), QTime(18, 30));
      dialog.ChoiceRow()->SetCurrentIndex(0);
      QTest::keyClick(dialog.ChoiceRow(), Qt::Key_Escape);
    });
    QCOMPARE(RunReminderDialog(entry, m_window), keypad::kResultCancel);
    QCOMPARE(entry.m_ftStart, before);
  }

  void soundListsMerge() {
    const std::vector<platform::SoundFileInfo> ring = {Sound(u"/r/z", u"Zed"), Sound(u"/r/mid", u"Midi", 2),
                                                       Sound(u"/r/a", u"alpha")};
    const std::vector<platform::SoundFileInfo> alarm = {Sound(u"/a/b", u"Beta"), Sound(u"/r/a", u"alpha"),
                                                        Sound(u"/a/c", u"Charlie"), Sound(u"/a/d", u"Delta")};
    // The alarm list is longer and comes first; its first file stays first,
    // the others sort by name; the file in both lists and the unplayable one go.
    QStringList names;
    for (const auto& f : MergeSoundFileLists(ring, alarm)) names << QString::fromStdU16String(f.displayName);
    QCOMPARE(names, QStringList({"Beta", "alpha", "Charlie", "Delta", "Zed"}));
  }

  void soundDialog() {
    WriteRegistryDword(SettingPath(u"Sound\\Type"), 2);
    WriteRegistryDword(SettingPath(u"Sound\\Volume"), 4);
    const fs::path user = platform::UserSoundFolder();
    Touch(user / "b-bell.oga");
    Touch(user / "c-chime.oga");
    FeskItem entry(Anniversary);
    WhenRunning<SoundDialog>([&](SoundDialog& dialog) {
      // Program settings: type and volume greyed, showing the program's.
      QVERIFY(!dialog.TypeRow()->isEnabled() && !dialog.VolumeRow()->isEnabled());
      QCOMPARE(dialog.TypeRow()->CurrentIndex(), 2);
      QCOMPARE(dialog.VolumeRow()->CurrentIndex(), 4);
      QVERIFY(!dialog.FileRowShown());
      dialog.SoundRow()->SetCurrentIndex(SoundDialog::kCustomFile);
      QVERIFY(dialog.FileRowShown() && dialog.FileField()->isVisibleTo(&dialog));
      dialog.SoundRow()->SetCurrentIndex(SoundDialog::kSystemAlarm);
      QVERIFY(!dialog.FileField()->isVisibleTo(&dialog));
      // A listed file, kept by its path.
      int chime = -1;
      for (int i = SoundDialog::kFirstListed; i < dialog.SoundRow()->Count(); ++i) {
        if (dialog.SoundRow()->ItemData(i).toString().endsWith("c-chime.oga")) chime = i;
      }
      QVERIFY(chime > 0);
      dialog.SoundRow()->SetCurrentIndex(chime);
      QCOMPARE(dialog.PreviewPath(), dialog.SoundRow()->ItemData(chime).toString().toStdU16String());
      dialog.SoftKeys()->Press(keypad::SoftKeyBar::Left);
    });
    QCOMPARE(RunSoundDialog(entry, m_window), keypad::kResultDone);
    QCOMPARE(entry.m_dwSoundSource, 3u);
    QVERIFY(EntryQString(entry.SoundFile()).endsWith("c-chime.oga"));
    QCOMPARE(entry.m_bOwnSound, 0u);
    QCOMPARE(entry.m_dwVolume, 0u);  // program settings store no volume
    std::uint32_t previewed = 0;
    QVERIFY(ReadRegistryDword(u"HKEY_CURRENT_USER\\ControlPanel\\SoundCategories\\QV_FESK_Sample\\InitVol", previewed));

    // A new file sorts before the chosen one: reopening still selects it.
    Touch(user / "a-alarm.oga");
    WhenRunning<SoundDialog>([&](SoundDialog& dialog) {
      const int s = dialog.SoundRow()->CurrentIndex();
      QCOMPARE(dialog.SoundRow()->ItemData(s).toString().toStdU16String(), entry.SoundFile());
      // Own settings: the volume follows the type; type 0 greys it.
      dialog.SettingsRow()->SetCurrentIndex(1);
      dialog.TypeRow()->SetCurrentIndex(1);
      QVERIFY(dialog.VolumeRow()->isEnabled());
      dialog.VolumeRow()->SetCurrentIndex(1);
      dialog.TypeRow()->SetCurrentIndex(0);
      QVERIFY(!dialog.VolumeRow()->isEnabled());
      dialog.TypeRow()->SetCurrentIndex(3);
      dialog.VolumeRow()->SetCurrentIndex(2);
      dialog.SoundRow()->SetCurrentIndex(SoundDialog::kCustomFile);
      dialog.FileField()->setText("/music/song.flac");
      dialog.SoftKeys()->Press(keypad::SoftKeyBar::Left);
    });
    QCOMPARE(RunSoundDialog(entry, m_window), keypad::kResultDone);
    QCOMPARE(entry.m_bOwnSound, 1u);
    QCOMPARE(entry.m_dwSoundType, 3u);
    QCOMPARE(entry.m_dwVolume, 2u);
    QCOMPARE(entry.m_dwSoundSource, 2u);
    QVERIFY(entry.SoundFile() == u"/music/song.flac");
  }

  void soundFolderListing() {
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    for (const char* name : {"B.WAV", "a.mp3", "c.txt", ".hidden.wav", "x.oga", "y.opus", "z.Flac", "tune.mid"}) {
      Touch(root / name);
    }
    Touch(root / "Zeta" / "in.wav");
    Touch(root / "alpha" / "in.wav");
    Touch(root / ".git" / "in.wav");
    QStringList names;
    for (const auto& e : ListSoundFolder(root.string() + "/")) names << QString::fromStdString(e.name);
    QCOMPARE(names, QStringList({"alpha", "Zeta", "a.mp3", "B.WAV", "tune.mid", "x.oga", "y.opus", "z.Flac"}));
    QVERIFY(ListSoundFolder(root.string() + "/missing/").empty());
    const std::pair<const char*, const char*> parents[] = {{"/", "/"}, {"/a/", "/"}, {"/a/b/", "/a/"}, {"", "/"}};
    for (const auto& [folder, parent] : parents) QCOMPARE(ParentFolder(folder), std::string(parent));
  }

  void soundFilePicker() {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString() + "/";
    Touch(root + "sub/deep/one.wav");
    Touch(root + "sub/two.wav");
    Touch(root + "sub/three.wav");
    keypad::LineField field;
    // Starts in the folder of the path, with its file selected; Back goes up,
    // Right enters, Done chooses.
    field.setText(QString::fromStdString(root + "sub/two.wav"));
    WhenRunning<keypad::FullScreenDialog>([&](keypad::FullScreenDialog& picker) {
      auto* list = picker.findChild<QListWidget*>();
      QCOMPARE(list->currentItem()->text(), QString("two.wav"));
      QTest::keyClick(list, Qt::Key_Escape);
      QCOMPARE(SoundPickerFolder(), root);
      QVERIFY(editortest::SelectRowText(picker, "sub"));
      QTest::keyClick(list, Qt::Key_Right);
      QVERIFY(editortest::SelectRowText(picker, "three.wav"));
      picker.SoftKeys()->Press(keypad::SoftKeyBar::Left);
    });
    QCOMPARE(SelectSoundFile(m_window, field), keypad::kResultDone);
    QCOMPARE(field.text(), QString::fromStdString(root + "sub/three.wav"));
    // A path whose folder is gone starts where the picker was left; Back in
    // the root cancels and the field stays.
    field.setText("/no/such/folder/x.wav");
    SoundPickerFolder().clear();
    SoundPickerFolder().push_back('/');
    WhenRunning<keypad::FullScreenDialog>([&](keypad::FullScreenDialog& picker) {
      QTest::keyClick(picker.findChild<QListWidget*>(), Qt::Key_Escape);
    });
    QCOMPARE(SelectSoundFile(m_window, field), keypad::kResultCancel);
    QCOMPARE(field.text(), QString("/no/such/folder/x.wav"));
  }

  void soundPickerFirstFolder_data() {
    QTest::addColumn<QStringList>("folders");  // made below a fresh home, data home and configuration
    QTest::addColumn<QString>("start");
    QTest::newRow("the own sounds first")
        << QStringList({"data/Natalo/sounds", "home/Music"}) << "data/Natalo/sounds/";
    QTest::newRow("then the music folder") << QStringList({"data/Natalo", "home/Music"}) << "home/Music/";
    QTest::newRow("the music folder the user named")
        << QStringList({"home/Music", "home/Tunes", "config/user-dirs.dirs"}) << "home/Tunes/";
    QTest::newRow("then home") << QStringList() << "home/";
  }
  void soundPickerFirstFolder() {
    QFETCH(QStringList, folders);
    QFETCH(QString, start);
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    QDir().mkpath(root + "home");
    for (const QString& folder : folders) {
      if (folder.endsWith("user-dirs.dirs")) {
        QDir().mkpath(root + "config");
        std::ofstream((root + folder).toStdString()) << "XDG_MUSIC_DIR=\"$HOME/Tunes\"\n";
      } else {
        QDir().mkpath(root + folder);
      }
    }
    const QByteArray saved[] = {qgetenv("HOME"), qgetenv("XDG_DATA_HOME"), qgetenv("XDG_CONFIG_HOME")};
    qputenv("HOME", (root + "home").toUtf8());
    qputenv("XDG_DATA_HOME", (root + "data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + "config").toUtf8());
    // A picker opened the first time in this process, for a field without a file.
    SoundPickerFolder().clear();
    keypad::LineField field;
    QString shown;
    WhenRunning<keypad::FullScreenDialog>(
        [&](keypad::FullScreenDialog&) { shown = QString::fromStdString(SoundPickerFolder()); });
    SelectSoundFile(m_window, field);
    qputenv("HOME", saved[0]);
    qputenv("XDG_DATA_HOME", saved[1]);
    qputenv("XDG_CONFIG_HOME", saved[2]);
    QCOMPARE(shown, root + start);
  }

  void iconPickerSelectsTheCurrentPicture() {
    FeskItem entry(Birthday);
    entry.m_dwIcon = 22;
    int selected = -1;
    WhenRunning<keypad::FullScreenDialog>([&](keypad::FullScreenDialog& picker) {
      auto* grid = picker.findChild<QListWidget*>();
      selected = grid->currentItem()->data(Qt::UserRole).toInt();
      QTest::keyClick(grid, Qt::Key_Right);
      QTest::keyClick(grid, Qt::Key_Return);
    });
    QCOMPARE(RunIconPicker(entry, m_window), keypad::kResultDone);
    QCOMPARE(selected, 22);
    QVERIFY(entry.m_dwIcon != 22u);
  }

 private:
  std::unique_ptr<editortest::DialogTestWorld> m_world;
  keypad::KeypadWindow* m_window = nullptr;
};

QTEST_MAIN(EntryDialogsTest)
#include "EntryDialogsTest.moc"
