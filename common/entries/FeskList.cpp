#include "common/entries/FeskList.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <utility>

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

std::unique_ptr<StorageItem> FeskList::CreateItemToRead() const { return std::make_unique<FeskItem>(Birthday, 0); }

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

namespace {

// The date and kind parts of an entry's place in the order, packed into one
// number; `last` is set for an entry that comes after the others in either
// direction.
std::uint64_t NumberKeyOf(const FeskItem& entry, const EntryOrderSettings& order, const CalendarDate& today,
                          bool& last) {
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
  last = false;
  switch (order.dwSort) {
    case 0:
    case 5: {
      // Dates already past this year count as next year's, so the next
      // occurrence comes first; today's date counts as this year.
      const int month = IsTodayOrLater(date.month, date.day, today) ? date.month : date.month + 12;
      return pack({up(month), up(date.day), up(entry.m_wKind)});
    }
    case 1: return pack({up(date.month), up(date.day), up(entry.m_wKind)});
    case 2:
      // A date without a year has no age to sort by: it comes after the dated
      // ones in either direction, those without a year among themselves by day.
      // The later date, the younger person, first.
      last = IsYearUnknown(date);
      return pack({down(date.year), down(date.month), down(date.day), up(entry.m_wKind)});
    case 3:
    case 4: return pack({up(entry.m_wKind), up(date.month), up(date.day)});
    default: return 0;
  }
}

// The name's first 4 x N code units, from the high bits of the first down,
// zeros after its end.
template <std::size_t N>
void NamePrefixOf(std::u16string_view name, std::uint64_t (&prefix)[N]) {
  for (std::size_t part = 0; part < N; ++part) {
    std::uint64_t units = 0;
    for (std::size_t i = 4 * part; i < 4 * part + 4; ++i) units = (units << 16) | (i < name.size() ? name[i] : 0);
    prefix[part] = units;
  }
}

// The rows' entries by their place in memory, with each row's place: a
// radix sort of the addresses, eleven bits a pass.
std::vector<std::pair<std::uintptr_t, std::uint32_t>> ByAddress(const std::vector<FeskItem*>& rows) {
  using Visit = std::pair<std::uintptr_t, std::uint32_t>;
  std::vector<Visit> visits(rows.size()), other(rows.size());
  std::uintptr_t low = ~std::uintptr_t{0}, high = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto address = reinterpret_cast<std::uintptr_t>(rows[i]);
    visits[i] = {address, static_cast<std::uint32_t>(i)};
    low = std::min(low, address);
    high = std::max(high, address);
  }
  constexpr int kBits = 11;
  constexpr std::size_t kBuckets = std::size_t{1} << kBits;
  for (int shift = 0; !rows.empty() && ((high - low) >> shift) != 0; shift += kBits) {
    std::vector<std::uint32_t> firsts(kBuckets + 1, 0);
    const auto bucketOf = [&](const Visit& visit) { return ((visit.first - low) >> shift) & (kBuckets - 1); };
    for (const Visit& visit : visits) ++firsts[bucketOf(visit) + 1];
    for (std::size_t bucket = 1; bucket <= kBuckets; ++bucket) firsts[bucket] += firsts[bucket - 1];
    for (const Visit& visit : visits) other[firsts[bucketOf(visit)]++] = visit;
    visits.swap(other);
  }
  return visits;
}

// Orders `places` by the keys `numbers` holds for them, those marked in
// `last` after all others; places with equal keys keep their order. A stable
// radix sort of the places, a byte of the keys a pass, that skips the bytes in
// which every key is the same: the keys of a sort by date differ in three or
// four of their eight bytes. The places are four bytes each and the keys are
// not moved, so a large list is sorted with little more memory than its keys.
void SortPlaces(std::vector<std::uint32_t>& places, const std::vector<std::uint64_t>& numbers,
                const std::vector<bool>& last) {
  std::uint64_t any = 0, all = ~std::uint64_t{0};
  bool anyLast = false;
  for (const std::uint32_t place : places) {
    any |= numbers[place];
    all &= numbers[place];
    anyLast = anyLast || last[place];
  }
  const std::uint64_t differing = any & ~all;
  std::vector<std::uint32_t> other(places.size());
  std::size_t firsts[256];
  for (int shift = 0; shift < 64; shift += 8) {
    if (((differing >> shift) & 0xFF) == 0) continue;
    std::fill(std::begin(firsts), std::end(firsts), 0);
    for (const std::uint32_t place : places) ++firsts[(numbers[place] >> shift) & 0xFF];
    std::size_t start = 0;
    for (std::size_t& first : firsts) start += std::exchange(first, start);
    for (const std::uint32_t place : places) other[firsts[(numbers[place] >> shift) & 0xFF]++] = place;
    places.swap(other);
  }
  if (anyLast) std::stable_partition(places.begin(), places.end(), [&last](std::uint32_t place) { return !last[place]; });
}

}  // namespace

FeskList::SortKey FeskList::SortKeyOf(const FeskItem& entry, const EntryOrderSettings& order,
                                      const EntryViewSettings& view, const CalendarDate& today,
                                      std::u16string& name) {
  SortKey key;
  key.number = NumberKeyOf(entry, order, today, key.bLast);
  if (order.dwSort == 4) {
    name = NameForSorting(entry, view);
    key.name = &name;
    NamePrefixOf(name, key.namePrefix);
  }
  return key;
}

void FeskList::SortEntries(std::vector<FeskItem*>& rows, const EntryOrderSettings& order,
                           const EntryViewSettings& view, const CalendarDate& today) {
  // Descending, every key but the place is complemented (and names compare
  // the other way), so one comparison of plain numbers serves both
  // directions; the place, the last key, keeps equal rows in their order.
  const std::uint64_t flip = order.bAscending ? 0 : ~std::uint64_t{0};
  // Rows sorted before lie scattered in memory: the entries some rows on
  // are fetched while this one is worked on.
  constexpr std::size_t kAhead = 16;
  const auto fetchAhead = [&rows](std::size_t i) {
    if (i + kAhead < rows.size()) __builtin_prefetch(&rows[i + kAhead]->m_ftDate);
  };
  std::vector<FeskItem*> sorted(rows.size());
  if (order.dwSort != 4) {
    std::vector<std::uint64_t> numbers(rows.size());
    std::vector<bool> last(rows.size());
    std::vector<std::uint32_t> places(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      fetchAhead(i);
      bool isLast = false;
      numbers[i] = NumberKeyOf(*rows[i], order, today, isLast) ^ flip;
      last[i] = isLast;
      places[i] = static_cast<std::uint32_t>(i);
    }
    SortPlaces(places, numbers, last);
    for (std::size_t i = 0; i < rows.size(); ++i) sorted[i] = rows[places[i]];
    rows = std::move(sorted);
    return;
  }
  // By name: the names stand one after the other in one text; a row's name
  // is read only when its first twelve code units equal the other row's.
  struct NameRow {
    std::uint64_t prefix[3];
    std::uint64_t number;
    std::uint32_t place;
    std::uint32_t name;  // in `spans`
  };
  std::vector<NameRow> keyed(rows.size());
  // The entries are visited in the order they lie in memory, not in the
  // order of the rows: that is mostly the order they were loaded in, read
  // front to back, where the rows' order would jump around the whole list.
  std::vector<std::pair<std::uintptr_t, std::uint32_t>> visits = ByAddress(rows);
  std::u16string names;
  // Room for names of a usual length, so the text is seldom moved as it grows.
  names.reserve(rows.size() * 16);
  struct NameSpan {
    std::uint32_t start, size;
  };
  std::vector<NameSpan> spans(rows.size());
  const SortNameWriter writer(view);
  // Keys and names are written in the order of the visits too: the sort
  // does not care where a key starts.
  for (std::size_t k = 0; k < visits.size(); ++k) {
    const FeskItem& entry = *reinterpret_cast<const FeskItem*>(visits[k].first);
    const std::size_t start = names.size();
    writer.Append(entry, names);
    const std::u16string_view name = std::u16string_view(names).substr(start);
    spans[k] = {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(name.size())};
    NameRow& key = keyed[k];
    NamePrefixOf(name, key.prefix);
    for (std::uint64_t& part : key.prefix) part ^= flip;
    bool last = false;
    key.number = NumberKeyOf(entry, order, today, last) ^ flip;
    key.place = visits[k].second;
    key.name = static_cast<std::uint32_t>(k);
  }
  const std::u16string_view all(names);
  const auto nameAt = [&](std::uint32_t row) { return all.substr(spans[row].start, spans[row].size); };
  std::sort(keyed.begin(), keyed.end(), [&](const NameRow& a, const NameRow& b) {
    if (a.prefix[0] != b.prefix[0]) return a.prefix[0] < b.prefix[0];
    if (a.prefix[1] != b.prefix[1]) return a.prefix[1] < b.prefix[1];
    if (a.prefix[2] != b.prefix[2]) return a.prefix[2] < b.prefix[2];
    if (const int byText = nameAt(a.name).compare(nameAt(b.name)); byText != 0) {
      return order.bAscending ? byText < 0 : byText > 0;
    }
    if (a.number != b.number) return a.number < b.number;
    return a.place < b.place;
  });
  for (std::size_t i = 0; i < rows.size(); ++i) sorted[i] = rows[keyed[i].place];
  rows = std::move(sorted);
}

std::vector<FeskItem*> FeskList::ShownEntries(const StorageList& list, const EntryOrderSettings& order,
                                              const EntryViewSettings& view, const CalendarDate& today) {
  if (order.dwSort == 4) {
    std::vector<FeskItem*> shown;
    shown.reserve(list.Count());
    for (StorageItem& item : list) {
      FeskItem* entry = AsEntry(&item);
      if (entry != nullptr && FilterEntry(*entry, order)) shown.push_back(entry);
    }
    SortEntries(shown, order, view, today);
    return shown;
  }
  // The key is made while the entry is at hand for the filter: a second walk
  // over a large list would fetch every entry from memory again. Keys and
  // places are those of the list's items, so no array of the shown entries
  // is needed until they are in order.
  const std::uint64_t flip = order.bAscending ? 0 : ~std::uint64_t{0};
  std::vector<std::uint64_t> numbers(list.Count());
  std::vector<bool> last(list.Count());
  std::vector<std::uint32_t> places;
  places.reserve(list.Count());
  // The entries some items on are fetched while this one is worked on: the
  // line of the item's type and the one of its kind and date.
  constexpr int kAhead = 8;
  auto ahead = list.begin();
  for (int i = 0; i < kAhead && ahead != list.end(); ++i) ++ahead;
  std::uint32_t place = 0;
  for (StorageItem& item : list) {
    if (ahead != list.end()) {
      const char* bytes = reinterpret_cast<const char*>(&*ahead);
      __builtin_prefetch(bytes);
      __builtin_prefetch(bytes + 128);
      ++ahead;
    }
    const FeskItem* entry = AsEntry(&item);
    if (entry != nullptr && FilterEntry(*entry, order)) {
      bool isLast = false;
      numbers[place] = NumberKeyOf(*entry, order, today, isLast) ^ flip;
      last[place] = isLast;
      places.push_back(place);
    }
    ++place;
  }
  SortPlaces(places, numbers, last);
  numbers = {};
  std::vector<FeskItem*> shown(places.size());
  for (std::size_t i = 0; i < places.size(); ++i) shown[i] = static_cast<FeskItem*>(&list.At(places[i]));
  return shown;
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
