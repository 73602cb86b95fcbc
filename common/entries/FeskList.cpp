#include "common/entries/FeskList.h"

#include <limits>

#include "common/entries/EntryTexts.h"

namespace {

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
  std::u16string nameA, nameB;
  return CompareSortKeys(SortKeyOf(a, order, view, today, nameA), SortKeyOf(b, order, view, today, nameB), order);
}

FeskList::SortKey FeskList::SortKeyOf(const FeskItem& entry, const EntryOrderSettings& order,
                                      const EntryViewSettings& view, const CalendarDate& today,
                                      std::u16string& name) {
  const CalendarDate date = DateOfFileTime(entry.m_ftDate);
  // Every part is within 0..0xFFFF (years and kinds are 16-bit, months and
  // days small), so the parts packed from the first down compare as the
  // parts one after the other do; a part that counts downwards is stored as
  // 0xFFFF minus it.
  const auto pack = [](std::initializer_list<std::uint64_t> parts) {
    std::uint64_t packed = 0;
    for (const std::uint64_t part : parts) packed = (packed << 16) | (part & 0xFFFF);
    return packed;
  };
  const auto down = [](int part) { return static_cast<std::uint64_t>(0xFFFF - part); };
  const auto up = [](int part) { return static_cast<std::uint64_t>(part); };
  SortKey key;
  switch (order.dwSort) {
    case 0:
    case 5: {
      // Dates already past this year count as next year's, so the next
      // occurrence comes first; today's date counts as this year.
      const int month = IsTodayOrLater(date.month, date.day, today) ? date.month : date.month + 12;
      key.number = pack({up(month), up(date.day), up(entry.m_wKind)});
      break;
    }
    case 1: key.number = pack({up(date.month), up(date.day), up(entry.m_wKind)}); break;
    case 2:
      // A date without a year has no age to sort by: it comes after the dated
      // ones in either direction, those without a year among themselves by day.
      // The later date, the younger person, first.
      key.bLast = IsYearUnknown(date);
      key.number = pack({down(date.year), down(date.month), down(date.day), up(entry.m_wKind)});
      break;
    case 3: key.number = pack({up(entry.m_wKind), up(date.month), up(date.day)}); break;
    case 4:
      name = NameForSorting(entry, view);
      key.name = &name;
      for (std::size_t i = 0; i < 8; ++i) {
        key.namePrefix[i / 4] = (key.namePrefix[i / 4] << 16) | (i < name.size() ? name[i] : 0);
      }
      key.number = pack({up(entry.m_wKind), up(date.month), up(date.day)});
      break;
    default: break;
  }
  return key;
}

int FeskList::CompareSortKeys(const SortKey& a, const SortKey& b, const EntryOrderSettings& order) {
  if (a.bLast != b.bLast) return a.bLast ? 1 : -1;
  // Names that differ in their first eight code units are told apart by
  // their prefixes alone (a name that ended there has a zero where the other
  // one goes on): the same order as comparing the names.
  int result = 0;
  if (a.namePrefix[0] != b.namePrefix[0]) {
    result = a.namePrefix[0] > b.namePrefix[0] ? 1 : -1;
  } else if (a.namePrefix[1] != b.namePrefix[1]) {
    result = a.namePrefix[1] > b.namePrefix[1] ? 1 : -1;
  } else if (a.name != nullptr && b.name != nullptr) {
    result = CompareText(*a.name, *b.name);
  }
  if (result == 0) result = a.number > b.number ? 1 : (a.number < b.number ? -1 : 0);
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
