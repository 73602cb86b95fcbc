#pragma once
// The five texts of an entry (name, first name, last name, note, sound file)
// in one block of memory: their lengths, then their characters one after
// another. An entry with no text holds no block at all. Every entry of a large
// list is held in memory, and five separate strings would cost each of them
// 160 bytes before the first character, and one allocation per name.
//
// When no unit of the five is above 255 (Latin-1, which most names in Latin
// script are), each character takes one byte instead of two, and when no text
// is longer than 255 units, each length takes one byte too. The texts read the
// same either way (EntryText.h).
#include <array>
#include <cstddef>
#include <cstdint>

#include "common/entries/EntryText.h"

class EntryStringSet {
 public:
  enum Slot : std::size_t { Name, FirstName, LastName, Note, SoundFile, kSlots };
  using Texts = std::array<EntryText, kSlots>;

  EntryStringSet() = default;
  EntryStringSet(const EntryStringSet& other) { Assign(other.All()); }
  EntryStringSet& operator=(const EntryStringSet& other);
  EntryStringSet(EntryStringSet&& other) noexcept : m_block(other.m_block) { other.m_block = 0; }
  EntryStringSet& operator=(EntryStringSet&& other) noexcept;
  ~EntryStringSet() { Release(); }

  // Views of the block: valid until the set changes.
  EntryText Get(Slot slot) const;
  Texts All() const;
  // Replaces one text; `text` may be one of this set's own.
  void Set(Slot slot, EntryText text);
  // Replaces all five at once, with one allocation; texts of this set's own
  // block are fine.
  void Assign(const Texts& texts);
  // The same from UTF-16 characters in the machine's order at any address.
  struct Piece {
    const void* characters = nullptr;
    std::size_t units = 0;
  };
  using Pieces = std::array<Piece, kSlots>;
  void Assign(const Pieces& pieces);
  void Clear() { Release(); }

  static constexpr std::size_t kMaxUnits = 0xFFFF;

 private:
  // The block's address with two flags in its low bits, which an allocation's
  // alignment leaves zero: the characters are bytes, the lengths are bytes.
  std::uintptr_t m_block = 0;
  void Release();
};
