#include "common/entries/EntryMatching.h"

#include "common/entries/FeskItem.h"
#include "common/store/StorageList.h"

namespace {

// Simple case folding of the letters whose upper and lower case lie at a fixed
// distance or side by side; enough for names written in Latin, Greek and
// Cyrillic scripts.
char16_t FoldLetter(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
    // Latin Extended-A pairs: even/odd up to U+0137, odd/even from U+0139 to U+0148, even/odd after.
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 1) ? static_cast<char16_t>(c + 1) : c;
    return (c % 2 == 0) ? static_cast<char16_t>(c + 1) : c;
  }
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
  return c;
}

}  // namespace

bool NamesEqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldLetter(a[i]) != FoldLetter(b[i])) return false;
  }
  return true;
}

std::u16string FoldNameForMatching(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) c = FoldLetter(c);
  return folded;
}

bool FindMatchingEntry(const StorageList& list, const FeskItem& candidate, std::uint16_t kind, std::int32_t* uid,
                       const FeskItem** match) {
  if (uid) *uid = 0;
  if (match) *match = nullptr;
  if (kind != Birthday && kind != Anniversary) return false;
  const std::uint32_t contact = candidate.m_dwContactOid;
  const FeskItem* found = nullptr;
  for (const StorageItem& item : list) {
    const FeskItem* entry = AsEntry(&item);
    if (!entry || entry->m_wKind != kind || entry->IsStar()) continue;
    if (contact != 0 && entry->m_dwContactOid == contact) {
      found = entry;
      break;
    }
    if (kind == Birthday && found == nullptr && (contact == 0 || entry->m_dwContactOid == 0) &&
        NamesEqualIgnoringCase(WideText(entry->FirstName()), WideText(candidate.FirstName())) &&
        NamesEqualIgnoringCase(WideText(entry->LastName()), WideText(candidate.LastName()))) {
      found = entry;
      // Without a contact id the names are all there is to go by.
      if (contact == 0) break;
    }
  }
  if (found == nullptr) return false;
  if (uid) *uid = found->m_nUID;
  if (match) *match = found;
  return true;
}

void CopyEntry(const FeskItem& from, FeskItem& to) {
  if (&from == &to) return;
  static_cast<ScheduleFields&>(to) = static_cast<const ScheduleFields&>(from);
  to.m_bShowSeconds = from.m_bShowSeconds;
  to.m_dwStatePos = from.m_dwStatePos;
  to.m_wKind = from.m_wKind;
  to.m_ftDate = from.m_ftDate;
  to.m_dwContactOid = from.m_dwContactOid;
  to.Texts() = from.Texts();
  to.m_bOwnSound = from.m_bOwnSound;
  to.m_dwSoundType = from.m_dwSoundType;
  to.m_dwSoundSource = from.m_dwSoundSource;
  to.m_dwVolume = from.m_dwVolume;
  to.m_dwIcon = from.m_dwIcon;
  to.m_bStar = from.m_bStar;
  to.m_bOwnReminder = from.m_bOwnReminder;
}
