// The real program with the real engine library: a start arms the reminder
// utility of its own program folder for the earliest stored entry.
#include <QProcess>
#include <QtTest>

#include "common/entries/EntryReminder.h"
#include "common/entries/FeskList.h"
#include "common/store/StorageList.h"
#include "platform/notify/UserNotification.h"
#include "tests/app/AppTestFolder.h"

namespace {

// Waits until a notification for `application` is armed, and returns it.
bool WaitForNotification(const std::string& application, platform::NotificationTrigger& out, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeoutMs) {
    std::vector<platform::NotificationHandle> handles;
    if (platform::GetUserNotificationHandles(handles)) {
      for (const auto handle : handles) {
        platform::NotificationTrigger trigger;
        if (platform::GetUserNotification(handle, trigger) && trigger.application == application &&
            trigger.type == platform::NotificationType::Time) {
          out = trigger;
          return true;
        }
      }
    }
    QThread::msleep(50);
  }
  return false;
}

}  // namespace

class EngineStartTest : public QObject {
  Q_OBJECT

 private slots:
  void startArmsTheUtilityOfItsFolderForTheEarliestEntry() {
    AppTestFolder folder(TestEngine::Real);
    folder.UseInThisProcess();
    {
      FeskList list;
      auto soon = MakeBirthday("Anna", "Berg", 1985, 3, 14);
      ApplyReminder(*soon, 0, static_cast<std::uint16_t>(9 << 8));  // on the day, 09:00
      list.Add(std::move(soon));
      auto off = MakeBirthday("Lena", "Fischer", 2001, 3, 13);
      ApplyReminder(*off, 0, static_cast<std::uint16_t>(9 << 8));
      off->m_bEnabled = 0;  // earlier, but switched off
      list.Add(std::move(off));
      QVERIFY(list.SaveStorageLocked());
    }
    QProcess program;
    program.setProgram(folder.InstallProgram());
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start();
    QVERIFY(program.waitForStarted(10'000));

    platform::NotificationTrigger trigger;
    const bool armed = WaitForNotification(folder.Folder() + "NataloUtil", trigger, 20'000);
    program.kill();
    program.waitForFinished(5000);
    QVERIFY(armed);
    QCOMPARE(trigger.start.wMonth, std::uint16_t{3});
    QCOMPARE(trigger.start.wDay, std::uint16_t{14});
    QCOMPARE(trigger.start.wHour, std::uint16_t{9});
    QVERIFY2(QString::fromStdString(trigger.arguments).startsWith(QStringLiteral("/T=\"")),
             trigger.arguments.c_str());
    QVERIFY2(QString::fromStdString(trigger.arguments).endsWith(QStringLiteral("/ID=\"1\"")), trigger.arguments.c_str());
  }
};

QTEST_MAIN(EngineStartTest)
#include "EngineStartTest.moc"
