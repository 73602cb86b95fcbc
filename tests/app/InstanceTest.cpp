// Whole-program tests of the single-instance rule and of the exit code
// without the engine. Every program started here is ended here.
#include <QProcess>
#include <QtTest>

#include "Natalo/InstanceChannel.h"
#include "platform/sync/NamedMutex.h"
#include "platform/ui/MessageBox.h"
#include "tests/app/AppTestFolder.h"


namespace {

// A started copy of the program, ended when the test ends.
class Program {
 public:
  explicit Program(const QString& path) { m_process.setProgram(path); }
  ~Program() {
    if (m_process.state() != QProcess::NotRunning) {
      m_process.kill();
      m_process.waitForFinished(5000);
    }
  }
  void Start() {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    QVERIFY2(m_process.waitForStarted(10'000), qPrintable(m_process.errorString()));
  }
  bool Finished(int timeoutMs) { return m_process.waitForFinished(timeoutMs); }
  int ExitCode() const { return m_process.exitCode(); }
  bool Running() const { return m_process.state() == QProcess::Running; }

 private:
  QProcess m_process;
};

// Asks the instance of the folder until it answers with a main window.
bool WaitForMainWindow(const QString& channel, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeoutMs) {
    if (AskRunningInstance(channel, 2000) == InstanceReply::CameForward) return true;
    QThread::msleep(50);
  }
  return false;
}

}  // namespace

class InstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void secondStartBringsTheFirstForwardAndEnds() {
    AppTestFolder folder;
    const QString program = folder.InstallProgram();
    const QString channel = InstanceChannelName(QString::fromStdString(folder.Folder()));
    Program first(program);
    first.Start();
    QVERIFY(WaitForMainWindow(channel, 20'000));

    Program second(program);
    second.Start();
    QVERIFY(second.Finished(15'000));
    QCOMPARE(second.ExitCode(), 0);
    QVERIFY2(first.Running(), qPrintable(QStringLiteral("first ended with %1").arg(first.ExitCode())));
    // Only the first start asked the engine to calculate (once its list was painted).
    QTRY_COMPARE(folder.EngineLog(), std::string("calculate\n"));
  }

  void secondStartClosesTheBoxOfAnInstanceWithoutWindowAndGoesOn() {
    AppTestFolder folder;
    const QString program = folder.InstallProgram();
    const QString channel = InstanceChannelName(QString::fromStdString(folder.Folder()));
    // This process plays the first instance: it holds the instance mutex and
    // shows a box captioned with the program's title, with no main window.
    bool existed = true;
    auto mutex = platform::NamedMutex::Create(u"Natalo_Instance_Mutex", &existed);
    QVERIFY(mutex != nullptr);
    QVERIFY(!existed);
    int requests = 0;
    InstanceServer server(channel, [&] {
      ++requests;
      return keypad::CloseMessageBoxes(QStringLiteral("Natalo")) ? InstanceReply::ClosedBox : InstanceReply::Nothing;
    });
    QVERIFY(server.Listen());

    Program second(program);
    QTimer::singleShot(0, [&] { second.Start(); });
    QTimer::singleShot(30'000, [] { keypad::CloseMessageBoxes(QStringLiteral("Natalo")); });
    QElapsedTimer clock;
    clock.start();
    const int result = keypad::ShowMessageBox(nullptr, QStringLiteral("Busy"), QStringLiteral("Natalo"), keypad::MB_OK);
    QVERIFY2(clock.elapsed() < 29'000, "the box was not closed by the second start");
    QCOMPARE(result, keypad::IDCANCEL);
    QCOMPARE(requests, 1);
    // The second start went on and now answers on the channel itself.
    QVERIFY(WaitForMainWindow(channel, 20'000));
    QVERIFY(second.Running());
    QTRY_COMPARE(folder.EngineLog(), std::string("calculate\n"));
  }

  void missingEngineEndsWithExitCodeMinusOne() {
    AppTestFolder folder(TestEngine::None);
    const QString program = folder.InstallProgram();
    const QString boxes = QString::fromStdString((folder.Environment().Root() / "boxes.log").string());
    qputenv("NATALO_MESSAGEBOX_ANSWERS", "1");
    qputenv("NATALO_MESSAGEBOX_LOG", boxes.toUtf8());
    Program started(program);
    started.Start();
    const bool finished = started.Finished(20'000);
    qunsetenv("NATALO_MESSAGEBOX_ANSWERS");
    qunsetenv("NATALO_MESSAGEBOX_LOG");
    QVERIFY(finished);
    QCOMPARE(started.ExitCode(), 255);
    QFile log(boxes);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(log.readAll()).startsWith(QStringLiteral("Natalo\t10\t")));
    QVERIFY(!QFile::exists(folder.Path("storage.dat")));
  }
};

QTEST_MAIN(InstanceTest)
#include "InstanceTest.moc"
