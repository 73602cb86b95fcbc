// The application's synchronisation thread against the other programs'
// writers, in one process: a snooze written by the utility or an entry added
// by the command line reaches the list at once, and the next save keeps it.
#include <QtTest>

#include "Natalo/AppText.h"
#include "Natalo/EntryStorage.h"
#include "Natalo/EntryListView.h"
#include "Natalo/MainWindow.h"
#include "Natalo/SyncThread.h"
#include "NataloUtil/ReminderSession.h"
#include "NataloUtil/UtilSync.h"
#include "common/entries/FeskList.h"
#include "common/store/StorageMutexName.h"
#include "common/store/StorageSync.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"
#include "platform/imaging/AppPictures.h"
#include "tests/app/AppTestFolder.h"

// The first names of a list's entries, sorted, to compare lists whatever their order.
static QStringList SortedFirstNames(const FeskList& list) {
  QStringList names;
  for (const StorageItem& item : list) names << EntryQString(AsEntry(&item)->FirstName());
  names.sort();
  return names;
}

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
    // A save right after the answer, before the list has taken the change in,
    // keeps the snooze.
    QCOMPARE(list.FindByUID(2)->m_ftSnooze, 0ULL);
    QVERIFY(SaveEntryList(list, false).bSaved);
    FeskList reread(folder.Folder() + "storage.dat");
    QVERIFY(reread.Load());
    QCOMPARE(reread.FindByUID(2)->m_ftSnooze, 133603398000000000ULL);
    QTRY_COMPARE(list.FindByUID(2)->m_ftSnooze, 133603398000000000ULL);
    QCOMPARE(list.FindByUID(2)->m_dwSnoozeCounter, 1u);
    QCOMPARE(list.FindByUID(1)->m_ftSnooze, 0ULL);

    // After the thread stopped, the utility no longer finds the application.
    StopSyncThread();
    QVERIFY(WriteUtilData(*snoozed, folder.Folder()));
    QVERIFY(clock.elapsed() < 10000);
  }

  // The command line adds an entry while the application runs, and the user
  // has just made one of their own that is not saved yet, so both got the
  // same UID. The application's save right after the answer, before any event
  // is handled, keeps both; the list shows the new one under a new UID.
  void addedEntryReachesTheListAndSurvivesTheNextSave() {
    AppTestFolder folder;
    folder.UseInThisProcess();
    const std::string storage = folder.Folder() + "storage.dat";
    FeskList list(storage);
    list.Add(MakeBirthday("Anna", "Berg", 1985, 3, 14));
    QVERIFY(list.SaveStorageLocked());
    AppPictures pictures;
    MainWindow window(QStringLiteral("Natalo"), list, &pictures, true);
    QVERIFY(StartSyncThread(&window, &list, folder.Folder()));
    auto own = MakeBirthday("Own", "Entry", 1990, 1, 2);
    own->m_nUID = 3;
    list.Add(std::move(own));

    {
      const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(storage)));
      const platform::NamedMutexLock lock(*mutex, 5000);
      FeskList writer(storage);
      QVERIFY(writer.Load());
      const StorageItem* carl = writer.Add(MakeBirthday("Carl", "Meyer", 1990, 5, 1));
      QCOMPARE(carl->m_nUID, 3);
      QVERIFY(writer.Save());
      QCOMPARE(NotifyApplication(folder.Folder(), {3, StorageChange::EntryAdded}, 5000), NotifyResult::Answered);
    }
    QVERIFY(SaveEntryList(list, false).bSaved);

    FeskList reread(storage);
    QVERIFY(reread.Load());
    QStringList names;
    for (const StorageItem& item : reread) names << EntryQString(AsEntry(&item)->FirstName());
    QCOMPARE(names, QStringList({"Anna", "Own", "Carl"}));
    QCOMPARE(AsEntry(reread.FindByUID(3))->FirstName(), u"Own");
    QCOMPARE(AsEntry(reread.FindByUID(4))->FirstName(), u"Carl");
    QTRY_COMPARE(window.List().RowCount(), 3);
    StopSyncThread();
  }

  // Other programs saved and the application did not hear of it: two adds
  // while it was stopped (resumed, it finds only the last notice, as sync.tmp
  // holds one), an add whose notice was lost, a snooze whose notice was lost.
  // The user had deleted Anna meanwhile. The application's save keeps all
  // the others saved, and Anna stays deleted.
  void saveKeepsWhatOthersSavedUnseen_data() {
    QTest::addColumn<int>("adds");
    QTest::addColumn<bool>("lastNoticeRead");
    QTest::addColumn<bool>("snooze");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("two adds, only the last notice read") << 2 << true << false << QStringList{"Jonas", "Carl", "Dora"};
    QTest::newRow("an add, its notice lost") << 1 << false << false << QStringList{"Jonas", "Carl"};
    QTest::newRow("a snooze, its notice lost") << 0 << false << true << QStringList{"Jonas"};
  }

  void saveKeepsWhatOthersSavedUnseen() {
    QFETCH(int, adds);
    QFETCH(bool, lastNoticeRead);
    QFETCH(bool, snooze);
    QFETCH(QStringList, kept);
    AppTestFolder folder;
    folder.UseInThisProcess();
    const std::string storage = folder.Folder() + "storage.dat";
    {
      FeskList first(storage);
      first.Add(MakeBirthday("Anna", "Berg", 1985, 3, 14));
      first.Add(MakeBirthday("Jonas", "Keller", 1972, 7, 2));
      QVERIFY(first.Save());
    }
    FeskList list(storage);
    QVERIFY(list.LoadAndUpgradeStorage());
    list.Remove(list.FindByUID(1));
    AppPictures pictures;
    MainWindow window(QStringLiteral("Natalo"), list, &pictures, true);
    QVERIFY(StartSyncThread(&window, &list, folder.Folder()));

    const char* names[] = {"Carl", "Dora"};
    for (int i = 0; i < adds; ++i) {
      FeskList writer(storage);
      QVERIFY(writer.LoadStorageLocked());
      writer.Add(MakeBirthday(names[i], "Meyer", 1990, 5, 1 + i));
      QVERIFY(writer.SaveStorageLocked());
    }
    constexpr std::uint64_t kSnooze = 133603398000000000ULL;
    if (snooze) {
      auto snoozed = CopyEntry(*AsEntry(list.FindByUID(2)));
      snoozed->m_ftSnooze = kSnooze;
      snoozed->m_dwSnoozeCounter = 1;
      FeskList patcher(storage);
      QVERIFY(patcher.WriteItemState(*snoozed));
    }
    if (lastNoticeRead) {
      QCOMPARE(NotifyApplication(folder.Folder(), {2 + adds, StorageChange::EntryAdded}, 5000), NotifyResult::Answered);
    }
    QVERIFY(SaveEntryList(list, false).bSaved);

    FeskList reread(storage);
    QVERIFY(reread.Load());
    kept.sort();
    QCOMPARE(SortedFirstNames(reread), kept);
    QCOMPARE(reread.FindByUID(2)->m_ftSnooze, snooze ? kSnooze : 0ULL);
    QCOMPARE(list.FindByUID(2)->m_ftSnooze, snooze ? kSnooze : 0ULL);
    QTRY_COMPARE(window.List().RowCount(), kept.size());
    StopSyncThread();
  }

  // The command line edits, deletes or changes many entries while the
  // application runs, and the user has made an entry of their own that is not
  // saved yet. The application's
  // save right after the answer keeps the change and the user's entry; the
  // list shows them. A removal the writer put back (its notice went
  // unanswered) leaves the entry.
  void otherWritersChangesReachTheListAndSurviveTheNextSave_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("edited") << int(StorageChange::EntryChanged) << QStringList{"Anna", "Jonny", "Carl", "Own"};
    QTest::newRow("removed") << int(StorageChange::EntryRemoved) << QStringList{"Anna", "Carl", "Own"};
    QTest::newRow("list") << int(StorageChange::ListChanged) << QStringList{"Jonas", "Karl", "Dora", "Own"};
    QTest::newRow("removal put back") << -1 << QStringList{"Anna", "Jonas", "Carl", "Own"};
  }

  void otherWritersChangesReachTheListAndSurviveTheNextSave() {
    QFETCH(int, change);
    QFETCH(QStringList, kept);
    AppTestFolder folder;
    folder.UseInThisProcess();
    const std::string storage = folder.Folder() + "storage.dat";
    FeskList list(storage);
    list.Add(MakeBirthday("Anna", "Berg", 1985, 3, 14));
    list.Add(MakeBirthday("Jonas", "Keller", 1972, 7, 2));
    list.Add(MakeBirthday("Carl", "Meyer", 1990, 5, 1));
    QVERIFY(list.SaveStorageLocked());
    AppPictures pictures;
    MainWindow window(QStringLiteral("Natalo"), list, &pictures, true);
    QVERIFY(StartSyncThread(&window, &list, folder.Folder()));
    const StorageItem* jonas = list.FindByUID(2);
    list.Add(MakeBirthday("Own", "Entry", 1991, 1, 2));

    {
      const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(storage)));
      const platform::NamedMutexLock lock(*mutex, 5000);
      FeskList writer(storage);
      QVERIFY(writer.Load());
      StorageNotice notice{2, static_cast<StorageChange>(change)};
      if (change == int(StorageChange::EntryChanged)) {
        AsEntry(writer.FindByUID(2))->SetFirstName(u"Jonny");
      } else if (change == int(StorageChange::EntryRemoved)) {
        writer.Remove(writer.FindByUID(2));
      } else if (change == int(StorageChange::ListChanged)) {
        writer.Remove(writer.FindByUID(1));
        AsEntry(writer.FindByUID(3))->SetFirstName(u"Karl");
        writer.Add(MakeBirthday("Dora", "Lind", 1980, 2, 3));
        notice.uid = 0;
      } else {
        notice.change = StorageChange::EntryRemoved;
      }
      QVERIFY(writer.Save());
      QCOMPARE(NotifyApplication(folder.Folder(), notice, 5000), NotifyResult::Answered);
    }
    QVERIFY(SaveEntryList(list, false).bSaved);

    FeskList reread(storage);
    QVERIFY(reread.Load());
    kept.sort();
    QCOMPARE(SortedFirstNames(reread), kept);
    QCOMPARE(SortedFirstNames(list), kept);
    if (change >= 0) QTRY_COMPARE(window.List().RowCount(), kept.size());
    // An edited entry stays the object that the rows and dialogs point to.
    if (change == int(StorageChange::EntryChanged)) QCOMPARE(list.FindByUID(2), jonas);
    StopSyncThread();
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
