#include "TickwellLib/DueKeySort.h"

#include <algorithm>
#include <cstring>

namespace {

// Below this many keys a comparison sort is as fast and needs no counts.
constexpr std::size_t kRadixFrom = 1024;

// A least-significant-digit radix sort over the 96 bits of (time, UID): three
// 11-bit digits of the UID, then six of the time. Each pass is stable, so keys
// equal in both keep the file order they start in. Digits that are the same in
// every key (the low bits of times that are all on the minute, the high bits
// of UIDs) are skipped, and so are all UID digits when the UIDs already ascend
// in file order, as they do in a list kept in the order it was entered.
constexpr unsigned kDigitBits = 11;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
constexpr unsigned kUidDigits = 3;
constexpr unsigned kDigits = kUidDigits + 6;

std::uint32_t Digit(const DueKey& key, unsigned digit) {
  if (digit < kUidDigits) {
    // The sign bit flipped: UIDs compare as signed numbers.
    const std::uint32_t uid = static_cast<std::uint32_t>(key.uid) ^ 0x80000000u;
    return (uid >> (digit * kDigitBits)) & (kBuckets - 1);
  }
  return static_cast<std::uint32_t>(key.next >> ((digit - kUidDigits) * kDigitBits)) & (kBuckets - 1);
}

bool Before(const DueKey& a, const DueKey& b) {
  if (a.next != b.next) return a.next < b.next;
  if (a.uid != b.uid) return a.uid < b.uid;
  return a.ordinal < b.ordinal;
}

}  // namespace

std::size_t DueKeySortSpace(std::size_t count) {
  if (count < kRadixFrom) return 0;
  return count * sizeof(DueKey) + kDigits * kBuckets * sizeof(std::uint32_t);
}

const DueKey* SortDueKeys(DueKey* keys, std::size_t count, void* space) {
  if (count < kRadixFrom) {
    std::sort(keys, keys + count, Before);
    return keys;
  }
  auto* other = static_cast<DueKey*>(space);
  auto* counts = reinterpret_cast<std::uint32_t*>(other + count);
  std::memset(counts, 0, kDigits * kBuckets * sizeof(std::uint32_t));
  bool uidsAscend = true;
  for (std::size_t i = 1; i < count && uidsAscend; ++i) uidsAscend = keys[i - 1].uid <= keys[i].uid;
  const unsigned first = uidsAscend ? kUidDigits : 0;
  for (std::size_t i = 0; i < count; ++i) {
    for (unsigned d = first; d < kDigits; ++d) ++counts[d * kBuckets + Digit(keys[i], d)];
  }
  DueKey* from = keys;
  DueKey* to = other;
  for (unsigned d = first; d < kDigits; ++d) {
    std::uint32_t* offsets = counts + d * kBuckets;
    if (offsets[Digit(from[0], d)] == count) continue;
    std::uint32_t sum = 0;
    for (std::size_t b = 0; b < kBuckets; ++b) {
      const std::uint32_t n = offsets[b];
      offsets[b] = sum;
      sum += n;
    }
    for (std::size_t i = 0; i < count; ++i) to[offsets[Digit(from[i], d)]++] = from[i];
    std::swap(from, to);
  }
  return from;
}
