// Pictures of the main window as a user sees it, saved as PNG files in
// app-screens/ of the build folder: about fifteen varied entries (one of them
// snoozed, one without a year) and two stars on the large and the small
// screen, each also turned to landscape, in English and German, the empty list,
// and year-end birthdays with a Chinese name in a Japanese locale.
// Checks that each picture shows rows (or the hint) at all.
#include <QDir>
#include <QFontDatabase>
#include <QRawFont>
#include <QTimer>
#include <QtTest>

#include "Natalo/EntryListView.h"
#include "Natalo/MainWindow.h"
#include "Natalo/NataloApp.h"
#include "common/entries/FeskList.h"
#include "common/text/LocalePatterns.h"
#include "platform/ui/KeypadTheme.h"
#include "tests/app/AppTestFolder.h"
#include "tests/support/DarkPalette.h"

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

// Year's-end birthdays (the last two zodiac signs), a skipped reminder, other
// dates, a Chinese name and, in a Japanese locale, dates in Han characters.
void FillYearEndEntries(FeskList& list) {
  list.Add(MakeBirthday("Clara", "Stein", 1988, 12, 10));
  list.Add(MakeBirthday("\xE5\xB0\x8F\xE6\x98\x8E", "\xE7\x8E\x8B", 1979, 12, 19));  // Wang Xiaoming
  auto skipped = MakeBirthday("Jonas", "Keller", 1972, 12, 23);
  skipped->m_wSkipNext = 1;
  list.Add(std::move(skipped));
  list.Add(MakeBirthday("Tom", "Ivanov", 2015, 12, 24));
  list.Add(MakeDated(OtherDate, "Car inspection", 2020, 12, 28));
  list.Add(MakeBirthday("Yuki", "Tanaka", 1995, 1, 4));
  list.Add(MakeDated(Anniversary, "Wedding Sara & Ben", 2010, 1, 16));
  list.Add(MakeDated(OtherDate, "Tax return", 2019, 5, 31));
  for (const int month : {2, 3, 4, 6, 7, 8, 9, 10}) list.Add(MakeBirthday("Anna", "Berg", 1985, month, 14));
  list.SaveStorageLocked();
}

enum class Sample { None, Varied, YearEnd };

void Shoot(QSize screen, Sample sample, const QString& name) {
  const bool withEntries = sample != Sample::None;
  AppTestFolder folder;
  if (withEntries) {
    FeskList list(folder.Folder() + "storage.dat");
    if (sample == Sample::Varied) {
      FillSampleEntries(list);
      // Its reminder comes back in an hour and a half.
      auto snoozed = MakeBirthday("Ida", "Roth", 1992, 1, 1);
      const CalendarDate tomorrow = DateOfFileTime(platform::GetLocalFileTime() + platform::FILETIME_PER_DAY);
      MidnightOf({1992, tomorrow.month, tomorrow.day}, snoozed->m_ftDate);
      snoozed->m_ftSnooze = platform::GetLocalFileTime() + 90 * platform::FILETIME_PER_MINUTE;
      list.Add(std::move(snoozed));
      // A birthday without a year, three days ahead: no age beside its name.
      auto noYear = MakeBirthday("Mia", "Sommer", kYearUnknown, 1, 1);
      const CalendarDate soon = DateOfFileTime(platform::GetLocalFileTime() + 3 * platform::FILETIME_PER_DAY);
      MidnightOf({kYearUnknown, soon.month, soon.day}, noYear->m_ftDate);
      list.Add(std::move(noYear));
      list.SaveStorageLocked();
    }
    if (sample == Sample::YearEnd) FillYearEndEntries(list);
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
  void initTestCase() { testsupport::ApplyShotsPalette(); }
  void largeScreen() { Shoot({240, 320}, Sample::Varied, QStringLiteral("main-240x320")); }
  void smallScreen() { Shoot({176, 220}, Sample::Varied, QStringLiteral("main-176x220")); }
  void inGerman() {
    // The locale is read once per process: read it again for this picture and after it.
    const QByteArray oldLang = qgetenv("LANG");
    const QByteArray oldAll = qgetenv("LC_ALL");
    qputenv("LANG", "de_DE.UTF-8");
    qputenv("LC_ALL", "de_DE.UTF-8");
    ResetLocalePatterns();
    Shoot({176, 220}, Sample::Varied, QStringLiteral("main-de-176x220"));
    Shoot({240, 320}, Sample::Varied, QStringLiteral("main-de-240x320"));
    qputenv("LANG", oldLang);
    if (oldAll.isNull()) {
      qunsetenv("LC_ALL");
    } else {
      qputenv("LC_ALL", oldAll);
    }
    ResetLocalePatterns();
  }
  void emptyList() { Shoot({240, 320}, Sample::None, QStringLiteral("empty-240x320")); }
  void yearEndInJapanese() {
    // Without a font for Han and kana every such name and date shows as boxes.
    const QFont rowFont = keypad::CondensedFont(12, 700);
    QVERIFY(QRawFont::fromFont(rowFont, QFontDatabase::SimplifiedChinese).supportsCharacter(U'\u738B'));
    QVERIFY(QRawFont::fromFont(rowFont, QFontDatabase::Japanese).supportsCharacter(U'\u3072'));
    // The locale is read once per process: read it again for this picture and after it.
    const QByteArray old = qgetenv("LC_ALL");
    qputenv("LC_ALL", "ja_JP.UTF-8");
    ResetLocalePatterns();
    Shoot({240, 320}, Sample::YearEnd, QStringLiteral("year-end-ja-240x320"));
    Shoot({176, 220}, Sample::YearEnd, QStringLiteral("year-end-ja-176x220"));
    if (old.isNull()) {
      qunsetenv("LC_ALL");
    } else {
      qputenv("LC_ALL", old);
    }
    ResetLocalePatterns();
  }
};

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
