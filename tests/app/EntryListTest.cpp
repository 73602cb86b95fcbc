// The main window's list: rows, selection, column width, the empty-list hint,
// row drawing and the menu state that follows the selected entry.
#include <QAccessible>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <QtTest>

#include "Natalo/AppText.h"
#include "Natalo/Commands.h"
#include "Natalo/EntryListView.h"
#include "Natalo/MainMenu.h"
#include "common/entries/EntryPictures.h"
#include "common/entries/EntryTexts.h"
#include "common/entries/FeskList.h"
#include "platform/imaging/AppPictures.h"
#include "platform/imaging/IconLibrary.h"
#include "common/settings/AppSettings.h"
#include "platform/ui/KeypadTheme.h"
#include "tests/app/AppTestFolder.h"

namespace {

// A list inside a parent that it covers, as in the main window.
struct ListFixture {
  explicit ListFixture(bool highRes = true) : list(folder.Folder() + "storage.dat") {
    folder.UseInThisProcess();
    SetHighResolutionScreen(highRes);
    LoadIconLibrary(folder.Folder(), highRes);
    pictures.Load(highRes);
    auto* layout = new QVBoxLayout(&parent);
    layout->setContentsMargins(0, 0, 0, 0);
    view = new EntryListView(list, &pictures, highRes, &parent);
    layout->addWidget(view);
  }
  ~ListFixture() { FreeIconLibrary(); }

  FeskItem* Add(std::unique_ptr<FeskItem> entry) { return AsEntry(list.Add(std::move(entry))); }

  AppTestFolder folder{TestEngine::None};
  FeskList list;
  AppPictures pictures;
  QWidget parent;
  EntryListView* view = nullptr;
};

// The row of `entry` drawn on white at the given width.
QImage DrawnRow(const EntryRowPainter& painter, const FeskItem& entry, int width, const AppPictures& pictures,
                bool selected = false) {
  QImage image(width, painter.RowHeight(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter p(&image);
  painter.DrawRow(p, entry, image.rect(), selected, &pictures, {Qt::black, QColor(0, 0, 128), Qt::white});
  return image;
}

// The picture as it appears when drawn on white.
QImage OnWhite(const QImage& picture) {
  QImage image(picture.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter p(&image);
  p.drawImage(0, 0, picture);
  return image;
}

bool IsBlank(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
    }
  }
  return true;
}

}  // namespace

class EntryListTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { keypad::InstallFontSubstitutions(); }

  void columnSpansTheWindowUntilRowsNoLongerFit() {
    ListFixture f;
    const int rowHeight = f.view->RowPainter().RowHeight();
    f.parent.resize(240, 5 * rowHeight);
    f.parent.show();
    for (int i = 0; i < 5; ++i) f.view->InsertRow(i, f.Add(MakeDated(OtherDate, "Day", 2000, 1, i + 1)), false, false);
    QCOMPARE(f.view->ColumnWidth(), 240);

    f.view->InsertRow(5, f.Add(MakeDated(OtherDate, "One more", 2000, 2, 1)), false, false);
    const int scrollBar = f.view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, f.view->verticalScrollBar());
    QCOMPARE(f.view->ColumnWidth(), 240 - scrollBar);

    f.view->DeleteRow(5);
    QCOMPARE(f.view->ColumnWidth(), 240);
  }

  void deletingARowSelectsItsPlaceOrTheNewLastRow() {
    ListFixture f;
    for (int i = 0; i < 3; ++i) f.view->InsertRow(i, f.Add(MakeDated(OtherDate, "Day", 2000, 1, i + 1)), false, false);
    f.view->SelectRow(2, false);
    FeskItem* middle = f.view->EntryAt(1);
    QVERIFY(f.view->DeleteRow(2));
    QCOMPARE(f.view->SelectedRow(), 1);
    QCOMPARE(f.view->SelectedEntry(), middle);

    f.view->SelectRow(0, false);
    QVERIFY(f.view->DeleteRow(0));
    QCOMPARE(f.view->SelectedRow(), 0);
    QCOMPARE(f.view->SelectedEntry(), middle);
    QVERIFY(f.view->DeleteRow(0));
    QCOMPARE(f.view->RowCount(), 0);
    QCOMPARE(f.view->SelectedRow(), -1);
    QVERIFY(!f.view->DeleteRow(0));
  }

  void fillingSortsFiltersAndSelectsTheFirstRow() {
    ListFixture f;
    g_settings.g_dwSort = 4;  // by name
    f.Add(MakeDated(OtherDate, "Cherry", 2000, 1, 1));
    f.Add(MakeDated(Anniversary, "Apple", 2000, 1, 1));
    f.Add(MakeBirthday("Banana", "Split", 2000, 1, 1));
    g_settings.g_bShowBirthdays = 0;
    QVERIFY(f.view->FillList());
    QCOMPARE(f.view->RowCount(), 2);
    QCOMPARE(f.view->EntryAt(0)->Name(), u"Apple");
    QCOMPARE(f.view->SelectedRow(), 0);

    g_settings.g_bSortAscending = 0;
    f.view->SelectRow(1, false);  // Cherry
    f.view->SortRows();
    QCOMPARE(f.view->EntryAt(0)->Name(), u"Cherry");
    QCOMPARE(f.view->SelectedRow(), 0);
    QCOMPARE(f.view->FindRow(f.view->EntryAt(1)), 1);
  }

  void hiddenEntriesAskForARefreshWhenTheirRowIsDrawn() {
    ListFixture f;
    f.parent.resize(240, 320);
    FeskItem* birthday = f.Add(MakeBirthday("Ann", "Lee", 1961, 7, 5));
    FeskItem* other = f.Add(MakeDated(OtherDate, "Inspection", 2020, 8, 12));
    f.view->FillList();
    f.view->SelectRow(f.view->FindRow(other), false);
    QSignalSpy posted(f.view, &EntryListView::postCommand);

    g_settings.g_bShowBirthdays = 0;
    f.parent.grab();
    f.parent.grab();
    const int refreshes = static_cast<int>(
        std::count_if(posted.begin(), posted.end(), [](const QList<QVariant>& a) { return a[0].toInt() == cmd::kRefreshList; }));
    QCOMPARE(refreshes, 1);

    f.view->RefreshList();
    QCOMPARE(f.view->RowCount(), 1);
    QCOMPARE(f.view->FindRow(birthday), -1);
    QCOMPARE(f.view->SelectedEntry(), other);
  }

  void actionKeySendsEditAndMovingPostsAMenuUpdate() {
    ListFixture f;
    f.parent.resize(240, 320);
    f.parent.show();
    f.Add(MakeDated(OtherDate, "One", 2000, 1, 1));
    f.Add(MakeDated(OtherDate, "Two", 2000, 1, 2));
    f.view->FillList();
    QSignalSpy sent(f.view, &EntryListView::sendCommand);
    QSignalSpy posted(f.view, &EntryListView::postCommand);
    QTest::keyClick(f.view, Qt::Key_Down);
    QCOMPARE(f.view->SelectedRow(), 1);
    QVERIFY(!posted.isEmpty());
    QCOMPARE(posted.last()[0].toInt(), cmd::kUpdateMenu);
    QTest::keyClick(f.view, Qt::Key_Return);
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.first()[0].toInt(), cmd::kEdit);
  }

  // A long list is painted with a screen's rows laid out and lays out the
  // rest right after; a key that comes before that moves in all of it.
  void aLongListIsLaidOutWholeAfterItsFirstPaintOrAtAKey() {
    const auto fill = [](ListFixture& f) {
      f.parent.resize(240, 320);
      for (int i = 0; i < 2000; ++i) f.Add(MakeDated(OtherDate, "Row", 2000, 1, 1 + i % 28));
      f.view->FillList();
      f.parent.show();
    };
    const auto laidOut = [](ListFixture& f, int row) { return f.view->visualRect(f.view->model()->index(row, 0)).isValid(); };
    ListFixture painted;
    fill(painted);
    QVERIFY(!laidOut(painted, 1999));
    QTRY_VERIFY(laidOut(painted, 1999));
    ListFixture pressed;
    fill(pressed);
    QTest::keyClick(pressed.view, Qt::Key_End);
    QCOMPARE(pressed.view->SelectedRow(), 1999);
    QVERIFY(pressed.view->viewport()->rect().intersects(pressed.view->visualRect(pressed.view->currentIndex())));
  }

  // A screen reader reads each row as its whole line: the name, the date and
  // age, the reminder's state.
  void rowsReadOutTheirWholeLine() {
    ListFixture f;
    auto ann = MakeBirthday("Ann", "Lee", 1961, 12, 22);
    ann->m_bEnabled = 1;
    ann->SetNote(u"Orchids");
    FeskItem* first = f.Add(std::move(ann));
    auto car = MakeDated(OtherDate, "Car inspection", 2020, 12, 28);
    car->m_bEnabled = 1;
    car->m_ftSnooze = platform::GetLocalFileTime() + platform::FILETIME_PER_HOUR;
    FeskItem* second = f.Add(std::move(car));
    f.view->FillList();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(f.view);
    QVERIFY(list != nullptr);
    QCOMPARE(list->childCount(), 2);
    const auto row = [&](const FeskItem* entry) { return list->child(f.view->FindRow(entry))->text(QAccessible::Name); };
    const QString annRow = row(first);
    QVERIFY2(annRow.startsWith(QStringLiteral("Ann Lee, ")), qPrintable(annRow));
    for (const std::u16string& part : {GetDetailText(*first), LocalText().Get(u"CLI_REMINDER_ON")}) {
      QVERIFY2(annRow.contains(ToQString(part)), qPrintable(annRow));
    }
    QVERIFY2(annRow.endsWith(ToQString(LocalText().Get(u"ACC_ROW_NOTE"))), qPrintable(annRow));
    std::u16string back;
    QVERIFY(GetSnoozeText(*second, platform::GetLocalFileTime(), back));
    QVERIFY2(row(second).endsWith(ToQString(back)), qPrintable(row(second)));
  }

  void emptyListShowsTheHintOnlyWhenTheKeyHasAText() {
    ListFixture f;
    f.parent.resize(240, 300);
    f.view->SetHint(DefinedText(LocalText().Get(u"HINT_MAINSCREEN")));
    const QImage withHint = f.view->viewport()->grab().toImage();
    QVERIFY(!IsBlank(withHint, withHint.rect()));
    // Word-wrapped and centred: nothing near the top, bottom and side edges.
    QVERIFY(IsBlank(withHint, QRect(0, 0, withHint.width(), 40)));
    QVERIFY(IsBlank(withHint, QRect(0, withHint.height() - 40, withHint.width(), 40)));
    QVERIFY(IsBlank(withHint, QRect(0, 0, 9, withHint.height())));

    f.view->SetHint(DefinedText(u"<undefined>"));
    const QImage without = f.view->viewport()->grab().toImage();
    QVERIFY(IsBlank(without, without.rect()));
  }

  void starRowShowsTheStarPictureAndOnlyTheNotePicture() {
    ListFixture f;
    f.folder.WriteStars("Ann, Lee, 5.7.1961, Singer\nBo, Diddley, 30.12.1928, Guitarist\n");
    f.list.LoadStars();
    QCOMPARE(f.list.Count(), 2u);
    const FeskItem& singer = *AsEntry(&*f.list.begin());
    FeskItem& plain = *AsEntry(&*std::next(f.list.begin()));
    plain.SetNote({});  // a star without description
    const EntryRowPainter& painter = f.view->RowPainter();
    const int width = 240;
    const int rowHeight = painter.RowHeight();
    const int m = painter.Margin();

    const QImage row = DrawnRow(painter, singer, width, f.pictures);
    const QImage* star = GetIconBitmap(kIconStar);
    QVERIFY(star != nullptr);
    QCOMPARE(row.copy(m + 1, (rowHeight - star->width()) / 2, star->width(), star->height()), OnWhite(*star));
    const QImage* note = f.pictures.Status(StatusPicture::Note);
    QVERIFY(note != nullptr);
    const int statusTop = rowHeight / 2 + (rowHeight / 2 - 16) / 2;
    QCOMPARE(row.copy(width - 17, statusTop, 16, 16), OnWhite(*note));

    g_settings.g_dwDaysLeft = 0;  // no tail text that could reach the right end
    const QImage plainRow = DrawnRow(painter, plain, width, f.pictures);
    QVERIFY(IsBlank(plainRow, QRect(width - 34, statusTop, 34, 16)));
  }

  void snoozedRowShowsItsPictureAndTimeUntilTheSnoozeEnds() {
    ListFixture f;
    g_settings.g_dwDaysLeft = 0;  // no tail text that could reach the right end
    g_settings.g_dwDateFormat = 0;
    FeskItem* entry = f.Add(MakeBirthday("Ann", "Lee", 1961, 12, 22));
    const EntryRowPainter& painter = f.view->RowPainter();
    const QImage plain = DrawnRow(painter, *entry, 240, f.pictures);
    entry->m_ftSnooze = platform::GetLocalFileTime() + platform::FILETIME_PER_HOUR;
    const QImage snoozed = DrawnRow(painter, *entry, 240, f.pictures);
    const QImage* picture = f.pictures.Status(StatusPicture::Snoozed);
    QVERIFY(picture != nullptr);
    const int statusTop = painter.RowHeight() / 2 + (painter.RowHeight() / 2 - 16) / 2;
    QCOMPARE(snoozed.copy(240 - 17, statusTop, 16, 16), OnWhite(*picture));
    // The time it comes back stands left of the picture, where the plain row has none.
    QVERIFY(IsBlank(plain, QRect(240 - 60, statusTop, 40, 16)));
    QVERIFY(!IsBlank(snoozed, QRect(240 - 60, statusTop, 40, 16)));

    // Shown in the list, the row is painted again when the snooze ends.
    f.parent.resize(240, 200);
    f.parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.parent));
    entry->m_ftSnooze = platform::GetLocalFileTime() + 300 * (platform::FILETIME_PER_SECOND / 1000);
    f.view->InsertRow(0, entry, false, false);
    QTest::qWait(100);
    int paints = 0;
    struct PaintCounter : QObject {
      int* count;
      explicit PaintCounter(int* c) : count(c) {}
      bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++*count;
        return false;
      }
    } counter(&paints);
    f.view->viewport()->installEventFilter(&counter);
    QTRY_VERIFY_WITH_TIMEOUT(paints > 0, 2000);
    f.view->viewport()->removeEventFilter(&counter);
    QCOMPARE(DrawnRow(painter, *entry, 240, f.pictures), plain);
  }

  void zodiacStandsAtTheRightEndWithoutATagOnBothScreens() {
    for (const bool highRes : {true, false}) {
      ListFixture f(highRes);
      g_settings.g_dwDisplayAge = 0;
      FeskItem* entry = f.Add(MakeBirthday("Ann", "Lee", 1961, 12, 22));
      std::u16string tag;
      QVERIFY(!GetHeaderTag(*entry, tag));
      const EntryRowPainter& painter = f.view->RowPainter();
      QCOMPARE(painter.Margin(), highRes ? 2 : 1);
      const int width = highRes ? 240 : 176;
      const QImage row = DrawnRow(painter, *entry, width, f.pictures);
      const QImage* sign = f.pictures.Zodiac(9, false);
      QVERIFY(sign != nullptr);
      QCOMPARE(sign->width(), highRes ? kZodiacSizeLarge : kZodiacSizeSmall);
      const int L = painter.RowHeight() / 2;
      // Line 1 of the row holds the sign at the right end; a sign taller than
      // the line is drawn smaller so that it stays on line 1.
      const int h = std::min(sign->height(), L - 2);
      const int w = sign->width() * h / sign->height();
      const auto lineOneWith = [&](const QImage& picture, const QColor& background) {
        QImage expected(width, painter.RowHeight(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(background);
        QPainter p(&expected);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(width - w, 1 + (L - h) / 2, w, h), picture);
        p.end();
        return expected.copy(width - w, 0, w, L);
      };
      QCOMPARE(row.copy(width - w, 0, w, L), lineOneWith(*sign, Qt::white));
      const QImage* picture = GetIconBitmap(kIconBirthday);
      QVERIFY(picture != nullptr);
      QCOMPARE(picture->width(), highRes ? kRowPictureSizeLarge : kRowPictureSizeSmall);

      // The selected row uses the selected set.
      const QImage selected = DrawnRow(painter, *entry, width, f.pictures, true);
      const QImage* selectedSign = f.pictures.Zodiac(9, true);
      QVERIFY(selectedSign != nullptr);
      QCOMPARE(selected.copy(width - w, 0, w, L), lineOneWith(*selectedSign, QColor(0, 0, 128)));
    }
  }

  void menuFollowsTheSelectedEntry() {
    AppTestFolder folder(TestEngine::None);
    folder.UseInThisProcess();
    QWidget owner;
    MainMenu menu(&owner);
    keypad::CommandMenu& action = menu.Action();
    const auto enabled = [&](int command) { return action.Find(command)->isEnabled(); };

    menu.UpdateMenuState(nullptr);
    for (int command : {cmd::kEdit, cmd::kDelete, cmd::kDisableActivate, cmd::kSkipNext, cmd::kSetIcon,
                        cmd::kSetReminder, cmd::kSetSound}) {
      QVERIFY(!enabled(command));
    }
    QVERIFY(enabled(cmd::kNewBirthday));

    auto entry = MakeBirthday("Ann", "Lee", 1961, 7, 5);
    entry->m_wSkipNext = 1;
    menu.UpdateMenuState(entry.get());
    QVERIFY(enabled(cmd::kEdit) && enabled(cmd::kSkipNext) && enabled(cmd::kDelete));
    QCOMPARE(action.Find(cmd::kSkipNext)->text(), ToQString(LocalText().Get(u"MENU_UNDO_SKIP_NEXT")));
    QCOMPARE(action.Find(cmd::kDisableActivate)->text(), ToQString(LocalText().Get(u"MENU_DISABLE")));

    entry->m_bEnabled = 0;
    menu.UpdateMenuState(entry.get());
    QVERIFY(!enabled(cmd::kSkipNext));
    QCOMPARE(action.Find(cmd::kSkipNext)->text(), ToQString(LocalText().Get(u"MENU_SKIP_NEXT")));
    QCOMPARE(action.Find(cmd::kDisableActivate)->text(), ToQString(LocalText().Get(u"MENU_ACTIVATE")));

    entry->m_bStar = 1;
    menu.UpdateMenuState(entry.get());
    for (int command : {cmd::kEdit, cmd::kDelete, cmd::kDisableActivate, cmd::kSkipNext, cmd::kSetIcon,
                        cmd::kSetReminder, cmd::kSetSound}) {
      QVERIFY(!enabled(command));
    }
    QVERIFY(enabled(cmd::kViewNote));

    AppSettings settings;
    settings.g_dwSort = 4;
    settings.g_bSortAscending = 0;
    settings.g_bShowStars = 0;
    menu.UpdateCheckMarks(settings);
    keypad::CommandMenu& general = menu.General();
    QVERIFY(general.Find(cmd::kSortByName)->isChecked());
    QVERIFY(!general.Find(cmd::kSortByOccurrence)->isChecked());
    QVERIFY(general.Find(cmd::kSortDescending)->isChecked());
    QVERIFY(!general.Find(cmd::kSortAscending)->isChecked());
    QVERIFY(!general.Find(cmd::kShowStars)->isChecked());
    QVERIFY(general.Find(cmd::kShowBirthdays)->isChecked());
    settings.g_dwSort = 9;  // out of range: the occurrence order is marked
    menu.UpdateCheckMarks(settings);
    QVERIFY(general.Find(cmd::kSortByOccurrence)->isChecked());
  }
};

QTEST_MAIN(EntryListTest)
#include "EntryListTest.moc"
