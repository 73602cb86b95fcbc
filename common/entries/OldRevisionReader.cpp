#include "common/entries/OldRevisionReader.h"

#include <memory>
#include <vector>

#include "common/entries/EntryReminder.h"
#include "common/entries/EntryStrings.h"
#include "common/entries/FeskList.h"

namespace {

enum class RecordResult { Read, End, Damaged };

// The base part: always without the monthly group.
bool ReadOldBase(BinaryReader& r, FeskItem& entry) {
  std::uint8_t weekDays = 0, enabled = 0;
  if (!r.ReadU32(entry.m_dwKind) || entry.m_dwKind == 0) return false;
  if (!r.ReadU64(entry.m_ftStart) || !r.ReadU8(weekDays) || !r.ReadU8(enabled) || !r.ReadI32(entry.m_nUID) ||
      !r.ReadU16(entry.m_wSkipNext) || !r.ReadU64(entry.m_ftSnooze) || !r.ReadU32(entry.m_dwAutoSnoozeCounter) ||
      !r.ReadU32(entry.m_dwSnoozeCounter)) {
    return false;
  }
  entry.m_dwWeekDays = weekDays;
  entry.m_bEnabled = enabled;
  return true;
}

RecordResult ReadRevision1(BinaryReader& r, FeskItem& entry) {
  constexpr std::uint16_t kFixed = 2 + 8;
  std::uint16_t length = 0;
  if (!ReadOldBase(r, entry) || !r.ReadU16(length) || length < kFixed) return RecordResult::End;
  if (!r.ReadU16(entry.m_wKind) || !r.ReadU64(entry.m_ftDate)) return RecordResult::End;
  std::vector<std::uint8_t> block;
  if (!r.ReadBytes(block, length - kFixed) || !ReadEntryStrings(block, false, entry)) return RecordResult::Damaged;
  entry.m_dwIcon = 0;
  return RecordResult::Read;
}

RecordResult ReadRevision2(BinaryReader& r, FeskItem& entry) {
  constexpr std::uint16_t kFixed = 2 + 4 + 8 + 4 + 4 * 4;
  std::uint16_t length = 0;
  std::uint32_t oldIcon = 0;
  if (!ReadOldBase(r, entry) || !r.ReadU16(length) || length < kFixed) return RecordResult::End;
  if (!r.ReadU16(entry.m_wKind) || !r.ReadU32(entry.m_dwContactOid) || !r.ReadU64(entry.m_ftDate) ||
      !r.ReadU32(oldIcon) || !r.ReadU32(entry.m_bOwnSound) || !r.ReadU32(entry.m_dwSoundType) ||
      !r.ReadU32(entry.m_dwSoundSource) || !r.ReadU32(entry.m_dwVolume)) {
    return RecordResult::End;
  }
  std::vector<std::uint8_t> block;
  if (!r.ReadBytes(block, length - kFixed) || !ReadEntryStrings(block, true, entry)) return RecordResult::Damaged;
  // Upgraded entries play the program's default sound until the user picks one.
  entry.m_bOwnSound = 0;
  entry.m_dwIcon = DefaultIconOfKind(entry.m_wKind);
  return RecordResult::Read;
}

bool ReadRecords(BinaryReader& reader, FeskList& list, const EntryReminderDefaults& defaults,
                 RecordResult (*readRecord)(BinaryReader&, FeskItem&)) {
  for (;;) {
    auto entry = std::make_unique<FeskItem>(Birthday);
    const RecordResult result = readRecord(reader, *entry);
    if (result != RecordResult::Read) return result == RecordResult::End;
    entry->m_bOwnReminder = 0;
    ApplyDefaultReminder(*entry, defaults);
    list.AppendLoaded(std::move(entry));
  }
}

}  // namespace

bool ReadRevision1Records(BinaryReader& reader, FeskList& list, const EntryReminderDefaults& defaults) {
  return ReadRecords(reader, list, defaults, ReadRevision1);
}

bool ReadRevision2Records(BinaryReader& reader, FeskList& list, const EntryReminderDefaults& defaults) {
  return ReadRecords(reader, list, defaults, ReadRevision2);
}
