// Reads arbitrary bytes as a run of entry records: the reader must neither
// crash nor read past the data, and every record it accepts must write back
// and read again with the same fields.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "common/entries/FeskItem.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool SameEntry(const FeskItem& a, const FeskItem& b) {
  return a.m_dwKind == b.m_dwKind && a.m_ftStart == b.m_ftStart && a.m_nUID == b.m_nUID &&
         a.m_wSkipNext == b.m_wSkipNext && a.m_ftSnooze == b.m_ftSnooze && a.m_wKind == b.m_wKind &&
         a.m_ftDate == b.m_ftDate && a.m_dwContactOid == b.m_dwContactOid && a.m_dwIcon == b.m_dwIcon &&
         a.m_bOwnSound == b.m_bOwnSound && a.m_dwSoundType == b.m_dwSoundType &&
         a.m_dwSoundSource == b.m_dwSoundSource && a.m_dwVolume == b.m_dwVolume &&
         a.m_bOwnReminder == b.m_bOwnReminder && a.Name() == b.Name() && a.FirstName() == b.FirstName() &&
         a.LastName() == b.LastName() && a.Note() == b.Note() && a.SoundFile() == b.SoundFile();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  BinaryReader reader(std::span<const std::uint8_t>(data, size));
  for (int records = 0; records < 1000; ++records) {
    FeskItem entry;
    const std::uint64_t before = reader.Position();
    if (!entry.Read(reader)) break;
    Check(reader.Position() > before && reader.Position() <= size);
    BinaryWriter writer;
    Check(entry.Write(writer));
    BinaryReader again(std::span<const std::uint8_t>(writer.Data()));
    FeskItem copy;
    Check(copy.Read(again) && again.AtEnd());
    Check(SameEntry(entry, copy));
    // The texts of any entry are built without touching memory they do not own.
    (void)entry.GetDisplayName(EntryViewSettings{3});
    (void)entry.GetStatusIcon(0);
  }
  return 0;
}
