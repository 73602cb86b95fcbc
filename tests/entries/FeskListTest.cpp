#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "common/entries/FeskList.h"
#include "common/entries/StarsFile.h"
#include "common/store/Recurrence.h"
#include "tests/entries/EntriesFixture.h"

namespace entriestest {
namespace {

using List = EntriesFixture;

// The display names of the entries in the order the list's Compare gives;
// the sort of the whole list (FeskList::SortEntries) and the rows a fill
// shows (FeskList::ShownEntries, every entry shown here) must give the same.
std::vector<std::u16string> Sorted(const FeskList& list) {
  std::vector<const StorageItem*> rows;
  std::vector<FeskItem*> entries;
  for (auto& item : list) {
    rows.push_back(&item);
    entries.push_back(AsEntry(&item));
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [&list](const StorageItem* a, const StorageItem* b) { return list.Compare(*a, *b) < 0; });
  FeskList::SortEntries(entries, CurrentOrderSettings(), CurrentViewSettings(), Today());
  std::vector<std::u16string> names, sorted;
  for (const StorageItem* row : rows) names.push_back(row->GetDisplayName());
  for (const FeskItem* entry : entries) sorted.push_back(entry->GetDisplayName());
  EXPECT_EQ(sorted, names) << "the whole list's sort differs from Compare";
  sorted.clear();
  for (const FeskItem* entry : FeskList::ShownEntries(list, CurrentOrderSettings(), CurrentViewSettings(), Today())) {
    sorted.push_back(entry->GetDisplayName());
  }
  EXPECT_EQ(sorted, names) << "the shown rows' order differs from Compare";
  return names;
}

using Names = std::vector<std::u16string>;

TEST_F(List, SortOrdersOnTenthOfMarch) {
  FeskList list(StoragePath());
  list.Add(Entry(Anniversary, At(1999, 1, 1), u"January"));
  list.Add(Entry(Birthday, At(1980, 3, 11), u"Eleventh", u"March"));
  list.Add(Entry(OtherDate, At(2005, 3, 9), u"ninth"));
  list.Add(Entry(Birthday, At(1990, 3, 10), u"Tenth", u"March"));
  list.Add(Entry(Anniversary, At(1970, 3, 10), u"Also tenth"));

  const struct {
    std::uint32_t sort;
    Names ascending;
  } cases[] = {
      // Today's date first, then what is still to come, then next year's.
      {0, {u"Tenth March", u"Also tenth", u"Eleventh March", u"January", u"ninth"}},
      {5, {u"Tenth March", u"Also tenth", u"Eleventh March", u"January", u"ninth"}},
      {1, {u"January", u"ninth", u"Tenth March", u"Also tenth", u"Eleventh March"}},
      // The younger first.
      {2, {u"ninth", u"January", u"Tenth March", u"Eleventh March", u"Also tenth"}},
      {3, {u"Tenth March", u"Eleventh March", u"January", u"Also tenth", u"ninth"}},
      // By code: upper case before lower case.
      {4, {u"Also tenth", u"Eleventh March", u"January", u"Tenth March", u"ninth"}},
  };
  for (const auto& c : cases) {
    g_settings.g_dwSort = c.sort;
    g_settings.g_bSortAscending = 1;
    EXPECT_EQ(Sorted(list), c.ascending) << "sort " << c.sort;
    g_settings.g_bSortAscending = 0;
    Names descending(c.ascending.rbegin(), c.ascending.rend());
    EXPECT_EQ(Sorted(list), descending) << "sort " << c.sort << " descending";
  }
  g_settings.g_dwSort = 6;
  EXPECT_EQ(list.Compare(*list.begin(), *std::next(list.begin())), 0);
}

TEST_F(List, SortByAgePutsDatesWithoutAYearLast) {
  FeskList list(StoragePath());
  list.Add(Entry(Birthday, At(kYearUnknown, 5, 1), u"May", u"Noyear"));
  list.Add(Entry(Birthday, At(1980, 3, 11), u"Old", u"Dated"));
  list.Add(Entry(Birthday, At(kYearUnknown, 1, 2), u"January", u"Noyear"));
  list.Add(Entry(Birthday, At(1601, 6, 1), u"Oldest", u"Dated"));
  list.Add(Entry(Birthday, At(2001, 7, 4), u"Young", u"Dated"));
  g_settings.g_dwSort = 2;
  g_settings.g_bSortAscending = 1;
  EXPECT_EQ(Sorted(list), (Names{u"Young Dated", u"Old Dated", u"Oldest Dated", u"May Noyear", u"January Noyear"}));
  g_settings.g_bSortAscending = 0;
  EXPECT_EQ(Sorted(list), (Names{u"Oldest Dated", u"Old Dated", u"Young Dated", u"January Noyear", u"May Noyear"}));
}

TEST_F(List, EntriesOfOneDateKeepTheirListOrder) {
  FeskList list(StoragePath());
  for (const char16_t* name : {u"Bea", u"Al", u"Cy", u"Di"}) list.Add(Entry(OtherDate, At(1980, 3, 11), name));
  list.Add(Entry(OtherDate, At(kYearUnknown, 3, 11), u"Noyear"));
  for (const std::uint32_t sort : {0u, 1u, 2u, 3u}) {
    g_settings.g_dwSort = sort;
    for (const std::uint32_t ascending : {0u, 1u}) {
      g_settings.g_bSortAscending = ascending;
      EXPECT_EQ(Sorted(list), (Names{u"Bea", u"Al", u"Cy", u"Di", u"Noyear"})) << "sort " << sort;
    }
  }
}

TEST_F(List, SortByNameFollowsTheDisplayNames) {
  FeskList list(StoragePath());
  list.Add(Entry(Birthday, At(1980, 1, 1), u"Ann", u"Zed"));
  list.Add(Entry(Birthday, At(1980, 1, 2), u"Cid", u"Xu"));
  list.Add(Entry(Birthday, At(1980, 1, 3), u"Bob", u"Young"));
  // Sorted by the name it holds, beside that person's birthday.
  list.Add(Entry(Anniversary, At(2005, 1, 1), u"Wedding of Bob Young"));
  g_settings.g_dwSort = 4;
  g_settings.g_bSortAscending = 1;
  const struct {
    std::uint32_t displayNames;
    Names sorted;
  } cases[] = {
      {0, {u"Ann Zed", u"Bob Young", u"Wedding of Bob Young", u"Cid Xu"}},
      {1, {u"Xu, Cid", u"Young, Bob", u"Wedding of Young, Bob", u"Zed, Ann"}},
      {2, {u"A. Zed", u"B. Young", u"Wedding of B. Young", u"C. Xu"}},
      {3, {u"Xu, C.", u"Young, B.", u"Wedding of Young, B.", u"Zed, A."}},
  };
  for (const auto& c : cases) {
    g_settings.g_dwDisplayNames = c.displayNames;
    EXPECT_EQ(Sorted(list), c.sorted) << "display names " << c.displayNames;
  }
}

TEST_F(List, SortByNameComparesWholeNamesByCodeUnit) {
  FeskList list(StoragePath());
  // Dates against the order of the names, so that names taken as equal show.
  list.Add(Entry(OtherDate, At(2000, 1, 6), u"\U0001F600 Smile"));
  list.Add(Entry(OtherDate, At(2000, 1, 2), u"Margareth Zed"));
  list.Add(Entry(OtherDate, At(2000, 1, 3), u"Margareth Abe"));
  list.Add(Entry(OtherDate, At(2000, 1, 4), u"Margareth"));
  list.Add(Entry(OtherDate, At(2000, 1, 5), u"Margaret"));
  list.Add(Entry(OtherDate, At(2000, 1, 1), u"\u00C9mile"));
  // The first twelve code units alike: only the whole names tell them apart.
  list.Add(Entry(OtherDate, At(2000, 1, 7), u"Margareth Zeb"));
  g_settings.g_dwSort = 4;
  g_settings.g_bSortAscending = 1;
  const Names ascending{u"Margaret",      u"Margareth",     u"Margareth Abe",     u"Margareth Zeb",
                        u"Margareth Zed", u"\u00C9mile",     u"\U0001F600 Smile"};
  EXPECT_EQ(Sorted(list), ascending);
  g_settings.g_bSortAscending = 0;
  EXPECT_EQ(Sorted(list), Names(ascending.rbegin(), ascending.rend()));
}

TEST_F(List, EqualNamesAreOrderedByKindThenDate) {
  FeskList list(StoragePath());
  list.Add(Entry(OtherDate, At(2000, 1, 1), u"Same"));
  list.Add(Entry(Anniversary, At(2000, 5, 2), u"Same"));
  list.Add(Entry(Anniversary, At(2000, 5, 1), u"Same"));
  g_settings.g_dwSort = 4;
  std::vector<const FeskItem*> rows;
  for (const auto& item : list) rows.push_back(AsEntry(&item));
  std::stable_sort(rows.begin(), rows.end(),
                   [&list](const FeskItem* a, const FeskItem* b) { return list.Compare(*a, *b) < 0; });
  EXPECT_EQ(rows[0]->m_ftDate, At(2000, 5, 1));
  EXPECT_EQ(rows[1]->m_ftDate, At(2000, 5, 2));
  EXPECT_EQ(rows[2]->m_wKind, OtherDate);
}

TEST_F(List, FilterByShowBits) {
  auto birthday = Entry(Birthday, At(1980, 1, 1));
  auto anniversary = Entry(Anniversary, At(1980, 1, 1));
  auto other = Entry(OtherDate, At(1980, 1, 1));
  auto star = Entry(Birthday, At(1950, 1, 1));
  star->m_bStar = 1;
  const struct {
    bool birthdays, anniversaries, others, stars;
    bool showBirthday, showAnniversary, showOther, showStar;
  } cases[] = {
      {true, true, true, true, true, true, true, true},
      // Stars are birthdays: hiding birthdays hides them even when stars are shown.
      {false, true, true, true, false, true, true, false},
      {true, true, true, false, true, true, true, false},
      {true, false, true, true, true, false, true, true},
      {true, true, false, true, true, true, false, true},
  };
  FeskList list(StoragePath());
  for (const auto& c : cases) {
    g_settings.g_bShowBirthdays = c.birthdays;
    g_settings.g_bShowAnniversaries = c.anniversaries;
    g_settings.g_bShowOtherDates = c.others;
    g_settings.g_bShowStars = c.stars;
    EXPECT_EQ(list.Filter(*birthday), c.showBirthday);
    EXPECT_EQ(list.Filter(*anniversary), c.showAnniversary);
    EXPECT_EQ(list.Filter(*other), c.showOther);
    EXPECT_EQ(list.Filter(*star), c.showStar);
  }
  EXPECT_FALSE(list.Filter(StorageItem(Weekly, false)));
}

TEST_F(List, StarsFollowTheStoredEntries) {
  FeskList stored(StoragePath());
  stored.Add(Entry(Birthday, At(1980, 1, 1), u"Own", u"Friend"));
  ASSERT_TRUE(stored.Save());

  std::u16string text = u"\uFEFF";
  text += u"Ann, Lee, 5.7.1961, Singer\r\n";
  text += u"Bob, Ray, 1.2.1950 Actor\r\n";             // no ", " after the year
  text += u"Di, Eve, 31.2.1960, No such day\r\n";
  text += u"Ed, Fay, 29.2.1960, Leap day,  with a comma  \r\n";
  std::string bytes;
  for (const char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  ASSERT_TRUE(testsupport::WriteFileBytes(m_env.ProgramFolder() + "stars.dat", bytes));

  FeskList list;
  ASSERT_TRUE(list.LoadAndUpgradeStorage());
  list.LoadStars();
  ASSERT_EQ(list.Count(), 3u);
  auto it = list.begin();
  EXPECT_GT(it->m_nUID, 0);
  const FeskItem* ann = AsEntry(&*++it);
  EXPECT_EQ(ann->FirstName(), u"Ann");
  EXPECT_EQ(ann->LastName(), u"Lee");
  EXPECT_EQ(ann->Note(), u"Singer");
  EXPECT_EQ(ann->m_ftDate, At(1961, 7, 5));
  EXPECT_EQ(ann->m_wKind, Birthday);
  EXPECT_EQ(ann->m_nUID, -1);
  EXPECT_EQ(ann->m_bEnabled, 0u);
  EXPECT_TRUE(ann->IsStar());
  EXPECT_EQ(ann->GetIcon(), 48);
  const FeskItem* ed = AsEntry(&*++it);
  EXPECT_EQ(ed->Note(), u"Leap day,  with a comma");
  EXPECT_EQ(ed->m_nUID, -2);

  // Saving writes the stored entry alone.
  ASSERT_TRUE(SaveStorageLocked(list));
  FeskList again;
  ASSERT_TRUE(LoadStorageLocked(again));
  EXPECT_EQ(again.Count(), 1u);
}

TEST_F(List, EveryLineOfTheShippedStarsFileIsRead) {
  // Dates before 1601 have no FileTime; such lines are skipped.
  std::ifstream source(NATALO_TEST_STARS_SOURCE);
  std::size_t lines = 0;
  for (std::string line; std::getline(source, line);) {
    StarLine star;
    if (!line.empty() && line[0] != '#' && ParseStarsLine(platform::FromUtf8(line), star) && star.nYear >= 1601) ++lines;
  }
  ASSERT_GT(lines, 500u);
  FeskList list;
  EXPECT_EQ(list.LoadStarsFile(NATALO_TEST_STARS_DAT), lines);
}

TEST_F(List, NoStarsFileMeansNoStars) {
  FeskList list;
  list.LoadStars();
  EXPECT_TRUE(list.IsEmpty());
}

TEST_F(List, RefreshItemStateCopiesTheStateBlockOnly) {
  FeskList list;
  list.Add(Entry(Birthday, At(1980, 1, 1)));
  StorageItem* mine = list.Add(Entry(Anniversary, At(1990, 2, 3), u"Wedding"));
  ASSERT_TRUE(list.Save());

  // Another program snoozes the reminder in the file.
  FeskList other;
  ASSERT_TRUE(other.Load());
  StorageItem* theirs = other.FindByUID(mine->m_nUID);
  theirs->m_wSkipNext = 1;
  theirs->m_ftSnooze = At(2009, 3, 10, 12, 5);
  theirs->m_dwAutoSnoozeCounter = 2;
  theirs->m_dwSnoozeCounter = 3;
  AsEntry(theirs)->SetName(u"Changed elsewhere");
  ASSERT_TRUE(other.WriteItemState(*theirs));

  ASSERT_TRUE(RefreshItemState(list, mine->m_nUID));
  EXPECT_EQ(mine->m_wSkipNext, 1);
  EXPECT_EQ(mine->m_ftSnooze, At(2009, 3, 10, 12, 5));
  EXPECT_EQ(mine->m_dwAutoSnoozeCounter, 2u);
  EXPECT_EQ(mine->m_dwSnoozeCounter, 3u);
  EXPECT_EQ(AsEntry(mine)->Name(), u"Wedding");
  EXPECT_FALSE(RefreshItemState(list, 999));
}

TEST_F(List, LoadingReadsNoClock) {
  FeskList saved(StoragePath());
  saved.Add(Entry(Birthday, At(1980, 3, 11)));
  saved.Add(Entry(OtherDate, At(2001, 7, 4), u"Trip"));
  ASSERT_TRUE(saved.Save());
  // Every field an entry takes from the clock is read from its record.
  struct CountingClock : platform::ClockSource {
    platform::FileTime Now() const override {
      ++reads;
      return At(2009, 3, 10);
    }
    mutable int reads = 0;
  } clock;
  platform::SetClockSource(&clock);
  FeskList list(StoragePath());
  ASSERT_TRUE(list.Load());
  platform::SetClockSource(&m_clock);
  EXPECT_EQ(clock.reads, 0);
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(AsEntry(&*list.begin())->m_ftDate, At(1980, 3, 11));
}

TEST_F(List, MissingOrForeignFilesGiveAnEmptyList) {
  FeskList list;
  EXPECT_FALSE(list.LoadAndUpgradeStorage());
  EXPECT_TRUE(list.IsEmpty());
  StorageList plain(StoragePath());
  ASSERT_TRUE(plain.Save());
  EXPECT_FALSE(list.LoadAndUpgradeStorage());
  EXPECT_TRUE(list.IsEmpty());
}

}  // namespace
}  // namespace entriestest
