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
  m_uids.clear();
  m_gone.clear();
  m_states.clear();
  m_later.clear();
}

void KnownRecords::Add(const StorageItem& item) {
  if (item.m_nUID <= 0) return;
  m_uids.push_back(item.m_nUID);
  // Of records under one UID the last one counts, as a later write would.
  const KnownRecordState state = KnownRecordState::Of(item);
  if (state != KnownRecordState{}) {
    m_states[item.m_nUID] = state;
  } else if (!m_states.empty()) {
    m_states.erase(item.m_nUID);
  }
}

void KnownRecords::Sort() {
  // A loaded list numbers its records in order, so this is mostly a check.
  if (!std::is_sorted(m_uids.begin(), m_uids.end())) {
    std::sort(m_uids.begin(), m_uids.end());
    m_uids.erase(std::unique(m_uids.begin(), m_uids.end()), m_uids.end());
  }
  m_gone.assign(m_uids.size(), false);
}

std::ptrdiff_t KnownRecords::Position(std::int32_t uid) const {
  const auto at = std::lower_bound(m_uids.begin(), m_uids.end(), uid);
  return at != m_uids.end() && *at == uid ? at - m_uids.begin() : -1;
}

std::optional<KnownRecordState> KnownRecords::Find(std::int32_t uid) const {
  if (const std::ptrdiff_t at = Position(uid); at >= 0 && !m_gone[static_cast<std::size_t>(at)]) {
    const auto state = m_states.find(uid);
    return state != m_states.end() ? state->second : KnownRecordState{};
  }
  const auto later = m_later.find(uid);
  if (later != m_later.end()) return later->second;
  return std::nullopt;
}

void KnownRecords::Set(std::int32_t uid, const KnownRecordState& state) {
  if (const std::ptrdiff_t at = Position(uid); at >= 0) {
    m_gone[static_cast<std::size_t>(at)] = false;
    if (state != KnownRecordState{}) {
      m_states[uid] = state;
    } else {
      m_states.erase(uid);
    }
    return;
  }
  m_later[uid] = state;
}

bool KnownRecords::Forget(std::int32_t uid) {
  if (const std::ptrdiff_t at = Position(uid); at >= 0 && !m_gone[static_cast<std::size_t>(at)]) {
    m_gone[static_cast<std::size_t>(at)] = true;
    m_states.erase(uid);
    return true;
  }
  return m_later.erase(uid) != 0;
}
