#pragma once
// One date the user keeps: a birthday, an anniversary, an other date, or a
// read-only star from the stars file. The base part holds the yearly reminder
// schedule; the entry adds the date itself, names, note, picture and its own
// sound and reminder choices, stored in an extension block after the base record:
//
//   u16 length: bytes that follow (38 + 2 x (characters of the strings + strings))
//   u16 kind, u32 contact id, u64 date, u32 picture, u32 own sound, u32 sound type,
//   u32 sound source, u32 volume, u32 own reminder,
//   UTF-16LE strings, each with a terminating zero:
//     Birthday: first name, last name, note, sound file; others: name, note, sound file.
//
// Empty strings stand for absent ones. Entries never hold a Qt type: pictures
// are answered as numbers (EntryPictures.h).
#include <cstdint>
#include <string>

#include "common/entries/EntryKind.h"
#include "common/entries/EntrySettings.h"
#include "common/entries/EntryStringSet.h"
#include "common/store/StorageItem.h"

// The fixed fields of the extension block, in bytes, after its length field.
inline constexpr std::uint16_t kEntryFixedFieldsSize = 38;

class FeskItem : public StorageItem {
 public:
  // A Yearly item without seconds whose date is its start (now, to the minute).
  explicit FeskItem(std::uint16_t kind = Birthday);
  // The same with the given start and date instead of now.
  FeskItem(std::uint16_t kind, platform::FileTime start);

  // A star writes nothing and succeeds. Otherwise the base record and the
  // extension block; false at the first failed write, or when the strings do
  // not fit the block's 16-bit length (nothing of the block is written then).
  bool Write(BinaryWriter& writer) const override;
  // The base record and the extension block. False on a short read, a length
  // too small for the fixed fields, or a string that does not end inside the
  // block; the strings are cleared first, so a failed read leaves none of the
  // old ones. Bytes after the last string are skipped, so the next record is
  // read from where the length says it starts.
  bool Read(BinaryReader& reader) override;

  // The name the list shows, by the current "Display Names" setting.
  std::u16string GetDisplayName() const override;
  std::u16string GetDisplayName(const EntryViewSettings& view) const;
  // The second line of the entry's row, by the current view settings.
  std::u16string GetDetailText() const override;
  // Picture numbers of the icon library: the star picture for a star, else m_dwIcon.
  int GetIcon() const override;
  int GetSelectedIcon() const override;

  // Status pictures (EntryPictures.h): reminder snoozed, skipped or on, then the note.
  int GetStatusIconCount() const override;
  StatusIconSize GetStatusIconSize() const override;
  int GetStatusIcon(int index) const override;

  // The editor of the entry's kind, through the hook the program registered
  // (EntryEditorHook.h); 2 when none is registered.
  int Edit(void* parent) override;

  bool IsStar() const { return m_bStar != 0; }
  // Whether a snoozed reminder of the entry is still to come back after `now`.
  bool IsSnoozed(platform::FileTime now) const { return m_bEnabled && m_ftSnooze > now; }
  bool HasNote() const { return !Note().empty(); }
  // False for a date kept without a year (kYearUnknown, EntryCalendar.h).
  bool HasYear() const;

  // The texts, each empty when absent: name for anniversaries and other
  // dates, first and last name for birthdays.
  EntryText Name() const { return m_texts.Get(EntryStringSet::Name); }
  EntryText FirstName() const { return m_texts.Get(EntryStringSet::FirstName); }
  EntryText LastName() const { return m_texts.Get(EntryStringSet::LastName); }
  EntryText Note() const { return m_texts.Get(EntryStringSet::Note); }
  EntryText SoundFile() const { return m_texts.Get(EntryStringSet::SoundFile); }
  void SetName(EntryText text) { m_texts.Set(EntryStringSet::Name, text); }
  void SetFirstName(EntryText text) { m_texts.Set(EntryStringSet::FirstName, text); }
  void SetLastName(EntryText text) { m_texts.Set(EntryStringSet::LastName, text); }
  void SetNote(EntryText text) { m_texts.Set(EntryStringSet::Note, text); }
  void SetSoundFile(EntryText text) { m_texts.Set(EntryStringSet::SoundFile, text); }
  EntryStringSet& Texts() { return m_texts; }
  const EntryStringSet& Texts() const { return m_texts; }

  // The fields stand in an order that leaves almost no padding, the first
  // four in what the base part leaves free at its end: every entry of a large
  // list is held in memory. The yes-or-no fields are stored as 32 bits and
  // held as 0 or 1.
  std::uint8_t m_bStar = 0;
  std::uint8_t m_bOwnSound = 0;
  std::uint16_t m_wKind = Birthday;
  std::uint8_t m_bOwnReminder = 0;
  std::uint32_t m_dwContactOid = 0;
  platform::FileTime m_ftDate = 0;  // only year, month and day count
  std::uint32_t m_dwSoundType = 0;
  std::uint32_t m_dwSoundSource = 0;
  std::uint32_t m_dwVolume = 0;
  std::uint32_t m_dwIcon = 0;

 private:
  EntryStringSet m_texts;
};

// With its allocation's header, an entry of 136 bytes takes 144 of the heap,
// one of 144 bytes 160.
static_assert(sizeof(void*) != 8 || sizeof(FeskItem) <= 136);

// Reads the fixed fields of an extension block, in their stored order.
inline bool ReadEntryFixedFields(BinaryReader& fields, std::uint16_t& kind, std::uint32_t& contactOid,
                                 platform::FileTime& date, std::uint32_t& icon, std::uint32_t& ownSound,
                                 std::uint32_t& soundType, std::uint32_t& soundSource, std::uint32_t& volume,
                                 std::uint32_t& ownReminder) {
  return fields.ReadU16(kind) && fields.ReadU32(contactOid) && fields.ReadU64(date) && fields.ReadU32(icon) &&
         fields.ReadU32(ownSound) && fields.ReadU32(soundType) && fields.ReadU32(soundSource) &&
         fields.ReadU32(volume) && fields.ReadU32(ownReminder);
}

// The same into an entry, whose yes-or-no fields hold 0 or 1.
inline bool ReadEntryFixedFields(BinaryReader& fields, FeskItem& entry) {
  std::uint32_t ownSound = 0, ownReminder = 0;
  if (!ReadEntryFixedFields(fields, entry.m_wKind, entry.m_dwContactOid, entry.m_ftDate, entry.m_dwIcon, ownSound,
                            entry.m_dwSoundType, entry.m_dwSoundSource, entry.m_dwVolume, ownReminder)) {
    return false;
  }
  entry.m_bOwnSound = ownSound != 0 ? 1 : 0;
  entry.m_bOwnReminder = ownReminder != 0 ? 1 : 0;
  return true;
}

// The entry behind a list item, or nullptr when the item is not an entry.
const FeskItem* AsEntry(const StorageItem* item);
FeskItem* AsEntry(StorageItem* item);
