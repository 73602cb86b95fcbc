#pragma once
// The list of all date entries: the records of storage.dat in file order, then
// the read-only stars of the stars file. Adds to the store's list its own
// magic and revision, the entry factory, the order and filter of the main list,
// the stars and the upgrade of files written in the two older revisions.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryRecord.h"
#include "common/entries/EntrySettings.h"
#include "common/entries/FeskItem.h"
#include "common/store/ScheduleRecord.h"
#include "common/store/StorageList.h"

inline constexpr std::uint16_t FESK_MAGIC = 0xCE09;
inline constexpr std::uint32_t FESK_REVISION = 3;

class FeskList : public StorageList {
 public:
  // `path` is the storage file; empty means storage.dat in the data folder.
  explicit FeskList(std::string path = {});

  // A new Birthday entry.
  std::unique_ptr<StorageItem> CreateItem() const override;
  // A Birthday entry without a start: the record read into it sets the
  // start and the date.
  std::unique_ptr<StorageItem> CreateItemToRead() const override;
  // -1, 0 or 1 by the current "Sort" and "Show" settings and today's date.
  // Items that are not entries are ordered as the store orders them.
  int Compare(const StorageItem& a, const StorageItem& b) const override;
  // Whether the entry is shown under the current "Show" settings.
  bool Filter(const StorageItem& item) const override;

  // The same with given settings and date.
  static int CompareEntries(const FeskItem& a, const FeskItem& b, const EntryOrderSettings& order,
                            const EntryViewSettings& view, const CalendarDate& today);

  // An entry's place in that order, worked out once: a sort compares keys,
  // so dates and names are computed once per entry, not once per comparison.
  // CompareEntries compares the keys of its two entries. A key is small and
  // copied as bytes; when sorting by name it points at the name, which
  // SortKeyOf writes to `name` and which must outlive the key.
  struct SortKey {
    // The name's first eight code units, from the high bits of the first
    // down, zeros after its end.
    std::uint64_t namePrefix[2] = {0, 0};
    std::uint64_t number = 0;              // the date and kind parts, 16 bits each, the first deciding
    const std::u16string* name = nullptr;  // sorting by name: the name as sorted; null otherwise
    bool bLast = false;                    // after the others in either direction (no year when sorting by age)
  };
  static SortKey SortKeyOf(const FeskItem& entry, const EntryOrderSettings& order, const EntryViewSettings& view,
                           const CalendarDate& today, std::u16string& name);
  static int CompareSortKeys(const SortKey& a, const SortKey& b, const EntryOrderSettings& order);
  static bool FilterEntry(const FeskItem& entry, const EntryOrderSettings& order);
  // Puts `rows` in the order CompareEntries gives; rows it finds equal keep
  // their order, as a stable sort keeps them. Each entry is visited once to
  // make its key; the sort then moves only small keys.
  static void SortEntries(std::vector<FeskItem*>& rows, const EntryOrderSettings& order,
                          const EntryViewSettings& view, const CalendarDate& today);
  // The entries of `list` that FilterEntry shows, in the order SortEntries
  // gives them when they start in list order. Each entry is read once, for
  // its filter and its key together.
  static std::vector<FeskItem*> ShownEntries(const StorageList& list, const EntryOrderSettings& order,
                                             const EntryViewSettings& view, const CalendarDate& today);

  // The start-up load: reads the file, and a file of revision 1 or 2 is read
  // by its own reader, saved in the current revision and loaded again, so
  // that it is upgraded once; all of it under one hold of the storage mutex,
  // so that no other program's save falls between the read and the upgrade.
  // False (list empty, m_eRefusal says why) for a missing, foreign,
  // non-regular or unreadable file. When the upgraded file cannot be saved the
  // entries read stay in the list, the old file stays as it was, and the
  // result is false.
  // An old file with damaged records or texts too long for the current
  // record (those are cut, the note first) is first copied beside itself
  // (storage.dat.rev1-<time>); without that copy it is not rewritten. A
  // damaged current file is copied likewise (storage.dat.damaged-<time>)
  // before any later save can drop what could not be read. Both are logged.
  bool LoadAndUpgradeStorage(const EntryReminderDefaults& defaults = CurrentReminderDefaults());

  // What ScanAnyRevision found besides the entries.
  struct ScanResult {
    std::uint32_t revision = 0;  // the file's
    int damaged = 0;             // records read in part, skipped or cut off
    // Why the scan returned false: the header was refused (Missing,
    // NotRegular, Empty, Foreign, OtherLayout, CutShort) or reading failed
    // part way (ReadError: the entries visited are only part of the file).
    StorageRefusal refusal = StorageRefusal::None;
  };
  // Reads the open storage file from its start as ScanFile does, and a file
  // of revision 1 or 2 by its own reader, upgraded in memory only: nothing is
  // ever written. False when the header is not accepted or reading failed.
  bool ScanAnyRevision(int fd, const ItemVisitor& visit, ScanResult* result = nullptr,
                       const EntryReminderDefaults& defaults = CurrentReminderDefaults()) const;
  // The same, handing `visit` each entry as a record whose texts are views of
  // the bytes read, valid during the visit only: no item is made and no
  // string copied for a record of the current revision. Records, damage,
  // UIDs and refusals are those ScanAnyRevision gives.
  using RecordVisitor = std::function<void(const EntryRecord&)>;
  bool ScanRecords(int fd, const RecordVisitor& visit, ScanResult* result = nullptr,
                   const EntryReminderDefaults& defaults = CurrentReminderDefaults()) const;
  // A record of the current revision where a scan read it, with the UID
  // the list gives it.
  struct RecordPlace {
    const std::uint8_t* bytes = nullptr;
    std::uint32_t size = 0;
    std::int32_t uid = 0;
  };
  // A MiB and the longest record: a monthly schedule part, the block's
  // length and the largest block.
  static constexpr std::size_t kRecordPieceBytes =
      (std::size_t{1} << 20) + BASE_RECORD_SIZE + MONTHLY_GROUP_SIZE + 2 + MAX_EXTENSION_SIZE;
  // Where a scan of places reads the file: each call gives a piece of
  // kRecordPieceBytes bytes, which the scan fills and frames before it asks
  // for the next. The places in a piece stay valid until the source gives
  // the piece out again.
  using PieceSource = std::function<std::uint8_t*()>;
  // Reads the file as ScanRecords does, but hands `visit` where each record
  // lies instead of decoding it, so that other threads can; an entry of an
  // older revision is written there anew. `result` counts the records cut
  // off or skipped; DecodeRecordPlace and CheckRecords find those whose
  // texts did not end.
  using PlaceVisitor = std::function<void(const RecordPlace&)>;
  bool ScanRecordPlaces(int fd, const PieceSource& pieces, const PlaceVisitor& visit,
                        ScanResult* result = nullptr) const;
  // The record at a place, as ScanRecords hands it; false when one of its
  // texts did not end in it (a damaged record). The texts are views of the
  // place, or of `aligned` where they lie at an odd address (else `aligned`
  // is left empty).
  static bool DecodeRecordPlace(const RecordPlace& place, EntryRecord& record, std::vector<char16_t>& aligned);
  // Reads the file as ScanRecords does, only to find what it would find:
  // the records that are damaged, the refusal, whether it could be read.
  bool CheckRecords(int fd, ScanResult* result) const;
  // The same after opening the list's file; Missing or NotRegular when it
  // cannot be opened.
  bool ScanStorageFile(const ItemVisitor& visit, ScanResult* result = nullptr,
                       const EntryReminderDefaults& defaults = CurrentReminderDefaults()) const;
  // Whether a file of this revision is read by an older revision's reader.
  static bool IsOldRevision(std::uint32_t revision);

  // Set by LoadAndUpgradeStorage when a storage file with content exists but
  // gave no entries (foreign, from a newer version, damaged, unreadable or
  // locked too long). Saving over it would lose the dates it holds, so the application
  // moves it aside before its first save and then clears the flag.
  bool m_bRefusedFile = false;

  // Appends the stars of the stars file named by "STARS_FILE" in the program
  // folder; nothing when there is no such file.
  void LoadStars();
  // The same from a given file. Returns the number of stars appended.
  std::size_t LoadStarsFile(const std::string& path);

  // Copies the reminder state (skip, snooze time and counters) of the entry
  // with the UID from storage.dat into this list's entry, without taking the
  // storage mutex. False when either list lacks the entry.
  bool RefreshItemState(std::int32_t uid);

  // Appends an entry read from a file as a load does: m_nNextUID is first
  // raised above the entry's UID.
  void AppendLoaded(std::unique_ptr<FeskItem> entry);

 private:
  bool LoadAndUpgradeFile(const EntryReminderDefaults& defaults);
  // Reads the records of a current file into pieces (from `pieces` when
  // given) and hands each one not skipped to `visitFramed` with its UID and
  // the damage count; an older file's entries go to `visitOld`.
  using FramedVisitor = std::function<void(std::span<const std::uint8_t>, std::int32_t, int&)>;
  bool ScanFramedRecords(int fd, const PieceSource* pieces, const FramedVisitor& visitFramed,
                          const std::function<void(const FeskItem&)>& visitOld, ScanResult* result,
                          const EntryReminderDefaults& defaults) const;

  std::int32_t m_nNextStarUID = -1;
};

// The spellings of the free functions over a list.
bool LoadStorageLocked(FeskList& list);
bool SaveStorageLocked(const FeskList& list);
bool RefreshItemState(FeskList& list, std::int32_t uid);
