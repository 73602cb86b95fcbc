// Pictures of the main window as a user sees it, saved as PNG files in
// app-screens/ of the build folder: about fifteen varied entries and two stars
// on the large and the small screen, each also turned to landscape, and the
// empty list. Checks that each picture shows rows (or the hint) at all.
#include <QDir>
#include <QTimer>
#include <QtTest>

#include "Natalo/EntryListView.h"
#include "Natalo/MainWindow.h"
#include "Natalo/NataloApp.h"
#include "common/entries/FeskList.h"
#include "tests/app/AppTestFolder.h"

namespace {

QString ScreensFolder() {
  const QString folder = QStringLiteral(NATALO_SCREENS_DIR);
  QDir().mkpath(folder);
  return folder;
}

// Saves the window and returns the picture.
QImage Save(MainWindow& window, const QString& name) {
  QApplication::processEvents();
  const QImage image = window.grab().toImage();
  image.save(ScreensFolder() + QLatin1Char('/') + name + QStringLiteral(".png"));
  return image;
}

int CountDarkPixels(const QImage& image) {
  int dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 96) ++dark;
    }
  }
  return dark;
}

void Shoot(QSize screen, bool withEntries, const QString& name) {
  AppTestFolder folder;
  if (withEntries) {
    FeskList list(folder.Folder() + "storage.dat");
    FillSampleEntries(list);
    folder.WriteStars("Ann, Lee, 5.7.1961, Singer\nBo, Diddley, 30.12.1928, Guitarist\n");
  }
  NataloApp app(OptionsFor(folder, screen));
  QCOMPARE(app.Start(), NataloApp::kRunning);
  MainWindow& window = *app.Window();
  const QImage portrait = Save(window, name);
  QCOMPARE(portrait.size(), screen);
  QVERIFY(CountDarkPixels(portrait) > 500);
  if (withEntries) {
    window.List().SelectRow(2, true);
    window.Turn();
    const QImage landscape = Save(window, name + QStringLiteral("-landscape"));
    QCOMPARE(landscape.size(), screen.transposed());
    // Turned, the rows span the wider window.
    QCOMPARE(window.List().ColumnWidth() > screen.width(), true);
  }
  QTimer::singleShot(0, &window, [&window] { window.close(); });
  app.Run();
}

}  // namespace

class ScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void largeScreen() { Shoot({240, 320}, true, QStringLiteral("main-240x320")); }
  void smallScreen() { Shoot({176, 220}, true, QStringLiteral("main-176x220")); }
  void emptyList() { Shoot({240, 320}, false, QStringLiteral("empty-240x320")); }
};

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
