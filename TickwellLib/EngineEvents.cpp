#include "TickwellLib/EngineEvents.h"

#include <algorithm>
#include <cstring>

#include "TickwellLib/EventTimes.h"
#include "TickwellLib/PageBlock.h"
#include "TickwellLib/RecordStream.h"

using platform::FileTime;
using platform::TIME_NONE;

namespace {

// A due item while the records are walked: its reported time and UID (the sort
// keys) and its place among the due items in file order.
struct DueKey {
  FileTime next;
  std::int32_t uid;
  std::uint32_t ordinal;
};

// Stored in front of the array of item pointers: the two blocks to free.
struct ResultHeader {
  PageBlock items;
  PageBlock ext;
};
constexpr std::size_t kHeaderSpace = (sizeof(ResultHeader) + 15) / 16 * 16;

constexpr std::size_t kSmallestRecord = 38;

std::size_t RecordsAtMost(const ByteSource& source) {
  const std::uint64_t size = source.Size();
  const std::uint64_t records = size / kSmallestRecord + 1;
  return static_cast<std::size_t>(std::min<std::uint64_t>(records, kMaxEngineItems));
}

// Walk one: which records are due, their keys, the nearest count and the room
// the extension blocks take.
struct DueScan {
  PageBlock keys;
  std::size_t count = 0;
  std::vector<std::uint64_t> dueRecords;  // one bit per record
  std::size_t extBytes = 0;
  std::int32_t nearest = 0;
};

bool ScanForActiveEvents(const ByteSource& source, FileTime now, DueScan& scan) {
  RecordStream records(source);
  if (!records.ReadHeader()) return false;
  const std::size_t most = RecordsAtMost(source);
  scan.keys = AllocatePageBlock(most * sizeof(DueKey));
  if (scan.keys.data == nullptr) return true;
  scan.dueRecords.assign(most / 64 + 1, 0);
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
    const std::size_t index = records.Count() - 1;
    scan.dueRecords[index / 64] |= std::uint64_t{1} << (index % 64);
    keys[scan.count] = {ReportedTime(f, collected, now), f.m_nUID, static_cast<std::uint32_t>(scan.count)};
    ++scan.count;
    scan.extBytes += record.extLength;
  }
  return true;
}

// Walk two: the due records again, each into its place in the sorted array.
// `place[ordinal]` is the sorted position of the ordinal-th due record.
void FillItems(const ByteSource& source, const DueScan& scan, const std::uint32_t* place, EngineItem* items,
               std::uint8_t* ext) {
  RecordStream records(source);
  if (!records.ReadHeader()) return;
  std::size_t ordinal = 0;
  std::size_t extUsed = 0;
  RecordView record;
  while (ordinal < scan.count && records.Next(record)) {
    const std::size_t index = records.Count() - 1;
    if ((scan.dueRecords[index / 64] & (std::uint64_t{1} << (index % 64))) == 0) continue;
    EngineItem& item = items[place[ordinal++]];
    const FileTime next = item.fields.m_ftNext;
    item.fields = record.fields;
    item.fields.m_ftNext = next;
    // The file is read under the storage mutex; should it change anyway, the
    // blocks never run past their room.
    if (record.extLength != 0 && extUsed + record.extLength <= scan.extBytes) {
      std::memcpy(ext + extUsed, record.ext, record.extLength);
      item.m_pExtData = ext + extUsed;
      item.m_wExtLength = record.extLength;
      extUsed += record.extLength;
    }
  }
}

}  // namespace

bool BuildActiveEvents(const ByteSource& source, FileTime now, ActiveEventArray& out) {
  out = {};
  DueScan scan;
  if (!ScanForActiveEvents(source, now, scan)) return false;
  if (scan.count == 0) {
    FreePageBlock(scan.keys);
    return true;
  }
  auto* keys = static_cast<DueKey*>(scan.keys.data);
  // The reported times are final: one sort, ties by UID, then by file order.
  std::sort(keys, keys + scan.count, [](const DueKey& a, const DueKey& b) {
    if (a.next != b.next) return a.next < b.next;
    if (a.uid != b.uid) return a.uid < b.uid;
    return a.ordinal < b.ordinal;
  });

  const std::size_t count = scan.count;
  ResultHeader header;
  header.items = AllocatePageBlock(kHeaderSpace + count * (sizeof(EngineItem*) + sizeof(EngineItem)));
  auto* base = static_cast<std::uint8_t*>(header.items.data);
  if (base == nullptr) {
    FreePageBlock(scan.keys);
    return true;
  }
  auto** array = reinterpret_cast<EngineItem**>(base + kHeaderSpace);
  auto* items = reinterpret_cast<EngineItem*>(array + count);
  // Until the items are filled, the pointer slots hold each due record's place.
  auto* place = reinterpret_cast<std::uint32_t*>(array);
  for (std::size_t r = 0; r < count; ++r) {
    items[r].fields.m_ftNext = keys[r].next;
    place[keys[r].ordinal] = static_cast<std::uint32_t>(r);
  }
  FreePageBlock(scan.keys);

  header.ext = AllocatePageBlock(scan.extBytes);
  if (scan.extBytes != 0 && header.ext.data == nullptr) {
    FreePageBlock(header.items);
    return true;
  }
  FillItems(source, scan, place, items, static_cast<std::uint8_t*>(header.ext.data));
  for (std::size_t r = count; r-- > 0;) array[r] = &items[r];
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
  FreePageBlock(header.ext);
  FreePageBlock(header.items);
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

