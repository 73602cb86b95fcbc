#pragma once
// UIDs as the programs' own load gives them: a record stored with a UID of 0 or
// below receives the next number of the list's counter. The engine must name an
// item by the UID the reminder utility will find after its load.
#include <cstdint>
#include <limits>
#include <unordered_set>

class LoadedUidCounter {
 public:
  // The UID of the next record read, stored with `uid`. `forEachEarlier(fn)`
  // calls fn with the final UID of every record before it; it is needed only
  // once the counter has reached the largest UID.
  template <typename ForEachEarlier>
  std::int32_t Next(std::int32_t uid, ForEachEarlier&& forEachEarlier) {
    if (uid >= m_next) m_next = Following(uid);
    if (uid <= 0) {
      uid = m_next;
      // The counter stands still at the largest UID; then the lowest free one.
      if (uid == kMaxUid) {
        std::unordered_set<std::int32_t> used;
        forEachEarlier([&used](std::int32_t earlier) { used.insert(earlier); });
        if (used.count(uid) != 0) {
          uid = 1;
          while (used.count(uid) != 0) ++uid;
        }
      }
    }
    m_next = Following(m_next);
    return uid;
  }

 private:
  static constexpr std::int32_t kMaxUid = std::numeric_limits<std::int32_t>::max();
  static std::int32_t Following(std::int32_t uid) { return uid < kMaxUid ? uid + 1 : kMaxUid; }
  std::int32_t m_next = 1;
};
