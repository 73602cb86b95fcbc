#include "common/store/KnownRecords.h"

#include <algorithm>

#include "common/store/StorageItem.h"

KnownRecordState KnownRecordState::Of(const StorageItem& item) {
  return {item.m_wSkipNext, item.m_ftSnooze, item.m_dwAutoSnoozeCounter, item.m_dwSnoozeCounter};
}

void KnownRecordState::ApplyTo(StorageItem& item) const {
  item.m_wSkipNext = wSkipNext;
  item.m_ftSnooze = ftSnooze;
  item.m_dwAutoSnoozeCounter = dwAutoSnoozeCounter;
  item.m_dwSnoozeCounter = dwSnoozeCounter;
}

void KnownRecords::Clear() {
  m_sorted.clear();
  m_later.clear();
}

void KnownRecords::Add(const StorageItem& item) {
  if (item.m_nUID <= 0) return;
  m_sorted.push_back({item.m_nUID, item.m_wSkipNext, false, item.m_dwAutoSnoozeCounter, item.m_dwSnoozeCounter,
                      item.m_ftSnooze});
}

void KnownRecords::Sort() {
  const auto byUid = [](const Record& a, const Record& b) { return a.uid < b.uid; };
  // A loaded list numbers its records in order, so this is mostly a check.
  if (std::is_sorted(m_sorted.begin(), m_sorted.end(), byUid)) return;
  // Of records under one UID the last one counts, as a later write would.
  std::stable_sort(m_sorted.begin(), m_sorted.end(), byUid);
  std::reverse(m_sorted.begin(), m_sorted.end());
  m_sorted.erase(std::unique(m_sorted.begin(), m_sorted.end(),
                             [](const Record& a, const Record& b) { return a.uid == b.uid; }),
                 m_sorted.end());
  std::reverse(m_sorted.begin(), m_sorted.end());
}

const KnownRecords::Record* KnownRecords::Lookup(std::int32_t uid) const {
  const auto at = std::lower_bound(m_sorted.begin(), m_sorted.end(), uid,
                                   [](const Record& r, std::int32_t u) { return r.uid < u; });
  return at != m_sorted.end() && at->uid == uid ? &*at : nullptr;
}

KnownRecords::Record* KnownRecords::Lookup(std::int32_t uid) {
  return const_cast<Record*>(static_cast<const KnownRecords*>(this)->Lookup(uid));
}

std::optional<KnownRecordState> KnownRecords::Find(std::int32_t uid) const {
  if (const Record* record = Lookup(uid); record != nullptr && !record->gone) return record->State();
  const auto later = m_later.find(uid);
  if (later != m_later.end()) return later->second;
  return std::nullopt;
}

void KnownRecords::Set(std::int32_t uid, const KnownRecordState& state) {
  if (Record* record = Lookup(uid)) {
    *record = {uid, state.wSkipNext, false, state.dwAutoSnoozeCounter, state.dwSnoozeCounter, state.ftSnooze};
    return;
  }
  m_later[uid] = state;
}

bool KnownRecords::Forget(std::int32_t uid) {
  if (Record* record = Lookup(uid); record != nullptr && !record->gone) {
    record->gone = true;
    return true;
  }
  return m_later.erase(uid) != 0;
}
