#include "common/entries/OldRevisionReader.h"

#include <memory>
#include <vector>

#include "common/entries/EntryReminder.h"
#include "common/entries/EntryStrings.h"
#include "common/entries/FeskList.h"

namespace {

enum class RecordResult { Read, Repaired, Skipped, End, Cut };

// The base part: always without the monthly group. A kind of 0 marks the end.
RecordResult ReadOldBase(BinaryReader& r, FeskItem& entry) {
  std::uint8_t weekDays = 0, enabled = 0;
  if (r.AtEnd()) return RecordResult::End;
  if (!r.ReadU32(entry.m_dwKind)) return RecordResult::Cut;
  if (entry.m_dwKind == 0) return RecordResult::End;
  if (!r.ReadU64(entry.m_ftStart) || !r.ReadU8(weekDays) || !r.ReadU8(enabled) || !r.ReadI32(entry.m_nUID) ||
      !r.ReadU16(entry.m_wSkipNext) || !r.ReadU64(entry.m_ftSnooze) || !r.ReadU32(entry.m_dwAutoSnoozeCounter) ||
      !r.ReadU32(entry.m_dwSnoozeCounter)) {
    return RecordResult::Cut;
  }
  entry.m_dwWeekDays = weekDays;
  entry.m_bEnabled = enabled;
  return RecordResult::Read;
}

// The extension block by its length, so that a damaged block never hides the
// records after it.
RecordResult ReadOldBlock(BinaryReader& r, std::vector<std::uint8_t>& block) {
  std::uint16_t length = 0;
  if (!r.ReadU16(length) || !r.ReadBytes(block, length)) return RecordResult::Cut;
  return RecordResult::Read;
}

RecordResult ReadRevision1(BinaryReader& r, FeskItem& entry) {
  constexpr std::size_t kFixed = 2 + 8;
  std::vector<std::uint8_t> block;
  if (const RecordResult base = ReadOldBase(r, entry); base != RecordResult::Read) return base;
  if (const RecordResult read = ReadOldBlock(r, block); read != RecordResult::Read) return read;
  BinaryReader fields(block);
  if (!fields.ReadU16(entry.m_wKind) || !fields.ReadU64(entry.m_ftDate)) return RecordResult::Skipped;
  entry.m_dwIcon = 0;
  const bool whole = ReadEntryStrings(std::span(block).subspan(kFixed), false, entry);
  return whole ? RecordResult::Read : RecordResult::Repaired;
}

RecordResult ReadRevision2(BinaryReader& r, FeskItem& entry) {
  constexpr std::size_t kFixed = 2 + 4 + 8 + 4 + 4 * 4;
  std::uint32_t oldIcon = 0, ownSound = 0;
  std::vector<std::uint8_t> block;
  if (const RecordResult base = ReadOldBase(r, entry); base != RecordResult::Read) return base;
  if (const RecordResult read = ReadOldBlock(r, block); read != RecordResult::Read) return read;
  BinaryReader fields(block);
  if (!fields.ReadU16(entry.m_wKind) || !fields.ReadU32(entry.m_dwContactOid) || !fields.ReadU64(entry.m_ftDate) ||
      !fields.ReadU32(oldIcon) || !fields.ReadU32(ownSound) || !fields.ReadU32(entry.m_dwSoundType) ||
      !fields.ReadU32(entry.m_dwSoundSource) || !fields.ReadU32(entry.m_dwVolume)) {
    return RecordResult::Skipped;
  }
  const bool whole = ReadEntryStrings(std::span(block).subspan(kFixed), true, entry);
  // Upgraded entries play the program's default sound until the user picks one.
  entry.m_bOwnSound = 0;
  entry.m_dwIcon = DefaultIconOfKind(entry.m_wKind);
  return whole ? RecordResult::Read : RecordResult::Repaired;
}

int ReadRecords(BinaryReader& reader, FeskList& list, const EntryReminderDefaults& defaults,
                RecordResult (*readRecord)(BinaryReader&, FeskItem&)) {
  int damaged = 0;
  for (;;) {
    auto entry = std::make_unique<FeskItem>(Birthday);
    const RecordResult result = readRecord(reader, *entry);
    if (result == RecordResult::End) return damaged;
    if (result != RecordResult::Read) ++damaged;
    if (result == RecordResult::Cut) return damaged;
    if (result == RecordResult::Skipped) continue;
    entry->m_bOwnReminder = 0;
    ApplyDefaultReminder(*entry, defaults);
    list.AppendLoaded(std::move(entry));
  }
}

}  // namespace

int ReadRevision1Records(BinaryReader& reader, FeskList& list, const EntryReminderDefaults& defaults) {
  return ReadRecords(reader, list, defaults, ReadRevision1);
}

int ReadRevision2Records(BinaryReader& reader, FeskList& list, const EntryReminderDefaults& defaults) {
  return ReadRecords(reader, list, defaults, ReadRevision2);
}
