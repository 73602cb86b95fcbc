#include "platform/contacts/ObjectId.h"

#include <algorithm>
#include <numeric>
#include <tuple>
#include <unordered_set>

namespace platform {

std::uint32_t HashObjectKey(std::string_view key) {
  std::uint32_t h = 2166136261u;
  for (char c : key) {
    h ^= static_cast<unsigned char>(c);
    h *= 16777619u;
  }
  return h;
}

std::vector<std::uint32_t> AssignObjectIds(const std::vector<ObjectKey>& keys) {
  // Usually every key's hash is free: no key is hashed again, so the order
  // in which the keys take their hashes does not matter and the sort is not needed.
  std::vector<std::uint32_t> plain(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) plain[i] = HashObjectKey(keys[i].key);
  std::vector<std::uint32_t> sorted = plain;
  std::sort(sorted.begin(), sorted.end());
  if ((sorted.empty() || sorted.front() != 0) && std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end()) {
    return plain;
  }
  std::vector<std::size_t> order(keys.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return std::tie(keys[a].key, keys[a].file, keys[a].ordinal) < std::tie(keys[b].key, keys[b].file, keys[b].ordinal);
  });
  std::vector<std::uint32_t> ids(keys.size(), 0);
  std::unordered_set<std::uint32_t> used;
  used.reserve(keys.size() * 2);
  for (std::size_t index : order) {
    std::uint32_t h = plain[index];
    for (unsigned counter = 1; h == 0 || used.count(h) != 0; ++counter) {
      h = HashObjectKey(keys[index].key + "#" + std::to_string(counter));
    }
    used.insert(h);
    ids[index] = h;
  }
  return ids;
}

}  // namespace platform
