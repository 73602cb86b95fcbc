#include "common/entries/FeskList.h"

#include <limits>

#include "common/entries/EntryTexts.h"

namespace {

int Sign(long long a, long long b) { return a > b ? 1 : (a < b ? -1 : 0); }

// The first key that differs decides.
int FirstDifference(std::initializer_list<int> results) {
  for (const int r : results) {
    if (r != 0) return r;
  }
  return 0;
}

int CompareText(const std::u16string& a, const std::u16string& b) {
  const int r = a.compare(b);
  return r > 0 ? 1 : (r < 0 ? -1 : 0);
}

}  // namespace

FeskList::FeskList(std::string path) : StorageList(std::move(path)) {
  m_wMagic = FESK_MAGIC;
  m_dwRevision = FESK_REVISION;
}

std::unique_ptr<StorageItem> FeskList::CreateItem() const { return std::make_unique<FeskItem>(Birthday); }

int FeskList::Compare(const StorageItem& a, const StorageItem& b) const {
  const FeskItem* entryA = AsEntry(&a);
  const FeskItem* entryB = AsEntry(&b);
  if (!entryA || !entryB) return StorageList::Compare(a, b);
  const EntryOrderSettings order = CurrentOrderSettings();
  return CompareEntries(*entryA, *entryB, order, order.dwSort == 4 ? CurrentViewSettings() : EntryViewSettings{},
                        Today());
}

bool FeskList::Filter(const StorageItem& item) const {
  const FeskItem* entry = AsEntry(&item);
  return entry && FilterEntry(*entry, CurrentOrderSettings());
}

int FeskList::CompareEntries(const FeskItem& a, const FeskItem& b, const EntryOrderSettings& order,
                             const EntryViewSettings& view, const CalendarDate& today) {
  const CalendarDate da = DateOfFileTime(a.m_ftDate);
  const CalendarDate db = DateOfFileTime(b.m_ftDate);
  const int kind = Sign(a.m_wKind, b.m_wKind);
  const int month = Sign(da.month, db.month);
  const int day = Sign(da.day, db.day);
  int result = 0;
  switch (order.dwSort) {
    case 0:
    case 5: {
      // Dates already past this year count as next year's, so the next
      // occurrence comes first; today's date counts as this year.
      const auto occurrenceMonth = [&today](const CalendarDate& d) {
        return IsTodayOrLater(d.month, d.day, today) ? d.month : d.month + 12;
      };
      result = FirstDifference({Sign(occurrenceMonth(da), occurrenceMonth(db)), day, kind});
      break;
    }
    case 1: result = FirstDifference({month, day, kind}); break;
    case 2:
      // A date without a year has no age to sort by: it comes after the dated
      // ones in either direction, those without a year among themselves by day.
      if (IsYearUnknown(da) != IsYearUnknown(db)) return IsYearUnknown(da) ? 1 : -1;
      // The later date, the younger person, first.
      result = FirstDifference({-Sign(da.year, db.year), -month, -day, kind});
      break;
    case 3: result = FirstDifference({kind, month, day}); break;
    case 4:
      result = FirstDifference({CompareText(NameForSorting(a, view), NameForSorting(b, view)), kind, month, day});
      break;
    default: return 0;
  }
  return order.bAscending ? result : -result;
}

bool FeskList::FilterEntry(const FeskItem& entry, const EntryOrderSettings& order) {
  // A star is a birthday: hiding birthdays hides the stars as well.
  return (order.bShowBirthdays || entry.m_wKind != Birthday) &&
         (order.bShowAnniversaries || entry.m_wKind != Anniversary) &&
         (order.bShowOtherDates || entry.m_wKind != OtherDate) && (order.bShowStars || !entry.IsStar());
}

void FeskList::AppendLoaded(std::unique_ptr<FeskItem> entry) {
  if (entry->m_nUID >= m_nNextUID) {
    m_nNextUID = entry->m_nUID < std::numeric_limits<std::int32_t>::max() ? entry->m_nUID + 1 : entry->m_nUID;
  }
  Add(std::move(entry));
}

bool FeskList::RefreshItemState(std::int32_t uid) {
  FeskList fresh(m_szPath);
  if (!fresh.Load()) return false;
  const StorageItem* loaded = fresh.FindByUID(uid);
  StorageItem* own = FindByUID(uid);
  if (!loaded || !own) return false;
  KnownRecordState::Of(*loaded).ApplyTo(*own);
  return true;
}

bool LoadStorageLocked(FeskList& list) { return list.LoadStorageLocked(); }

bool SaveStorageLocked(const FeskList& list) { return list.SaveStorageLocked(); }

bool RefreshItemState(FeskList& list, std::int32_t uid) { return list.RefreshItemState(uid); }
