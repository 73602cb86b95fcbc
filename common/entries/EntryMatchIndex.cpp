#include "common/entries/EntryMatchIndex.h"

#include "common/entries/EntryMatching.h"
#include "common/entries/FeskItem.h"
#include "common/store/StorageList.h"

namespace {

// Both names folded as the rule compares them, the first one's length in front
// so that no split of one name pair can give another pair's key.
std::u16string BirthdayKey(const FeskItem& entry) {
  const auto length = static_cast<std::uint32_t>(entry.FirstName().size());
  std::u16string key{static_cast<char16_t>(length & 0xFFFF), static_cast<char16_t>(length >> 16)};
  key += FoldNameForMatching(WideText(entry.FirstName()));
  key += FoldNameForMatching(WideText(entry.LastName()));
  return key;
}

std::uint64_t ContactKey(std::uint16_t kind, std::uint32_t contact) {
  return static_cast<std::uint64_t>(kind) << 32 | contact;
}

}  // namespace

EntryMatchIndex::EntryMatchIndex(const StorageList& list) {
  for (const StorageItem& item : list) {
    if (const FeskItem* entry = AsEntry(&item)) Appended(*entry);
  }
}

void EntryMatchIndex::Appended(const FeskItem& entry, std::u16string nameKey) {
  if (entry.IsStar() || (entry.m_wKind != Birthday && entry.m_wKind != Anniversary)) return;
  Linked(entry);
  if (entry.m_wKind != Birthday) return;
  if (nameKey.empty()) nameKey = BirthdayKey(entry);
  m_birthdays[std::move(nameKey)].push_back(&entry);
}

void EntryMatchIndex::Reserve(std::size_t more) {
  m_byContact.reserve(m_byContact.size() + more);
  m_birthdays.reserve(m_birthdays.size() + more);
}

void EntryMatchIndex::Linked(const FeskItem& entry) {
  if (entry.m_dwContactOid != 0) m_byContact.try_emplace(ContactKey(entry.m_wKind, entry.m_dwContactOid), &entry);
}

const FeskItem* EntryMatchIndex::Find(const FeskItem& candidate, std::uint16_t kind, std::u16string* nameKey) const {
  if (nameKey != nullptr) nameKey->clear();
  const std::uint32_t contact = candidate.m_dwContactOid;
  if (contact != 0) {
    const auto it = m_byContact.find(ContactKey(kind, contact));
    if (it != m_byContact.end()) return it->second;
  }
  if (kind != Birthday) return nullptr;
  std::u16string key = BirthdayKey(candidate);
  const auto it = m_birthdays.find(key);
  if (nameKey != nullptr) *nameKey = std::move(key);
  if (it == m_birthdays.end()) return nullptr;
  for (const FeskItem* entry : it->second) {
    if (contact == 0 || entry->m_dwContactOid == 0) return entry;
  }
  return nullptr;
}
