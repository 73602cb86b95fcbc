#pragma once
// Object ids of contacts: 32-bit, non-zero, unique within the folder, and the
// same in every run and after any edit of the card.
//
// The id is the 32-bit FNV-1a hash of the card's key: its UID as written (escapes
// removed, blanks around it trimmed), or, for a card without a UID, its file name
// relative to the folder, followed by "#<n>" for the n-th card (counted from 0,
// n > 0) of a file holding several. Keys are taken in byte order (then by file
// and position); a key whose hash is 0 or already taken is hashed again with
// "#1", "#2", ... appended until the hash is free. So ids change only when two
// keys collide and a new key sorts before an old one.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::uint32_t HashObjectKey(std::string_view key);

struct ObjectKey {
  std::string key;
  std::string file;  // tie-breakers for equal keys (a card copied into two files)
  int ordinal = 0;
};

// The ids of the keys, in the order given.
std::vector<std::uint32_t> AssignObjectIds(const std::vector<ObjectKey>& keys);

}  // namespace platform
