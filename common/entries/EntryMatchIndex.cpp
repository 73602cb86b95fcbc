#include "common/entries/EntryMatchIndex.h"

#include "common/entries/EntryMatching.h"
#include "common/entries/FeskItem.h"
#include "common/store/StorageList.h"

namespace {

// Both names folded as the rule compares them, the first one's length in front
// so that no split of one name pair can give another pair's key.
std::u16string BirthdayKey(const FeskItem& entry) {
  const auto length = static_cast<std::uint32_t>(entry.m_szFirstName.size());
  std::u16string key{static_cast<char16_t>(length & 0xFFFF), static_cast<char16_t>(length >> 16)};
  key += FoldNameForMatching(entry.m_szFirstName);
  key += FoldNameForMatching(entry.m_szLastName);
  return key;
}

}  // namespace

EntryMatchIndex::EntryMatchIndex(const StorageList& list) {
  for (const StorageItem& item : list) {
    if (const FeskItem* entry = AsEntry(&item)) Appended(*entry);
  }
}

void EntryMatchIndex::Appended(const FeskItem& entry) {
  if (entry.m_wKind == Birthday) {
    m_birthdays.try_emplace(BirthdayKey(entry), &entry);
  } else if (entry.m_wKind == Anniversary && entry.m_dwContactOid != 0) {
    m_anniversaries.try_emplace(entry.m_dwContactOid, &entry);
  }
}

const FeskItem* EntryMatchIndex::Find(const FeskItem& candidate, std::uint16_t kind) const {
  if (kind == Birthday) {
    const auto it = m_birthdays.find(BirthdayKey(candidate));
    return it != m_birthdays.end() ? it->second : nullptr;
  }
  if (kind == Anniversary && candidate.m_dwContactOid != 0) {
    const auto it = m_anniversaries.find(candidate.m_dwContactOid);
    return it != m_anniversaries.end() ? it->second : nullptr;
  }
  return nullptr;
}
