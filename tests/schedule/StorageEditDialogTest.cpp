// The plain item editor opened on a list of plain items: what it shows for
// stored values, what it saves, the file it leaves, and its pictures.
#include <QDir>
#include <QtTest>

#include "Natalo/schedule/StorageEditDialog.h"
#include "common/store/Recurrence.h"
#include "common/store/StorageEditorHook.h"
#include "common/store/StorageList.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"
#include "platform/ui/CheckField.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SpinnerList.h"
#include "tests/editors/EditorTestSupport.h"
#include "tests/engine/ItemBuilders.h"

using editortest::ShotsFolder;
using editortest::WhenRunning;

namespace {

bool SelectKind(StorageEditDialog& d, std::uint32_t kind) {
  for (int i = 0; i < d.KindList()->Count(); ++i) {
    if (d.KindList()->ItemData(i).toUInt() == kind) return d.KindList()->SetCurrentIndex(i);
  }
  return false;
}

platform::SystemTime TimeOfDay(int hour, int minute) {
  platform::SystemTime st;
  st.wHour = static_cast<std::uint16_t>(hour);
  st.wMinute = static_cast<std::uint16_t>(minute);
  return st;
}

}  // namespace

class StorageEditDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    m_world = std::make_unique<editortest::DialogTestWorld>();
    InstallStorageEditor();
    platform::SetClockSource(&m_clock);
  }
  void cleanupTestCase() {
    platform::SetClockSource(nullptr);
    SetStorageEditorHook(nullptr);
  }

  // Switching kinds sets all weekdays or all months; the kind list offers the
  // four plain kinds in display order.
  void kindChangesCheckEverything() {
    StorageItem item(Once, false);
    item.m_dwWeekDays = 0;
    item.m_dwMonths = 0;
    QStringList kinds;
    bool weekly = false, monthly = false;
    WhenRunning<StorageEditDialog>([&](StorageEditDialog& d) {
      for (int i = 0; i < d.KindList()->Count(); ++i) kinds << QString::number(d.KindList()->ItemData(i).toUInt());
      SelectKind(d, Weekly);
      weekly = d.ShownKind() == Weekly && d.WeekDayBox(0)->isVisible();
      for (int i = 0; i < 7; ++i) weekly = weekly && d.WeekDayBox(i)->isChecked();
      SelectKind(d, Monthly);
      monthly = d.MonthlyTypeList()->isVisible() && !d.WeekDayBox(0)->isVisible();
      for (int i = 0; i < 12; ++i) monthly = monthly && d.MonthBox(i)->isChecked();
    });
    QCOMPARE(item.Edit(&m_world->window), 99);
    QCOMPARE(kinds, QStringList({"4", "2", "1", "8"}));
    QVERIFY(weekly);
    QVERIFY(monthly);
  }

  // Stored values the lists cannot show: nothing selected, Monday forced.
  void unshowableValuesOpenSafely() {
    StorageItem below(Monthly, false);
    below.m_nMonthDay = -5;
    int selected = 0;
    WhenRunning<StorageEditDialog>([&](StorageEditDialog& d) { selected = d.MonthDayList()->CurrentIndex(); });
    below.Edit(&m_world->window);
    QCOMPARE(selected, -1);

    StorageItem weekDay(Monthly, false);
    weekDay.m_wMonthlyType = ByWeekDay;
    weekDay.m_dwWeekDay = 200;
    weekDay.m_dwWeekOfMonth = 9;
    QString day, week;
    WhenRunning<StorageEditDialog>([&](StorageEditDialog& d) {
      day = d.WeekDayList()->ItemText(d.WeekDayList()->CurrentIndex());
      week = d.WeekList()->ItemText(d.WeekList()->CurrentIndex());
    });
    weekDay.Edit(&m_world->window);
    QCOMPARE(day, QStringLiteral("Monday"));
    QCOMPARE(week, QStringLiteral("last"));

    StorageItem yearly(Yearly, false);  // a kind outside the offered ones
    selected = 0;
    WhenRunning<StorageEditDialog>([&](StorageEditDialog& d) { selected = d.KindList()->CurrentIndex(); });
    QCOMPARE(yearly.Edit(&m_world->window), 99);
    QCOMPARE(selected, -1);
  }

  // Within 24 hours: at 18:00 a time of 09:00 is tomorrow, 20:00 today. Every
  // day stores all weekdays; other kinds drop the months.
  void saveRules() {
    const struct {
      std::uint32_t kind;
      int hour;
      platform::FileTime start;
      std::uint32_t weekDays;
    } cases[] = {
        {Next24Hours, 9, enginetest::At(2009, 3, 11, 9, 0), 0},
        {Next24Hours, 20, enginetest::At(2009, 3, 10, 20, 0), 0},
        {EveryDay, 7, enginetest::At(2009, 3, 10, 7, 0), AllWeekDays},
    };
    for (const auto& c : cases) {
      m_clock.Set(enginetest::At(2009, 3, 10, 18, 0));
      StorageItem item(Weekly, false);
      item.m_dwWeekDays = MondayBit;
      WhenRunning<StorageEditDialog>([&](StorageEditDialog& d) {
        SelectKind(d, c.kind);
        d.TimeField()->SetValue(TimeOfDay(c.hour, 0));
        Save(d);
      });
      // Every day is not among the base item's kinds; a wider editor offers it.
      StorageEditDialog dialog(item, 0, Weekly | Once | Next24Hours | Monthly | EveryDay, false, &m_world->window);
      QCOMPARE(dialog.Exec(), 1);
      QCOMPARE(item.m_dwKind, c.kind);
      QCOMPARE(item.m_ftStart, c.start);
      QCOMPARE(item.m_dwWeekDays, c.weekDays);
      QCOMPARE(item.m_dwMonths, 0u);
    }
  }

  // Year digits that make no year keep the editor open with a message
  // instead of saving today's date.
  void anUnfinishedYearIsRefused() {
    m_clock.Set(enginetest::At(2009, 3, 10, 18, 0));
    StorageItem item(Once, false);
    const platform::FileTime before = item.m_ftStart;
    keypad::TakeMessageBoxLog();
    WhenRunning<StorageEditDialog>([&](StorageEditDialog& d) {
      QTest::keyClicks(d.DateField(), QStringLiteral("0503198"));
      keypad::PushMessageBoxAnswer(keypad::IDOK);
      Save(d);
    });
    QCOMPARE(item.Edit(&m_world->window), 99);
    QCOMPARE(item.m_ftStart, before);
    const auto log = keypad::TakeMessageBoxLog();
    QCOMPARE(log.size(), 1);
    QVERIFY(log.first().text.startsWith(QStringLiteral("The year of the date is incomplete")));
  }

  // The editor opened from a plain list changes the item, and the list's file
  // holds the change.
  void editedListIsWritten() {
    m_clock.Set(enginetest::At(2009, 3, 10, 18, 0));
    StorageList list;
    StorageItem* item = list.Add(std::make_unique<StorageItem>(Weekly, false));
    WhenRunning<StorageEditDialog>([&](StorageEditDialog& d) {
      SelectKind(d, Monthly);
      d.MonthlyTypeList()->SetCurrentIndex(ByWorkDays);
      d.MonthDayList()->SetCurrentIndex(d.MonthDayList()->Count() - 1);
      d.MonthBox(1)->setChecked(false);
      d.StatusList()->SetCurrentIndex(0);
      Save(d);
    });
    QCOMPARE(item->Edit(&m_world->window), 1);
    QVERIFY(list.Save());
    StorageList reloaded;
    QVERIFY(reloaded.Load());
    QCOMPARE(reloaded.Count(), std::size_t{1});
    const StorageItem& read = *reloaded.begin();
    QCOMPARE(read.m_dwKind, std::uint32_t{Monthly});
    QCOMPARE(read.m_wMonthlyType, std::uint16_t{ByWorkDays});
    QCOMPARE(read.m_nMonthDay, 24);
    QCOMPARE(read.m_dwMonths, AllMonths & ~2u);
    QCOMPARE(read.m_bEnabled, 0u);
    QCOMPARE(QString::fromStdU16String(read.GetDetailText()),
             QStringLiteral("6:00 PM, last working day, monthly: J-MAMJJASOND"));
  }

  void screens() {
    Shoot("en");
    GetLocalTable().LoadFile(m_world->folder.Folder() + "local.dat", u"[German]");
    SetLocalePatterns(LocalePatternsFor("de_DE.UTF-8"), platform::GetCalendarNames("de_DE.UTF-8"));
    Shoot("de");
  }

 private:
  // The left soft key: Done.
  static void Save(StorageEditDialog& d) { QTest::keyClick(&d, Qt::Key_F1); }

  void Shoot(const QString& language) {
    m_clock.Set(enginetest::At(2009, 3, 10, 18, 30));
    const QSize sizes[] = {{240, 320}, {320, 240}};
    const struct {
      const char* name;
      std::uint32_t kind;
      std::uint16_t type;
    } layouts[] = {{"next24h", Next24Hours, ByDay},      {"once", Once, ByDay},
                   {"weekly", Weekly, ByDay},            {"monthly-byday", Monthly, ByDay},
                   {"monthly-byweekday", Monthly, ByWeekDay}, {"monthly-byworkdays", Monthly, ByWorkDays}};
    for (const QSize& size : sizes) {
      keypad::KeypadWindow window;
      window.resize(size);
      window.show();
      for (const auto& l : layouts) {
        StorageItem item(l.kind, false);
        item.m_wMonthlyType = l.type;
        item.m_dwWeekDays = MondayBit | WednesdayBit | FridayBit;
        item.m_dwMonths = 0x0F0;
        QImage shot;
        WhenRunning<StorageEditDialog>([&](StorageEditDialog& d) {
          QApplication::processEvents();
          shot = window.grab().toImage();
          if (l.kind == Monthly) {
            d.MonthBox(0)->setFocus();
            QApplication::processEvents();
          }
        });
        item.Edit(&window);
        const QString name = QStringLiteral("%1/%2-%3x%4-%5.png")
                                 .arg(ShotsFolder(), QLatin1String(l.name))
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(language);
        QVERIFY2(!shot.isNull() && shot.save(name), qPrintable(name));
      }
    }
  }

  std::unique_ptr<editortest::DialogTestWorld> m_world;
  platform::FixedClockSource m_clock{enginetest::At(2009, 3, 10, 18, 0)};
};

QTEST_MAIN(StorageEditDialogTest)
#include "StorageEditDialogTest.moc"
