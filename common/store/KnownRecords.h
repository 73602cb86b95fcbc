#pragma once
// The records of the storage file as a list last read or wrote it: each UID
// with its reminder state. A save that must not drop what other programs wrote
// meanwhile compares the file with this.
//
// A load remembers every record at once, so their UIDs go into one array
// sorted by UID (4 bytes a record, no allocation per record). Most records
// have no reminder state at all; the few that have one keep it in a map.
// Records seen later, one at a time, go into a small map beside them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

class StorageItem;

struct KnownRecordState {
  std::uint16_t wSkipNext = 0;
  std::uint64_t ftSnooze = 0;
  std::uint32_t dwAutoSnoozeCounter = 0;
  std::uint32_t dwSnoozeCounter = 0;
  bool operator==(const KnownRecordState&) const = default;
  static KnownRecordState Of(const StorageItem& item);
  void ApplyTo(StorageItem& item) const;
};

class KnownRecords {
 public:
  // Forgets everything, then remembers `count` records at once: `each(i)`
  // gives the i-th item, or nullptr for one never written (no positive UID).
  template <typename ItemAt>
  void Remember(std::size_t count, ItemAt each) {
    Clear();
    m_uids.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
      if (const StorageItem* item = each(i)) Add(*item);
    }
    Sort();
  }
  void Clear();

  std::optional<KnownRecordState> Find(std::int32_t uid) const;
  bool Contains(std::int32_t uid) const { return Find(uid).has_value(); }
  // Remembers the state of that UID, replacing what was remembered.
  void Set(std::int32_t uid, const KnownRecordState& state);
  // False when nothing was remembered of that UID.
  bool Forget(std::int32_t uid);

 private:
  void Add(const StorageItem& item);
  void Sort();
  // Where the UID stands among the loaded records, or -1.
  std::ptrdiff_t Position(std::int32_t uid) const;

  std::vector<std::int32_t> m_uids;
  std::vector<bool> m_gone;  // forgotten since it was remembered, by position
  // The loaded records' states that are not all zero.
  std::unordered_map<std::int32_t, KnownRecordState> m_states;
  std::unordered_map<std::int32_t, KnownRecordState> m_later;
};
