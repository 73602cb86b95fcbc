#include "common/entries/FeskItem.h"

#include <array>
#include <typeinfo>
#include <vector>

#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryPictures.h"
#include "common/entries/EntryRecord.h"
#include "common/entries/EntryStrings.h"
#include "common/entries/EntryTexts.h"
#include "common/store/Recurrence.h"
#include "common/store/ScheduleRecord.h"

FeskItem::FeskItem(std::uint16_t kind) : StorageItem(Yearly, false), m_wKind(kind), m_ftDate(m_ftStart) {}

FeskItem::FeskItem(std::uint16_t kind, platform::FileTime start)
    : StorageItem(Yearly, false, start), m_wKind(kind), m_ftDate(m_ftStart) {}

bool FeskItem::HasYear() const { return !IsYearUnknown(DateOfFileTime(m_ftDate)); }

bool FeskItem::Write(BinaryWriter& writer) const {
  // Stars come from their own file and never enter storage.dat.
  if (IsStar()) return true;
  BinaryWriter block;
  block.WriteU16(m_wKind);
  block.WriteU32(m_dwContactOid);
  block.WriteU64(m_ftDate);
  block.WriteU32(m_dwIcon);
  block.WriteU32(m_bOwnSound);
  block.WriteU32(m_dwSoundType);
  block.WriteU32(m_dwSoundSource);
  block.WriteU32(m_dwVolume);
  block.WriteU32(m_bOwnReminder);
  if (m_wKind == Birthday) {
    WriteEntryString(block, FirstName());
    WriteEntryString(block, LastName());
  } else {
    WriteEntryString(block, Name());
  }
  WriteEntryString(block, Note());
  WriteEntryString(block, SoundFile());
  // A length that wrapped around would make the rest of the file unreadable.
  if (block.Data().size() > MAX_EXTENSION_SIZE) return false;
  return StorageItem::Write(writer) && WriteExtensionBlock(writer, block.Data());
}

bool FeskItem::Read(BinaryReader& reader) {
  const auto clearStrings = [this] { m_texts.Clear(); };
  if (!StorageItem::Read(reader)) {
    clearStrings();
    return false;
  }
  // The whole block first: its length says where the next record starts,
  // whatever is wrong inside it.
  std::uint16_t length = 0;
  std::vector<std::uint8_t> spill;
  std::span<const std::uint8_t> block;
  if (!reader.ReadU16(length) || !reader.ReadView(length, block, spill)) {
    clearStrings();
    return false;
  }
  BinaryReader fields(block);
  if (!ReadEntryFixedFields(fields, *this)) {
    clearStrings();
    m_eReadState = RecordState::Skipped;
    return false;
  }
  if (!ReadEntryStrings(block.subspan(kEntryFixedFieldsSize), true, *this)) {
    m_eReadState = RecordState::Repaired;
  }
  return true;
}

EntryRecord EntryRecordOf(const FeskItem& entry, std::u16string& texts) {
  EntryRecord record;
  record.schedule = entry;
  record.kind = entry.m_wKind;
  record.contactOid = entry.m_dwContactOid;
  record.date = entry.m_ftDate;
  record.icon = entry.m_dwIcon;
  record.ownSound = entry.m_bOwnSound;
  record.soundType = entry.m_dwSoundType;
  record.soundSource = entry.m_dwSoundSource;
  record.volume = entry.m_dwVolume;
  record.ownReminder = entry.m_bOwnReminder;
  const EntryStringSet::Texts all = entry.Texts().All();
  std::size_t units = 0;
  for (const EntryText& text : all) units += text.size();
  texts.clear();
  texts.reserve(units);
  std::array<std::u16string_view, EntryStringSet::kSlots> views;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::size_t start = texts.size();
    all[i].AppendTo(texts);
    views[i] = std::u16string_view(texts).substr(start);
  }
  record.name = views[EntryStringSet::Name];
  record.firstName = views[EntryStringSet::FirstName];
  record.lastName = views[EntryStringSet::LastName];
  record.note = views[EntryStringSet::Note];
  record.soundFile = views[EntryStringSet::SoundFile];
  record.star = entry.IsStar();
  return record;
}

std::unique_ptr<FeskItem> EntryOfRecord(const EntryRecord& record) {
  auto entry = std::make_unique<FeskItem>(record.kind, record.schedule.m_ftStart);
  static_cast<ScheduleFields&>(*entry) = record.schedule;
  entry->m_dwContactOid = record.contactOid;
  entry->m_ftDate = record.date;
  entry->m_dwIcon = record.icon;
  entry->m_bOwnSound = record.ownSound != 0 ? 1 : 0;
  entry->m_dwSoundType = record.soundType;
  entry->m_dwSoundSource = record.soundSource;
  entry->m_dwVolume = record.volume;
  entry->m_bOwnReminder = record.ownReminder != 0 ? 1 : 0;
  entry->Texts().Assign({record.name, record.firstName, record.lastName, record.note, record.soundFile});
  entry->m_bStar = record.star ? 1 : 0;
  return entry;
}

std::u16string FeskItem::GetDisplayName() const { return GetDisplayName(CurrentViewSettings()); }

std::u16string FeskItem::GetDisplayName(const EntryViewSettings& view) const {
  std::u16string name;
  AppendDisplayName(*this, view.dwDisplayNames, name);
  return name;
}

std::u16string FeskItem::GetDetailText() const { return ::GetDetailText(*this); }

int FeskItem::GetIcon() const { return static_cast<int>(IsStar() ? kIconStar : m_dwIcon); }

int FeskItem::GetSelectedIcon() const { return GetIcon(); }

int FeskItem::GetStatusIconCount() const { return (m_bEnabled ? 1 : 0) + (HasNote() ? 1 : 0); }

StatusIconSize FeskItem::GetStatusIconSize() const {
  const int size = IsHighResolutionScreen() ? 16 : 12;
  return {size, size};
}

int FeskItem::GetStatusIcon(int index) const {
  const bool highRes = IsHighResolutionScreen();
  if (index == 0) {
    if (IsSnoozed(platform::GetLocalFileTime())) return StatusPictureNumber(StatusPicture::Snoozed, highRes);
    if (m_bEnabled) return StatusPictureNumber(m_wSkipNext ? StatusPicture::ReminderSkipped : StatusPicture::ReminderOn, highRes);
    return HasNote() ? StatusPictureNumber(StatusPicture::Note, highRes) : 0;
  }
  if (index == 1 && m_bEnabled && HasNote()) return StatusPictureNumber(StatusPicture::Note, highRes);
  return 0;
}

// Nearly every item is an entry itself, which the type's identity tells at
// once; only other items need the search through the class hierarchy.
const FeskItem* AsEntry(const StorageItem* item) {
  if (item != nullptr && typeid(*item) == typeid(FeskItem)) return static_cast<const FeskItem*>(item);
  return dynamic_cast<const FeskItem*>(item);
}

FeskItem* AsEntry(StorageItem* item) { return const_cast<FeskItem*>(AsEntry(static_cast<const StorageItem*>(item))); }
