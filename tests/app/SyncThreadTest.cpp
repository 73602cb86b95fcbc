// The application's synchronisation thread against the reminder utility's
// writer, in one process: a snooze written by the utility reaches the list at
// once, and the application's next save keeps it.
#include <QtTest>

#include "Natalo/MainWindow.h"
#include "Natalo/SyncThread.h"
#include "NataloUtil/ReminderSession.h"
#include "NataloUtil/UtilSync.h"
#include "common/entries/FeskList.h"
#include "platform/imaging/AppPictures.h"
#include "tests/app/AppTestFolder.h"

class SyncThreadTest : public QObject {
  Q_OBJECT

 private slots:
  void utilityChangeReachesTheListAndIsKeptBySaving() {
    AppTestFolder folder;
    folder.UseInThisProcess();
    FeskList list(folder.Folder() + "storage.dat");
    list.Add(MakeBirthday("Anna", "Berg", 1985, 3, 14));
    list.Add(MakeBirthday("Jonas", "Keller", 1972, 7, 2));
    QVERIFY(list.SaveStorageLocked());
    AppPictures pictures;
    MainWindow window(QStringLiteral("Natalo"), list, &pictures, true);
    QVERIFY(StartSyncThread(&window, &list, folder.Folder()));

    // The utility snoozes Jonas: its copy of the entry gets the new state.
    auto snoozed = CopyEntry(*AsEntry(list.FindByUID(2)));
    snoozed->m_ftSnooze = 133603398000000000ULL;
    snoozed->m_dwSnoozeCounter = 1;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(WriteUtilData(*snoozed, folder.Folder()));
    QVERIFY(clock.elapsed() < 5000);  // the thread answered
    QTRY_COMPARE(list.FindByUID(2)->m_ftSnooze, 133603398000000000ULL);
    QCOMPARE(list.FindByUID(2)->m_dwSnoozeCounter, 1u);
    QCOMPARE(list.FindByUID(1)->m_ftSnooze, 0ULL);

    QVERIFY(list.SaveStorageLocked());
    FeskList reread(folder.Folder() + "storage.dat");
    QVERIFY(reread.Load());
    QCOMPARE(reread.FindByUID(2)->m_ftSnooze, 133603398000000000ULL);

    // After the thread stopped, the utility no longer finds the application.
    StopSyncThread();
    QVERIFY(WriteUtilData(*snoozed, folder.Folder()));
    QVERIFY(clock.elapsed() < 10000);
  }

  void syncFileAndStateReading() {
    AppTestFolder folder;
    FeskList list(folder.Folder() + "storage.dat");
    auto anna = MakeBirthday("Anna", "Berg", 1985, 3, 14);
    anna->m_wSkipNext = 1;
    anna->m_dwAutoSnoozeCounter = 4;
    list.Add(std::move(anna));
    QVERIFY(list.SaveStorageLocked());
    ReminderStateBlock state;
    QVERIFY(ReadReminderState(folder.Folder() + "storage.dat", 1, state));
    QCOMPARE(state.wSkipNext, std::uint16_t{1});
    QCOMPARE(state.dwAutoSnoozeCounter, 4u);
    QVERIFY(!ReadReminderState(folder.Folder() + "storage.dat", 9, state));
    QVERIFY(!ReadReminderState(folder.Folder() + "missing.dat", 1, state));
    state.uid = 9;
    QVERIFY(!ApplyReminderState(list, state));
  }
};

QTEST_MAIN(SyncThreadTest)
#include "SyncThreadTest.moc"
