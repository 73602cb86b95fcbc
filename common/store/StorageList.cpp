#include "common/store/StorageList.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <unordered_set>

#include "common/store/AtomicFile.h"
#include "common/store/Recurrence.h"
#include "common/store/ScheduleRecord.h"
#include "platform/folder/DataFolder.h"
#include "platform/file/FileIo.h"
#include "platform/file/UniqueFd.h"
#include "platform/text/Utf.h"

namespace {

constexpr std::int32_t kMaxUID = std::numeric_limits<std::int32_t>::max();

std::int32_t Following(std::int32_t uid) { return uid < kMaxUID ? uid + 1 : kMaxUID; }

}  // namespace

StorageList::StorageList(std::string path) : m_szPath(path.empty() ? DefaultPath() : std::move(path)) {}

std::string StorageList::DefaultPath() {
  // Without a usable data folder there is no file: never one in the working folder.
  const std::string folder = platform::GetDataFolder();
  return folder.empty() ? std::string() : folder + "storage.dat";
}

StorageList::~StorageList() = default;

std::unique_ptr<StorageItem> StorageList::CreateItem() const { return std::make_unique<StorageItem>(Weekly, false); }

int StorageList::Compare(const StorageItem& a, const StorageItem& b) const {
  if (a.m_dwKind != b.m_dwKind) {
    const int orderA = KindDisplayOrder(a.m_dwKind);
    const int orderB = KindDisplayOrder(b.m_dwKind);
    if (orderA != orderB) return orderA > orderB ? 1 : -1;
    // Two unknown kinds share one display order; their values keep the order
    // consistent both ways.
    return a.m_dwKind > b.m_dwKind ? 1 : -1;
  }
  // Minutes since midnight: hour first, then minute.
  const auto minuteA = a.m_ftStart / platform::FILETIME_PER_MINUTE % (24 * 60);
  const auto minuteB = b.m_ftStart / platform::FILETIME_PER_MINUTE % (24 * 60);
  if (minuteA == minuteB) return 0;
  return minuteA > minuteB ? 1 : -1;
}

bool StorageList::Filter(const StorageItem&) const { return true; }

namespace {

// The UID an item without one receives. Only after 2^31 ids does the counter
// stand still; then the lowest free id keeps ids unique.
template <typename ForEachUsed>
std::int32_t NewUID(std::int32_t nextUID, ForEachUsed forEachUsed) {
  if (nextUID != kMaxUID) return nextUID;
  std::unordered_set<std::int32_t> used;
  forEachUsed([&used](std::int32_t uid) { used.insert(uid); });
  if (!used.count(nextUID)) return nextUID;
  std::int32_t uid = 1;
  while (used.count(uid)) ++uid;
  return uid;
}

}  // namespace

void StorageList::Append(ItemVector& items, std::unique_ptr<StorageItem> item, std::int32_t& nextUID) {
  if (item->m_nUID <= 0) {
    item->m_nUID = NewUID(nextUID, [&items](const auto& use) {
      for (const auto& it : items) use(it->m_nUID);
    });
  }
  nextUID = Following(nextUID);
  items.push_back(std::move(item));
}

StorageItem* StorageList::Add(std::unique_ptr<StorageItem> item) {
  if (!item) return nullptr;
  StorageItem* added = item.get();
  Append(m_items, std::move(item), m_nNextUID);
  return added;
}

bool StorageList::Remove(StorageItem* item) {
  const auto it = std::find_if(m_items.begin(), m_items.end(), [item](const auto& p) { return p.get() == item; });
  if (it == m_items.end()) return false;
  m_items.erase(it);
  return true;
}

void StorageList::Clear() {
  // Head first, as items expect to be destroyed in list order.
  for (auto& item : m_items) item.reset();
  m_items.clear();
}

StorageItem* StorageList::FindByUID(std::int32_t uid) const {
  for (const auto& item : m_items) {
    if (item->m_nUID == uid) return item.get();
  }
  return nullptr;
}

bool StorageList::WriteTo(BinaryWriter& writer) const {
  bool ok = writer.WriteU16(m_wMagic);
  if (ok && m_wVersion != STORAGE_VERSION_WITHOUT_FIELD) ok = writer.WriteU16(m_wVersion);
  ok = ok && writer.WriteU32(m_dwRevision);
  for (const auto& item : m_items) {
    if (!ok) break;
    ok = item->Write(writer);
  }
  return ok && !writer.Failed();
}

bool StorageList::Save() const {
  if (!ReplaceFileAtomically(m_szPath, [this](BinaryWriter& writer) { return WriteTo(writer); })) return false;
  RememberFileContent();
  return true;
}

bool StorageList::ReadHeader(BinaryReader& reader, std::uint32_t* revision, StorageRefusal* why) const {
  StorageRefusal refusal = StorageRefusal::None;
  std::uint16_t magic = 0, version = 0;
  std::uint32_t fileRevision = 0;
  // A field that cannot be read was cut short, or the read failed.
  const auto missing = [&reader] {
    if (reader.Failed()) return StorageRefusal::ReadError;
    return reader.Position() == 0 ? StorageRefusal::Empty : StorageRefusal::CutShort;
  };
  if (!reader.ReadU16(magic)) {
    refusal = missing();
  } else if (magic != m_wMagic) {
    refusal = StorageRefusal::Foreign;
  } else if (m_wVersion != STORAGE_VERSION_WITHOUT_FIELD && !reader.ReadU16(version)) {
    refusal = missing();
  } else if (m_wVersion != STORAGE_VERSION_WITHOUT_FIELD && version != m_wVersion) {
    refusal = StorageRefusal::OtherLayout;
  } else if (!reader.ReadU32(fileRevision)) {
    refusal = missing();
  } else if ((fileRevision >> 16) != (m_dwRevision >> 16)) {
    // Revisions that differ only in the low word share the record layout.
    refusal = StorageRefusal::OtherLayout;
  }
  if (why) *why = refusal;
  if (refusal != StorageRefusal::None) return false;
  if (revision) *revision = fileRevision;
  return true;
}

int StorageList::ReadRecordStream(BinaryReader& reader, std::int32_t& nextUID, const ItemVisitor& take) const {
  int damaged = 0;
  std::unique_ptr<StorageItem> item;
  for (;;) {
    // A failed read ends the stream as well; the caller sees reader.Failed().
    if (reader.AtEnd() || reader.Failed()) return damaged;
    if (!item) item = CreateItemToRead();
    if (!item) return damaged;
    if (!item->Read(reader)) {
      ++damaged;
      // A skipped record leaves the reader at the next one; anything else
      // means the data ends inside this record.
      if (item->m_eReadState == RecordState::Skipped) {
        item.reset();
        continue;
      }
      return damaged;
    }
    if (item->m_eReadState != RecordState::Whole) ++damaged;
    if (item->m_nUID >= nextUID) nextUID = Following(item->m_nUID);
    take(item);
  }
}

int StorageList::ReadRecords(BinaryReader& reader, ItemVector& items, std::int32_t& nextUID) {
  return ReadRecordStream(reader, nextUID, [&](std::unique_ptr<StorageItem>& item) {
    Append(items, std::move(item), nextUID);
  });
}

namespace {

// Opens the storage file for reading; `why` receives the reason it cannot be.
platform::UniqueFd OpenForReading(const std::string& path, StorageRefusal& why) {
  platform::UniqueFd fd = platform::OpenRegularFile(path, O_RDONLY);
  if (!fd.IsOpen()) why = errno == ENOENT || errno == ENOTDIR ? StorageRefusal::Missing : StorageRefusal::NotRegular;
  return fd;
}

}  // namespace

bool StorageList::ScanFile(const ItemVisitor& visit, int* damaged, StorageRefusal* why) const {
  StorageRefusal refusal = StorageRefusal::None;
  platform::UniqueFd fd = OpenForReading(m_szPath, refusal);
  if (!fd.IsOpen()) {
    if (why) *why = refusal;
    return false;
  }
  BinaryReader reader(fd.Get());
  return ScanFrom(reader, visit, damaged, why);
}

std::int32_t StorageList::ScanUids::Take(std::int32_t stored) {
  if (stored >= m_next) m_next = Following(stored);
  std::int32_t uid = stored;
  if (uid <= 0) {
    uid = NewUID(m_next, [this](const auto& use) {
      for (const std::int32_t handed : m_handed) use(handed);
    });
  }
  m_next = Following(m_next);
  m_handed.push_back(uid);
  return uid;
}

bool StorageList::ScanFrom(BinaryReader& reader, const ItemVisitor& visit, int* damaged, StorageRefusal* why) const {
  if (!ReadHeader(reader, nullptr, why)) return false;
  std::int32_t unused = 1;
  ScanUids uids;
  const int found = ReadRecordStream(reader, unused, [&](std::unique_ptr<StorageItem>& item) {
    item->m_nUID = uids.Take(item->m_nUID);
    visit(item);
  });
  if (damaged) *damaged = found;
  if (reader.Failed()) {
    if (why) *why = StorageRefusal::ReadError;
    return false;
  }
  return true;
}

int StorageList::ReadItems(BinaryReader& reader) { return ReadRecords(reader, m_items, m_nNextUID); }

bool StorageList::Load() {
  platform::UniqueFd fd = OpenForReading(m_szPath, m_eRefusal);
  if (!fd.IsOpen()) return false;
  BinaryReader reader(fd.Get());
  return LoadFrom(reader);
}

bool StorageList::LoadFrom(BinaryReader& reader) {
  if (!ReadHeader(reader, nullptr, &m_eRefusal)) return false;
  // Read aside first: a failed read leaves the list as it was.
  ItemVector items;
  std::int32_t nextUID = m_nNextUID;
  const int damaged = ReadRecords(reader, items, nextUID);
  if (reader.Failed()) {
    m_eRefusal = StorageRefusal::ReadError;
    return false;
  }
  Clear();
  m_items = std::move(items);
  m_nNextUID = nextUID;
  m_nDamagedRecords = damaged;
  m_eRefusal = StorageRefusal::None;
  RememberFileContent();
  return true;
}

void StorageList::RememberFileContent() const {
  // Items without a positive UID (the stars) are never written.
  m_known.Remember(m_items.size(), [this](std::size_t i) {
    // The items some places on are fetched while this one is remembered: a
    // large list does not stay in the cache after its load.
    constexpr std::size_t kAhead = 8;
    if (i + kAhead < m_items.size()) {
      const char* ahead = reinterpret_cast<const char*>(m_items[i + kAhead].get());
      __builtin_prefetch(ahead);
      __builtin_prefetch(ahead + 64);
    }
    return m_items[i].get();
  });
}

bool StorageList::WriteItemState(const StorageItem& item) {
  platform::UniqueFd fd = platform::OpenRegularFile(m_szPath, O_RDWR);
  if (!fd.IsOpen()) return false;
  std::uint32_t statePos = 0;
  {
    // The file as it is now, read as a fresh list would read it.
    BinaryReader reader(fd.Get());
    if (!ReadHeader(reader)) return false;
    ItemVector fresh;
    std::int32_t nextUID = 1;
    ReadRecords(reader, fresh, nextUID);
    // Only part of the file was read: the record may lie further on.
    if (reader.Failed()) return false;
    const auto found =
        std::find_if(fresh.begin(), fresh.end(), [&item](const auto& p) { return p->m_nUID == item.m_nUID; });
    if (found == fresh.end()) return false;
    statePos = (*found)->m_dwStatePos;
  }
  BinaryWriter block;
  WriteStateBlock(block, item);
  return platform::WriteAllAt(fd.Get(), block.Data().data(), block.Data().size(), statePos) && fdatasync(fd.Get()) == 0;
}
