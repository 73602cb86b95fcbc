// Pictures of the main window's menus and of the boxes its commands open, as a
// user sees them: each menu and sub-menu, and the help, on the large and the
// small screen and turned to landscape, in English and German; the delete
// question, the about box and the note of an own entry and of a star, in
// English and German. Saved as PNG files in app-screens/menu of the build
// folder (NATALO_SHOTS_DIR overrides). Checks that every menu lies inside the
// window.
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QtTest>

#include "Natalo/Commands.h"
#include "Natalo/EntryListView.h"
#include "Natalo/MainMenu.h"
#include "Natalo/MainWindow.h"
#include "Natalo/NataloApp.h"
#include "common/entries/FeskList.h"
#include "platform/ui/FullScreenDialog.h"
#include "platform/ui/MessageBox.h"
#include "tests/app/AppTestFolder.h"
#include "tests/support/DarkPalette.h"

namespace {

QString ShotsFolder() {
  QString folder = qEnvironmentVariable("NATALO_SHOTS_DIR");
  if (folder.isEmpty()) folder = QStringLiteral(NATALO_SCREENS_DIR) + QStringLiteral("/menu");
  QDir().mkpath(folder);
  return folder;
}

// The window with every open menu drawn over it where it stands.
QImage WindowWithMenus(QWidget& window) {
  QApplication::processEvents();
  QImage image = window.grab().toImage();
  QList<QMenu*> menus;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* menu = qobject_cast<QMenu*>(top);
    if (menu != nullptr && menu->isVisible()) menus.append(menu);
  }
  // Parents before their sub-menus.
  std::sort(menus.begin(), menus.end(), [](QMenu* a, QMenu* b) { return b->isAncestorOf(a) || a == b->parentWidget(); });
  QPainter painter(&image);
  const QPoint origin = window.mapToGlobal(QPoint(0, 0));
  for (QMenu* menu : menus) {
    const QRect inWindow = menu->geometry().translated(-origin);
    [&] { QVERIFY2(image.rect().contains(inWindow), qPrintable(menu->title())); }();
    painter.drawPixmap(inWindow.topLeft(), menu->grab());
  }
  return image;
}

void Save(const QImage& image, const QString& name) { image.save(ShotsFolder() + QLatin1Char('/') + name + QStringLiteral(".png")); }

// Grabs whatever full screen the command opens, then ends it; `keys` are
// pressed on the focused field first, and a second picture is taken then.
void ShootDialogOf(MainWindow& window, int command, const QString& name, const QList<Qt::Key>& keys = {}) {
  QTimer::singleShot(0, &window, [&window, name, keys] {
    Save(window.grab().toImage(), name);
    if (!keys.isEmpty()) {
      for (const Qt::Key key : keys) QTest::keyClick(window.focusWidget(), key);
      Save(window.grab().toImage(), name + QStringLiteral("-keys"));
    }
    keypad::CloseMessageBoxes(QStringLiteral("Natalo"));
    keypad::FullScreenDialog::CancelAll();
  });
  window.RunCommand(command);
}

struct Shooter {
  Shooter(QSize screen, const char* language) {
    qputenv("LANG", language);
    FeskList list(folder.Folder() + "storage.dat");
    FillSampleEntries(list);
    folder.WriteStars("Ann, Lee, 5.7.1961, Singer and songwriter of many famous songs from the sixties on\n");
    for (const char* name : {"help.html", "help-de.html", "help.css"}) {
      QFile::copy(QStringLiteral(NATALO_BUILT_PROGRAM_DIR "/") + QLatin1String(name), folder.Path(name));
    }
    app = std::make_unique<NataloApp>(OptionsFor(folder, screen));
  }
  ~Shooter() {
    QTimer::singleShot(0, app->Window(), [this] { app->Window()->close(); });
    app->Run();
    qputenv("LANG", "en_US.UTF-8");
  }

  // Opens a soft key's menu and, when `sub` >= 0, the sub-menu at that position.
  void ShootMenu(bool left, int sub, const QString& name) {
    MainWindow& window = *app->Window();
    keypad::CommandMenu& menu = left ? window.Menu().Action() : window.Menu().General();
    QTest::keyClick(&window, left ? Qt::Key_F1 : Qt::Key_F2);
    QTRY_VERIFY(menu.isVisible());
    if (sub >= 0) {
      menu.setActiveAction(menu.ItemAt(sub));
      QTest::keyClick(&menu, Qt::Key_Return);
      QTRY_VERIFY(menu.ItemAt(sub)->menu()->isVisible());
    }
    Save(WindowWithMenus(window), name);
    keypad::CloseOpenMenus();
    QTRY_VERIFY(!menu.isVisible());
  }

  AppTestFolder folder;
  std::unique_ptr<NataloApp> app;
};

}  // namespace

class MenuScreensTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { testsupport::ApplyShotsPalette(); }
  void menus_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QByteArray>("language");
    for (const char* language : {"en_US.UTF-8", "de_DE.UTF-8"}) {
      for (const QSize screen : {QSize(240, 320), QSize(176, 220), QSize(320, 240)}) {
        QTest::addRow("%s-%dx%d", language, screen.width(), screen.height()) << screen << QByteArray(language);
      }
    }
  }
  void menus() {
    QFETCH(QSize, screen);
    QFETCH(QByteArray, language);
    Shooter s(screen, language.constData());
    QCOMPARE(s.app->Start(), NataloApp::kRunning);
    s.app->Window()->activateWindow();
    const QString suffix = QStringLiteral("-%1-%2x%3").arg(QString::fromLatin1(language.left(2))).arg(screen.width()).arg(screen.height());
    s.ShootMenu(true, -1, QStringLiteral("action") + suffix);
    s.ShootMenu(true, 0, QStringLiteral("action-new") + suffix);
    s.ShootMenu(true, 8, QStringLiteral("action-more") + suffix);
    s.ShootMenu(false, -1, QStringLiteral("menu") + suffix);
    s.ShootMenu(false, 0, QStringLiteral("menu-show") + suffix);
    s.ShootMenu(false, 1, QStringLiteral("menu-sort") + suffix);
    // The help, and the part its second link leads to.
    ShootDialogOf(*s.app->Window(), cmd::kHelp, QStringLiteral("help") + suffix,
                  {Qt::Key_Right, Qt::Key_Right, Qt::Key_Return});
  }

  void boxes_data() {
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("en") << QByteArray("en_US.UTF-8") << QString();
    QTest::newRow("de") << QByteArray("de_DE.UTF-8") << QStringLiteral("-de");
  }
  void boxes() {
    QFETCH(QByteArray, language);
    QFETCH(QString, suffix);
    Shooter s({240, 320}, language.constData());
    QCOMPARE(s.app->Start(), NataloApp::kRunning);
    MainWindow& window = *s.app->Window();
    EntryListView& list = window.List();
    ShootDialogOf(window, cmd::kDelete, QStringLiteral("box-delete") + suffix);
    ShootDialogOf(window, cmd::kAbout, QStringLiteral("about") + suffix);
    for (int row = 0; row < list.RowCount(); ++row) {
      if (list.EntryAt(row)->HasNote() && !list.EntryAt(row)->IsStar()) list.SelectRow(row, true);
    }
    ShootDialogOf(window, cmd::kViewNote, QStringLiteral("note-own") + suffix);
    for (int row = 0; row < list.RowCount(); ++row) {
      if (list.EntryAt(row)->IsStar()) list.SelectRow(row, true);
    }
    ShootDialogOf(window, cmd::kViewNote, QStringLiteral("note-star") + suffix);
    window.Turn();
    ShootDialogOf(window, cmd::kViewNote, QStringLiteral("note-star-landscape") + suffix);
  }
};

QTEST_MAIN(MenuScreensTest)
#include "MenuScreensTest.moc"
