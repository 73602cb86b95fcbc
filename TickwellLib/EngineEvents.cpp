#include "TickwellLib/EngineEvents.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "TickwellLib/DueKeySort.h"
#include "TickwellLib/EventTimes.h"
#include "TickwellLib/PageBlock.h"
#include "TickwellLib/RecordStream.h"

using platform::FileTime;
using platform::TIME_NONE;

namespace {

// Stored in front of the array of item pointers: the block to give back.
struct ResultHeader {
  PageBlock block;
};
constexpr std::size_t kHeaderSpace = (sizeof(ResultHeader) + 15) / 16 * 16;

constexpr std::size_t kSmallestRecord = 38;

std::size_t RecordsAtMost(const ByteSource& source) {
  const std::uint64_t size = source.Size();
  const std::uint64_t records = size / kSmallestRecord + 1;
  return static_cast<std::size_t>(std::min<std::uint64_t>(records, kMaxEngineItems));
}

// What both walks over the records use: the read buffer and one bit per record,
// set for the due ones. From the heap: it is small, and a caller that repeats
// the call finds its pages there.
class WalkArea {
 public:
  explicit WalkArea(std::size_t records) : m_words(records / 64 + 1) {
    m_memory.reset(static_cast<std::uint64_t*>(std::malloc(RecordStream::kBufferSize + m_words * 8)));
    if (m_memory) std::memset(Due(), 0, m_words * 8);
  }
  bool Allocated() const { return m_memory != nullptr; }
  std::uint8_t* Buffer() { return reinterpret_cast<std::uint8_t*>(m_memory.get()); }
  void MarkDue(std::size_t record) { Due()[record / 64] |= std::uint64_t{1} << (record % 64); }
  bool IsDue(std::size_t record) { return (Due()[record / 64] & (std::uint64_t{1} << (record % 64))) != 0; }

 private:
  struct Free {
    void operator()(std::uint64_t* p) const { std::free(p); }
  };
  std::uint64_t* Due() { return m_memory.get() + RecordStream::kBufferSize / 8; }
  std::size_t m_words;
  std::unique_ptr<std::uint64_t, Free> m_memory;
};

// Walk one: which records are due, their keys in file order, the nearest count
// and the room the extension blocks take. The keys block has room for the sort.
struct DueScan {
  PageBlock keys;
  std::size_t count = 0;
  std::size_t extBytes = 0;
  std::int32_t nearest = 0;
};

bool ScanForActiveEvents(const ByteSource& source, FileTime now, WalkArea& area, DueScan& scan) {
  RecordStream records(source, area.Buffer());
  if (!records.ReadHeader()) return false;
  // Room for a key per record the file could hold; only the keys of the due
  // ones are touched, and for a small file those few come from the heap.
  constexpr std::size_t kHeapKeys = 256u * 1024;
  const std::size_t most = RecordsAtMost(source);
  const std::size_t keysSize = most * sizeof(DueKey) + DueKeySortSpace(most);
  scan.keys = keysSize < kHeapKeys ? AllocateHeapBlock(keysSize) : AllocatePageBlock(keysSize);
  if (scan.keys.data == nullptr) return true;
  auto* keys = static_cast<DueKey*>(scan.keys.data);
  FileTime earliest = TIME_NONE;
  RecordView record;
  while (records.Next(record)) {
    const ScheduleFields& f = record.fields;
    if (f.m_bEnabled == 0) continue;
    const FileTime collected = CollectedTime(f, now);
    if (collected == TIME_NONE) continue;
    if (collected < earliest) {
      earliest = collected;
      scan.nearest = 0;
    }
    if (collected == earliest) ++scan.nearest;
    area.MarkDue(records.Count() - 1);
    keys[scan.count] = {ReportedTime(f, collected, now), f.m_nUID, static_cast<std::uint32_t>(scan.count)};
    ++scan.count;
    scan.extBytes += record.extLength;
  }
  return true;
}

// A large keys block is given back at once: kept, its pages would add to the
// process's peak while the result is filled.
void FreeKeys(PageBlock& keys) {
  constexpr std::size_t kKeptKeys = 2u * 1024 * 1024;
  FreePageBlock(keys, keys.size <= kKeptKeys ? BlockReuse::Keep : BlockReuse::Drop);
}

// Between the walks, the sorted place and reported time of each due record, by
// its place among the due records in file order. They sit at the end of the
// items' room, where the second walk, writing the items in file order, reaches
// entry k only with item k, after reading it: item k ends at (k + 1) * S
// bytes, entry k + 1 starts at (S - 12) * count + 12 * (k + 1), and k < count.
struct Placement {
  std::uint32_t rank;
  std::uint32_t nextLow;
  std::uint32_t nextHigh;
};
static_assert(sizeof(EngineItem) >= sizeof(Placement) && alignof(EngineItem) % alignof(Placement) == 0);

Placement* PlacementsIn(EngineItem* items, std::size_t count) {
  return reinterpret_cast<Placement*>(reinterpret_cast<std::uint8_t*>(items + count) - count * sizeof(Placement));
}

// An item with the record's fields (none for null) and the placement's time,
// without an extension block. The padding is cleared too: a kept block holds
// an earlier result.
void SetItem(EngineItem& item, const Placement& placement, const ScheduleFields* fields) {
  std::memset(&item, 0, sizeof item);
  if (fields != nullptr) item.fields = *fields;
  item.fields.m_ftNext = placement.nextLow | static_cast<FileTime>(placement.nextHigh) << 32;
}

// Walk two: the due records again, each item in file order with its stored
// place and time, its pointer into its sorted slot.
void FillItems(const ByteSource& source, WalkArea& area, std::size_t count, std::size_t extBytes, EngineItem** array,
               EngineItem* items, std::uint8_t* ext) {
  const Placement* placements = PlacementsIn(items, count);
  RecordStream records(source, area.Buffer());
  if (!records.ReadHeader()) return;
  std::size_t ordinal = 0;
  std::size_t extUsed = 0;
  RecordView record;
  while (ordinal < count && records.Next(record)) {
    if (!area.IsDue(records.Count() - 1)) continue;
    const Placement placement = placements[ordinal];
    EngineItem& item = items[ordinal];
    SetItem(item, placement, &record.fields);
    // The file is read under the storage mutex; should it change anyway, the
    // blocks never run past their room.
    if (record.extLength != 0 && extUsed + record.extLength <= extBytes) {
      std::memcpy(ext + extUsed, record.ext, record.extLength);
      item.m_pExtData = ext + extUsed;
      item.m_wExtLength = record.extLength;
      extUsed += record.extLength;
    }
    array[placement.rank] = &item;
    ++ordinal;
  }
  // A file that changed in spite of the mutex: the items not met again keep
  // their times only, so every slot still points at an item.
  for (; ordinal < count; ++ordinal) {
    const Placement placement = placements[ordinal];
    SetItem(items[ordinal], placement, nullptr);
    array[placement.rank] = &items[ordinal];
  }
}

}  // namespace

bool BuildActiveEvents(const ByteSource& source, FileTime now, ActiveEventArray& out) {
  out = {};
  WalkArea area(RecordsAtMost(source));
  if (!area.Allocated()) return RecordStream(source).ReadHeader();
  DueScan scan;
  if (!ScanForActiveEvents(source, now, area, scan)) return false;
  if (scan.count == 0) {
    FreeKeys(scan.keys);
    return true;
  }
  const std::size_t count = scan.count;
  auto* keys = static_cast<DueKey*>(scan.keys.data);
  const DueKey* sorted = SortDueKeys(keys, count, keys + count);

  const std::size_t itemsOffset = kHeaderSpace + count * sizeof(EngineItem*);
  const std::size_t extOffset = itemsOffset + count * sizeof(EngineItem);
  ResultHeader header;
  header.block = AllocatePageBlock(extOffset + scan.extBytes);
  auto* base = static_cast<std::uint8_t*>(header.block.data);
  if (base == nullptr) {
    FreeKeys(scan.keys);
    return true;
  }
  auto** array = reinterpret_cast<EngineItem**>(base + kHeaderSpace);
  auto* items = reinterpret_cast<EngineItem*>(base + itemsOffset);
  Placement* placements = PlacementsIn(items, count);
  for (std::size_t r = 0; r < count; ++r) {
    const DueKey& key = sorted[r];
    placements[key.ordinal] = {static_cast<std::uint32_t>(r), static_cast<std::uint32_t>(key.next),
                               static_cast<std::uint32_t>(key.next >> 32)};
  }
  FreeKeys(scan.keys);
  FillItems(source, area, count, scan.extBytes, array, items, base + extOffset);
  std::memcpy(base, &header, sizeof header);
  out.count = static_cast<std::int32_t>(count);
  out.nearest = scan.nearest;
  out.items = array;
  return true;
}

void ReleaseActiveEventArray(std::int32_t, EngineItem** items) {
  if (items == nullptr) return;
  ResultHeader header;
  std::memcpy(&header, reinterpret_cast<std::uint8_t*>(items) - kHeaderSpace, sizeof header);
  FreePageBlock(header.block, BlockReuse::Keep);
}

bool ScanDueEvents(const ByteSource& source, FileTime now, DueEvents& due) {
  RecordStream records(source);
  if (!records.ReadHeader()) return false;
  RecordView record;
  while (records.Next(record)) {
    const ScheduleFields& f = record.fields;
    if (f.m_bEnabled == 0) continue;
    ++due.enabled;
    const FileTime collected = CollectedTime(f, now);
    if (collected == TIME_NONE) continue;
    ++due.active;
    if (collected < due.earliest) {
      due.earliest = collected;
      due.nearestUids.clear();
    }
    if (collected == due.earliest) due.nearestUids.push_back(f.m_nUID);
  }
  due.total = static_cast<std::int32_t>(records.Count());
  std::sort(due.nearestUids.begin(), due.nearestUids.end());
  return true;
}

