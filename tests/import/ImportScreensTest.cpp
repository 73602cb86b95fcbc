// Pictures of the import's screens as a user sees them: the options and ask
// dialogs, the progress of a long scan and the report, on the large and the
// small screen and turned, in English and German, saved as PNG files into
// NATALO_SHOTS_DIR (or import-screens/ of the build folder).
#include <QtTest>

#include "Natalo/import/ScanDialogs.h"
#include "common/entries/FeskItem.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SpinnerList.h"
#include "tests/editors/EditorTestSupport.h"
#include "tests/engine/ItemBuilders.h"

using editortest::ShotsFolder;

namespace {

struct Screen {
  QSize size;
  QString name;
};

}  // namespace

class ImportScreensTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { m_world = std::make_unique<editortest::DialogTestWorld>(); }

  void english() { ShootAll("en"); }
  void german() {
    GetLocalTable().LoadFile(m_world->folder.Folder() + "local.dat", u"[German]");
    SetLocalePatterns(LocalePatternsFor("de_DE.UTF-8"), platform::GetCalendarNames("de_DE.UTF-8"));
    ShootAll("de");
  }

 private:
  void ShootAll(const QString& language) {
    keypad::KeypadWindow& window = m_world->window;
    const Screen screens[] = {{{240, 320}, "240x320"}, {{176, 220}, "176x220"}, {{320, 240}, "320x240"}};
    for (const Screen& screen : screens) {
      window.resize(screen.size);
      const QString tag = language + "-" + screen.name;
      ContactScanSettings settings;
      Shoot([&] { RunScanOptionsDialog(settings, &window); }, "options-" + tag);
      FeskItem entry(Birthday);
      entry.SetFirstName(u"Maximiliane Theodora");
      entry.SetLastName(u"von Hohenzollern-Sigmaringen");
      entry.m_ftDate = enginetest::At(1978, 11, 23);
      ConflictChoice choice;
      Shoot([&] { RunScanAskDialog(entry, editortest::Day(1978, 11, 24), choice, &window); }, "ask-" + tag);
      // The check box reached by Down and ticked by the action key.
      Shoot([&] { RunScanAskDialog(entry, editortest::Day(1978, 11, 24), choice, &window); }, "ask-ticked-" + tag,
            [&](keypad::FullScreenDialog&) {
              for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Return}) QTest::keyClick(window.focusWidget(), key);
            });
      {
        ScanProgressScreen progress(&window);
        progress.Show(ScanPhase::ReadingFolder, 3456, 10000);
        Save(window.grab().toImage(), "progress-" + tag);
      }
      const ContactScanReport report{.birthdaysAdded = 120, .anniversariesAdded = 14, .alreadyListed = 3,
                                     .entriesUpdated = 2, .contactsUpdated = 1, .conflictsLeft = 4,
                                     .contactWritesFailed = 1, .filesUnreadable = 1,
                                     .deletedBefore = 2};
      // Stopped in the question at the second of 3,000 contacts.
      const ContactScanReport cancelled{.contactsRead = 2, .birthdaysAdded = 1, .conflictsLeft = 1,
                                        .contactsInFolder = 3000, .stoppedByUser = true};
      for (const auto& [shown, name] : {std::pair{&report, "report-"}, std::pair{&cancelled, "report-cancelled-"}}) {
        QImage shot;
        QTimer::singleShot(50, [&] {
          shot = window.grab().toImage();
          keypad::CloseMessageBoxes(QStringLiteral("Natalo"));
        });
        keypad::ShowMessageBox(&window, ContactScanReportText(*shown), QStringLiteral("Natalo"),
                               keypad::MB_OK | keypad::MB_ICONINFORMATION);
        Save(shot, name + tag);
      }
    }
    // Opened in landscape and turned to the portrait screen; the long items of the conflict lists shown.
    for (const Screen& screen : {screens[0], screens[1]}) {
      window.resize(screen.size.transposed());
      ContactScanSettings settings;
      Shoot([&] { RunScanOptionsDialog(settings, &window); }, "options-turned-" + language + "-" + screen.name,
            [&](keypad::FullScreenDialog& dialog) {
              auto& options = static_cast<ScanOptionsDialog&>(dialog);
              options.ConflictList(true)->SetCurrentIndex(2);
              options.ConflictList(false)->SetCurrentIndex(1);
              window.Turn();
              QApplication::processEvents();
            });
    }
    window.resize(240, 320);
  }

  // Opens a dialog, saves its picture and cancels it.
  void Shoot(const std::function<void()>& open, const QString& name,
             const std::function<void(keypad::FullScreenDialog&)>& before = {}) {
    QImage shot;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, [&] {
      const auto running = keypad::FullScreenDialog::Running();
      if (running.isEmpty()) return;
      if (before) before(*running.last());
      QApplication::processEvents();
      shot = m_world->window.grab().toImage();
      for (auto* d : running) d->Done(keypad::kResultCancel);
    });
    poll.start();
    open();
    poll.stop();
    Save(shot, name);
  }

  static void Save(const QImage& shot, const QString& name) {
    QVERIFY2(!shot.isNull(), qPrintable(name));
    shot.save(ShotsFolder() + "/" + name + ".png");
  }

  std::unique_ptr<editortest::DialogTestWorld> m_world;
};

QTEST_MAIN(ImportScreensTest)
#include "ImportScreensTest.moc"
