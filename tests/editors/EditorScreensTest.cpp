// Pictures of the entry dialogs as a user sees them, new and filled, on the
// large and the small screen and turned, in English and German, saved as PNG
// files into NATALO_SHOTS_DIR (or editor-screens/ of the build folder).
#include <QDir>
#include <QtTest>

#include <fstream>

#include "Natalo/editors/EditorServices.h"
#include "Natalo/editors/EntryDialogs.h"
#include "Natalo/editors/EntryEditor.h"
#include "Natalo/pickers/SoundFilePicker.h"
#include "common/entries/EntryReminder.h"
#include "common/entries/FeskItem.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"
#include "platform/contacts/ContactStore.h"
#include "platform/imaging/IconLibrary.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/KeypadWindow.h"
#include "platform/ui/TextFields.h"
#include "tests/app/AppTestFolder.h"
#include "tests/editors/EditorTestSupport.h"
#include "tests/support/DarkPalette.h"
#include "tests/engine/ItemBuilders.h"

using editortest::ShotsFolder;
using editortest::WhenRunning;

namespace {

int CountDarkPixels(const QImage& image) {
  int dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
  }
  return dark;
}

struct Screen {
  QSize size;
  QString name;
};

}  // namespace

class EditorScreensTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    testsupport::ApplyShotsPalette();
    m_world = std::make_unique<editortest::DialogTestWorld>();
    m_world->window.hide();
    m_folder = &m_world->folder;
    QVERIFY(LoadIconLibrary(m_folder->Folder(), true));
    const std::string contacts = m_folder->Folder() + "contacts/";
    std::filesystem::create_directories(contacts);
    for (const char* n : {"Lee;Ann", "Diddley;Bo", "Nakamura;Hiroshi", "Okafor;Chidinma", "Schmidt;Jürgen"}) {
      std::ofstream(contacts + n + ".vcf") << "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" << n << "\r\nN:" << n
                                           << ";;;\r\nBDAY:1980-03-10\r\nEND:VCARD\r\n";
    }
    std::ofstream(contacts + "Chen;Mei.vcf") << "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:mei\r\nN:Chen;Mei;;;\r\n"
                                                "BDAY:--0514\r\nEND:VCARD\r\n";
    m_contacts = std::make_unique<platform::ContactStore>(contacts);
    QVERIFY(m_contacts->Logon());
    EditorServices services;
    services.contacts = m_contacts.get();
    SetEditorServices(&services);
  }
  void cleanupTestCase() {
    SetEditorServices(nullptr);
    FreeIconLibrary();
  }

  void english() { ShootAll("en"); }
  void german() {
    GetLocalTable().LoadFile(m_folder->Folder() + "local.dat", u"[German]");
    SetLocalePatterns(LocalePatternsFor("de_DE.UTF-8"), platform::GetCalendarNames("de_DE.UTF-8"));
    ShootAll("de");
  }

 private:
  void ShootAll(const QString& language) {
    const Screen screens[] = {{{240, 320}, "240x320"}, {{176, 220}, "176x220"}, {{320, 240}, "320x240"}};
    for (const Screen& screen : screens) {
      keypad::KeypadWindow window;
      window.resize(screen.size);
      window.show();
      const QString tag = language + "-" + screen.name;
      for (std::uint16_t kind : {Birthday, Anniversary, OtherDate}) {
        const QString kindName = QStringList{"birthday", "anniversary", "otherdate"}[kind];
        FeskItem fresh(kind);
        Editor(window, fresh, kindName + "-new-" + tag);
        FeskItem filled(kind);
        Fill(filled);
        Editor(window, filled, kindName + "-filled-" + tag);
      }
      // A birthday kept without a year: dashes in the year's place.
      FeskItem noYear(Birthday);
      Fill(noYear);
      noYear.m_ftDate = enginetest::At(1604, 11, 23, 12, 0);
      Editor(window, noYear, "birthday-without-year-" + tag);
      // The note reached by keys: its focus frame, the column scrolled to it.
      FeskItem noted(Birthday);
      Fill(noted);
      QTimer::singleShot(0, [] {
        QWidget* editor = keypad::FullScreenDialog::Running().value(0);
        // Down to the date, then Right across its three fields and out of it.
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right}) {
          if (editor) QTest::keyClick(editor->window()->focusWidget(), key);
        }
      });
      Editor(window, noted, "birthday-note-focused-" + tag);
      FeskItem entry(Birthday);
      Fill(entry);
      Dialog(window, [&] { RunReminderDialog(entry, &window); }, "reminder-program-" + tag);
      entry.m_bOwnReminder = 1;
      ApplyReminder(entry, 8, 0x121E);
      Dialog(window, [&] { RunReminderDialog(entry, &window); }, "reminder-own-" + tag);
      Dialog(window, [&] { RunSoundDialog(entry, &window); }, "sound-program-" + tag);
      entry.m_bOwnSound = 1;
      entry.m_dwSoundType = 1;
      entry.m_dwSoundSource = 2;
      entry.SetSoundFile(u"/usr/share/sounds/freedesktop/stereo/bell.oga");
      Dialog(window, [&] { RunSoundDialog(entry, &window); }, "sound-own-" + tag);
      Dialog(window, [&] { RunIconPicker(entry, &window); }, "iconpicker-" + tag);
      keypad::LineField path;
      path.setText("/usr/share/sounds/freedesktop/stereo/bell.oga");
      Dialog(window, [&] { SelectSoundFile(&window, path); }, "filepicker-" + tag);
      Dialog(window, [&] {
        FeskItem b(Birthday);
        WhenRunning<EntryEditor>([](EntryEditor& editor) {
          editor.FirstNameField()->setFocus();
          editor.ActionKey();
        });
        RunEntryEditor(b, &window);
      }, "contactchooser-" + tag, 2);
      // A contact whose birthday has no year: the year is left empty.
      FeskItem yearless(Birthday);
      WhenRunning<EntryEditor>([&](EntryEditor& editor) {
        editor.FirstNameField()->setFocus();
        WhenRunning<keypad::FullScreenDialog>([](keypad::FullScreenDialog& chooser) {
          QVERIFY(editortest::SelectRowText(chooser, "Mei Chen"));
          QTest::keyClick(chooser.focusWidget(), Qt::Key_Return);
        });
        editor.ActionKey();
        QApplication::processEvents();
        window.grab().save(ShotsFolder() + "/birthday-contact-without-year-" + tag + ".png");
      });
      RunEntryEditor(yearless, &window);
    }
  }

  static void Fill(FeskItem& entry) {
    entry.m_ftDate = enginetest::At(1978, 11, 23, 12, 0);
    const std::u16string longName = u"Maximiliane Theodora Wilhelmina von Hohenzollern-Sigmaringen";
    if (entry.m_wKind == Birthday) {
      entry.SetFirstName(u"Maximiliane Theodora");
      entry.SetLastName(u"von Hohenzollern-Sigmaringen");
    } else {
      entry.SetName(entry.m_wKind == Anniversary ? u"Wedding of " + longName : u"Moving day into the new flat");
    }
    entry.SetNote(u"Likes dark chocolate and long walks; ring before visiting. Gift ideas: a book on "
                  u"old maps, tickets for the autumn concert, a cast-iron pan.");
    ApplyDefaultReminder(entry);
  }

  void Editor(keypad::KeypadWindow& window, FeskItem& entry, const QString& name) {
    Dialog(window, [&] { RunEntryEditor(entry, &window); }, name);
  }

  // Opens a dialog, saves its picture (after `depth` dialogs are running) and cancels it.
  void Dialog(keypad::KeypadWindow& window, const std::function<void()>& open, const QString& name, int depth = 1) {
    QImage shot;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, [&] {
      const auto running = keypad::FullScreenDialog::Running();
      if (running.size() < depth) return;
      QApplication::processEvents();
      shot = window.grab().toImage();
      for (auto* d : running) d->Done(keypad::kResultCancel);
    });
    poll.start();
    open();
    poll.stop();
    QVERIFY2(!shot.isNull(), qPrintable(name));
    shot.save(ShotsFolder() + "/" + name + ".png");
    QVERIFY2(CountDarkPixels(shot) > 200, qPrintable(name));
  }

  std::unique_ptr<editortest::DialogTestWorld> m_world;
  AppTestFolder* m_folder = nullptr;
  std::unique_ptr<platform::ContactStore> m_contacts;
};

QTEST_MAIN(EditorScreensTest)
#include "EditorScreensTest.moc"
