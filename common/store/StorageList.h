#pragma once
// The ordered collection of schedule items and its file, storage.dat.
//
// File: u16 magic, u16 version (absent when the version is 0x0101), u32
// revision, then one record per item in list order up to the end of the file.
// A file is accepted when magic and version match the list's and the revision
// has the same high 16 bits as the list's.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/store/BinaryReader.h"
#include "common/store/BinaryWriter.h"
#include "common/store/KnownRecords.h"
#include "common/store/StorageItem.h"

inline constexpr std::uint16_t STORAGE_MAGIC = 0xCE00;
inline constexpr std::uint16_t STORAGE_VERSION = 0x0103;
// A list of this version writes no version field.
inline constexpr std::uint16_t STORAGE_VERSION_WITHOUT_FIELD = 0x0101;
inline constexpr std::uint32_t STORAGE_REVISION = 1;
// Waits for the storage mutex, in milliseconds.
inline constexpr std::uint32_t STORAGE_MUTEX_TIMEOUT = 100'000;
inline constexpr std::uint32_t STORAGE_STATE_MUTEX_TIMEOUT = 180'000;

// Why a load or scan gave no list.
enum class StorageRefusal {
  None,         // the header was accepted and the records were read to the end
  Missing,      // there is no file
  NotRegular,   // not a regular file, or it cannot be opened
  Empty,        // the file holds no byte
  Foreign,      // another kind of file: the magic differs
  OtherLayout,  // another version, or a revision with another record layout
  CutShort,     // the file ends inside the header
  ReadError,    // reading failed; what was read before is not used
  Locked,       // the storage mutex was not acquired in time
};

class StorageList {
  using ItemVector = std::vector<std::unique_ptr<StorageItem>>;

 public:
  // Walks the items in list order as StorageItem&.
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = StorageItem;
    using difference_type = std::ptrdiff_t;
    using pointer = StorageItem*;
    using reference = StorageItem&;
    Iterator() = default;
    explicit Iterator(ItemVector::const_iterator it) : m_it(it) {}
    StorageItem& operator*() const { return **m_it; }
    StorageItem* operator->() const { return m_it->get(); }
    Iterator& operator++() {
      ++m_it;
      return *this;
    }
    Iterator operator++(int) {
      Iterator old = *this;
      ++m_it;
      return old;
    }
    bool operator==(const Iterator& other) const = default;

   private:
    ItemVector::const_iterator m_it;
  };

  // `path` is the storage file; empty means DefaultPath().
  explicit StorageList(std::string path = {});
  virtual ~StorageList();
  StorageList(const StorageList&) = delete;
  StorageList& operator=(const StorageList&) = delete;

  // The data folder + "storage.dat"; empty when the data folder cannot be used.
  static std::string DefaultPath();

  // A new item of the list's kind, for loading; the base list makes a Weekly item.
  virtual std::unique_ptr<StorageItem> CreateItem() const;
  // The item each record is read into. The base gives CreateItem(); a list
  // whose records set every field CreateItem takes from the clock may skip
  // reading the clock for each record.
  virtual std::unique_ptr<StorageItem> CreateItemToRead() const { return CreateItem(); }
  // Display order: -1, 0 or 1. Kinds by their display order; items of one kind
  // by the hour and minute of their start.
  virtual int Compare(const StorageItem& a, const StorageItem& b) const;
  // Whether the item is shown; the base list shows every item.
  virtual bool Filter(const StorageItem& item) const;

  // Appends the item. An item without a UID (0 or negative) receives
  // m_nNextUID; m_nNextUID then rises by one, for every item added.
  StorageItem* Add(std::unique_ptr<StorageItem> item);
  // Destroys the item; false when it is not in this list.
  bool Remove(StorageItem* item);
  void Clear();

  // Hands over every item in list order and leaves the list empty.
  std::vector<std::unique_ptr<StorageItem>> TakeItems() { return std::exchange(m_items, {}); }
  std::size_t Count() const { return m_items.size(); }
  bool IsEmpty() const { return m_items.empty(); }
  StorageItem& At(std::size_t index) const { return *m_items[index]; }
  Iterator begin() const { return Iterator(m_items.begin()); }
  Iterator end() const { return Iterator(m_items.end()); }
  // The first item with this UID, or nullptr.
  StorageItem* FindByUID(std::int32_t uid) const;

  // Replaces the file with the list's header and records. The old file stays
  // whole when writing fails. A new file is made 0600 whatever the umask.
  bool Save() const;
  // Reads the file. False (list unchanged, m_eRefusal says why) when it is
  // missing, not a regular file, its header is not accepted or reading it
  // failed: a read error is never taken for the end of the file. Otherwise
  // the list holds every record that could be read: a damaged record that
  // states its own length is kept in part or skipped, and loading goes on
  // after it; a record cut off by the end of the file ends the load.
  // m_nDamagedRecords counts both.
  bool Load();
  // What Load does once the file is open: the same rules for any reader.
  bool LoadFrom(BinaryReader& reader);
  // Reads the file as Load does, but hands each item read to `visit` instead
  // of keeping it: the UID is assigned as Load would. The visitor may take the
  // item (move it out); one it leaves is read over by the next record, so the
  // fields a record does not hold keep the last record's values. False, with
  // nothing visited, when the header is not accepted; `damaged` receives what
  // m_nDamagedRecords would, `why` the reason of a false result. False as
  // well when reading fails part way: the items visited until then are only
  // part of the file. The list itself is left unchanged.
  using ItemVisitor = std::function<void(std::unique_ptr<StorageItem>&)>;
  // The UIDs a scan gives the records it reads, in file order, as Load would:
  // a record stored without one gets the next free one.
  class ScanUids {
   public:
    std::int32_t Take(std::int32_t stored);

   private:
    std::int32_t m_next = 1;
    std::vector<std::int32_t> m_handed;  // for the rare case the counter stands still
  };
  bool ScanFile(const ItemVisitor& visit, int* damaged = nullptr, StorageRefusal* why = nullptr) const;
  // What ScanFile does once the file is open.
  bool ScanFrom(BinaryReader& reader, const ItemVisitor& visit, int* damaged = nullptr,
                StorageRefusal* why = nullptr) const;
  // Load and Save under the storage mutex; false when it was not acquired in time.
  bool LoadStorageLocked(std::uint32_t timeoutMs = STORAGE_MUTEX_TIMEOUT);
  bool SaveStorageLocked(std::uint32_t timeoutMs = STORAGE_MUTEX_TIMEOUT) const;
  // Runs `operation` while holding the storage mutex of the list's file; false
  // without running it when the mutex was not acquired in time.
  bool WithStorageMutex(std::uint32_t timeoutMs, const std::function<bool()>& operation) const;
  // Writes the item's state block into the file in place, at the position of the
  // record with the same UID in the file as it is now. The caller holds the
  // storage mutex. False when the file cannot be opened or read, holds no such
  // record, or the write fails.
  bool WriteItemState(const StorageItem& item);

  // The header and the records, as Save writes them.
  bool WriteTo(BinaryWriter& writer) const;
  // Checks the header against the list's; `revision` receives the file's and
  // `why` the reason of a refusal.
  bool ReadHeader(BinaryReader& reader, std::uint32_t* revision = nullptr, StorageRefusal* why = nullptr) const;
  // Reads records after an accepted header and appends them; returns the
  // number of damaged records among them.
  int ReadItems(BinaryReader& reader);

  std::uint16_t m_wMagic = STORAGE_MAGIC;
  std::uint16_t m_wVersion = STORAGE_VERSION;
  std::uint32_t m_dwRevision = STORAGE_REVISION;
  std::int32_t m_nNextUID = 1;
  std::string m_szPath;
  // Records of the last Load that were read only in part, skipped or cut off.
  int m_nDamagedRecords = 0;
  // Why the last Load returned false; None after one that succeeded.
  StorageRefusal m_eRefusal = StorageRefusal::None;
  // The records of the file as this list last read or wrote it (see
  // KnownRecords). Load and Save keep it.
  mutable KnownRecords m_known;
  // Makes m_known what the list holds now.
  void RememberFileContent() const;

 private:
  // Loads records into `items`, assigning UIDs from `nextUID` as Add does.
  int ReadRecords(BinaryReader& reader, ItemVector& items, std::int32_t& nextUID);
  // Reads records and hands each whole or repaired one to `take`, which may
  // move it out; returns the number of damaged records.
  int ReadRecordStream(BinaryReader& reader, std::int32_t& nextUID, const ItemVisitor& take) const;
  static void Append(ItemVector& items, std::unique_ptr<StorageItem> item, std::int32_t& nextUID);

  ItemVector m_items;
};
