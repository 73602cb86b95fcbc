#pragma once
// The five texts of an entry (name, first name, last name, note, sound file)
// in one block of memory: their lengths, then their characters one after
// another. An entry with no text holds no block at all. Every entry of a large
// list is held in memory, and five separate strings would cost each of them
// 160 bytes before the first character, and one allocation per name.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

class EntryStringSet {
 public:
  enum Slot : std::size_t { Name, FirstName, LastName, Note, SoundFile, kSlots };
  using Texts = std::array<std::u16string_view, kSlots>;

  EntryStringSet() = default;
  EntryStringSet(const EntryStringSet& other) { Assign(other.All()); }
  EntryStringSet& operator=(const EntryStringSet& other);
  EntryStringSet(EntryStringSet&& other) noexcept : m_block(other.m_block) { other.m_block = nullptr; }
  EntryStringSet& operator=(EntryStringSet&& other) noexcept;
  ~EntryStringSet() { Release(); }

  std::u16string_view Get(Slot slot) const;
  Texts All() const;
  // Replaces one text; `text` may be a view of this set's own block.
  void Set(Slot slot, std::u16string_view text);
  // Replaces all five at once, with one allocation; views of this set's own
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
  // The block: kSlots lengths, then the characters. A text is kept up to
  // kMaxUnits: a record holds less than half of that for all its texts.
  std::uint16_t* m_block = nullptr;
  void Release();
};
